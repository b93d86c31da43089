#include "location/ui/TfrmInit.h"

#include "app/WindowFont.h"
#include "app/WindowPlacement.h"
#include "dialogs/ErrorReport.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"
#include "dialogs/TfrmAbout.h"
#include "hostdb/PathText.h"
#include "location/EngineTest.h"
#include "location/ui/TfrmGetAgenda.h"

#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vrelmont::ui {
namespace {
const QString kBrowseCaption = QStringLiteral("...");
const QString kUnlockCaption = QStringLiteral("<>");
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

TfrmInit::TfrmInit(TBFTable &BFTable1, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      DirectoryDialog1(this), BFTable1_(BFTable1) {
    setObjectName(QStringLiteral("frmInit"));
    setWindowTitle(QStringLiteral("Nastavení cesty k Money"));
    setFont(WindowFont());
    resize(403, 160);
    KeepCentredAtEveryShowing(this);
    KeepFromMaximising(this);
    InstallHelpKey(this, kHelpTopic);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Bevel1->setGeometry(8, 12, 377, 23);
    Label1 = TitleStripLabel(QStringLiteral("Vrelmont v Money S3"), this);
    Label1->setGeometry(10, 16, 287, 15);
    lblInfoVerze = TitleStripLabel(QStringLiteral("Verze "), this);
    lblInfoVerze->setObjectName(QStringLiteral("lblInfoVerze"));
    lblInfoVerze->setGeometry(299, 16, 83, 15);

    Label2 = new QLabel(QStringLiteral("Cesta k adresáři DATA:"), this);
    Label2->move(8, 48);
    Label2->adjustSize();
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 64, 353, 21);
    Label2->setBuddy(Edit1);
    Edit1->setAccessibleName(QStringLiteral("Cesta k adresáři DATA"));

    auto button = [this](const QString &caption, const char *name, int left, int top, int width, int height) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, top, width, height);
        return b;
    };
    Button3 = button(kBrowseCaption, "Button3", 360, 64, 25, 21);
    Button4 = button(QStringLiteral("Nápověda"), "Button4", 8, 112, 75, 25);
    Button2 = button(QStringLiteral("Konec"), "Button2", 230, 112, 75, 25);
    Button1 = button(QStringLiteral("Další >>>"), "Button1", 312, 112, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfrmInit::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmInit::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmInit::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TfrmInit::Button4Click);

    setTabOrder(Edit1, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button4);
}

void TfrmInit::SetProgramVersion(const QString &programVersion) {
    lblInfoVerze->setText(QStringLiteral("Verze ") + programVersion);
}

void TfrmInit::SetPathLocked(bool locked) {
    Edit1->setEnabled(!locked);
    Button3->setText(locked ? kUnlockCaption : kBrowseCaption);
    // The captions "<>" and "..." say little when read aloud.
    const QString meaning =
        locked ? QStringLiteral("Odemknout cestu k adresáři DATA") : QStringLiteral("Vybrat adresář DATA");
    Button3->setToolTip(meaning);
    Button3->setAccessibleName(meaning);
}

bool TfrmInit::IsPathLocked() const {
    return Button3->text() == kUnlockCaption;
}

bool TfrmInit::EngineTestPassed() {
    const auto failure = RunEngineTest(BFTable1_);
    if (!failure)
        return true;
    const std::string text = EngineTestFailureText(*failure, kMakerEmail);
    ShowMessageBox(this, QStringLiteral("Error"), QString::fromStdString(text), BoxIcon::Error);
    return false;
}

void TfrmInit::Button1Click() {
    GuardHandler(this, [this] {
        if (!EngineTestPassed())
            return;
        // An empty field stays empty: the agendas are then looked for in the current directory.
        const std::string dataRoot = NormalizeDirPath(Edit1->text().toStdString());
        if (SelectAgenda(dataRoot))
            accept();
    });
}

void TfrmInit::Button2Click() {
    programEndRequested_ = true;
    emit programEndRequested();
    done(QDialog::Rejected);
}

void TfrmInit::Button3Click() {
    if (IsPathLocked()) {
        SetPathLocked(false); // only unlocks; the dialog opens on the next press
        return;
    }
    // The dialog opens where the path field points when that is a directory; otherwise where its
    // previous showing ended.
    const QString typed = QString::fromStdString(NormalizeDirPath(Edit1->text().toStdString()));
    if (!typed.isEmpty() && QFileInfo(typed).isDir())
        DirectoryDialog1.DirectoryName = typed;
    if (DirectoryDialog1.RunDialog())
        Edit1->setText(DirectoryDialog1.DirectoryName);
}

void TfrmInit::Button4Click() {
    OpenHelpTopic(this, kHelpTopic);
}

void TfrmInit::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        Button2Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vrelmont::ui
