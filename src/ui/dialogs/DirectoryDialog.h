#pragma once
// A reusable directory picker owned by a window. Each runDialog builds a fresh DirectoryDialogWindow;
// the next showing starts where the previous one ended, however it was left.
#include <QString>

class QWidget;

namespace vrelmont::ui {

class DirectoryDialog {
public:
    explicit DirectoryDialog(QWidget *owner = nullptr) : owner_(owner) {}

    const QString &title() const { return title_; }
    void setTitle(const QString &title) { title_ = title; }
    // Shows the file list and widens the dialog.
    bool fileListVisible() const { return fileListVisible_; }
    void setFileListVisible(bool visible) { fileListVisible_ = visible; }
    // The help topic; 0 hides the help button.
    quint16 helpContext() const { return helpContext_; }
    void setHelpContext(quint16 helpContext) { helpContext_ = helpContext; }
    // Where the dialog starts; afterwards, where it ended.
    const QString &directoryName() const { return directoryName_; }
    void setDirectoryName(const QString &directoryName) { directoryName_ = directoryName; }

    // Shows the dialog modally; true when closed with OK. The directory name takes the folder list's
    // current directory in either case. A start directory that does not exist is ignored silently.
    bool runDialog();

private:
    QWidget *owner_;
    QString title_;
    bool fileListVisible_ = false;
    quint16 helpContext_ = 0;
    QString directoryName_;
};

} // namespace vrelmont::ui
