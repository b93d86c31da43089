#include "app/ProgramWindows.h"

#include "app/StartUp.h"

namespace vrelmont::ui {

ProgramWindows::ProgramWindows() {
    frmMain.SetAboutWindow(&frmAbout);
    frmMain.SetExitProgram([this] { ExitProgram(frmMain); });
}

} // namespace vrelmont::ui
