// Program entry. The program reads no command-line arguments; its settings file is found by StartUp.
#include "app/StartUp.h"
#include "app/VrelmontApplication.h"
#include "dialogs/ErrorReport.h"
#include "platform/UserFolders.h"
#include "wiring/EngineChoice.h"

#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

#include <cstdlib>
#include <string>

int main(int argc, char **argv) {
    vrelmont::ui::VrelmontApplication app(argc, argv);
    vrelmont::ui::InitialiseApplication();
    // VRELMONT_ENGINE=host|files forces the table engine; by default the host's engine is used when
    // its class is registered, else the table files.
    if (!vrelmont::ui::GuardHandler(nullptr, [] { vrelmont::UseEngineFromEnvironment(); }))
        return 1;
    // An engine this build cannot load is never passed over in silence for the table files.
    const std::string bitnessMismatch = vrelmont::HostEngineBitnessMismatch();
    const char *forcedEngine = std::getenv(vrelmont::kEngineEnvironmentVariable);
    if (!bitnessMismatch.empty() && !(forcedEngine && std::string(forcedEngine) == "files"))
        QMessageBox::warning(nullptr, QStringLiteral("Vrelmont"),
                             QString::fromStdString(bitnessMismatch) +
                                 QStringLiteral("\n\nVrelmont teď čte soubory tabulek agendy sám, bez databázového "
                                                "stroje účetního systému."));
    // No organisation name: the desktop's configuration directory is ~/.config/Vrelmont; Windows
    // has %APPDATA%\Vrelmont.
    const std::string desktopConfigFolder =
        QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).toStdString();
    const vrelmont::ui::StartUpPaths paths{
        QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString(),
        vrelmont::UserSettingsFolder(desktopConfigFolder)};
    return vrelmont::ui::RunProgram(paths);
}
