#include "dialogs/DirectoryDialog.h"

#include "dialogs/DirectoryDialogWindow.h"
#include "dialogs/Modal.h"

namespace vrelmont::ui {

bool DirectoryDialog::runDialog() {
    DirectoryDialogWindow form(owner_);
    // An empty title would show the application's name instead: a blank one shows nothing.
    form.setWindowTitle(title_.isEmpty() ? QStringLiteral(" ") : title_);
    form.setHelpContext(helpContext_);
    form.applyLayout(fileListVisible_, helpContext_ != 0);
    form.setDirectory(directoryName_); // failures leave it at the process's current directory
    form.centreOnScreen();
    const bool accepted = ExecModal(&form) == QDialog::Accepted;
    directoryName_ = form.directory();
    return accepted;
}

} // namespace vrelmont::ui
