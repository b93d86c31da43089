// Program entry. Until the start-up windows exist, the agenda is taken from VRELMONT_AGENDA or
// asked for with a directory dialog, and the main window opens directly on it.
#include "app/TfrmMain.h"
#include "checks/CheckRun.h"
#include "dialogs/ErrorReport.h"
#include "hostdb/PathText.h"
#include "hostdb/TS3IniFile.h"
#include "location/CurrentAgenda.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

namespace {

QString AskAgendaDirectory() {
    const QString fromEnvironment = qEnvironmentVariable("VRELMONT_AGENDA");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QFileDialog::getExistingDirectory(nullptr, QStringLiteral("Adresář agendy"));
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(vrelmont::kApplicationTitle));

    vrelmont::ui::TfrmMain frmMain;
    const QString directory = AskAgendaDirectory();
    if (directory.isEmpty())
        return 0;
    const bool chosen = vrelmont::ui::GuardHandler(nullptr, [&] {
        using namespace vrelmont;
        const std::string agenda = NormalizeDirPath(QDir::toNativeSeparators(directory).toStdString());
        AgendaName = TS3IniFile(agenda + "AGENDA.INI").GetText("Údaje o firmě", "Název-obchodní", "");
        AgendaTablePath = agenda;
        const QString root = QDir::cleanPath(QDir(directory).absoluteFilePath(QStringLiteral("..")));
        DataRootPath = NormalizeDirPath(QDir::toNativeSeparators(root).toStdString());
    });
    if (!chosen)
        return 1;
    frmMain.show();
    return app.exec();
}
