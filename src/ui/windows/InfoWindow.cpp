#include "windows/InfoWindow.h"

#include "common/ProgramTexts.h"
#include "common/WindowFont.h"
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

InfoWindow::InfoWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Informace"));
    setFont(WindowFont());
    setFixedSize(348, 179);
    move(201, 140);
    InstallHelpKey(this, kHelpInformation);

    auto row = [this](int top, const char *captionName, const QString &caption, const char *valueName,
                      const QString &value, int valueWidth) {
        auto *captionLabel = new QLabel(caption, this);
        captionLabel->setObjectName(QLatin1String(captionName));
        captionLabel->setGeometry(kCaptionLeft, top, kCaptionWidth, kRowHeight);
        auto *valueLabel = new QLabel(value, this);
        valueLabel->setObjectName(QLatin1String(valueName));
        valueLabel->setGeometry(kValueLeft, top, valueWidth, kRowHeight);
        return valueLabel;
    };
    row(16, "lblNameCaption", QStringLiteral("Název:"), "lblName", ApplicationTitle(), kValueWidth);
    versionLabel_ = row(32, "lblVersionCaption", QStringLiteral("Verze:"), "Label8", QString(), kVersionWidth);
    row(64, "lblCopyrightCaption", QStringLiteral("Copyright:"), "lblCopyright", QString::fromUtf8(kMakerCopyright),
        kValueWidth);
    row(80, "lblEmailCaption", QStringLiteral("E-mail:"), "lblEmail", QString::fromUtf8(kMakerEmail), kValueWidth);
    row(96, "lblInternetCaption", QStringLiteral("Internet:"), "lblInternet", QString::fromUtf8(kMakerWebAddress),
        kValueWidth);

    auto *rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("Bevel1"));
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    rule->setGeometry(16, 128, 321, 2);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("Button1"));
    okButton_->setGeometry(242, 144, 95, 25);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &InfoWindow::onOkClicked);
}

int InfoWindow::showWithVersion(const QString &programVersion) {
    versionLabel_->setText(programVersion);
    return ExecModal(this);
}

void InfoWindow::onOkClicked() {
    accept();
}

void InfoWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    okButton_->setFocus(Qt::OtherFocusReason);
}

} // namespace vrelmont::ui
