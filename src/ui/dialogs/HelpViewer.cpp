#include "dialogs/HelpViewer.h"

#include "common/ProgramTexts.h"
#include "dialogs/HelpBrowserWindow.h"
#include "dialogs/Modal.h"
#include "platform/BrowserLaunch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QPointer>
#include <QSaveFile>
#include <QShortcut>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

namespace vrelmont::ui {
namespace {
std::function<void(QWidget *, int)> topicOpener;
BrowserLauncher browserLauncher;
QStringList candidatesOverride;

void ShowHelpProblem(QWidget *parent, const QString &text) {
    ShowMessageBox(parent, ApplicationTitle(), text, BoxIcon::Error);
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
    return HelpDocumentCandidatesFor(QCoreApplication::applicationDirPath());
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
        const QUrl topicUrl = HelpTopicUrl(path, topic);
        const QString jumpPage =
            WriteTopicJumpPage(QStandardPaths::writableLocation(QStandardPaths::CacheLocation), topicUrl, topic);
        // Without a place for the jump page the document itself is opened at its anchor.
        const QUrl url = jumpPage.isEmpty() ? topicUrl : QUrl::fromLocalFile(jumpPage);
        // Where no browser can be started, the program's own viewer shows the topic.
        const auto told = [caller = QPointer<QWidget>(parent), topicUrl](bool started) {
            if (!started)
                HelpBrowserWindow::showTopic(caller, topicUrl);
        };
        (browserLauncher ? browserLauncher : LaunchBrowser)(url, told);
        return;
    }
    ShowHelpProblem(parent, QStringLiteral("Nápověda nebyla nalezena. Soubor %1 není na žádném z těchto míst:\n%2")
                                .arg(QString::fromUtf8(kHelpDocumentName),
                                     QDir::toNativeSeparators(candidates.join(QLatin1Char('\n')))));
}

QString WriteTopicJumpPage(const QString &directory, const QUrl &topicUrl, int topic) {
    if (directory.isEmpty() || !QDir().mkpath(directory))
        return {};
    const QString path = QDir(directory).filePath(QStringLiteral("napoveda-%1.html").arg(topic));
    // Fully encoded, the address holds no quotation mark, angle bracket or blank.
    const QString target = topicUrl.toString(QUrl::FullyEncoded);
    const QString page =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"cs\"><head><meta charset=\"utf-8\">\n"
                       "<title>Vrelmont – nápověda</title>\n"
                       "<meta http-equiv=\"refresh\" content=\"0; url=%1\">\n"
                       "<script>location.replace(\"%2\");</script>\n"
                       "</head><body><p><a href=\"%1\">Nápověda programu Vrelmont</a></p></body></html>\n")
            .arg(target.toHtmlEscaped(), target);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(page.toUtf8()) < 0 || !file.commit())
        return {};
    return path;
}

void InstallHelpKey(QWidget *window, std::function<int()> topic) {
    auto *key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window,
                     [window, topic = std::move(topic)] { OpenHelpTopic(window, topic()); });
}

void InstallHelpKey(QWidget *window, int topic) {
    InstallHelpKey(window, [topic] { return topic; });
}

namespace testing {
void SetHelpTopicOpener(std::function<void(QWidget *, int)> opener) {
    topicOpener = std::move(opener);
}
void SetBrowserLauncher(BrowserLauncher launcher) {
    browserLauncher = std::move(launcher);
}
void SetUrlOpener(std::function<bool(const QUrl &)> opener) {
    if (!opener) {
        browserLauncher = {};
        return;
    }
    browserLauncher = [opener = std::move(opener)](const QUrl &url, std::function<void(bool)> told) {
        told(opener(url));
    };
}
void SetHelpDocumentCandidates(const QStringList &candidates) {
    candidatesOverride = candidates;
}
} // namespace testing

} // namespace vrelmont::ui
