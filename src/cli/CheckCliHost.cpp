#include "cli/CheckCliHost.h"

#include "checks/CheckList.h"
#include "platform/CommandLine.h"
#include "platform/TerminalText.h"

#include <csignal>
#include <stdexcept>

namespace vrelmont::cli {
namespace {

volatile std::sig_atomic_t interruptRequested = 0;

// Ctrl+C is the terminal's Přerušit: the run sees it when it next serves events. A second
// Ctrl+C ends the program at once.
extern "C" void OnInterrupt(int signalNumber) {
    interruptRequested = 1;
    std::signal(signalNumber, SIG_DFL);
}

bool IsCheckTitle(const std::string &line) {
    // Every title ends in a colon; a finding line is turned away without comparing it fifteen times.
    if (line.empty() || line.back() != ':')
        return false;
    for (const int checkBox : kRunOrder)
        if (CheckTitle(checkBox) == line)
            return true;
    return false;
}

} // namespace

CheckCliHost::CheckCliHost(const SelectedChecks &ticked, bool keepLines, bool printReport, FindingSink *findings)
    : ticked_(ticked), keepLines_(keepLines), printReport_(printReport), findings_(findings),
      progressOnTerminal_(IsTerminal(stderr)), reportOnTerminal_(IsTerminal(stdout)),
      outputOnSameTerminal_(progressOnTerminal_ && reportOnTerminal_) {
    interruptRequested = 0;
    // A program started with Ctrl+C ignored (in the background, say) keeps ignoring it.
    if (std::signal(SIGINT, OnInterrupt) == SIG_IGN)
        std::signal(SIGINT, SIG_IGN);
}

CheckCliHost::~CheckCliHost() {
    if (std::signal(SIGINT, SIG_DFL) == SIG_IGN)
        std::signal(SIGINT, SIG_IGN);
    clearProgress();
}

void CheckCliHost::ReportLine(const std::string &text) {
    if (IsCheckTitle(text))
        checkTitle_ = text;
    if (printReport_) {
        clearProgressForOutput();
        if (reportOnTerminal_) {
            const std::string safe = TerminalSafeText(text, false);
            std::fwrite(safe.data(), 1, safe.size(), stdout);
        } else {
            std::fwrite(text.data(), 1, text.size(), stdout);
        }
        std::fputc('\n', stdout);
        if (outputOnSameTerminal_)
            std::fflush(stdout);
    }
    if (keepLines_)
        lines_.push_back(text);
    ProcessEvents();
}

bool CheckCliHost::interrupted() const {
    return interruptRequested != 0;
}

void CheckCliHost::clearProgressForOutput() {
    if (outputOnSameTerminal_)
        clearProgress();
}

void CheckCliHost::ProcessEvents() {
    // Seen by the checks from this pump on, as the window's Přerušit is.
    if (interruptRequested)
        abortRequested_ = true;
    if (progressOnTerminal_)
        showProgress();
}

bool CheckCliHost::IsChecked(int checkBoxNumber) {
    return ticked_.contains(checkBoxNumber);
}

void CheckCliHost::ShowMessage(const std::string &text) {
    clearProgress();
    std::fflush(stdout);
    std::fprintf(stderr, "vrelmont-cli check: %s\n", text.c_str());
    messages_.push_back(text);
}

void CheckCliHost::FinishOutput() {
    clearProgress();
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        throw std::runtime_error("cannot write the report to standard output");
}

void CheckCliHost::showProgress() {
    if (checkTitle_.empty())
        return;
    const std::string progress = checkTitle_ + " " + std::to_string(gauge_.percent()) + "%";
    if (progress == shownProgress_)
        return;
    shownProgress_ = progress;
    std::fprintf(stderr, "\r%s\033[K", progress.c_str());
    std::fflush(stderr);
}

void CheckCliHost::clearProgress() {
    if (shownProgress_.empty())
        return;
    shownProgress_.clear();
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}

} // namespace vrelmont::cli
