#pragma once
// What the check run needs of the window (or terminal) it runs in.
#include "checks/Findings.h"
#include "checks/Gauge.h"

#include <string>

namespace vrelmont {

class RunHost {
public:
    virtual ~RunHost() = default;

    // Appends `text` as a new last line of the report, then processes pending window events.
    virtual void ReportLine(const std::string &text) = 0;
    // Processes pending window events (the user's clicks during a run arrive here).
    virtual void ProcessEvents() = 0;
    // Switches Start, Přerušit, Uložit protokol, Konec and Změna agendy between idle and running.
    virtual void SetRunState(bool running) = 0;
    // Whether CheckBoxN (1..15) is ticked now; read when that check's turn comes.
    virtual bool IsChecked(int checkBoxNumber) = 0;
    // A check's failure: a modal box titled with the application title, no icon, one OK.
    virtual void ShowMessage(const std::string &text) = 0;
    // Whether the user asked the run to stop (Přerušit, Ctrl+C); read by the checks in their walks.
    virtual bool AbortRequested() = 0;
    // The report box takes the keyboard focus at the start of a run.
    virtual void FocusReport() {}
    // Where the checks also hand their findings with what they are about; none for the window.
    virtual FindingSink *findingSink() { return nullptr; }
    virtual Gauge &gauge() = 0;
};

} // namespace vrelmont
