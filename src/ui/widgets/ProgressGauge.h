#pragma once
// The progress gauge: a bar on white with the percentage in its middle.
#include "checks/Gauge.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace vrelmont::ui {

class ProgressGauge : public QWidget, public Gauge {
    Q_OBJECT
public:
    explicit ProgressGauge(QWidget *parent = nullptr);

    // The text shown in the middle, e.g. "42%".
    QString percentText() const;
    // Width in pixels of the filled part of the bar.
    int barWidth() const;

protected:
    void changed() override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QRect barArea() const;

    // What the last repaint request showed: a run moves the gauge every 20 records, but the picture
    // changes only when the percentage or the bar's last pixel does.
    int shownPercent_ = -1;
    int shownBarWidth_ = -1;
    // A large table moves the bar by a pixel hundreds of times a second; painting each of them would
    // cost more than the check itself. Repaints come at most every kMinPaintIntervalMs, the last
    // change always among them.
    static constexpr int kMinPaintIntervalMs = 20;
    QElapsedTimer sincePaint_;
    QTimer delayedPaint_;
};

} // namespace vrelmont::ui
