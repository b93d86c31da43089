#include "widgets/RunAnnouncements.h"

#include <QAccessible>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace vrelmont::ui {
namespace {
// The one run in progress, and the update handler that was there before it began.
RunAnnouncements *running = nullptr;
QAccessible::UpdateHandler before = nullptr;

bool IsTextEvent(QAccessible::Event type) {
    switch (type) {
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
    case QAccessible::TextColumnChanged:
    case QAccessible::VisibleDataChanged:
        return true;
    default:
        return false;
    }
}

bool IsWithin(const QObject *object, const QObject *ancestor) {
    for (; object; object = object->parent()) {
        if (object == ancestor)
            return true;
    }
    return false;
}
} // namespace

RunAnnouncements::RunAnnouncements(QPlainTextEdit *reportBox, QWidget *gauge, Clock clock)
    : reportBox_(reportBox), gauge_(gauge), clock_(std::move(clock)) {
    steady_.start();
    if (!clock_)
        clock_ = [this] { return steady_.elapsed(); };
    gaugeLater_.setSingleShot(true);
    QObject::connect(&gaugeLater_, &QTimer::timeout, [this] { tellGauge(); });
}

RunAnnouncements::~RunAnnouncements() {
    if (running == this)
        endRun();
}

void RunAnnouncements::beginRun() {
    if (running)
        return;
    running = this;
    gaugeToldAt_ = -1;
    gaugeUntold_ = false;
    before = QAccessible::installUpdateHandler(&RunAnnouncements::filter);
}

void RunAnnouncements::endRun() {
    if (running != this)
        return;
    gaugeLater_.stop();
    if (gaugeUntold_)
        tellGauge();
    if (reportBox_) {
        // "Dokončeno", the abort line or the title of the check that failed; not the rules around them.
        QTextBlock last = reportBox_->document()->lastBlock();
        while (last.isValid() && last.text().trimmed().remove(QLatin1Char('=')).isEmpty())
            last = last.previous();
        if (last.isValid()) {
            QAccessibleTextInsertEvent end(reportBox_, last.position(), last.text());
            forward(&end);
        }
    }
    QAccessible::installUpdateHandler(before);
    running = nullptr;
}

void RunAnnouncements::filter(QAccessibleEvent *event) {
    if (!running || !running->holdsBack(event))
        forward(event);
}

void RunAnnouncements::forward(QAccessibleEvent *event) {
    if (before) {
        before(event);
        return;
    }
    // Without a handler of its own, Qt hands the event to the platform's assistive bridge.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&RunAnnouncements::filter);
}

bool RunAnnouncements::holdsBack(QAccessibleEvent *event) {
    QObject *object = event->object();
    if (reportBox_ && IsWithin(object, reportBox_)) // the box, its viewport and its scroll bar
        return IsTextEvent(event->type()) || event->type() == QAccessible::ValueChanged;
    if (gauge_ && object == gauge_ && event->type() == QAccessible::ValueChanged) {
        const qint64 now = clock_();
        if (gaugeToldAt_ < 0 || now - gaugeToldAt_ >= kGaugeIntervalMs) {
            gaugeToldAt_ = now;
            gaugeUntold_ = false;
            return false;
        }
        gaugeUntold_ = true;
        if (!gaugeLater_.isActive())
            gaugeLater_.start(int(kGaugeIntervalMs - (now - gaugeToldAt_)));
        return true;
    }
    return false;
}

void RunAnnouncements::tellGauge() {
    if (!gaugeUntold_ || !gauge_)
        return;
    gaugeUntold_ = false;
    gaugeToldAt_ = clock_();
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(gauge_);
    QAccessibleValueInterface *value = accessible ? accessible->valueInterface() : nullptr;
    if (!value)
        return;
    QAccessibleValueChangeEvent event(gauge_, value->currentValue());
    forward(&event);
}

} // namespace vrelmont::ui
