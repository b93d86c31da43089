#pragma once
// A RunHost that records what a run does and lets a test act at a chosen moment, as the user
// would inside the window's event processing (press Přerušit, untick a box).
#include "checks/RunHost.h"
#include "settings/SelectedChecks.h"

#include <array>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace vrelmont::testing {

struct GaugeState {
    int progress;
    int maximum;
    bool operator==(const GaugeState &) const = default;
};

inline void PrintTo(const GaugeState &state, std::ostream *out) {
    *out << state.progress << "/" << state.maximum;
}

// A gauge that remembers every value it took.
class RecordingGauge : public Gauge {
public:
    std::vector<GaugeState> changes;

protected:
    void changed() override { changes.push_back({progress(), maximum()}); }
};

class FakeRunHost : public RunHost {
public:
    FakeRunHost();

    void ReportLine(const std::string &text) override;
    void ProcessEvents() override;
    void SetRunState(bool running) override;
    bool IsChecked(int checkBoxNumber) override;
    void ShowMessage(const std::string &text) override;
    bool AbortRequested() override { return abort; }
    void FocusReport() override { journal.push_back("focus"); }
    Gauge &gauge() override { return gauge_; }
    FindingSink *findingSink() override { return findings; }

    void tickOnly(std::initializer_list<int> checkBoxes);
    // The abort request is made while the n-th report line (1-based) is written / at the n-th event pump.
    void abortAtLine(int n);
    void abortAtEvents(int n);

    // The report lines from index `first` on.
    std::vector<std::string> linesFrom(std::size_t first) const;

    bool abort = false; // Přerušit pressed
    SelectedChecks ticked;
    std::vector<std::string> lines;
    std::vector<std::string> messages;
    std::vector<bool> runStates;
    std::vector<GaugeState> gaugeAtEvents;
    // Every value the gauge took, in order.
    const std::vector<GaugeState> &gaugeChanges() const { return gauge_.changes; }
    // Every call in order: "line:<text>", "events", "message:<text>", "state:1", "focus".
    std::vector<std::string> journal;
    std::function<void(FakeRunHost &)> onLine;   // after a line is recorded
    std::function<void(FakeRunHost &)> onEvents; // at an event pump
    FindingSink *findings = nullptr;

private:
    RecordingGauge gauge_;
};

// The four lines of a check's header block.
std::vector<std::string> HeaderBlock(const std::string &title, int underline);

} // namespace vrelmont::testing
