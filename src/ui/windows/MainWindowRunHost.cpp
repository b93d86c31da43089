#include "windows/MainWindowRunHost.h"

#include "common/ProgramTexts.h"
#include "dialogs/Modal.h"
#include "widgets/ProgressGauge.h"
#include "widgets/ReportBox.h"

#include <QCheckBox>
#include <QCoreApplication>

namespace vrelmont::ui {

MainWindowRunHost::MainWindowRunHost(Controls controls) : controls_(std::move(controls)) {}

void MainWindowRunHost::prepareRun() {
    abortRequested_ = false;
    sinceEvents_.invalidate();
}

void MainWindowRunHost::ReportLine(const std::string &text) {
    controls_.reportBox->appendLine(QString::fromStdString(text));
    processEventsOnClock();
}

void MainWindowRunHost::ProcessEvents() {
    processEventsOnClock();
}

void MainWindowRunHost::processEventsOnClock() {
    // Often enough that lines, the gauge and Přerušit keep up with the user's eye and hand.
    if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventIntervalMs)
        return;
    processEventsNow();
}

void MainWindowRunHost::processEventsNow() {
    // The lines gathered since the last look go to the text document in one piece, before the events.
    controls_.reportBox->flushPendingLines();
    QCoreApplication::processEvents();
    sinceEvents_.start();
}

void MainWindowRunHost::SetRunState(bool running) {
    controls_.switchButtons(running);
}

bool MainWindowRunHost::IsChecked(int checkBoxNumber) {
    // A box ticked or unticked a moment ago counts: its click is handled before it is read.
    processEventsNow();
    if (checkBoxNumber < 1 || checkBoxNumber > static_cast<int>(controls_.checkBoxes.size()))
        return false;
    return controls_.checkBoxes[static_cast<std::size_t>(checkBoxNumber - 1)]->isChecked();
}

void MainWindowRunHost::ShowMessage(const std::string &text) {
    // The lines written before the failure are on screen while the box waits.
    controls_.reportBox->flushPendingLines();
    ShowMessageBox(controls_.messageParent, ApplicationTitle(), QString::fromStdString(text), BoxIcon::None);
}

void MainWindowRunHost::FocusReport() {
    controls_.reportBox->setFocus();
}

Gauge &MainWindowRunHost::gauge() {
    return *controls_.gauge;
}

} // namespace vrelmont::ui
