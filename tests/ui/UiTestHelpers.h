#pragma once
// Small helpers shared by the window tests.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QStringList>
#include <QWidget>

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
