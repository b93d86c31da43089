#pragma once
// The information window: the program's name, version and the maker's contact rows.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace vrelmont::ui {

// The maker's rows; the support address also ends the engine test's message.
inline constexpr const char *kMakerCopyright = "© 2026 Vrelmont";
inline constexpr const char *kMakerEmail = "podpora@vrelmont.cz";
inline constexpr const char *kMakerWebAddress = "https://www.vrelmont.cz";

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    // Sets the version row, then shows the window modally; answers the modal result.
    int ShowWithVersion(const QString &programVersion);

    void Button1Click();

    QLabel *lblNameCaption;
    QLabel *lblName;
    QLabel *lblVersionCaption;
    QLabel *Label8; // the version; keeps the text last set between showings
    QLabel *lblCopyrightCaption;
    QLabel *lblCopyright;
    QLabel *lblEmailCaption;
    QLabel *lblEmail;
    QLabel *lblInternetCaption;
    QLabel *lblInternet;
    QFrame *Bevel1;
    QPushButton *Button1;

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace vrelmont::ui
