#pragma once
// The agenda selection window. Created once and reused: every selectAgenda rebuilds the list from
// the file system and shows the window modally.
#include <QDialog>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace vrelmont {
struct CurrentAgenda;
}

namespace vrelmont::ui {

class AgendaWindow : public QDialog {
    Q_OBJECT
public:
    // "OK" sets `currentAgenda`, which outlives the window.
    explicit AgendaWindow(CurrentAgenda &currentAgenda, QWidget *parent = nullptr);
    ~AgendaWindow() override;

    // Lists the agendas under `dataRoot` (ending in the separator), shows the window and answers
    // whether one was chosen. Only "OK" changes the current agenda; it also sets its data root.
    // An error while the list is built is shown by the general error report and the window
    // does not open.
    bool selectAgenda(const std::string &dataRoot);

    // The directory paths of the latest listing, one per row.
    const std::vector<std::string> &agendaDirs() const { return agendaDirs_; }

private slots:
    void onSelectionChanged();
    void onListDoubleClicked();
    void onOkClicked();
    void onBackClicked();

private:
    void clearListing();
    int selectedRow() const;
    // The status line: `path`, elided in the middle when it is too wide; empty clears it.
    void showStatusPath(const QString &path);

    CurrentAgenda &currentAgenda_;
    QLabel *listCaption_;     // Label2
    QListWidget *agendaList_; // ListBox1
    QPushButton *okButton_;   // Button2 "OK"
    QPushButton *backButton_; // Button3 "Zpět"
    QFrame *statusBevel_;     // Bevel1
    QLabel *statusLine_;      // Label1: the selected agenda's directory
    std::vector<std::string> agendaDirs_;
};

} // namespace vrelmont::ui
