#include "dialogs/HelpViewer.h"

#include "app/core/ProgramValues.h"
#include "checks/CheckRun.h"
#include "dialogs/Modal.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace vrelmont::ui {
namespace {
std::function<void(QWidget *, int)> topicOpener;
std::function<bool(const QUrl &)> urlOpener;
QStringList candidatesOverride;

void ShowHelpProblem(QWidget *parent, const QString &text) {
    ShowMessageBox(parent, QString::fromUtf8(kApplicationTitle), text, BoxIcon::Error);
}
} // namespace

QStringList HelpDocumentCandidatesFor(const QString &programDir) {
    const QDir dir(programDir);
    const QString name = QString::fromUtf8(kHelpDocumentName);
    QStringList candidates{QDir::cleanPath(dir.filePath(name)),
                           QDir::cleanPath(dir.filePath(QStringLiteral("../share/vrelmont/") + name))};
#ifdef VRELMONT_INSTALLED_DATA_DIR
    candidates << QDir(QStringLiteral(VRELMONT_INSTALLED_DATA_DIR)).filePath(name);
#endif
    candidates.removeDuplicates();
    return candidates;
}

QStringList HelpDocumentCandidates() {
    if (!candidatesOverride.isEmpty())
        return candidatesOverride;
    QStringList candidates = HelpDocumentCandidatesFor(QCoreApplication::applicationDirPath());
    if (!HelpFilePath.empty())
        candidates.prepend(QDir::cleanPath(QString::fromStdString(HelpFilePath)));
    candidates.removeDuplicates();
    return candidates;
}

QUrl HelpTopicUrl(const QString &documentPath, int topic) {
    QUrl url = QUrl::fromLocalFile(QFileInfo(documentPath).absoluteFilePath());
    url.setFragment(QStringLiteral("topic-%1").arg(topic));
    return url;
}

void OpenHelpTopic(QWidget *parent, int topic) {
    if (topicOpener) {
        topicOpener(parent, topic);
        return;
    }
    const QStringList candidates = HelpDocumentCandidates();
    for (const QString &path : candidates) {
        if (!QFileInfo(path).isFile())
            continue;
        const QUrl url = HelpTopicUrl(path, topic);
        const bool opened = urlOpener ? urlOpener(url) : QDesktopServices::openUrl(url);
        if (!opened)
            ShowHelpProblem(parent,
                            QStringLiteral("Nápovědu se nepodařilo otevřít v prohlížeči: %1").arg(url.toString()));
        return;
    }
    ShowHelpProblem(parent, QStringLiteral("Nápověda nebyla nalezena. Soubor %1 není na žádném z těchto míst:\n%2")
                                .arg(QString::fromUtf8(kHelpDocumentName),
                                     QDir::toNativeSeparators(candidates.join(QLatin1Char('\n')))));
}

namespace testing {
void SetHelpTopicOpener(std::function<void(QWidget *, int)> opener) {
    topicOpener = std::move(opener);
}
void SetUrlOpener(std::function<bool(const QUrl &)> opener) {
    urlOpener = std::move(opener);
}
void SetHelpDocumentCandidates(const QStringList &candidates) {
    candidatesOverride = candidates;
}
} // namespace testing

} // namespace vrelmont::ui
