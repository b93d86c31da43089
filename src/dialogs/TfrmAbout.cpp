#include "dialogs/TfrmAbout.h"

#include "app/WindowFont.h"
#include "checks/CheckRun.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace vrelmont::ui {
namespace {
constexpr int kCaptionLeft = 16;
constexpr int kCaptionWidth = 73;
constexpr int kValueLeft = 104;
constexpr int kValueWidth = 193;
constexpr int kVersionWidth = 73;
constexpr int kRowHeight = 17;
} // namespace

TfrmAbout::TfrmAbout(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Informace"));
    setFont(WindowFont());
    setFixedSize(348, 179);
    move(201, 140);
    InstallHelpKey(this, kHelpInformation);

    auto row = [this](int top, const QString &caption, const QString &value, int valueWidth, QLabel *&captionLabel,
                      QLabel *&valueLabel) {
        captionLabel = new QLabel(caption, this);
        captionLabel->setGeometry(kCaptionLeft, top, kCaptionWidth, kRowHeight);
        valueLabel = new QLabel(value, this);
        valueLabel->setGeometry(kValueLeft, top, valueWidth, kRowHeight);
    };
    row(16, QStringLiteral("Název:"), QString::fromUtf8(kApplicationTitle), kValueWidth, lblNameCaption, lblName);
    row(32, QStringLiteral("Verze:"), QString(), kVersionWidth, lblVersionCaption, Label8);
    row(64, QStringLiteral("Copyright:"), QString::fromUtf8(kMakerCopyright), kValueWidth, lblCopyrightCaption,
        lblCopyright);
    row(80, QStringLiteral("E-mail:"), QString::fromUtf8(kMakerEmail), kValueWidth, lblEmailCaption, lblEmail);
    row(96, QStringLiteral("Internet:"), QString::fromUtf8(kMakerWebAddress), kValueWidth, lblInternetCaption,
        lblInternet);
    Label8->setObjectName(QStringLiteral("Label8"));

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(16, 128, 321, 2);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(242, 144, 95, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfrmAbout::Button1Click);
}

int TfrmAbout::ShowWithVersion(const QString &programVersion) {
    Label8->setText(programVersion);
    return ExecModal(this);
}

void TfrmAbout::Button1Click() {
    accept();
}

void TfrmAbout::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    Button1->setFocus(Qt::OtherFocusReason);
}

} // namespace vrelmont::ui
