#include "cli/CheckCliHost.h"

#include "checks/CheckList.h"
#include "platform/CommandLine.h"
#include "platform/TerminalText.h"

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace vrelmont::cli {
namespace {

volatile std::sig_atomic_t interruptRequested = 0;

// Ctrl+C is the terminal's Přerušit: the run sees it when it next serves events. A second
// Ctrl+C ends the program at once.
extern "C" void OnInterrupt(int signalNumber) {
    interruptRequested = 1;
    std::signal(signalNumber, SIG_DFL);
}

// The check box whose title the line is, or 0.
int CheckOfTitle(const std::string &line) {
    // Every title ends in a colon; a finding line is turned away without comparing it fifteen times.
    if (line.empty() || line.back() != ':')
        return 0;
    for (const int checkBox : kRunOrder)
        if (CheckTitle(checkBox) == line)
            return checkBox;
    return 0;
}

// A terminal that cannot take control sequences: the progress line is then cleared with blanks.
bool DumbTerminal() {
    const char *term = std::getenv("TERM");
    return term && std::string_view(term) == "dumb";
}

} // namespace

CheckCliHost::CheckCliHost(const SelectedChecks &ticked, bool keepLines, bool printReport, FindingSink *findings)
    : ticked_(ticked), keepLines_(keepLines), printReport_(printReport), findings_(findings),
      progressOnTerminal_(IsTerminal(stderr)), reportOnTerminal_(IsTerminal(stdout)),
      outputOnSameTerminal_(progressOnTerminal_ && reportOnTerminal_), dumbTerminal_(DumbTerminal()) {
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
    if (const int checkBox = CheckOfTitle(text); checkBox != 0) {
        // "3/7": the check's place among those that run, then its title.
        int place = 0, count = 0;
        for (const int box : kRunOrder) {
            if (!ticked_.contains(box))
                continue;
            ++count;
            if (box == checkBox)
                place = count;
        }
        checkTitle_ = std::to_string(place) + "/" + std::to_string(count) + " " + text;
    }
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

void CheckCliHost::finishOutput() {
    clearProgress();
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        throw std::runtime_error("protokol nelze zapsat na standardní výstup");
}

void CheckCliHost::showProgress() {
    if (checkTitle_.empty())
        return;
    const std::string progress = checkTitle_ + " " + std::to_string(gauge_.percent()) + "%";
    if (progress == shownProgress_)
        return;
    if (dumbTerminal_) {
        const std::size_t blanks =
            shownProgress_.size() > progress.size() ? shownProgress_.size() - progress.size() : 0;
        std::fprintf(stderr, "\r%s%s", progress.c_str(), std::string(blanks, ' ').c_str());
    } else {
        std::fprintf(stderr, "\r%s\033[K", progress.c_str());
    }
    shownProgress_ = progress;
    std::fflush(stderr);
}

void CheckCliHost::clearProgress() {
    if (shownProgress_.empty())
        return;
    if (dumbTerminal_)
        std::fprintf(stderr, "\r%s\r", std::string(shownProgress_.size(), ' ').c_str());
    else
        std::fputs("\r\033[K", stderr);
    shownProgress_.clear();
    std::fflush(stderr);
}

} // namespace vrelmont::cli
