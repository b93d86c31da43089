#include "app/VrelmontApplication.h"

#include "dialogs/ErrorReport.h"

namespace vrelmont::ui {

bool VrelmontApplication::notify(QObject *receiver, QEvent *event) {
    bool handled = false;
    GuardHandler(activeWindow(), [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace vrelmont::ui
