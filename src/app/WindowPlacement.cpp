#include "app/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

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

class CentreAtShowing : public QObject {
public:
    explicit CentreAtShowing(QWidget *window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched != window_)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            CentreOnScreen(window_);
            frameUsed_ = FrameOf(window_);
            awaitingFrame_ = true;
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Expose:
            // The window manager has framed the window: centre again if its frame differs from the
            // one assumed at showing.
            if (awaitingFrame_ && window_->windowHandle() && !window_->windowHandle()->frameMargins().isNull()) {
                awaitingFrame_ = false;
                if (window_->windowHandle()->frameMargins() != frameUsed_)
                    QTimer::singleShot(0, window_, [w = window_] { CentreOnScreen(w); });
            }
            break;
        case QEvent::Hide:
            awaitingFrame_ = false;
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWidget *window_;
    QMargins frameUsed_;
    bool awaitingFrame_ = false;
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
