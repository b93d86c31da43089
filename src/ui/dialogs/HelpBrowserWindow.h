#pragma once
// The program's own help viewer, for a desktop where no browser can be started: the help document
// in a text browser, at a topic's anchor. One per window that asked for it, so that it stays usable
// beside a modal window and goes away with a dialog that lives only while shown.
#include <QWidget>

class QTextBrowser;
class QUrl;

namespace vrelmont::ui {

class HelpBrowserWindow : public QWidget {
    Q_OBJECT
public:
    // Shows the document of `topicUrl` at its anchor, in the viewer of `caller`'s window (made on
    // first use; without a caller, a viewer of its own).
    static HelpBrowserWindow *showTopic(QWidget *caller, const QUrl &topicUrl);

    const QTextBrowser *browser() const { return browser_; }

private:
    explicit HelpBrowserWindow(QWidget *owner);
    void open(const QUrl &topicUrl);

    QTextBrowser *browser_;
};

} // namespace vrelmont::ui
