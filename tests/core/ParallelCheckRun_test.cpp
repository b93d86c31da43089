// The command line's parallel run: the same report, messages and findings as the one-thread run,
// whatever stops it.
#include "TestAgenda.h"

#include "checks/CheckRun.h"
#include "checks/ParallelCheckRun.h"
#include "engine/EngineError.h"

#include <filesystem>

using namespace vrelmont;
using namespace vrelmont::testing;

namespace {

// Keeps every finding the checks hand over, as text, in order.
class FindingJournal : public FindingSink {
public:
    void checkStarted(int checkBox) override { entries.push_back("start " + std::to_string(checkBox)); }
    void checkEnded(int checkBox, bool answer, double) override {
        entries.push_back("end " + std::to_string(checkBox) + (answer ? " true" : " false"));
    }
    void singleFinding(const Finding &finding) override { entries.push_back("single " + finding.text); }
    void groupStarted(const RecordName &) override { group = {1, ""}; }
    void duplicateFinding(const Finding &finding) override {
        ++group.first;
        group.second += " | " + finding.text;
    }
    void groupEnded() override { entries.push_back("group of " + std::to_string(group.first) + group.second); }
    std::pair<std::size_t, std::string> group;
    std::vector<std::string> entries;
};

// One run with one thread and one with several, over the same agenda, each on its own host.
class ParallelCheckRun : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<StockItem> stock;
        for (int i = 1; i <= 120; ++i)
            stock.push_back(
                Stock(1 + i % 3, i % 40).withBarCode("B" + std::to_string(i % 50)).withPopis(i % 9 ? "x" : ""));
        agenda.addStockItems(stock);
        std::vector<MasterCard> cards;
        for (int i = 1; i <= 60; ++i)
            cards.push_back(Card(i % 30).withPlu(std::to_string(i % 20)).withPopis(i % 7 ? "k" : ""));
        agenda.addCards(cards);
        context = agenda.context();
        for (FakeRunHost *host : {&sequential, &parallel}) {
            host->ticked = SelectedChecks::all();
            host->findings = host == &sequential ? &sequentialFindings : &parallelFindings;
        }
    }

    bool runSequential() {
        TBFTable walkTable, lookupTable;
        return RunChecks(sequential, context, walkTable, lookupTable);
    }

    TestAgenda agenda;
    RunContext context;
    FakeRunHost sequential, parallel;
    FindingJournal sequentialFindings, parallelFindings;
};

TEST_F(ParallelCheckRun, WritesWhatTheOneThreadRunWrites) {
    ASSERT_TRUE(runSequential());
    for (unsigned workers : {2u, 3u, 15u}) {
        parallel.lines.clear();
        parallelFindings.entries.clear();
        EXPECT_TRUE(RunChecksInParallel(parallel, context, workers).completed);
        EXPECT_EQ(parallel.lines, sequential.lines) << workers << " workers";
        EXPECT_EQ(parallelFindings.entries, sequentialFindings.entries) << workers << " workers";
        EXPECT_EQ(parallel.gauge().progress(), 0);
        EXPECT_EQ(parallel.runStates, (std::vector<bool>{true, false}));
        parallel.runStates.clear();
    }
}

TEST_F(ParallelCheckRun, AStoppedCheckHidesTheChecksAfterIt) {
    // The cards' file is missing: the run stops at the card number check, the second of the run order.
    std::filesystem::remove(agenda.tableFile("SKKMKART"));
    ASSERT_FALSE(runSequential());
    const ParallelRunResult result = RunChecksInParallel(parallel, context, 4);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(parallel.lines, sequential.lines);
    EXPECT_EQ(parallel.messages, (std::vector<std::string>{"Nelze otevřít seznam kmenových karet."}));
    EXPECT_EQ(parallel.messages, sequential.messages);
    ASSERT_EQ(result.openErrors.size(), 1u);
    EXPECT_NE(result.openErrors.front().find("SKKMKART"), std::string::npos);
    EXPECT_EQ(parallelFindings.entries, sequentialFindings.entries);
    EXPECT_FALSE(parallel.abort) << "stopping the other workers leaves the host's request as it was";
}

TEST_F(ParallelCheckRun, AnAbortDuringTheHeaderStopsTheFirstCheckAsInOneThread) {
    // Přerušit while the header is written: the first check that polls stops, in both runs alike.
    sequential.abortAtLine(1);
    parallel.abortAtLine(1);
    ASSERT_FALSE(runSequential());
    EXPECT_FALSE(RunChecksInParallel(parallel, context, 3).completed);
    EXPECT_EQ(parallel.lines, sequential.lines);
    EXPECT_EQ(parallel.lines.back(), "[ kontrola přerušena uživatelem ]");
    EXPECT_EQ(parallelFindings.entries, sequentialFindings.entries);
}

TEST_F(ParallelCheckRun, AnAbortAtAnyMomentGivesAReportTheOneThreadRunCouldGive) {
    ASSERT_TRUE(runSequential());
    for (int pump = 1; pump <= 4; ++pump) {
        FakeRunHost host;
        host.ticked = SelectedChecks::all();
        host.abortAtEvents(pump);
        if (RunChecksInParallel(host, context, 2).completed) {
            EXPECT_EQ(host.lines, sequential.lines); // the checks were all done before the press
            continue;
        }
        ASSERT_GE(host.lines.size(), 2u);
        EXPECT_EQ(host.lines.back(), "[ kontrola přerušena uživatelem ]");
        const auto before = static_cast<std::ptrdiff_t>(host.lines.size() - 2);
        EXPECT_TRUE(std::equal(host.lines.begin(), host.lines.begin() + before, sequential.lines.begin()));
    }
}

TEST_F(ParallelCheckRun, AnEngineErrorReachesTheCallerAfterTheLinesBeforeIt) {
    // A stock item number that is no number stops the first walk that reads it with an engine error.
    agenda.execSql("SKSEZZAS", "UPDATE SKSEZZAS SET Cislo = 'x' WHERE rowid = 7");
    EXPECT_ANY_THROW(runSequential());
    EXPECT_ANY_THROW(RunChecksInParallel(parallel, context, 3));
    EXPECT_EQ(parallel.lines, sequential.lines);
    EXPECT_EQ(parallel.runStates.back(), false);
}

// A stand-in for a check whose table a host changes under its read: check 3 (the second of the run
// order) writes a line and a finding and then finds its table changed, `changesLeft` times.
int changesLeft = 0;
int attemptsOfCheck3 = 0;
bool CheckWhoseTableChanges(int checkBox, RunHost &host, const RunContext &context, TBFTable &walkTable,
                            TBFTable &lookupTable) {
    if (checkBox == 3) {
        ++attemptsOfCheck3;
        if (changesLeft > 0) {
            --changesLeft;
            host.ReportLine("half of a walk");
            if (FindingSink *sink = host.findingSink())
                sink->singleFinding({});
            throw TableChangedError("Tabulka SKKMKART.DAT: tabulku během čtení změnil jiný program");
        }
    }
    return RunCheck(checkBox, host, context, walkTable, lookupTable);
}

TEST_F(ParallelCheckRun, ACheckWhoseTableChangedUnderItsReadRunsAgainAndLeavesNoTrace) {
    ASSERT_TRUE(runSequential());
    for (unsigned workers : {1u, 3u}) {
        FakeRunHost host;
        FindingJournal findings;
        host.ticked = SelectedChecks::all();
        host.findings = &findings;
        changesLeft = 2;
        attemptsOfCheck3 = 0;
        EXPECT_TRUE(RunChecksInParallel(host, context, workers, CheckWhoseTableChanges).completed);
        EXPECT_EQ(attemptsOfCheck3, 3);
        EXPECT_EQ(host.lines, sequential.lines) << workers << " workers";
        EXPECT_EQ(findings.entries, sequentialFindings.entries) << workers << " workers";
    }
    // A table that keeps changing stops the run with the error, after the lines before the check.
    changesLeft = 3;
    attemptsOfCheck3 = 0;
    EXPECT_THROW(RunChecksInParallel(parallel, context, 2, CheckWhoseTableChanges), TableChangedError);
    EXPECT_EQ(attemptsOfCheck3, 3);
    EXPECT_EQ(parallel.lines.back(), "half of a walk");
}

// A stand-in check with a report larger than a recording keeps in memory (check 1 only).
bool CheckWithALongReport(int checkBox, RunHost &host, const RunContext &, TBFTable &, TBFTable &) {
    if (checkBox == 1)
        for (int i = 0; i < 40000; ++i)
            host.ReportLine("Nalezena duplicitní skladová zásoba č. " + std::to_string(i) + " ve skladu 1");
    return true;
}

TEST(ParallelCheckRunReport, AReportLongerThanTheMemoryBudgetArrivesWhole) {
    TestAgenda agenda;
    FakeRunHost host;
    host.tickOnly({1});
    const RunContext context = agenda.context();
    EXPECT_TRUE(RunChecksInParallel(host, context, 1, CheckWithALongReport).completed);
    std::size_t found = 0;
    for (const std::string &line : host.lines) {
        if (line.rfind("Nalezena duplicitní skladová zásoba č. ", 0) == 0) {
            EXPECT_EQ(line, "Nalezena duplicitní skladová zásoba č. " + std::to_string(found++) + " ve skladu 1");
        }
    }
    EXPECT_EQ(found, 40000u);
}

} // namespace
