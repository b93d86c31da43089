// The twelve duplicate-key checks: one walk, twelve sets of values.
#include "TestAgenda.h"

#include <sqlite3.h>

using namespace vrelmont;
using namespace vrelmont::testing;
using Lines = std::vector<std::string>;

namespace {

constexpr int kStockItemNumbers = 1, kCardNumbers = 3, kCardPlu = 4, kStockItemPlu = 5, kCardBarCodes = 8,
              kStockItemBarCodes = 9, kCardDescriptions = 12, kStockItemDescriptions = 13;
const std::string kAbortLine = "[ kontrola přerušena uživatelem ]";

using DuplicateKeyCheck = CheckFixture;

// --- The worked example and the walk's rules ------------------------------------------------------

TEST_F(DuplicateKeyCheck, WorkedExampleOfTheStockItemBarCodeCheck) {
    agenda.addStockItems({Stock(1, 10).withBarCode(""), Stock(1, 11).withBarCode(""), Stock(1, 12).withBarCode("4006"),
                          Stock(1, 13).withBarCode("4006"), Stock(1, 14).withBarCode("4006"),
                          Stock(2, 15).withBarCode("4006")});
    EXPECT_TRUE(run(kStockItemBarCodes));
    Lines expected = HeaderBlock("Kontrola duplicitních čár. kódů skladových zásob:", 39);
    expected.push_back("Nalezena skladová zásoba č. 13 ve skladu č. 1, která má duplicitní čár. kód 4006");
    expected.push_back("Nalezena skladová zásoba č. 14 ve skladu č. 1, která má duplicitní čár. kód 4006");
    EXPECT_EQ(host.lines, expected);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.gauge().progress(), 6);
    EXPECT_EQ(host.gauge().maximum(), 6);
    EXPECT_TRUE(isClosed(walkTable));
}

TEST_F(DuplicateKeyCheck, ARunOfThreeEqualKeysGivesTwoLines) {
    agenda.addStockItems({Stock(3, 7), Stock(3, 7), Stock(3, 7)});
    agenda.addCards({Card(1).withPlu("A"), Card(2).withPlu("A"), Card(3).withPlu("A")});
    EXPECT_TRUE(run(kStockItemNumbers));
    EXPECT_EQ(findings(), (Lines{"Nalezena duplicitní skladová zásoba č. 7 ve skladu č. 3",
                                 "Nalezena duplicitní skladová zásoba č. 7 ve skladu č. 3"}));
    host.lines.clear();
    EXPECT_TRUE(run(kCardPlu)); // a field check names the second and the third record
    EXPECT_EQ(findings(), (Lines{"Nalezena kmenová karta č. 2 s duplicitním PLU A",
                                 "Nalezena kmenová karta č. 3 s duplicitním PLU A"}));
}

TEST_F(DuplicateKeyCheck, StockItemsCompareOnlyWithinOneWarehouseCardsAlways) {
    agenda.addStockItems({Stock(1, 5).withBarCode("X"), Stock(2, 5).withBarCode("X")});
    agenda.addCards({Card(1).withBarCode("X"), Card(2).withBarCode("X")});
    EXPECT_TRUE(run(kStockItemNumbers));
    EXPECT_TRUE(findings().empty());
    host.lines.clear();
    EXPECT_TRUE(run(kStockItemBarCodes));
    EXPECT_TRUE(findings().empty());
    host.lines.clear();
    EXPECT_TRUE(run(kCardBarCodes));
    EXPECT_EQ(findings(), Lines{"Nalezena kmenová karta č. 2 s duplicitním čár. kódem X"});
}

TEST_F(DuplicateKeyCheck, NumberZeroAndNegativeNumbersAreComparedLikeAnyOther) {
    agenda.addCards({Card(0), Card(0), Card(-12), Card(-12)});
    EXPECT_TRUE(run(kCardNumbers));
    EXPECT_EQ(findings(),
              (Lines{"Nalezena duplicitní kmenová karta č. -12", "Nalezena duplicitní kmenová karta č. 0"}));
}

TEST_F(DuplicateKeyCheck, EmptyCodesAreNoDuplicatesButEmptyDescriptionsAre) {
    agenda.addCards({Card(1).withPopis(""), Card(2).withPopis("")});
    agenda.addStockItems({Stock(1, 1).withPopis(""), Stock(1, 2).withPopis("")});
    for (const int box : {4, 5, 6, 7, 8, 9, 10, 11}) {
        host.lines.clear();
        EXPECT_TRUE(run(box));
        EXPECT_TRUE(findings().empty()) << "check box " << box;
    }
    host.lines.clear();
    EXPECT_TRUE(run(kCardDescriptions));
    EXPECT_EQ(findings(), Lines{"Nalezena kmenová karta č. 2 s duplicitním popisem "});
    host.lines.clear();
    EXPECT_TRUE(run(kStockItemDescriptions));
    EXPECT_EQ(findings(), Lines{"Nalezena skladová zásoba č. 2 ve skladu č. 1, která má duplicitní popis "});
}

TEST_F(DuplicateKeyCheck, TextsAreComparedExactly) {
    agenda.addCards({Card(1).withPlu("abc"), Card(2).withPlu("ABC"), Card(3).withPlu("abc "), Card(4).withPlu(" abc"),
                     Card(5).withPlu("  "), Card(6).withPlu("  "), Card(7).withPlu("čáp"), Card(8).withPlu("čáp")});
    EXPECT_TRUE(run(kCardPlu));
    // Spaces only are a value; no case folding, no trimming.
    EXPECT_EQ(findings(), (Lines{"Nalezena kmenová karta č. 6 s duplicitním PLU   ",
                                 "Nalezena kmenová karta č. 8 s duplicitním PLU čáp"}));
}

// Each member's own values: title, underline, finding line.
struct MemberCase {
    int checkBox;
    std::string title;
    int underline;
    std::string finding;
};

class EveryMember : public CheckFixture, public ::testing::WithParamInterface<MemberCase> {};

TEST_P(EveryMember, ReportsTwoNeighboursWithTheSameKey) {
    const MemberCase &member = GetParam();
    // Two records per table share every value; a third, different one follows.
    agenda.addStockItems({Stock(4, 21).withPlu("U").withKatalog("K").withBarCode("B").withZkrat("Z").withPopis("P"),
                          Stock(4, 21).withPlu("U").withKatalog("K").withBarCode("B").withZkrat("Z").withPopis("P"),
                          Stock(4, 22).withPlu("u").withKatalog("k").withBarCode("b").withZkrat("z").withPopis("p")});
    agenda.addCards({Card(31).withPlu("U").withKatalog("K").withBarCode("B").withZkrat("Z").withPopis("P"),
                     Card(31).withPlu("U").withKatalog("K").withBarCode("B").withZkrat("Z").withPopis("P"),
                     Card(32).withPlu("u").withKatalog("k").withBarCode("b").withZkrat("z").withPopis("p")});
    EXPECT_TRUE(run(member.checkBox));
    Lines expected = HeaderBlock(member.title, member.underline);
    expected.push_back(member.finding);
    EXPECT_EQ(host.lines, expected);
    EXPECT_LT(static_cast<std::size_t>(member.underline), member.title.size());
}

INSTANTIATE_TEST_SUITE_P(
    DuplicateKeyChecks, EveryMember,
    ::testing::Values(MemberCase{1, "Kontrola duplicitních skladových zásob:", 31,
                                 "Nalezena duplicitní skladová zásoba č. 21 ve skladu č. 4"},
                      MemberCase{3, "Kontrola duplicitních kmenových karet:", 31,
                                 "Nalezena duplicitní kmenová karta č. 31"},
                      MemberCase{4, "Kontrola duplicitních PLU kmenových karet:", 35,
                                 "Nalezena kmenová karta č. 31 s duplicitním PLU U"},
                      MemberCase{5, "Kontrola duplicitních PLU skladových zásob:", 35,
                                 "Nalezena skladová zásoba č. 21 ve skladu č. 4, která má duplicitní PLU U"},
                      MemberCase{6, "Kontrola duplicitních katalog. čísel kmenových karet:", 42,
                                 "Nalezena kmenová karta č. 31 s duplicitním katalog. číslem K"},
                      MemberCase{7, "Kontrola duplicitních katalog. čísel skladových zásob:", 42,
                                 "Nalezena skladová zásoba č. 21 ve skladu č. 4, která má duplicitní katalog. číslo K"},
                      MemberCase{8, "Kontrola duplicitních čár. kódů kmenových karet:", 39,
                                 "Nalezena kmenová karta č. 31 s duplicitním čár. kódem B"},
                      MemberCase{9, "Kontrola duplicitních čár. kódů skladových zásob:", 39,
                                 "Nalezena skladová zásoba č. 21 ve skladu č. 4, která má duplicitní čár. kód B"},
                      MemberCase{10, "Kontrola duplicitních zkratek kmenových karet:", 38,
                                 "Nalezena kmenová karta č. 31 s duplicitní zkratkou Z"},
                      MemberCase{11, "Kontrola duplicitních zkratek skladových zásob:", 38,
                                 "Nalezena skladová zásoba č. 21 ve skladu č. 4, která má duplicitní zkratku Z"},
                      MemberCase{12, "Kontrola duplicitních popisů kmenových karet:", 37,
                                 "Nalezena kmenová karta č. 31 s duplicitním popisem P"},
                      MemberCase{13, "Kontrola duplicitních popisů skladových zásob:", 37,
                                 "Nalezena skladová zásoba č. 21 ve skladu č. 4, která má duplicitní popis P"}));

// --- Tables without a pair ---------------------------------------------------------------------------

TEST_F(DuplicateKeyCheck, EmptyTableGivesTheHeaderAndFillsTheGaugeItFound) {
    agenda.createStockItems();
    host.gauge().setMaximum(77);
    host.gauge().setProgress(30);
    EXPECT_TRUE(run(kStockItemBarCodes));
    EXPECT_EQ(host.lines, HeaderBlock("Kontrola duplicitních čár. kódů skladových zásob:", 39));
    EXPECT_EQ(host.gauge().maximum(), 77);
    EXPECT_EQ(host.gauge().progress(), 77);
    EXPECT_TRUE(isClosed(walkTable));
}

TEST_F(DuplicateKeyCheck, OneRecordDoesNotLookAtTheAbortFlag) {
    agenda.addCards({Card(1)});
    host.abort = true;
    EXPECT_TRUE(run(kCardNumbers));
    EXPECT_EQ(host.lines, HeaderBlock("Kontrola duplicitních kmenových karet:", 31));
    EXPECT_TRUE(host.abort);
}

// --- Gauge and events ----------------------------------------------------------------------------------

TEST_F(DuplicateKeyCheck, FortyFiveRecordsMoveTheGaugeEveryTwentyCycles) {
    agenda.addStockItems(StockItemsWithBarCode(45, "")); // 44 cycles, no finding
    EXPECT_TRUE(run(kStockItemBarCodes));
    EXPECT_EQ(host.gaugeChanges(), (std::vector<GaugeState>{{0, 45}, {20, 45}, {40, 45}, {45, 45}}));
    // Events at the start, after the 20th and 40th cycle (before the gauge moves), at the end.
    EXPECT_EQ(host.gaugeAtEvents, (std::vector<GaugeState>{{0, 100}, {0, 45}, {20, 45}, {45, 45}}));
}

// --- Abort -----------------------------------------------------------------------------------------------

TEST_F(DuplicateKeyCheck, AbortDuringAFindingLineIsSeenAtTheEndOfThatCycle) {
    agenda.addStockItems(StockItemsWithBarCode(5, "X"));
    host.abortAtLine(5); // the first finding line
    EXPECT_FALSE(run(kStockItemBarCodes));
    EXPECT_EQ(findings(),
              (Lines{"Nalezena skladová zásoba č. 2 ve skladu č. 1, která má duplicitní čár. kód X", "", kAbortLine}));
    EXPECT_EQ(host.gauge().progress(), 5);
    EXPECT_EQ(host.gauge().maximum(), 5);
    EXPECT_TRUE(isClosed(walkTable));
}

TEST_F(DuplicateKeyCheck, AbortDuringTheHeaderStopsInTheFirstCycle) {
    agenda.addStockItems(StockItemsWithBarCode(3, "X"));
    host.abortAtLine(2);
    EXPECT_FALSE(run(kStockItemBarCodes));
    EXPECT_EQ(findings(),
              (Lines{"Nalezena skladová zásoba č. 2 ve skladu č. 1, která má duplicitní čár. kód X", "", kAbortLine}));
}

TEST_F(DuplicateKeyCheck, AbortAtTheTwentiethRecordsEventsStopsThatCycle) {
    agenda.addStockItems(StockItemsWithBarCode(45, "X"));
    host.abortAtEvents(2); // 1: the frame's start, 2: after the 20th cycle
    EXPECT_FALSE(run(kStockItemBarCodes));
    const Lines lines = findings();
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[19], "Nalezena skladová zásoba č. 21 ve skladu č. 1, která má duplicitní čár. kód X");
    EXPECT_EQ(lines[20], "");
    EXPECT_EQ(lines[21], kAbortLine);
    EXPECT_EQ(host.gauge().progress(), 45);
}

// --- Failures --------------------------------------------------------------------------------------------

TEST_F(DuplicateKeyCheck, MissingTableShowsTheOpenFailureOfItsTable) {
    EXPECT_FALSE(run(kStockItemPlu));
    EXPECT_FALSE(run(kCardPlu));
    EXPECT_EQ(host.messages,
              (Lines{"Nelze otevřít seznam skladových zásob.", "Nelze otevřít seznam kmenových karet."}));
    Lines expected = HeaderBlock("Kontrola duplicitních PLU skladových zásob:", 35);
    const Lines second = HeaderBlock("Kontrola duplicitních PLU kmenových karet:", 35);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(host.lines, expected);
    EXPECT_EQ(host.gauge().progress(), 0);
}

TEST_F(DuplicateKeyCheck, MissingIndexShowsTheIndexFailureOfItsTable) {
    TableDef stock = StockItemsTable();
    stock.indexes.clear();
    TableDef cards = MasterCardsTable();
    cards.indexes = {{"Cislo"}};
    agenda.createTable(stock);
    agenda.createTable(cards);
    EXPECT_FALSE(run(kStockItemNumbers));
    EXPECT_FALSE(run(kCardPlu));
    EXPECT_TRUE(run(kCardNumbers));
    EXPECT_EQ(host.messages,
              (Lines{"Nelze nastavit index skladových zásob.", "Nelze nastavit index kmenových karet."}));
    EXPECT_TRUE(isClosed(walkTable));
}

} // namespace

namespace {

// A column declared with another collation, its index on the bytes: the walk follows the index.
TEST_F(DuplicateKeyCheck, AnIndexInByteOrderIsWalkedInByteOrderWhateverTheColumnsCollation) {
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(agenda.tableFile("SKKMKART").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db,
                     "CREATE TABLE SKKMKART (Cislo INTEGER, UzivCode TEXT, Katalog TEXT, BarCode TEXT,"
                     " Zkrat TEXT COLLATE NOCASE, Popis TEXT);"
                     "CREATE INDEX k ON SKKMKART (Zkrat COLLATE BINARY);"
                     "INSERT INTO SKKMKART (Cislo, Zkrat, Popis) VALUES (1, 'A', 'p'), (2, 'a', 'p'), (3, 'A', 'p'),"
                     " (4, 'b', 'p'), (5, 'B', 'p'), (6, 'b', 'p');",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    EXPECT_TRUE(run(10)) << walkTable.lastOpenError();
    const auto lines = findings();
    ASSERT_EQ(lines.size(), 2u) << ::testing::PrintToString(host.lines);
    EXPECT_NE(lines[0].find("č. 3 "), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("č. 6 "), std::string::npos) << lines[1];
}

} // namespace
