#include "windows/DataDirectoryWindow.h"

#include "common/ProgramTexts.h"
#include "common/WindowFont.h"
#include "common/WindowPlacement.h"
#include "dialogs/ErrorReport.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"
#include "location/EngineTest.h"
#include "text/PathText.h"
#include "windows/AgendaWindow.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

namespace vrelmont::ui {
namespace {
const QString kBrowseCaption = QStringLiteral("...");
const QString kUnlockCaption = QStringLiteral("<>");
const QString kLockedDescription =
    QStringLiteral("Cesta je zamčená, nelze ji upravit. Odemkne ji tlačítko <> vedle pole.");
constexpr int kHelpTopic = 1;

QLabel *TitleStripLabel(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Midlight);
    return label;
}
} // namespace

DataDirectoryWindow::DataDirectoryWindow(TBFTable &engineTestTable, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      directoryDialog_(this), engineTestTable_(engineTestTable) {
    setObjectName(QStringLiteral("frmInit"));
    setWindowTitle(QStringLiteral("Nastavení cesty k Money"));
    setFont(WindowFont());
    resize(403, 160);
    KeepCentredAtEveryShowing(this);
    KeepFromMaximising(this);
    InstallHelpKey(this, kHelpTopic);

    titleBevel_ = new QFrame(this);
    titleBevel_->setObjectName(QStringLiteral("Bevel1"));
    titleBevel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    titleBevel_->setGeometry(8, 12, 377, 23);
    titleLabel_ = TitleStripLabel(QStringLiteral("Vrelmont v Money S3"), this);
    titleLabel_->setObjectName(QStringLiteral("Label1"));
    titleLabel_->setGeometry(10, 16, 287, 15);
    versionLabel_ = TitleStripLabel(QStringLiteral("Verze "), this);
    versionLabel_->setObjectName(QStringLiteral("lblInfoVerze"));
    versionLabel_->setGeometry(299, 16, 83, 15);

    pathCaption_ = new QLabel(QStringLiteral("Cesta k adresáři DATA:"), this);
    pathCaption_->setObjectName(QStringLiteral("Label2"));
    pathCaption_->move(8, 48);
    pathCaption_->adjustSize();
    pathEdit_ = new QLineEdit(this);
    pathEdit_->setObjectName(QStringLiteral("Edit1"));
    pathEdit_->setGeometry(8, 64, 353, 21);
    pathCaption_->setBuddy(pathEdit_);
    pathEdit_->setAccessibleName(QStringLiteral("Cesta k adresáři DATA"));
    // A deep path shows only part of itself in the field.
    connect(pathEdit_, &QLineEdit::textChanged, pathEdit_, &QWidget::setToolTip);

    auto button = [this](const QString &caption, const char *name, int left, int top, int width, int height) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, top, width, height);
        return b;
    };
    browseButton_ = button(kBrowseCaption, "Button3", 360, 64, 25, 21);
    helpButton_ = button(QStringLiteral("Nápověda"), "Button4", 8, 112, 75, 25);
    endButton_ = button(QStringLiteral("Konec"), "Button2", 230, 112, 75, 25);
    nextButton_ = button(QStringLiteral("Další >>>"), "Button1", 312, 112, 75, 25);
    nextButton_->setDefault(true);
    nextButton_->setAccessibleName(QStringLiteral("Další")); // the arrows read aloud say nothing
    connect(nextButton_, &QPushButton::clicked, this, &DataDirectoryWindow::onNextClicked);
    connect(endButton_, &QPushButton::clicked, this, &DataDirectoryWindow::onEndClicked);
    connect(browseButton_, &QPushButton::clicked, this, &DataDirectoryWindow::onBrowseClicked);
    connect(helpButton_, &QPushButton::clicked, this, &DataDirectoryWindow::onHelpClicked);

    setTabOrder(pathEdit_, nextButton_);
    setTabOrder(nextButton_, endButton_);
    setTabOrder(endButton_, browseButton_);
    setTabOrder(browseButton_, helpButton_);
}

void DataDirectoryWindow::setProgramVersion(const QString &programVersion) {
    versionLabel_->setText(QStringLiteral("Verze ") + programVersion);
}

QString DataDirectoryWindow::dataPath() const {
    return pathEdit_->text();
}

void DataDirectoryWindow::setDataPath(const QString &path) {
    pathEdit_->setText(path);
}

void DataDirectoryWindow::setPathLocked(bool locked) {
    // Locked, the path cannot be edited but can still be read: in the ordinary text colour, reached
    // by Tab, scrolled with the cursor keys and read aloud. A disabled field would offer none of it.
    pathEdit_->setReadOnly(locked);
    pathEdit_->setAccessibleDescription(locked ? kLockedDescription : QString());
    browseButton_->setText(locked ? kUnlockCaption : kBrowseCaption);
    // The captions "<>" and "..." say little when read aloud.
    const QString meaning =
        locked ? QStringLiteral("Odemknout cestu k adresáři DATA") : QStringLiteral("Vybrat adresář DATA");
    browseButton_->setToolTip(meaning);
    browseButton_->setAccessibleName(meaning);
}

bool DataDirectoryWindow::isPathLocked() const {
    return browseButton_->text() == kUnlockCaption;
}

bool DataDirectoryWindow::engineTestPassed() {
    const auto failure = RunEngineTest(engineTestTable_);
    if (!failure)
        return true;
    const std::string text = EngineTestFailureText(*failure, kMakerEmail);
    ShowMessageBox(this, QStringLiteral("Error"), QString::fromStdString(text), BoxIcon::Error);
    return false;
}

void DataDirectoryWindow::onNextClicked() {
    GuardHandler(this, [this] {
        if (!engineTestPassed())
            return;
        if (!agendaWindow_)
            throw std::logic_error("Další: the agenda window has not been set");
        // An empty field stays empty: the agendas are then looked for in the current directory.
        const std::string dataRoot = NormalizeDirPath(pathEdit_->text().toStdString());
        if (agendaWindow_->selectAgenda(dataRoot))
            accept();
    });
}

void DataDirectoryWindow::onEndClicked() {
    programEndRequested_ = true;
    emit programEndRequested();
    done(QDialog::Rejected);
}

void DataDirectoryWindow::onBrowseClicked() {
    if (isPathLocked()) {
        setPathLocked(false); // only unlocks; the dialog opens on the next press
        return;
    }
    // The path field is not handed over: the dialog starts where its previous showing ended, the
    // first time in the process's current directory.
    if (directoryDialog_.runDialog())
        pathEdit_->setText(directoryDialog_.directoryName());
}

void DataDirectoryWindow::onHelpClicked() {
    OpenHelpTopic(this, kHelpTopic);
}

void DataDirectoryWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        onEndClicked();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vrelmont::ui
