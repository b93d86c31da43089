#pragma once
// Small helpers shared by the window tests.
#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <stdexcept>
#include <string>

namespace vrelmont::ui::test {

// The control that `window` names `name` (its form name): windows keep their controls private, and
// tests find them as a reader of the window's description would. A missing name ends the test.
template <typename Control = QWidget> Control *Named(const QObject *window, const char *name) {
    auto *control = window->findChild<Control *>(QString::fromLatin1(name));
    if (!control)
        throw std::logic_error("no control named " + std::string(name) + " in " + window->objectName().toStdString());
    return control;
}
template <typename Control = QWidget> Control *Named(const QObject &window, const char *name) {
    return Named<Control>(&window, name);
}
template <typename Control = QWidget, typename Window>
Control *Named(const std::unique_ptr<Window> &window, const char *name) {
    return Named<Control>(window.get(), name);
}

// CheckBoxN of `window`.
template <typename Window> QCheckBox *NumberedCheckBox(const Window &window, int number) {
    return Named<QCheckBox>(window, QStringLiteral("CheckBox%1").arg(number).toLatin1().constData());
}

// The window's named controls in the order Tab visits them.
inline QStringList TabOrder(QWidget *window) {
    QStringList names;
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
            names << w->objectName();
    }
    return names;
}

inline void PressKey(QWidget *target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
}

inline QStringList ListTexts(const QListWidget *list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

} // namespace vrelmont::ui::test
