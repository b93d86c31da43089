#include "common/WindowPlacement.h"

#include <QDebug>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

namespace vrelmont::ui {
namespace {

// The frame a window manager put around the last window measured; a window that is not yet
// mapped has none of its own.
QMargins lastKnownFrame;

QMargins FrameOf(const QWidget *window) {
    const QWindow *handle = window->windowHandle();
    const QMargins own = handle ? handle->frameMargins() : QMargins();
    if (!own.isNull())
        lastKnownFrame = own;
    return own.isNull() ? lastKnownFrame : own;
}

bool FrameKnown(const QWidget *window) {
    return window->windowHandle() && !window->windowHandle()->frameMargins().isNull();
}

bool FrameCentred(const QWidget *window) {
    const QPoint offset = window->frameGeometry().center() - window->screen()->availableGeometry().center();
    return std::abs(offset.x()) <= 1 && std::abs(offset.y()) <= 1;
}

class CentreAtShowing : public QObject {
public:
    explicit CentreAtShowing(QWidget *window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched != window_)
            return false;
        if (event->type() == QEvent::Show) {
            CentreOnScreen(window_);
            ++showing_;
            // The window manager puts its frame around the window only after it is mapped, and tells
            // nobody when: look again a few times while the window appears.
            for (const int ms : {0, 50, 150, 400})
                QTimer::singleShot(ms, this, [this, showing = showing_] { centreOnceFramed(showing); });
        } else if (event->type() == QEvent::WindowActivate) {
            centreOnceFramed(showing_);
        } else if (event->type() == QEvent::Hide) {
            ++showing_; // pending looks belong to a showing that is over
        }
        return false;
    }

private:
    void centreOnceFramed(int showing) {
        if (showing != showing_ || settled_ == showing_ || !window_->isVisible() || !FrameKnown(window_))
            return;
        settled_ = showing_; // once framed, the user may move the window where they like
        if (window_->screen() && !FrameCentred(window_))
            CentreOnScreen(window_);
    }

    QWidget *window_;
    int showing_ = 0;
    int settled_ = -1;
};

class UndoMaximising : public QObject {
public:
    explicit UndoMaximising(QWidget *window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == window_ && event->type() == QEvent::WindowStateChange &&
            (window_->windowState() & Qt::WindowMaximized)) {
            QTimer::singleShot(0, window_,
                               [w = window_] { w->setWindowState(w->windowState() & ~Qt::WindowMaximized); });
        }
        return false;
    }

private:
    QWidget *window_;
};

} // namespace

void CentreOnScreen(QWidget *window) {
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QMargins frame = FrameOf(window);
    QRect outer = window->geometry().marginsAdded(frame);
    outer.moveCenter(screen->availableGeometry().center());
    window->move(outer.topLeft() + QPoint(frame.left(), frame.top()) - (window->geometry().topLeft() - window->pos()));
}

void KeepCentredAtEveryShowing(QWidget *window) {
    window->installEventFilter(new CentreAtShowing(window));
}

void KeepFromMaximising(QWidget *window) {
    window->installEventFilter(new UndoMaximising(window));
}

} // namespace vrelmont::ui
