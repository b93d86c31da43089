#include "widgets/ProgressGauge.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <cstdint>

namespace vrelmont::ui {
namespace {

// Assistive tools meet the gauge as a progress bar with its value, as they would a standard one.
class GaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit GaugeAccessible(ProgressGauge *gauge) : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return gauge()->percentText();
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return gauge()->progress(); }
    void setCurrentValue(const QVariant &) override {} // shows progress; the user does not set it
    QVariant maximumValue() const override { return gauge()->maximum(); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 0; }

private:
    ProgressGauge *gauge() const { return static_cast<ProgressGauge *>(widget()); }
};

QAccessibleInterface *GaugeAccessibleFactory(const QString &className, QObject *object) {
    if (className == QLatin1String("vrelmont::ui::ProgressGauge") && object && object->isWidgetType())
        return new GaugeAccessible(static_cast<ProgressGauge *>(object));
    return nullptr;
}

} // namespace

ProgressGauge::ProgressGauge(QWidget *parent) : QWidget(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(GaugeAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    setAttribute(Qt::WA_OpaquePaintEvent);
    delayedPaint_.setSingleShot(true);
    connect(&delayedPaint_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

QString ProgressGauge::percentText() const {
    return QString::number(percent()) + QLatin1Char('%');
}

QRect ProgressGauge::barArea() const {
    return rect().adjusted(1, 1, -1, -1);
}

int ProgressGauge::barWidth() const {
    if (maximum() <= 0)
        return 0;
    return static_cast<int>(std::int64_t{barArea().width()} * progress() / maximum());
}

void ProgressGauge::changed() {
    if (percent() == shownPercent_ && barWidth() == shownBarWidth_)
        return;
    if (percent() != shownPercent_ && isVisible()) {
        QAccessibleValueChangeEvent event(this, progress());
        QAccessible::updateAccessibility(&event);
    }
    shownPercent_ = percent();
    shownBarWidth_ = barWidth();
    if (!sincePaint_.isValid() || sincePaint_.elapsed() >= kMinPaintIntervalMs)
        update();
    else if (!delayedPaint_.isActive())
        delayedPaint_.start(kMinPaintIntervalMs - static_cast<int>(sincePaint_.elapsed()));
}

void ProgressGauge::resizeEvent(QResizeEvent *event) {
    shownBarWidth_ = -1;
    QWidget::resizeEvent(event);
}

void ProgressGauge::paintEvent(QPaintEvent *) {
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
