#include "LayoutChecks.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QWidget>

namespace vrelmont::ui::test {
namespace {

QString RectText(const QRect &rect) {
    return QStringLiteral("%1,%2 %3×%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

// The window's own controls: named by the window, not the parts that Qt makes inside a control.
QList<const QWidget *> NamedControls(const QWidget *window) {
    QList<const QWidget *> controls;
    for (const QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(QLatin1String("qt_")) &&
            !widget->isHidden() && !widget->isWindow())
            controls << widget;
    }
    return controls;
}

// The width the control's caption takes, with what the style draws around it; 0 without a caption.
int CaptionWidth(const QWidget *widget) {
    if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
        const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        return button->fontMetrics().horizontalAdvance(button->text()) + 2 * frame;
    }
    if (const auto *box = qobject_cast<const QCheckBox *>(widget))
        return box->sizeHint().width(); // the indicator, the spacing and the text
    if (const auto *label = qobject_cast<const QLabel *>(widget); label && !label->text().isEmpty()) {
        const QMargins margins = label->contentsMargins();
        return label->fontMetrics().horizontalAdvance(label->text()) + margins.left() + margins.right();
    }
    return 0;
}

// What the control lacks to show its caption whole; empty when it fits or has none.
QString CaptionFault(const QWidget *widget) {
    const auto *label = qobject_cast<const QLabel *>(widget);
    if (label && label->wordWrap()) {
        const int needed = label->heightForWidth(label->width());
        return needed > label->height() ? QStringLiteral("needs %1 high").arg(needed) : QString();
    }
    if (CaptionWidth(widget) > widget->width())
        return QStringLiteral("needs %1 wide").arg(CaptionWidth(widget));
    if (label && !label->text().isEmpty() && label->fontMetrics().height() > label->contentsRect().height())
        return QStringLiteral("needs %1 high").arg(label->fontMetrics().height());
    return {};
}

// Bevels and outlines frame other controls.
bool FramesOthers(const QWidget *widget) {
    return widget->metaObject() == &QFrame::staticMetaObject;
}

// Where the control shows something: a check box or a one-line label only as far as its caption
// reaches (the fixed widths leave room to spare), any other control all of it.
QRect Occupied(const QWidget *widget) {
    const auto *label = qobject_cast<const QLabel *>(widget);
    const bool caption =
        qobject_cast<const QCheckBox *>(widget) || (label && !label->wordWrap() && !label->text().isEmpty() &&
                                                    (label->alignment() & Qt::AlignHorizontal_Mask) == Qt::AlignLeft);
    QRect rect = widget->geometry();
    if (caption)
        rect.setWidth(std::min(rect.width(), CaptionWidth(widget)));
    return rect;
}

// More than a shared border line.
bool Overlap(const QRect &a, const QRect &b) {
    const QRect common = a.intersected(b);
    return common.width() > 1 && common.height() > 1;
}

} // namespace

Faults PlaceFaults(const QWidget *window, std::initializer_list<FixedPlace> places) {
    Faults faults;
    for (const FixedPlace &place : places) {
        const QString name = QString::fromLatin1(place.name);
        const auto *control = window->findChild<const QWidget *>(name);
        if (!control) {
            faults.push_back(place.name + std::string(": missing"));
            continue;
        }
        const QRect actual = control->geometry();
        const QRect fixed(place.position, place.size.isEmpty() ? actual.size() : place.size);
        if (actual != fixed)
            faults.push_back(
                QStringLiteral("%1: at %2, fixed %3").arg(name, RectText(actual), RectText(fixed)).toStdString());
    }
    return faults;
}

Faults LayoutFaults(const QWidget *window) {
    Faults faults;
    const auto add = [&faults](const QString &fault) { faults.push_back(fault.toStdString()); };
    const QList<const QWidget *> controls = NamedControls(window);
    for (const QWidget *control : controls) {
        const QString place = RectText(control->geometry());
        if (const QString lack = CaptionFault(control); !lack.isEmpty())
            add(QStringLiteral("%1 at %2: caption clipped, %3").arg(control->objectName(), place, lack));
        const QWidget *parent = control->parentWidget();
        if (!parent->rect().contains(control->geometry()))
            add(QStringLiteral("%1 at %2: outside %3 (%4)")
                    .arg(control->objectName(), place, parent->objectName(), RectText(parent->rect())));
    }
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget *a = controls[i];
            const QWidget *b = controls[j];
            if (a->parentWidget() != b->parentWidget() || FramesOthers(a) || FramesOthers(b))
                continue;
            if (Overlap(Occupied(a), Occupied(b)))
                add(QStringLiteral("%1 at %2 overlaps %3 at %4")
                        .arg(a->objectName(), RectText(Occupied(a)), b->objectName(), RectText(Occupied(b))));
        }
    }
    return faults;
}

} // namespace vrelmont::ui::test
