#pragma once
// The window of the directory browsing dialog: a folder list with its current directory, a drive
// selector and an optional list of the current directory's files. It exists only while shown.
#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vrelmont::ui {

class DriveSelector;

class DirectoryDialogWindow : public QDialog {
    Q_OBJECT
public:
    explicit DirectoryDialogWindow(QWidget *parent = nullptr);

    // Makes `path` the folder list's current directory. Answers false, changing nothing, when it
    // is empty or is no existing directory.
    bool setDirectory(const QString &path);
    // The folder list's current directory, with the platform's separators.
    QString directory() const;

    void setHelpContext(quint16 helpContext) { helpContext_ = helpContext; }
    quint16 helpContext() const { return helpContext_; }

    // Shows or hides the file list and lays the window out: 410 wide with it, 253 without
    // (418 and 261 with the window frame), the buttons beside whichever list is last.
    void applyLayout(bool fileListVisible, bool helpVisible);
    void centreOnScreen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    // Opens a folder list entry (double click or Enter): it becomes the current directory.
    void onFolderItemOpened(QListWidgetItem *item);
    void onDriveChosen(int index);
    void onHelpClicked();

private:
    void fillDrives();
    void showCurrentDirectory();
    void fillFolderList();
    void fillFileList();
    void selectDriveOfCurrentDirectory();

    QLabel *folderCaption_;     // Label1
    QLabel *currentDirLabel_;   // LDirLabel
    QListWidget *folderList_;   // DirectoryListBox
    QLabel *driveCaption_;      // Label2
    DriveSelector *driveBox_;   // DriveComboBox
    QListWidget *fileList_;     // FileListBox
    QPushButton *okButton_;     // BBOk
    QPushButton *cancelButton_; // BBCancel
    QPushButton *helpButton_;   // BBHelp

    QString currentDir_; // absolute, with "/" separators
    quint16 helpContext_ = 0;
};

} // namespace vrelmont::ui
