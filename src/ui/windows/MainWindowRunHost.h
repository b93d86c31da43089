#pragma once
// The check run's host in the main window: report lines go to the report box, progress to the
// gauge, the ticked boxes are read as the run reaches them, and window events are processed on a
// clock so that the user's clicks (Přerušit above all) are handled during the run.
#include "checks/RunHost.h"

#include <QElapsedTimer>
#include <array>
#include <functional>

class QCheckBox;
class QWidget;

namespace vrelmont::ui {

class ProgressGauge;
class ReportBox;

class MainWindowRunHost : public RunHost {
public:
    struct Controls {
        ReportBox *reportBox;
        ProgressGauge *gauge;
        std::array<QCheckBox *, 15> checkBoxes; // [N - 1] is CheckBoxN
        QWidget *messageParent;
        std::function<void(bool running)> switchButtons;
    };
    explicit MainWindowRunHost(Controls controls);

    // Start: a fresh run looks at events at its first line and sees no abort from an earlier run.
    void prepareRun();
    // Přerušit.
    void requestAbort() { abortRequested_ = true; }

    void ReportLine(const std::string &text) override;
    void ProcessEvents() override;
    void SetRunState(bool running) override;
    bool IsChecked(int checkBoxNumber) override;
    void ShowMessage(const std::string &text) override;
    bool AbortRequested() override { return abortRequested_; }
    void FocusReport() override;
    Gauge &gauge() override;

private:
    void processEventsOnClock();
    void processEventsNow();

    Controls controls_;
    bool abortRequested_ = false;
    // Pending window events are processed during a run every kEventIntervalMs, not after every report
    // line, which cost more than the check itself. Each look also hands the lines gathered since the
    // last one to the text document; at 10 ms those pieces stay small enough that a click is handled
    // within about 50 ms even on an agenda where every record is a finding.
    static constexpr int kEventIntervalMs = 10;
    QElapsedTimer sinceEvents_;
};

} // namespace vrelmont::ui
