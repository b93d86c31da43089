#pragma once
// The window of the directory browsing dialog: a folder list with its current directory, a drive
// selector and an optional list of the current directory's files. It exists only while shown.
#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vrelmont::ui {

class TFormDirDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFormDirDialog(QWidget *parent = nullptr);

    // Makes `path` the folder list's current directory. Answers false, changing nothing, when it
    // is empty or is no existing directory.
    bool SetDirectory(const QString &path);
    // The folder list's current directory, with the platform's separators.
    QString Directory() const;

    void SetHelpContext(quint16 helpContext) { helpContext_ = helpContext; }
    quint16 HelpContext() const { return helpContext_; }

    // Shows or hides the file list and lays the window out: 410 wide with it, 253 without
    // (418 and 261 with the window frame), the buttons beside whichever list is last.
    void ApplyLayout(bool fileListVisible, bool helpVisible);
    void CenterOnScreen();

    // Opens a folder list entry (double click or Enter): it becomes the current directory.
    void OpenFolderItem(QListWidgetItem *item);
    void DriveChosen(int index);
    void BBHelpClick();

    QLabel *Label1;
    QLabel *LDirLabel;
    QListWidget *DirectoryListBox;
    QLabel *Label2;
    QComboBox *DriveComboBox;
    QListWidget *FileListBox;
    QPushButton *BBOk;
    QPushButton *BBCancel;
    QPushButton *BBHelp;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FillDrives();
    void ShowCurrentDirectory();
    void FillFolderList();
    void FillFileList();
    void SelectDriveOfCurrentDirectory();

    QString currentDir_; // absolute, with "/" separators
    quint16 helpContext_ = 0;
};

} // namespace vrelmont::ui
