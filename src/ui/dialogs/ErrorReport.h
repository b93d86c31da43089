#pragma once
#include <QString>
#include <exception>
#include <functional>

class QWidget;

namespace vrelmont::ui {

// The general error report: application title, error icon, one OK, the message with its full stop.
void ShowErrorReport(QWidget *parent, const QString &message);

// Runs a handler's work; any exception that escapes it is shown by the general error report,
// so that no error reaches Qt's event loop. Answers false when an error was reported.
bool GuardHandler(QWidget *parent, const std::function<void()> &work);

} // namespace vrelmont::ui
