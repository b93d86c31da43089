#include "app/HelpFileLocation.h"

#include "dialogs/HelpViewer.h"

#include <QDir>
#include <QFileInfo>

namespace vrelmont::ui {

std::string FindHelpFilePath(const std::string &programDir) {
    const QStringList candidates = HelpDocumentCandidatesFor(QString::fromStdString(programDir));
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QDir::toNativeSeparators(candidate).toStdString();
    }
    return QDir::toNativeSeparators(candidates.constFirst()).toStdString();
}

} // namespace vrelmont::ui
