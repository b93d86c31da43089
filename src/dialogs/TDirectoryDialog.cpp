#include "dialogs/TDirectoryDialog.h"

#include "dialogs/Modal.h"
#include "dialogs/TFormDirDialog.h"

namespace vrelmont::ui {

bool TDirectoryDialog::RunDialog() {
    TFormDirDialog form(owner_);
    // An empty title would show the application's name instead: a blank one shows nothing.
    form.setWindowTitle(TitleDialog.isEmpty() ? QStringLiteral(" ") : TitleDialog);
    form.SetHelpContext(HelpContext);
    form.ApplyLayout(FileListVisible, HelpContext != 0);
    form.SetDirectory(DirectoryName); // failures leave it at the process's current directory
    form.CenterOnScreen();
    const bool accepted = ExecModal(&form) == QDialog::Accepted;
    DirectoryName = form.Directory();
    return accepted;
}

} // namespace vrelmont::ui
