#include "windows/AgendaWindow.h"

#include "common/WindowFont.h"
#include "common/WindowPlacement.h"
#include "dialogs/ErrorReport.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"
#include "location/AgendaListing.h"
#include "location/CurrentAgenda.h"
#include "text/PathText.h"
#include "widgets/WholeLineRows.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <functional>

namespace vrelmont::ui {
namespace {

// A list box that tells about double clicks anywhere in it, empty space included.
class AgendaListBox : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void()> onDoubleClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override {
        QListWidget::mouseDoubleClickEvent(event);
        if (onDoubleClick)
            onDoubleClick();
    }

    // Taking the focus makes the first row current without selecting it; the first arrow key then
    // selects that row instead of stepping past it.
    void keyPressEvent(QKeyEvent *event) override {
        const bool step = event->key() == Qt::Key_Down || event->key() == Qt::Key_Up;
        if (step && event->modifiers() == Qt::NoModifier && selectedItems().isEmpty() && count() > 0) {
            setCurrentRow(currentRow() >= 0 ? currentRow() : 0);
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

QWidget *ErrorParent(QWidget *self) {
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return self->parentWidget();
}

} // namespace

AgendaWindow::AgendaWindow(CurrentAgenda &currentAgenda, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      currentAgenda_(currentAgenda) {
    setObjectName(QStringLiteral("frmGetAgenda"));
    setWindowTitle(QStringLiteral("Výběr agendy"));
    setFont(WindowFont());
    setFixedSize(470, 265);
    KeepCentredAtEveryShowing(this);
    InstallHelpKey(this, kHelpAgendaSelection);

    listCaption_ = new QLabel(QStringLiteral("Nalezené agendy:"), this);
    listCaption_->setObjectName(QStringLiteral("Label2"));
    listCaption_->move(8, 8);
    listCaption_->adjustSize();

    auto *listBox = new AgendaListBox(this);
    listBox->onDoubleClick = [this] { onListDoubleClicked(); };
    agendaList_ = listBox;
    agendaList_->setObjectName(QStringLiteral("ListBox1"));
    agendaList_->setGeometry(8, 32, 345, 193);
    agendaList_->setSelectionMode(QAbstractItemView::SingleSelection);
    agendaList_->setSortingEnabled(false);
    agendaList_->setItemDelegate(new WholeLineDelegate(agendaList_));
    listCaption_->setBuddy(agendaList_);
    agendaList_->setAccessibleName(QStringLiteral("Nalezené agendy"));
    connect(agendaList_, &QListWidget::itemSelectionChanged, this, &AgendaWindow::onSelectionChanged);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("Button2"));
    okButton_->setGeometry(373, 32, 89, 25);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &AgendaWindow::onOkClicked);

    backButton_ = new QPushButton(QStringLiteral("Zpět"), this);
    backButton_->setObjectName(QStringLiteral("Button3"));
    backButton_->setGeometry(373, 64, 89, 25);
    connect(backButton_, &QPushButton::clicked, this, &AgendaWindow::onBackClicked);

    statusBevel_ = new QFrame(this);
    statusBevel_->setObjectName(QStringLiteral("Bevel1"));
    statusBevel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBevel_->setGeometry(8, 240, 455, 17);

    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(QStringLiteral("Label1"));
    statusLine_->setGeometry(14, 241, 443, 17);
    statusLine_->setAccessibleDescription(QStringLiteral("Adresář vybrané agendy"));

    setTabOrder(agendaList_, okButton_);
    setTabOrder(okButton_, backButton_);
    clearListing();
}

AgendaWindow::~AgendaWindow() = default;

void AgendaWindow::clearListing() {
    okButton_->setEnabled(false);
    agendaList_->clear();
    showStatusPath(QString());
    agendaDirs_.clear();
}

bool AgendaWindow::selectAgenda(const std::string &dataRoot) {
    clearListing();
    AgendaListing listing;
    const bool listed =
        GuardHandler(ErrorParent(this), [&] { listing = ListAgendas(dataRoot, currentAgenda_.agendaDir); });
    if (!listed)
        return false;

    agendaDirs_ = listing.paths;
    for (const auto &name : listing.names)
        agendaList_->addItem(QString::fromStdString(name));
    if (listing.preselectedRow)
        agendaList_->setCurrentRow(int(*listing.preselectedRow)); // selects it: OK and status line follow
    agendaList_->setFocus(Qt::OtherFocusReason);

    if (ExecModal(this) != QDialog::Accepted)
        return false;
    currentAgenda_.dataRoot = dataRoot;
    return true;
}

int AgendaWindow::selectedRow() const {
    const auto selected = agendaList_->selectedItems();
    return selected.isEmpty() ? -1 : agendaList_->row(selected.front());
}

void AgendaWindow::onSelectionChanged() {
    const int row = selectedRow();
    // A row can be deselected (Ctrl+click); then there is nothing OK could choose.
    if (row < 0 || row >= int(agendaDirs_.size())) {
        okButton_->setEnabled(false);
        showStatusPath(QString());
        return;
    }
    okButton_->setEnabled(true);
    showStatusPath(QString::fromStdString(agendaDirs_[std::size_t(row)]));
}

void AgendaWindow::showStatusPath(const QString &path) {
    // A deep path keeps both its start and the agenda's own folder; the whole of it is in the tooltip.
    const int width = statusLine_->contentsRect().width();
    statusLine_->setText(statusLine_->fontMetrics().elidedText(path, Qt::ElideMiddle, width));
    statusLine_->setToolTip(path);
    statusLine_->setAccessibleName(path);
}

void AgendaWindow::onListDoubleClicked() {
    if (okButton_->isEnabled())
        onOkClicked();
}

void AgendaWindow::onOkClicked() {
    const int row = selectedRow();
    if (row < 0 || row >= int(agendaDirs_.size()))
        return;
    GuardHandler(this, [&] {
        const std::string path = NormalizeDirPath(agendaDirs_[std::size_t(row)]);
        // The name is read again from the settings, not taken from the row; both change together.
        std::string name = ReadAgendaName(path);
        currentAgenda_.agendaDir = path;
        currentAgenda_.agendaName = std::move(name);
        accept();
    });
}

void AgendaWindow::onBackClicked() {
    reject();
}

} // namespace vrelmont::ui
