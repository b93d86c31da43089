#include "dialogs/HelpBrowserWindow.h"

#include "common/ProgramTexts.h"
#include "common/WindowPlacement.h"

#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vrelmont::ui {

HelpBrowserWindow::HelpBrowserWindow(QWidget *owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("HelpBrowserWindow"));
    setWindowTitle(ApplicationTitle() + QStringLiteral(" – nápověda"));
    setAttribute(Qt::WA_DeleteOnClose, owner == nullptr);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpText"));
    browser_->setOpenExternalLinks(true); // the maker's web address, if the help names it
    browser_->setAccessibleName(QStringLiteral("Nápověda"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    resize(640, 560);
}

HelpBrowserWindow *HelpBrowserWindow::showTopic(QWidget *caller, const QUrl &topicUrl) {
    QWidget *owner = caller ? caller->window() : nullptr;
    auto *viewer = owner ? owner->findChild<HelpBrowserWindow *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!viewer) {
        viewer = new HelpBrowserWindow(owner);
        CentreOnScreen(viewer);
    }
    viewer->open(topicUrl);
    return viewer;
}

void HelpBrowserWindow::open(const QUrl &topicUrl) {
    show();
    raise();
    activateWindow();
    // Laid out first, so that the anchor can be scrolled to.
    browser_->setSource(topicUrl.adjusted(QUrl::RemoveFragment));
    if (topicUrl.hasFragment())
        browser_->scrollToAnchor(topicUrl.fragment());
}

} // namespace vrelmont::ui
