#include "app/ProgramWindows.h"

#include "app/StartUp.h"
#include "settings/ProgramValues.h"

namespace vrelmont::ui {

ProgramWindows::ProgramWindows(const ProgramValues &values) {
    mainWindow.setInfoWindow(&infoWindow, QString::fromStdString(values.version));
    mainWindow.setAgendaWindow(&agendaWindow);
    dataDirectoryWindow.setAgendaWindow(&agendaWindow);
    mainWindow.setExitProgram([this, &values] { ExitProgram(mainWindow, values.settingsFilePath, currentAgenda); });
}

} // namespace vrelmont::ui
