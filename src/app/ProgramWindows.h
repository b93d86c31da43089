#pragma once
// The program's four windows, created in this order when the program starts and kept until it ends.
#include "app/TfrmMain.h"
#include "dialogs/TfrmAbout.h"
#include "location/ui/TfrmGetAgenda.h"
#include "location/ui/TfrmInit.h"

namespace vrelmont::ui {

struct ProgramWindows {
    // Wires the main window's Info to the information window and its exit to ExitProgram.
    ProgramWindows();
    ProgramWindows(const ProgramWindows &) = delete;
    ProgramWindows &operator=(const ProgramWindows &) = delete;

    TfrmMain frmMain;
    TfrmInit frmInit{frmMain.BFTable1};
    TfrmGetAgenda frmGetAgenda;
    TfrmAbout frmAbout;
};

} // namespace vrelmont::ui
