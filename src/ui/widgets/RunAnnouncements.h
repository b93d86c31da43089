#pragma once
// What assistive tools hear of a check run. The report box takes hundreds of lines a second and the
// gauge moves every 20 records; told of each, a screen reader talks of nothing else (605 text and
// 604 caret events and 1,300 gauge values in 8 seconds). During a run the box's own text and caret
// events are held back, the gauge's value is told at most once a second, and the run's end is told
// once, with its last line ("Dokončeno"). The lines still appear in the box as they come.
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <functional>

class QAccessibleEvent;
class QPlainTextEdit;
class QWidget;

namespace vrelmont::ui {

class RunAnnouncements {
public:
    // Milliseconds from any fixed start; the steady clock unless a test gives its own.
    using Clock = std::function<qint64()>;
    RunAnnouncements(QPlainTextEdit *reportBox, QWidget *gauge, Clock clock = {});
    ~RunAnnouncements();
    RunAnnouncements(const RunAnnouncements &) = delete;
    RunAnnouncements &operator=(const RunAnnouncements &) = delete;

    void beginRun();
    // Tells the gauge's last value if it is still untold, then, once, the run's last line that is not
    // a rule of "=".
    void endRun();

    static constexpr qint64 kGaugeIntervalMs = 1000;

private:
    static void filter(QAccessibleEvent *event);
    static void forward(QAccessibleEvent *event);
    bool holdsBack(QAccessibleEvent *event);
    void tellGauge();

    QPointer<QPlainTextEdit> reportBox_;
    QPointer<QWidget> gauge_;
    Clock clock_;
    QElapsedTimer steady_;
    qint64 gaugeToldAt_ = -1;
    bool gaugeUntold_ = false;
    QTimer gaugeLater_;
};

} // namespace vrelmont::ui
