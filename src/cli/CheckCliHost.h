#pragma once
// The check run's host on a terminal: report lines to standard output, check failures to standard
// error, progress on standard error when it is a terminal, Ctrl+C as Přerušit.
#include "checks/RunHost.h"
#include "settings/SelectedChecks.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vrelmont::cli {

class CheckCliHost : public RunHost {
public:
    // `ticked` names the check boxes whose checks take part. Without `printReport` the report
    // lines are only kept (for the protocol file), not printed. `findings`, when given, receives the
    // findings with what they are about.
    CheckCliHost(const SelectedChecks &ticked, bool keepLines, bool printReport = true,
                 FindingSink *findings = nullptr);
    ~CheckCliHost() override;
    CheckCliHost(const CheckCliHost &) = delete;
    CheckCliHost &operator=(const CheckCliHost &) = delete;

    void ReportLine(const std::string &text) override;
    void ProcessEvents() override;
    void SetRunState(bool) override {}
    bool IsChecked(int checkBoxNumber) override;
    void ShowMessage(const std::string &text) override;
    bool AbortRequested() override { return abortRequested_; }
    Gauge &gauge() override { return gauge_; }
    FindingSink *findingSink() override { return findings_; }

    // Whether Ctrl+C was pressed during the run.
    bool interrupted() const;
    // Clears the progress line before other output to the same terminal.
    void clearProgressForOutput();

    // The check failures shown on standard error, in order.
    const std::vector<std::string> &messages() const { return messages_; }
    // The report's lines, when asked to keep them (for the protocol file).
    const std::vector<std::string> &lines() const { return lines_; }
    // Throws std::runtime_error when standard output could not take every line.
    void finishOutput();

private:
    void showProgress();
    void clearProgress();

    SelectedChecks ticked_;
    bool abortRequested_ = false;
    bool keepLines_;
    bool printReport_;
    FindingSink *findings_;
    std::vector<std::string> lines_;
    std::vector<std::string> messages_;
    Gauge gauge_;
    bool progressOnTerminal_;
    bool reportOnTerminal_; // report lines are shown with their control characters escaped
    bool outputOnSameTerminal_;
    bool dumbTerminal_; // TERM=dumb: no control sequences
    // "3/7 <title>" of the check that runs
    std::string checkTitle_;
    std::string shownProgress_;
};

} // namespace vrelmont::cli
