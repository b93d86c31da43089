#pragma once
// The findings of a check run as JSON or CSV for other programs and spreadsheets, with the counts
// that --summary and --fail-on-findings need. Written as the run goes: only the run of equal keys
// that a duplicate check is on is held.
#include "checks/Findings.h"
#include "checks/SelectedChecks.h"

#include <array>
#include <cstdio>
#include <functional>
#include <string>

namespace vrelmont::cli {

enum class FindingsFormat { Text, Json, Csv };

class FindingsOutput : public FindingSink {
public:
    // `ticked`: the checks that take part. Text writes nothing itself (the report is the
    // output) and only counts. `beforeWrite` runs before each write to `out` (to clear the progress).
    FindingsOutput(FindingsFormat format, std::FILE *out, const SelectedChecks &ticked, char csvDelimiter,
                   std::function<void()> beforeWrite);

    // JSON: the object's start; CSV: the byte-order mark and the header row.
    void Begin(const std::string &agendaDirectory, const std::string &agendaName, const std::string &isoDate);
    // The checks not reached and the closing part. Call once, after the run, also after an error.
    void End(bool completed);

    void CheckStarted(int checkBox) override;
    void CheckEnded(int checkBox, bool answer) override;
    void SingleFinding(const Finding &finding) override;
    void DuplicateGroup(const std::vector<Finding> &findings, const std::vector<RecordName> &group) override;

    long long total() const { return total_; }
    // One line per ticked check: its number, title and count of findings.
    std::string Summary() const;

private:
    enum class Status { NotRun, Running, Completed, Stopped };

    void write(const std::string &text);
    void formatGroup(const std::vector<RecordName> &group);
    // `group`: the group as formatGroup wrote it, or null for a finding without one.
    void writeFinding(const Finding &finding, const std::string *group);
    void openCheck(int checkBox);
    void closeCheck(int checkBox, const char *status);
    void writeChecksBefore(int checkBox); // the checks before it in run order that did not run

    FindingsFormat format_;
    std::FILE *out_;
    SelectedChecks ticked_;
    char csvDelimiter_;
    std::function<void()> beforeWrite_;
    std::array<Status, 16> status_{};
    std::array<long long, 16> count_{};
    long long total_ = 0;
    std::size_t written_ = 0; // checks written so far, in run order (JSON)
    std::string buffer_;
    std::string groupText_; // the group being written, formatted
};

// JSON string literal of UTF-8 text; bytes that are not UTF-8 are read as windows-1250.
void AppendJsonString(std::string &out, std::string_view text);
// One CSV field: quoted when it holds the delimiter, a quote or a line break.
void AppendCsvField(std::string &out, std::string_view text, char delimiter);

} // namespace vrelmont::cli
