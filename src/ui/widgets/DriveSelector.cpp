#include "widgets/DriveSelector.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>

namespace vrelmont::ui {
namespace {

// A combo box as Qt presents one (its list as the child, the drop-down as an action), except that its
// name is the name it was given.
class DriveSelectorAccessible : public QAccessibleWidget {
public:
    explicit DriveSelectorAccessible(DriveSelector *selector) : QAccessibleWidget(selector, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return selector()->currentText();
        if (t == QAccessible::Name && selector()->accessibleName().isEmpty())
            return selector()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(selector()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        return child && child->object() == selector()->view() ? 0 : -1;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return selector()->view()->hasFocus() ? child(0) : nullptr; }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString &actionName) override {
        if (actionName != showMenuAction() && actionName != pressAction())
            return;
        if (selector()->view()->isVisible())
            selector()->hidePopup();
        else
            selector()->showPopup();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    DriveSelector *selector() const { return static_cast<DriveSelector *>(widget()); }
};

QAccessibleInterface *DriveSelectorAccessibleFactory(const QString &className, QObject *object) {
    if (className == QLatin1String("vrelmont::ui::DriveSelector") && object && object->isWidgetType())
        return new DriveSelectorAccessible(static_cast<DriveSelector *>(object));
    return nullptr;
}

} // namespace

DriveSelector::DriveSelector(QWidget *parent) : QComboBox(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(DriveSelectorAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
}

} // namespace vrelmont::ui
