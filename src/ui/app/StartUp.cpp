#include "app/StartUp.h"

#include "app/HelpFileLocation.h"
#include "app/ProgramWindows.h"
#include "common/AppIcon.h"
#include "common/ProgramTexts.h"
#include "dialogs/ErrorReport.h"
#include "dialogs/Modal.h"
#include "location/CurrentAgenda.h"
#include "location/DataRootDiscovery.h"
#include "settings/ProgramSettings.h"
#include "settings/ProgramValues.h"
#include "text/PathText.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vrelmont::ui {
namespace {

// Up to and including the last separator; a bare file name has no directory part.
std::string DirectoryPart(const std::string &filePath) {
    const auto last = filePath.find_last_of(kDirSeparator);
    return last == std::string::npos ? std::string() : filePath.substr(0, last + 1);
}

} // namespace

bool StartUp(ProgramWindows &windows, ProgramValues &values, const StartUpPaths &paths) {
    values.version = kProgramVersion;
    windows.dataDirectoryWindow.setProgramVersion(QString::fromStdString(values.version));

    values.programDir = NormalizeDirPath(DirectoryPart(paths.programFilePath));
    values.settingsFilePath = ChooseSettingsFilePath(values.programDir, paths.userConfigDir);
    values.helpFilePath = FindHelpFilePath(values.programDir);

    LoadSettings(values.settingsFilePath, windows.dataDirectoryWindow, windows.mainWindow);

    // A path from the settings file or from the host discovery is shown locked.
    windows.dataDirectoryWindow.setPathLocked(false);
    if (!windows.dataDirectoryWindow.dataPath().isEmpty())
        windows.dataDirectoryWindow.setPathLocked(true);

    // Only OK (an agenda chosen) leads on; Konec and the close box end the program unsaved.
    return ExecModal(&windows.dataDirectoryWindow) == QDialog::Accepted;
}

void LoadSettings(const std::string &settingsFilePath, DataDirectoryWindow &dataDirectoryWindow,
                  MainWindow &mainWindow) {
    const ProgramSettings settings = LoadProgramSettings(settingsFilePath);
    // Shown as stored: neither normalised nor checked here.
    dataDirectoryWindow.setDataPath(QString::fromStdString(settings.moneyDataRoot));
    mainWindow.setSelectedChecks(settings.checks);
    if (dataDirectoryWindow.dataPath().isEmpty())
        dataDirectoryWindow.setDataPath(QString::fromStdString(DiscoverDataRoot()));
}

void SaveSettings(const std::string &settingsFilePath, const MainWindow &mainWindow, const CurrentAgenda &agenda) {
    // The user's configuration directory may not exist yet; beside the program it always does.
    // A directory that cannot be made shows up as the failed write below.
    QDir().mkpath(QFileInfo(QString::fromStdString(settingsFilePath)).absolutePath());
    // The root on which the current agenda was chosen, not whatever the path field holds.
    SaveProgramSettings(settingsFilePath, agenda.dataRoot, mainWindow.selectedChecks());
}

void ExitProgram(MainWindow &mainWindow, const std::string &settingsFilePath, const CurrentAgenda &agenda) {
    GuardHandler(&mainWindow, [&] { SaveSettings(settingsFilePath, mainWindow, agenda); });
    // Ends the main loop without closing windows: a close request does not come back here.
    // During a run the loop ends once the run has returned to it.
    mainWindow.endProgramWhenIdle();
}

void InitialiseApplication() {
    QApplication::setApplicationName(ApplicationTitle());
    // Docks match the windows (WM_CLASS "Vrelmont") to the launcher cz.vrelmont.Vrelmont.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("cz.vrelmont.Vrelmont"));
    QApplication::setWindowIcon(AppIcon());
    // Closing the last window does not end the program by itself: ExitProgram does, after saving.
    QApplication::setQuitOnLastWindowClosed(false);
    // The program speaks Czech: Qt's own dialogs (the save dialog above all) should too.
    static QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Czech, QLocale::CzechRepublic), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
}

int RunProgram(const StartUpPaths &paths) {
    ProgramValues values;
    ProgramWindows windows(values);
    bool started = false;
    if (!GuardHandler(nullptr, [&] { started = StartUp(windows, values, paths); }))
        return 1;
    if (!started)
        return 0;
    windows.mainWindow.show();
    return QApplication::exec();
}

} // namespace vrelmont::ui
