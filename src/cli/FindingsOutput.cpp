#include "cli/FindingsOutput.h"

#include "checks/CheckList.h"
#include "cli/CsvFindings.h"
#include "cli/JsonFindings.h"
#include "cli/XlsxFindings.h"

#include <algorithm>

namespace vrelmont::cli {
namespace {

std::size_t RunPosition(int checkBox) {
    return static_cast<std::size_t>(std::find(kRunOrder.begin(), kRunOrder.end(), checkBox) - kRunOrder.begin());
}

} // namespace

FindingsOutput::FindingsOutput(FindingsFormat format, std::FILE *out, const SelectedChecks &ticked,
                               const FormatOptions &options, std::function<void()> beforeWrite)
    : stream_(out, std::move(beforeWrite)), ticked_(ticked) {
    switch (format) {
    case FindingsFormat::Json:
        writer_ = MakeJsonFindings(stream_);
        break;
    case FindingsFormat::Ndjson:
        writer_ = MakeNdjsonFindings(stream_);
        break;
    case FindingsFormat::Csv:
        writer_ = MakeCsvFindings(stream_, options.csvDelimiter, options.csvBom);
        break;
    case FindingsFormat::Xlsx:
        writer_ = MakeXlsxFindings(options.xlsxPath);
        break;
    case FindingsFormat::Text:
        break;
    }
}

FindingsOutput::~FindingsOutput() = default;

void FindingsOutput::begin(const RunInfo &run) {
    started_ = std::chrono::steady_clock::now();
    if (writer_)
        writer_->begin(run);
}

void FindingsOutput::passChecksBefore(int checkBox) {
    const std::size_t end = checkBox == 0 ? kRunOrder.size() : RunPosition(checkBox);
    for (; passed_ < end; ++passed_) {
        const int box = kRunOrder[passed_];
        if (!writer_)
            continue;
        writer_->checkStarted(box);
        // A ticked check that never ran: the run stopped before its turn.
        writer_->checkEnded({box, ticked_.contains(box) ? "not_run" : "skipped", 0, -1, {}});
    }
}

void FindingsOutput::checkStarted(int checkBox) {
    passChecksBefore(checkBox);
    ++passed_;
    status_[static_cast<std::size_t>(checkBox)] = Status::Running;
    if (writer_)
        writer_->checkStarted(checkBox);
}

void FindingsOutput::checkEnded(int checkBox, bool answer, double seconds) {
    const auto box = static_cast<std::size_t>(checkBox);
    status_[box] = answer ? Status::Completed : Status::Stopped;
    if (!answer) {
        stoppedCheck_ = checkBox;
        stoppedSeconds_ = seconds;
    } else if (writer_) {
        writer_->checkEnded({checkBox, "completed", count_[box], seconds, {}});
    }
}

void FindingsOutput::count(const Finding &finding) {
    ++count_[static_cast<std::size_t>(finding.checkBox)];
    ++total_;
}

void FindingsOutput::singleFinding(const Finding &finding) {
    count(finding);
    if (writer_)
        writer_->single(finding);
}

void FindingsOutput::groupStarted(const RecordName &first) {
    groupFirst_ = first;
    groupSize_ = 1;
}

void FindingsOutput::duplicateFinding(const Finding &finding) {
    count(finding);
    if (groupSize_++ == 1) {
        ++groups_;
        if (writer_)
            writer_->groupStarted(groups_, groupFirst_, finding);
    } else if (writer_) {
        writer_->duplicate(groups_, finding);
    }
}

void FindingsOutput::groupEnded() {
    if (writer_ && groupSize_ > 1)
        writer_->groupEnded(groups_, groupSize_);
    groupSize_ = 0;
}

void FindingsOutput::end(const RunEnd &ending) {
    // After an engine error the check that raised it never ended: it stopped the run.
    groupEnded();
    for (const int checkBox : kRunOrder)
        if (status_[static_cast<std::size_t>(checkBox)] == Status::Running)
            checkEnded(checkBox, false,
                       std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count());
    const bool aborted = ending.interrupted && ending.error.empty();
    const char *const stopped = aborted ? "aborted" : "failed";
    const std::string error = aborted ? kInterruptedRunText : ending.error;
    if (stoppedCheck_ != 0 && writer_)
        writer_->checkEnded(
            {stoppedCheck_, stopped, count_[static_cast<std::size_t>(stoppedCheck_)], stoppedSeconds_, error});
    passChecksBefore(0);
    if (writer_)
        writer_->end({ending.completed, ending.completed ? "completed" : stopped, total_,
                      std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count(),
                      ending.completed ? std::string() : error});
}

std::string FindingsOutput::summary() const {
    std::string summary;
    for (const int checkBox : kRunOrder) {
        const auto box = static_cast<std::size_t>(checkBox);
        if (!ticked_.contains(checkBox))
            continue;
        char number[8];
        std::snprintf(number, sizeof number, "Check%02d", checkBox);
        summary += number;
        summary += " " + std::string(CheckTitleWithoutColon(checkBox)) + ": " + std::to_string(count_[box]);
        if (status_[box] == Status::Stopped)
            summary += " (zastavena)";
        else if (status_[box] == Status::NotRun)
            summary += " (neproběhla)";
        summary += "\n";
    }
    return summary;
}

} // namespace vrelmont::cli
