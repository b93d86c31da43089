#pragma once
// The program's four windows, created in this order when the program starts and kept until it ends,
// with the state they share: the engine tables and the current agenda.
#include "app/EngineTables.h"
#include "app/TfrmMain.h"
#include "dialogs/TfrmAbout.h"
#include "location/CurrentAgenda.h"
#include "location/ui/TfrmGetAgenda.h"
#include "location/ui/TfrmInit.h"

namespace vrelmont {
struct ProgramValues;
}

namespace vrelmont::ui {

struct ProgramWindows {
    // Hands each window the windows it opens and the main window its exit (ExitProgram with `values`,
    // which outlive the windows).
    explicit ProgramWindows(const ProgramValues &values);
    ProgramWindows(const ProgramWindows &) = delete;
    ProgramWindows &operator=(const ProgramWindows &) = delete;

    EngineTables tables;
    CurrentAgenda currentAgenda;
    MainWindow mainWindow{tables, currentAgenda};
    DataDirectoryWindow dataDirectoryWindow{tables.walkTable};
    AgendaWindow agendaWindow{currentAgenda};
    InfoWindow infoWindow;
};

} // namespace vrelmont::ui
