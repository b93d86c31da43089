// The findings the checks hand to a finding sink: what each is about and the whole run of equal keys.
#include "ForwardingBackend.h"
#include "TestAgenda.h"
#include "TestScopes.h"

#include "checks/CheckRun.h"

#include <sqlite3.h>

using namespace vrelmont;
using namespace vrelmont::testing;

namespace {

std::string Name(const RecordName &record) {
    return (record.warehouse ? std::to_string(*record.warehouse) + "/" : std::string()) + std::to_string(record.number);
}

// Everything the sink was told, as text.
class RecordingSink : public FindingSink {
public:
    void checkStarted(int checkBox) override { events.push_back("start " + std::to_string(checkBox)); }
    void checkEnded(int checkBox, bool answer, double) override {
        events.push_back("end " + std::to_string(checkBox) + (answer ? " true" : " false"));
    }
    void singleFinding(const Finding &finding) override { events.push_back(describe(finding)); }
    // A group is told as one event with its members, then its findings, when it ends.
    void groupStarted(const RecordName &first) override { members = " " + Name(first); }
    void duplicateFinding(const Finding &finding) override {
        members += " " + Name(finding.record);
        pending.push_back(describe(finding));
    }
    void groupEnded() override {
        events.push_back("group" + members);
        events.insert(events.end(), pending.begin(), pending.end());
        pending.clear();
    }

    static std::string describe(const Finding &finding) {
        return std::to_string(finding.checkBox) + " " + finding.table + " " + Name(finding.record) + " " +
               finding.field + "=" + finding.value + " | " + finding.text;
    }

    std::vector<std::string> events;
    std::string members;
    std::vector<std::string> pending;
};

class CheckFindings : public CheckFixture {
protected:
    CheckFindings() { host.findings = &sink; }
    RecordingSink sink;
};

TEST_F(CheckFindings, ARunOfEqualKeysIsOneGroupFromItsFirstRecord) {
    // The worked example of the bar code check, and a second run in warehouse 2.
    agenda.addStockItems({Stock(1, 10).withBarCode(""), Stock(1, 11).withBarCode(""), Stock(1, 12).withBarCode("4006"),
                          Stock(1, 13).withBarCode("4006"), Stock(1, 14).withBarCode("4006"),
                          Stock(2, 15).withBarCode("4006"), Stock(2, 16).withBarCode("77"),
                          Stock(2, 17).withBarCode("77")});
    EXPECT_TRUE(run(9));
    EXPECT_EQ(findings(), (std::vector<std::string>{
                              "Nalezena skladová zásoba č. 13 ve skladu č. 1, která má duplicitní čár. kód 4006",
                              "Nalezena skladová zásoba č. 14 ve skladu č. 1, která má duplicitní čár. kód 4006",
                              "Nalezena skladová zásoba č. 17 ve skladu č. 2, která má duplicitní čár. kód 77"}));
    EXPECT_EQ(sink.events,
              (std::vector<std::string>{
                  "group 1/12 1/13 1/14",
                  "9 SKSEZZAS 1/13 BarCode=4006 | Nalezena skladová zásoba č. 13 ve skladu č. 1, která má duplicitní "
                  "čár. kód 4006",
                  "9 SKSEZZAS 1/14 BarCode=4006 | Nalezena skladová zásoba č. 14 ve skladu č. 1, která má duplicitní "
                  "čár. kód 4006",
                  "group 2/16 2/17",
                  "9 SKSEZZAS 2/17 BarCode=77 | Nalezena skladová zásoba č. 17 ve skladu č. 2, která má duplicitní "
                  "čár. kód 77"}));
}

TEST_F(CheckFindings, CardsHaveNoWarehouseAndNumberChecksRepeatTheirKey) {
    agenda.addCards({Card(7).withPopis(""), Card(5).withPopis(""), Card(5), Card(5)});
    EXPECT_TRUE(run(3));
    EXPECT_TRUE(run(12));
    EXPECT_EQ(sink.events,
              (std::vector<std::string>{
                  "group 5 5 5", "3 SKKMKART 5 Cislo=5 | Nalezena duplicitní kmenová karta č. 5",
                  "3 SKKMKART 5 Cislo=5 | Nalezena duplicitní kmenová karta č. 5",
                  // Empty descriptions repeat too; that group starts with card 7.
                  "group 7 5", "12 SKKMKART 5 Popis= | Nalezena kmenová karta č. 5 s duplicitním popisem ", "group 5 5",
                  "12 SKKMKART 5 Popis=popis | Nalezena kmenová karta č. 5 s duplicitním popisem popis"}));
}

TEST_F(CheckFindings, ARunOfTextsStoredInTwoCodePagesNamesEachOfItsRecords) {
    // Bar code "Šš" as UTF-8 and as the host system's code page stores it: equal when read, but
    // stored otherwise (the code page's bytes first in the index), then a run stored alike.
    agenda.addStockItems({Stock(1, 20).withBarCode("Šš"), Stock(1, 30).withBarCode("ž")});
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(agenda.tableFile("SKSEZZAS").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "INSERT INTO SKSEZZAS (Sklad, Cislo, BarCode) VALUES (1, 21, CAST(X'8A9A' AS TEXT)), "
                           "(1, 22, 'Šš'), (1, 31, 'ž')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_TRUE(run(9));
    EXPECT_EQ(findings(), (std::vector<std::string>{
                              "Nalezena skladová zásoba č. 20 ve skladu č. 1, která má duplicitní čár. kód Šš",
                              "Nalezena skladová zásoba č. 22 ve skladu č. 1, která má duplicitní čár. kód Šš",
                              "Nalezena skladová zásoba č. 31 ve skladu č. 1, která má duplicitní čár. kód ž"}));
    ASSERT_EQ(sink.events.size(), 5u);
    EXPECT_EQ(sink.events[0], "group 1/21 1/20 1/22");
    EXPECT_EQ(sink.events[3], "group 1/30 1/31");
}

TEST_F(CheckFindings, AnAbortHandsOverTheRunSoFar) {
    agenda.addStockItems(StockItemsWithBarCode(5, "4006"));
    host.abortAtLine(6); // while the second finding line is written (after the four header lines)
    EXPECT_FALSE(run(9));
    ASSERT_EQ(sink.events.size(), 3u);
    EXPECT_EQ(sink.events[0], "group 1/1 1/2 1/3");
}

TEST_F(CheckFindings, SingleFindingsNameTheirRecordAndTheRunTellsEachCheck) {
    agenda.addStockItems({Stock(3, 8).withPopis(""), Stock(1, 9)});
    agenda.addCards({Card(9).withPopis("")});
    host.tickOnly({2, 14, 15});
    EXPECT_TRUE(RunChecks(host, context, walkTable, lookupTable));
    EXPECT_EQ(sink.events,
              (std::vector<std::string>{
                  "start 2", "2 SKSEZZAS 3/8 Cislo=8 | Ke skladové zásobě č. 8 neexistuje kmenová karta.", "end 2 true",
                  "start 14", "14 SKKMKART 9 Popis= | Nalezena kmenová karta č. 9, která nemá popis", "end 14 true",
                  "start 15", "15 SKSEZZAS 3/8 Popis= | Nalezena skladová zásoba č. 8 ve skladu č. 3, která nemá popis",
                  "end 15 true"}));
}

TEST_F(CheckFindings, TheReportIsTheSameWithOrWithoutASink) {
    agenda.addStockItems({Stock(1, 4).withZkrat("A"), Stock(1, 5).withZkrat("A"), Stock(1, 6).withZkrat("A")});
    agenda.addCards({Card(4).withZkrat("A"), Card(5).withZkrat("A")});
    host.tickOnly({1, 2, 3, 10, 11, 12, 13, 14, 15});
    ASSERT_TRUE(RunChecks(host, context, walkTable, lookupTable));
    FakeRunHost plain;
    plain.tickOnly({1, 2, 3, 10, 11, 12, 13, 14, 15});
    ASSERT_TRUE(RunChecks(plain, context, walkTable, lookupTable));
    EXPECT_EQ(host.journal, plain.journal);
}

// The table files seen as the host's engine sees them: no record ids, every read by field name.
class BackendWithoutRecordIds : public ForwardingBackend {};

TEST_F(CheckFindings, AnEngineWithoutRecordIdsNamesTheSameGroups) {
    // Runs of text keys (the kept record's number is not in its key), of numbers, and across warehouses.
    agenda.addStockItems({Stock(1, 4).withZkrat("A").withBarCode("77"), Stock(1, 9).withZkrat("A"),
                          Stock(2, 3).withZkrat("A").withBarCode("77"), Stock(2, 3).withZkrat("B"),
                          Stock(2, 8).withZkrat("B").withBarCode("77"), Stock(3, 1).withZkrat("C")});
    agenda.addCards({Card(5).withZkrat("X"), Card(2).withZkrat("X"), Card(5).withZkrat("Y"), Card(7)});
    const auto runAll = [&](FakeRunHost &runHost, RecordingSink &events) {
        runHost.ticked = SelectedChecks::all();
        runHost.findings = &events;
        TBFTable first, second;
        return RunChecks(runHost, context, first, second);
    };
    RecordingSink withIds;
    FakeRunHost filesHost;
    ASSERT_TRUE(runAll(filesHost, withIds));
    RecordingSink withoutIds;
    FakeRunHost otherHost;
    bool completed = false;
    {
        const vrelmont::test::TableBackendFactoryScope standIn(
            [] { return std::make_unique<BackendWithoutRecordIds>(); });
        completed = runAll(otherHost, withoutIds);
    }
    ASSERT_TRUE(completed) << ::testing::PrintToString(otherHost.lines);
    EXPECT_EQ(withoutIds.events, withIds.events);
    EXPECT_EQ(otherHost.lines, filesHost.lines);
    EXPECT_NE(std::count(withIds.events.begin(), withIds.events.end(), "group 1/4 1/9"), 0)
        << ::testing::PrintToString(withIds.events);
}

} // namespace
