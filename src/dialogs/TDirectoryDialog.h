#pragma once
// A reusable directory picker owned by a window. Each RunDialog builds a fresh TFormDirDialog;
// the next showing starts where the previous one ended, however it was left.
#include <QString>

class QWidget;

namespace vrelmont::ui {

class TDirectoryDialog {
public:
    explicit TDirectoryDialog(QWidget *owner = nullptr) : owner_(owner) {}

    QString TitleDialog;
    bool FileListVisible = false; // show the file list and widen the dialog
    quint16 HelpContext = 0;      // help topic; 0 hides the help button
    QString DirectoryName;        // where the dialog starts; afterwards, where it ended

    // Shows the dialog modally; true when closed with OK. DirectoryName takes the folder list's
    // current directory in either case. A start directory that does not exist is ignored silently.
    bool RunDialog();

private:
    QWidget *owner_;
};

} // namespace vrelmont::ui
