#include "checks/ParallelCheckRun.h"

#include "checks/CheckFrame.h"
#include "checks/CheckList.h"
#include "checks/CheckRecording.h"
#include "checks/CheckRun.h"
#include "engine/EngineError.h"
#include "engine/TBFTable.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace vrelmont {
namespace {

// An empty line, the title, its underline and an empty line come before a check's findings.
constexpr std::size_t kHeaderBlockLines = 4;

// How many times a check reads its tables before a change under its read stops the run.
constexpr int kAttemptsOnChangedTable = 3;

// The host of one check on a worker thread: it keeps what the check hands over, in order, until
// the check's turn comes to be handed to the real host.
class RecordingHost final : public RunHost, private FindingSink {
public:
    // `stop` is the run's request to the checks on the workers to stop: the user's abort or a
    // cancelled run.
    RecordingHost(bool collectsFindings, const std::atomic<bool> &stop)
        : collectsFindings_(collectsFindings), stop_(stop) {}

    void ReportLine(const std::string &text) override {
        recording_.addLine(text);
        ProcessEvents();
    }
    void ProcessEvents() override { percent_.store(gauge_.percent(), std::memory_order_relaxed); }
    void SetRunState(bool) override {}
    bool IsChecked(int) override { return true; }
    void ShowMessage(const std::string &text) override { recording_.addMessage(text); }
    bool AbortRequested() override { return stop_.load(); }
    FindingSink *findingSink() override { return collectsFindings_ ? this : nullptr; }
    Gauge &gauge() override { return gauge_; }

    int percent() const { return percent_.load(std::memory_order_relaxed); }

    // Forgets what the check handed over, for a check that starts again.
    void restart() {
        recording_.clear();
        gauge_.setMaximum(100);
        gauge_.setProgress(0);
        ProcessEvents();
    }

    // Hands every kept step to `host`, as the check handed them. An abort the host sees meanwhile
    // (Ctrl+C while the lines are written) stops the check as a walk would have at that line: after
    // its header or a finding, with more of its walk to come. Answers false when it stopped it.
    bool replay(RunHost &host) {
        FindingSink *const sink = host.findingSink();
        const std::size_t lineCount = recording_.lineCount();
        std::size_t linesWritten = 0;
        bool groupOpen = false;
        bool stopping = false; // an abort was seen: the steps of the line just written, then no more
        recording_.replay([&](const RecordedStep &step) {
            if (step.kind == RecordedStep::Kind::Line) {
                if (stopping)
                    return false;
                host.ReportLine(step.text);
                ++linesWritten;
                stopping = linesWritten >= kHeaderBlockLines && linesWritten < lineCount && AbortSeen(host);
                return true;
            }
            handOver(step, host, sink, groupOpen);
            return true;
        });
        if (stopping) {
            if (groupOpen && sink)
                sink->groupEnded();
            return AbortCheck(host, {});
        }
        host.gauge().setMaximum(gauge_.maximum());
        host.gauge().setProgress(gauge_.progress());
        return true;
    }

private:
    void checkStarted(int) override {}
    void checkEnded(int, bool, double) override {}
    void singleFinding(const Finding &finding) override { recording_.addSingleFinding(finding); }
    void groupStarted(const RecordName &first) override { recording_.addGroupStart(first); }
    void duplicateFinding(const Finding &finding) override { recording_.addDuplicateFinding(finding); }
    void groupEnded() override { recording_.addGroupEnd(); }

    static void handOver(const RecordedStep &step, RunHost &host, FindingSink *sink, bool &groupOpen) {
        if (step.kind == RecordedStep::Kind::Message) {
            host.ShowMessage(step.text);
            return;
        }
        if (!sink)
            return;
        switch (step.kind) {
        case RecordedStep::Kind::SingleFinding:
            sink->singleFinding(step.finding);
            break;
        case RecordedStep::Kind::GroupStart:
            sink->groupStarted(step.finding.record);
            groupOpen = true;
            break;
        case RecordedStep::Kind::DuplicateFinding:
            sink->duplicateFinding(step.finding);
            break;
        default:
            sink->groupEnded();
            groupOpen = false;
        }
    }

    bool collectsFindings_;
    const std::atomic<bool> &stop_;
    CheckRecording recording_;
    Gauge gauge_;
    std::atomic<int> percent_{0};
};

// One ticked check and what became of it.
struct CheckJob {
    CheckJob(int box, std::unique_ptr<RecordingHost> recording) : checkBox(box), host(std::move(recording)) {}

    int checkBox = 0;
    std::unique_ptr<RecordingHost> host;
    bool done = false;
    bool answer = false;
    double seconds = 0;
    std::exception_ptr error;
    std::vector<std::string> openErrors;
};

class Workers {
public:
    Workers(std::vector<CheckJob> &jobs, const RunContext &context, CheckFunction runCheck, std::atomic<bool> &stop,
            unsigned count)
        : jobs_(jobs), context_(context), runCheck_(runCheck), stop_(stop) {
        for (unsigned i = 0; i < count; ++i)
            threads_.emplace_back([this] { work(); });
    }
    ~Workers() { join(); }
    Workers(const Workers &) = delete;
    Workers &operator=(const Workers &) = delete;

    // Waits up to `period` for job `index` to end; answers whether it has.
    bool waitFor(std::size_t index, std::chrono::milliseconds period) {
        std::unique_lock lock(mutex_);
        return ended_.wait_for(lock, period, [&] { return jobs_[index].done; });
    }

    // No further check starts, and the running ones end at their next look at the abort request;
    // their work would not count. The host's own abort request is left as it was.
    void cancel() {
        stopped_.store(true);
        stop_.store(true);
        join();
    }

    void join() {
        for (std::thread &thread : threads_)
            if (thread.joinable())
                thread.join();
    }

private:
    void work() {
        // Table components of this worker's own, used by one check at a time.
        TBFTable walkTable;
        TBFTable lookupTable;
        for (;;) {
            const std::size_t index = next_.fetch_add(1);
            if (index >= jobs_.size() || stopped_.load())
                return;
            CheckJob &job = jobs_[index];
            bool answer = false;
            std::exception_ptr error;
            const auto started = std::chrono::steady_clock::now();
            for (int attempt = 1;; ++attempt) {
                try {
                    answer = runCheck_(job.checkBox, *job.host, context_, walkTable, lookupTable);
                    break;
                } catch (const TableChangedError &) {
                    // A table read alone, whose writer came and moved its log into the file under the
                    // read: the check reads it again, from a new look at the file, before it says so.
                    if (attempt == kAttemptsOnChangedTable || stop_.load()) {
                        error = std::current_exception();
                        break;
                    }
                    closeTables(walkTable, lookupTable);
                    job.host->restart();
                } catch (...) {
                    error = std::current_exception();
                    break;
                }
            }
            std::vector<std::string> openErrors;
            for (TBFTable *table : {&walkTable, &lookupTable})
                if (!answer && !table->lastOpenError().empty())
                    openErrors.push_back(table->lastOpenError());
            closeTables(walkTable, lookupTable);
            std::lock_guard lock(mutex_);
            job.answer = answer;
            job.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            job.error = error;
            job.openErrors = std::move(openErrors);
            job.done = true;
            ended_.notify_all();
        }
    }

    static void closeTables(TBFTable &walkTable, TBFTable &lookupTable) noexcept {
        for (TBFTable *table : {&walkTable, &lookupTable}) {
            try {
                table->CloseTable();
            } catch (...) {
            }
        }
    }

    std::vector<CheckJob> &jobs_;
    const RunContext &context_;
    CheckFunction runCheck_;
    std::atomic<bool> &stop_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stopped_{false};
    std::mutex mutex_;
    std::condition_variable ended_;
    std::vector<std::thread> threads_;
};

// How often the host's events are served while it waits for a check.
constexpr std::chrono::milliseconds kEventPeriod{20};

void ReturnToIdle(RunHost &host) noexcept {
    try {
        host.SetRunState(false);
    } catch (...) {
    }
}

} // namespace

ParallelRunResult RunChecksInParallel(RunHost &host, const RunContext &context, unsigned workers,
                                      CheckFunction runCheck) {
    host.FocusReport();
    host.SetRunState(true);
    FindingSink *const sink = host.findingSink();
    // The checks on the workers see the host's abort request through this flag, which the calling
    // thread sets when it serves the host's events.
    std::atomic<bool> stopChecks{host.AbortRequested()};
    std::vector<CheckJob> jobs;
    for (const int checkBox : kRunOrder)
        if (host.IsChecked(checkBox))
            jobs.push_back(CheckJob{checkBox, std::make_unique<RecordingHost>(sink != nullptr, stopChecks)});

    ParallelRunResult result;
    try {
        WriteRunHeader(host, context);
        host.ProcessEvents();
        if (host.AbortRequested())
            stopChecks.store(true);
        const auto count = static_cast<unsigned>(std::min<std::size_t>(std::max(workers, 1u), jobs.size()));
        Workers pool(jobs, context, runCheck, stopChecks, count);
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            CheckJob &job = jobs[i];
            while (!pool.waitFor(i, kEventPeriod)) {
                host.gauge().setMaximum(100);
                host.gauge().setProgress(job.host->percent());
                host.ProcessEvents();
                if (host.AbortRequested())
                    stopChecks.store(true);
            }
            if (sink)
                sink->checkStarted(job.checkBox);
            const bool replayedWhole = job.host->replay(host);
            job.host.reset(); // handed on: its memory and its scratch file go now, not at the run's end
            if (!replayedWhole)
                job.answer = false;
            else if (job.error) {
                pool.cancel();
                std::rethrow_exception(job.error);
            }
            if (sink)
                sink->checkEnded(job.checkBox, job.answer, job.seconds);
            if (!job.answer) {
                pool.cancel();
                host.SetRunState(false);
                result.openErrors = job.openErrors;
                return result;
            }
        }
    } catch (...) {
        ReturnToIdle(host);
        throw;
    }
    host.SetRunState(false);
    WriteClosingLines(host);
    host.gauge().setProgress(0);
    result.completed = true;
    return result;
}

} // namespace vrelmont
