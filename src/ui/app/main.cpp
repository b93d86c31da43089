// Program entry. The program reads no command-line arguments; its settings file is found by StartUp.
#include "app/StartUp.h"
#include "app/VrelmontApplication.h"

#include <QDir>
#include <QStandardPaths>

int main(int argc, char **argv) {
    vrelmont::ui::VrelmontApplication app(argc, argv);
    vrelmont::ui::InitialiseApplication();
    // No organisation name: the user's configuration directory is ~/.config/Vrelmont.
    const vrelmont::ui::StartUpPaths paths{
        QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString(),
        QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).toStdString()};
    return vrelmont::ui::RunProgram(paths);
}
