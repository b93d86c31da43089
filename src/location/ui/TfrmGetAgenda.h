#pragma once
// The agenda selection window. Created once and reused: every SelectAgenda rebuilds the list from
// the file system and shows the window modally.
#include <QDialog>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace vrelmont::ui {

class TfrmGetAgenda : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGetAgenda(QWidget *parent = nullptr);
    ~TfrmGetAgenda() override;

    // The window that the free SelectAgenda uses: the one created first and still alive.
    static TfrmGetAgenda *Instance();

    // Lists the agendas under `dataRoot` (ending in the separator), shows the window and answers
    // whether one was chosen. Only "OK" changes the current agenda; it also sets DataRootPath.
    // An error while the list is built is shown by the general error report and the window
    // does not open.
    bool SelectAgenda(const std::string &dataRoot);

    void ListBox1Click();
    void ListBox1DblClick();
    void Button2Click();
    void Button3Click();

    // The directory paths of the latest listing, one per row.
    const std::vector<std::string> &AgendaDirList() const { return agendaDirList_; }

    QLabel *Label2;
    QListWidget *ListBox1;
    QPushButton *Button2; // "OK"
    QPushButton *Button3; // "Zpět"
    QFrame *Bevel1;
    QLabel *Label1; // status line: the selected agenda's directory

private:
    void ClearListing();
    int SelectedRow() const;

    std::vector<std::string> agendaDirList_;
};

// SelectAgenda on the program's agenda window (TfrmGetAgenda::Instance()).
// Throws std::logic_error when that window has not been created.
bool SelectAgenda(const std::string &dataRoot);

} // namespace vrelmont::ui
