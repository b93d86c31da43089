#pragma once
// What a format of the findings is told, in the order the run goes; FindingsOutput keeps the counts
// and the states of the checks and hands each format only what it writes.
#include "checks/Findings.h"
#include "platform/CommandLine.h"
#include "platform/TerminalText.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vrelmont::cli {

// A duration with three decimals; empty for one that was not measured (negative).
inline std::string SecondsText(double seconds) {
    if (seconds < 0)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

struct RunInfo {
    std::string agendaPath;
    std::string agendaName;
    std::string generatedAt; // ISO 8601 with the zone
};

// One check, once it has ended or the run has passed it. `status`: completed, failed, aborted,
// not_run (ticked, but the run stopped before its turn) or skipped (not ticked). `error`: why it
// failed or stopped, as standard error says it; `seconds` negative for a check that did not run.
struct CheckOutcome {
    int checkBox = 0;
    const char *status = "";
    long long count = 0;
    double seconds = -1;
    std::string error;
};

// `status`: completed, failed or aborted, as the check that stopped the run.
struct RunOutcome {
    bool completed = false;
    const char *status = "";
    long long total = 0;
    double seconds = 0;
    std::string error;
};

// Standard output (or a file) with the hook that clears the progress line before a write. On a
// terminal, control characters from the tables are shown escaped, never passed to it.
class FindingsStream {
public:
    FindingsStream(std::FILE *out, std::function<void()> beforeWrite)
        : out_(out), beforeWrite_(std::move(beforeWrite)), terminal_(IsTerminal(out)) {}
    void write(std::string_view text) {
        if (text.empty())
            return;
        if (beforeWrite_)
            beforeWrite_();
        if (terminal_) {
            const std::string safe = TerminalSafeText(text, true);
            std::fwrite(safe.data(), 1, safe.size(), out_);
        } else {
            std::fwrite(text.data(), 1, text.size(), out_);
        }
    }

private:
    std::FILE *out_;
    std::function<void()> beforeWrite_;
    bool terminal_;
};

class FindingsWriter {
public:
    virtual ~FindingsWriter() = default;
    virtual void begin(const RunInfo &run) = 0;
    virtual void checkStarted(int checkBox) = 0;
    virtual void single(const Finding &finding) = 0;
    // A group is opened by its first finding: then its key is known. `group`: the run-wide id.
    virtual void groupStarted(long long group, const RecordName &first, const Finding &firstFinding) = 0;
    virtual void duplicate(long long group, const Finding &finding) = 0;
    virtual void groupEnded(long long group, long long size) = 0;
    virtual void checkEnded(const CheckOutcome &check) = 0;
    virtual void end(const RunOutcome &run) = 0;
};

} // namespace vrelmont::cli
