#pragma once
// The information window: the program's name, version and the maker's contact rows.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace vrelmont::ui {

class InfoWindow : public QDialog {
    Q_OBJECT
public:
    explicit InfoWindow(QWidget *parent = nullptr);

    // Sets the version row, then shows the window modally; answers the modal result.
    int showWithVersion(const QString &programVersion);

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void onOkClicked();

private:
    // The labels with their form names as object names: lblNameCaption, lblName, lblVersionCaption,
    // Label8 (the version), lblCopyrightCaption, lblCopyright, lblEmailCaption, lblEmail,
    // lblInternetCaption, lblInternet; the rule Bevel1.
    QLabel *versionLabel_;  // Label8: keeps the text last set between showings
    QPushButton *okButton_; // Button1
};

} // namespace vrelmont::ui
