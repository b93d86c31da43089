#pragma once
// The application's help: the HTML document Vrelmont.html, opened in the user's browser at the
// anchor of a topic ("#topic-1" for context number 1), or in the program's own viewer where no
// browser can be started.
#include <QString>
#include <QStringList>
#include <functional>

class QUrl;
class QWidget;

namespace vrelmont::ui {

inline constexpr const char *kHelpDocumentName = "Vrelmont.html";

// Where a program in `programDir` has its document, in this order: beside the program, then the
// installed data directory (<prefix>/share/vrelmont beside <prefix>/bin, or the configured one).
QStringList HelpDocumentCandidatesFor(const QString &programDir);
// Where the document is looked for: the places above for the running program.
QStringList HelpDocumentCandidates();

// The URL of a topic in the document at `documentPath`.
QUrl HelpTopicUrl(const QString &documentPath, int topic);

// The help topics of the program's windows: the anchors "#topic-N" of the document.
enum HelpTopic : int {
    kHelpDataDirectory = 1,
    kHelpAgendaSelection = 2,
    kHelpMainWindow = 3,
    kHelpDirectoryDialog = 4,
    kHelpInformation = 5,
};

// Opens the help at `topic`: in the browser, else in the program's own viewer. A missing document
// is told in a message box naming the places looked at.
void OpenHelpTopic(QWidget *parent, int topic);

// F1 anywhere in `window` opens the help at the topic that `topic` answers at that moment.
void InstallHelpKey(QWidget *window, std::function<int()> topic);
void InstallHelpKey(QWidget *window, int topic);

// A small page that jumps to `topicUrl`: browsers handed a local file by the desktop may drop its
// #anchor, but they follow a page's own jump. Written into `directory`; empty when that fails.
QString WriteTopicJumpPage(const QString &directory, const QUrl &topicUrl, int topic);

// Starts the browser on a URL and tells, maybe later, whether it started; it may never tell while
// the browser runs.
using BrowserLauncher = std::function<void(const QUrl &url, std::function<void(bool started)> told)>;

// Test control, process-wide seams: the UI tests start no browser.
namespace testing {
// Replaces the whole opener (windows' help buttons call it with their topic); empty restores.
void SetHelpTopicOpener(std::function<void(QWidget *parent, int topic)> opener);
// Replaces the browser start. Empty restores.
void SetBrowserLauncher(BrowserLauncher launcher);
// The same for a start that answers at once whether it worked.
void SetUrlOpener(std::function<bool(const QUrl &)> opener);
// Replaces the places looked at; empty restores.
void SetHelpDocumentCandidates(const QStringList &candidates);
} // namespace testing

} // namespace vrelmont::ui
