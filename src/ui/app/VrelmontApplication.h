#pragma once
#include <QApplication>

namespace vrelmont::ui {

// The application object. Every handler already reports its own errors; this is the last guard,
// so that an error from any event still reaches the general error report and never Qt's event loop.
class VrelmontApplication : public QApplication {
public:
    VrelmontApplication(int &argc, char **argv) : QApplication(argc, argv) {}
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace vrelmont::ui
