#include "app/HelpFileLocation.h"

#include "dialogs/HelpViewer.h"

#include <QDir>
#include <QFileInfo>

namespace vrelmont::ui {

std::string FindHelpFilePath(const std::string &programDir) {
    const QString name = QString::fromUtf8(kHelpDocumentName);
    const QString dir = QString::fromStdString(programDir);
    const QString besideProgram = QDir::toNativeSeparators(QDir(dir).filePath(name));
    QStringList candidates{besideProgram,
                           QDir::cleanPath(QDir(dir).filePath(QStringLiteral("../share/vrelmont/") + name))};
#ifdef VRELMONT_INSTALLED_DATA_DIR
    candidates << QDir(QStringLiteral(VRELMONT_INSTALLED_DATA_DIR)).filePath(name);
#endif
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QDir::toNativeSeparators(candidate).toStdString();
    }
    return besideProgram.toStdString();
}

} // namespace vrelmont::ui
