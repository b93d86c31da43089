#include "location/ui/TfrmGetAgenda.h"

#include "app/WindowFont.h"
#include "app/WindowPlacement.h"
#include "dialogs/ErrorReport.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"
#include "hostdb/PathText.h"
#include "location/AgendaListing.h"
#include "location/CurrentAgenda.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <functional>
#include <stdexcept>

namespace vrelmont::ui {
namespace {

TfrmGetAgenda *instance = nullptr;

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

TfrmGetAgenda::TfrmGetAgenda(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    if (!instance)
        instance = this;
    setObjectName(QStringLiteral("frmGetAgenda"));
    setWindowTitle(QStringLiteral("Výběr agendy"));
    setFont(WindowFont());
    setFixedSize(470, 265);
    KeepCentredAtEveryShowing(this);
    InstallHelpKey(this, kHelpAgendaSelection);

    Label2 = new QLabel(QStringLiteral("Nalezené agendy:"), this);
    Label2->move(8, 8);
    Label2->adjustSize();

    auto *listBox = new AgendaListBox(this);
    listBox->onDoubleClick = [this] { ListBox1DblClick(); };
    ListBox1 = listBox;
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(8, 32, 345, 193);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setSortingEnabled(false);
    Label2->setBuddy(ListBox1);
    ListBox1->setAccessibleName(QStringLiteral("Nalezené agendy"));
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &TfrmGetAgenda::ListBox1Click);

    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(373, 32, 89, 25);
    Button2->setDefault(true);
    connect(Button2, &QPushButton::clicked, this, &TfrmGetAgenda::Button2Click);

    Button3 = new QPushButton(QStringLiteral("Zpět"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(373, 64, 89, 25);
    connect(Button3, &QPushButton::clicked, this, &TfrmGetAgenda::Button3Click);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Bevel1->setGeometry(8, 240, 455, 17);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(14, 241, 443, 17);
    Label1->setAccessibleDescription(QStringLiteral("Adresář vybrané agendy"));

    setTabOrder(ListBox1, Button2);
    setTabOrder(Button2, Button3);
    ClearListing();
}

TfrmGetAgenda::~TfrmGetAgenda() {
    if (instance == this)
        instance = nullptr;
}

TfrmGetAgenda *TfrmGetAgenda::Instance() {
    return instance;
}

void TfrmGetAgenda::ClearListing() {
    Button2->setEnabled(false);
    ListBox1->clear();
    Label1->clear();
    agendaDirList_.clear();
}

bool TfrmGetAgenda::SelectAgenda(const std::string &dataRoot) {
    ClearListing();
    AgendaListing listing;
    const bool listed = GuardHandler(ErrorParent(this), [&] { listing = ListAgendas(dataRoot, AgendaTablePath); });
    if (!listed)
        return false;

    agendaDirList_ = listing.paths;
    for (const auto &name : listing.names)
        ListBox1->addItem(QString::fromStdString(name));
    if (listing.preselectedRow)
        ListBox1->setCurrentRow(int(*listing.preselectedRow)); // selects it: OK and status line follow
    ListBox1->setFocus(Qt::OtherFocusReason);

    if (ExecModal(this) != QDialog::Accepted)
        return false;
    DataRootPath = dataRoot;
    return true;
}

int TfrmGetAgenda::SelectedRow() const {
    const auto selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.front());
}

void TfrmGetAgenda::ListBox1Click() {
    const int row = SelectedRow();
    // A row can be deselected (Ctrl+click); then there is nothing OK could choose.
    if (row < 0 || row >= int(agendaDirList_.size())) {
        Button2->setEnabled(false);
        Label1->clear();
        return;
    }
    Button2->setEnabled(true);
    Label1->setText(QString::fromStdString(agendaDirList_[std::size_t(row)]));
}

void TfrmGetAgenda::ListBox1DblClick() {
    if (Button2->isEnabled())
        Button2Click();
}

void TfrmGetAgenda::Button2Click() {
    const int row = SelectedRow();
    if (row < 0 || row >= int(agendaDirList_.size()))
        return;
    GuardHandler(this, [&] {
        const std::string path = NormalizeDirPath(agendaDirList_[std::size_t(row)]);
        // The name is read again from the settings, not taken from the row; both change together.
        std::string name = ReadAgendaName(path);
        AgendaTablePath = path;
        AgendaName = std::move(name);
        accept();
    });
}

void TfrmGetAgenda::Button3Click() {
    reject();
}

bool SelectAgenda(const std::string &dataRoot) {
    TfrmGetAgenda *window = TfrmGetAgenda::Instance();
    if (!window)
        throw std::logic_error("SelectAgenda: the agenda selection window TfrmGetAgenda has not been created");
    return window->SelectAgenda(dataRoot);
}

} // namespace vrelmont::ui
