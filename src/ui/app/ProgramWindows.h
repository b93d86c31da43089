#pragma once
// The program's four windows, created in this order when the program starts and kept until it ends,
// with the state they share: the engine tables and the current agenda.
#include "location/CurrentAgenda.h"
#include "windows/AgendaWindow.h"
#include "windows/DataDirectoryWindow.h"
#include "windows/EngineTables.h"
#include "windows/InfoWindow.h"
#include "windows/MainWindow.h"

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
