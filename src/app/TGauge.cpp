#include "app/TGauge.h"

#include <QPainter>
#include <cstdint>

namespace vrelmont::ui {

TGauge::TGauge(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    delayedPaint_.setSingleShot(true);
    connect(&delayedPaint_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

QString TGauge::percentText() const {
    return QString::number(percent()) + QLatin1Char('%');
}

QRect TGauge::barArea() const {
    return rect().adjusted(1, 1, -1, -1);
}

int TGauge::barWidth() const {
    if (maximum() <= 0)
        return 0;
    return static_cast<int>(std::int64_t{barArea().width()} * progress() / maximum());
}

void TGauge::changed() {
    if (percent() == shownPercent_ && barWidth() == shownBarWidth_)
        return;
    shownPercent_ = percent();
    shownBarWidth_ = barWidth();
    if (!sincePaint_.isValid() || sincePaint_.elapsed() >= kMinPaintIntervalMs)
        update();
    else if (!delayedPaint_.isActive())
        delayedPaint_.start(kMinPaintIntervalMs - static_cast<int>(sincePaint_.elapsed()));
}

void TGauge::resizeEvent(QResizeEvent *event) {
    shownBarWidth_ = -1;
    QWidget::resizeEvent(event);
}

void TGauge::paintEvent(QPaintEvent *) {
    sincePaint_.start();
    delayedPaint_.stop();
    QPainter p(this);
    const QColor barColour = palette().color(QPalette::Active, QPalette::Highlight);
    p.setPen(palette().color(QPalette::Dark));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    const QRect area = barArea();
    const QRect bar(area.left(), area.top(), barWidth(), area.height());
    p.fillRect(area, Qt::white);
    p.fillRect(bar, barColour);

    // The percentage in the bar's colour on white and in white where the bar lies under it.
    const QString text = percentText();
    p.setPen(barColour);
    p.drawText(area, Qt::AlignCenter, text);
    p.setClipRect(bar);
    p.setPen(Qt::white);
    p.drawText(area, Qt::AlignCenter, text);
}

} // namespace vrelmont::ui
