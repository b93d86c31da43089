#include "app/StartUp.h"

#include "app/AppIcon.h"
#include "app/HelpFileLocation.h"
#include "app/ProgramWindows.h"
#include "app/core/DataRootDiscovery.h"
#include "app/core/ProgramSettings.h"
#include "app/core/ProgramValues.h"
#include "checks/CheckRun.h"
#include "dialogs/ErrorReport.h"
#include "dialogs/Modal.h"
#include "hostdb/PathText.h"
#include "location/CurrentAgenda.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLineEdit>
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

bool StartUp(ProgramWindows &windows, const StartUpPaths &paths) {
    ProgramVersion = kProgramVersion;
    windows.frmInit.SetProgramVersion(QString::fromStdString(ProgramVersion));

    ProgramDir = NormalizeDirPath(DirectoryPart(paths.programFilePath));
    SettingsFilePath = ChooseSettingsFilePath(ProgramDir, paths.userConfigDir);
    HelpFilePath = FindHelpFilePath(ProgramDir);

    LoadSettings(windows.frmInit, windows.frmMain);

    // A path from the settings file or from the host discovery is shown locked.
    windows.frmInit.SetPathLocked(false);
    if (!windows.frmInit.Edit1->text().isEmpty())
        windows.frmInit.SetPathLocked(true);

    // Only OK (an agenda chosen) leads on; Konec and the close box end the program unsaved.
    return ExecModal(&windows.frmInit) == QDialog::Accepted;
}

void LoadSettings(TfrmInit &frmInit, TfrmMain &frmMain) {
    const ProgramSettings settings = LoadProgramSettings(SettingsFilePath);
    // Shown as stored: neither normalised nor checked here.
    frmInit.Edit1->setText(QString::fromStdString(settings.moneyDataRoot));
    for (int n = 1; n <= kCheckCount; ++n)
        frmMain.checkBox(n)->setChecked(settings.checks[std::size_t(n - 1)]);
    if (frmInit.Edit1->text().isEmpty())
        frmInit.Edit1->setText(QString::fromStdString(DiscoverDataRoot()));
}

void SaveSettings(const TfrmMain &frmMain) {
    CheckChoices checks{};
    for (int n = 1; n <= kCheckCount; ++n)
        checks[std::size_t(n - 1)] = frmMain.checkBox(n)->isChecked();
    // The user's configuration directory may not exist yet; beside the program it always does.
    // A directory that cannot be made shows up as the failed write below.
    QDir().mkpath(QFileInfo(QString::fromStdString(SettingsFilePath)).absolutePath());
    // The root on which the current agenda was chosen, not whatever the path field holds.
    SaveProgramSettings(SettingsFilePath, DataRootPath, checks);
}

void ExitProgram(TfrmMain &frmMain) {
    GuardHandler(&frmMain, [&] { SaveSettings(frmMain); });
    // Ends the main loop without closing windows: a close request does not come back here.
    // During a run the loop ends once the run has returned to it.
    frmMain.EndProgramWhenIdle();
}

void InitialiseApplication() {
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
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
    ProgramWindows windows;
    bool started = false;
    if (!GuardHandler(nullptr, [&] { started = StartUp(windows, paths); }))
        return 1;
    if (!started)
        return 0;
    windows.frmMain.show();
    return QApplication::exec();
}

} // namespace vrelmont::ui
