#pragma once
// Start-up, the settings file and the exit.
#include <string>

namespace vrelmont {
struct CurrentAgenda;
struct ProgramValues;
} // namespace vrelmont

namespace vrelmont::ui {

struct ProgramWindows;
class DataDirectoryWindow;
class MainWindow;

// Where the program runs from and where the user's own configuration lives.
struct StartUpPaths {
    std::string programFilePath; // the running program file, native separators
    std::string userConfigDir;   // the settings' place when the program's directory cannot be written
};

// Sets the program values, loads the settings and shows the data directory window modally.
// Succeeds exactly when that window ended with OK (an agenda was chosen).
bool StartUp(ProgramWindows &windows, ProgramValues &values, const StartUpPaths &paths);

// The path field from PATH/MoneyDataRoot as stored, the fifteen boxes from SETTING/Check01..15;
// the host discovery only when the path field is then empty.
void LoadSettings(const std::string &settingsFilePath, DataDirectoryWindow &dataDirectoryWindow,
                  MainWindow &mainWindow);

// Writes the current agenda's data root (not the path field) and the boxes as they stand.
// Throws IniWriteError.
void SaveSettings(const std::string &settingsFilePath, const MainWindow &mainWindow, const CurrentAgenda &agenda);

// SaveSettings, then the end of the main event loop (during a run, once the run has returned).
// A failed write is reported and the program still ends.
void ExitProgram(MainWindow &mainWindow, const std::string &settingsFilePath, const CurrentAgenda &agenda);

// Application title and icon; the program ends only through ExitProgram.
void InitialiseApplication();

// The whole program after the application object exists: the windows, StartUp, the main loop.
int RunProgram(const StartUpPaths &paths);

} // namespace vrelmont::ui
