#pragma once
// The findings of a check run for other programs and spreadsheets (FindingsWriter does the format),
// with the counts that --summary and --fail-on-findings need. Written as the run goes: nothing of a
// run of equal keys is held but the group's members waiting behind its findings.
#include "checks/Findings.h"
#include "cli/FindingsWriter.h"
#include "settings/SelectedChecks.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace vrelmont::cli {

enum class FindingsFormat { Text, Json, Ndjson, Csv, Xlsx };

struct FormatOptions {
    char csvDelimiter = ',';
    bool csvBom = true;   // the byte-order mark that tells spreadsheets the CSV is UTF-8
    std::string xlsxPath; // the workbook to write
};

// How the run ended: `interrupted` by Ctrl+C; `error`: the lines standard error gives for the
// check that stopped it (empty when none).
// What standard error and the findings' `error` say when Ctrl+C stopped the run.
inline constexpr const char *kInterruptedRunText = "přerušeno klávesami Ctrl+C; kontroly se zastavily";

struct RunEnd {
    bool completed = false;
    bool interrupted = false;
    std::string error;
};

class FindingsOutput : public FindingSink {
public:
    // `ticked`: the checks that take part. Text writes nothing itself (the report is the
    // output) and only counts. `beforeWrite` runs before each write to `out` (to clear the progress).
    // Xlsx writes the workbook `options.xlsxPath` instead of `out`.
    FindingsOutput(FindingsFormat format, std::FILE *out, const SelectedChecks &ticked, const FormatOptions &options,
                   std::function<void()> beforeWrite);
    ~FindingsOutput() override;

    void begin(const RunInfo &run);
    // The check that stopped the run, the checks not reached and the closing part. Call once, after
    // the run, also after an error.
    void end(const RunEnd &ending);

    void checkStarted(int checkBox) override;
    void checkEnded(int checkBox, bool answer, double seconds) override;
    void singleFinding(const Finding &finding) override;
    void groupStarted(const RecordName &first) override;
    void duplicateFinding(const Finding &finding) override;
    void groupEnded() override;

    long long total() const { return total_; }
    // One line per ticked check: its number, title and count of findings.
    std::string summary() const;

private:
    enum class Status { NotRun, Running, Completed, Stopped };

    void passChecksBefore(int checkBox); // the checks before it in run order that did not run
    void count(const Finding &finding);

    FindingsStream stream_;
    std::unique_ptr<FindingsWriter> writer_;
    SelectedChecks ticked_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::array<Status, 16> status_{};
    std::array<long long, 16> count_{};
    long long total_ = 0;
    std::size_t passed_ = 0;  // checks handed to the writer so far, in run order
    long long groups_ = 0;    // the last group's id
    long long groupSize_ = 0; // records of the open group so far; 0: none open
    RecordName groupFirst_;
    // The check that stopped the run waits for End, which knows why.
    int stoppedCheck_ = 0;
    double stoppedSeconds_ = -1;
};

} // namespace vrelmont::cli
