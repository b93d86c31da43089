// The run driver: header, run order, boxes read at their turn, stop on false, closing lines.
#include "TestAgenda.h"

#include "checks/CheckRun.h"
#include "engine/EngineError.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace vrelmont;
using namespace vrelmont::testing;
using Lines = std::vector<std::string>;

namespace {

const Lines kRunHeader{std::string(35, '='), "Vrelmont", "Agenda: Testovací firma", "Datum: 14.05.2024",
                       std::string(35, '=')};
const Lines kClosing{"==========", "Dokončeno", "=========="};

const Lines kTitlesInRunOrder{
    "Kontrola duplicitních skladových zásob:",
    "Kontrola duplicitních kmenových karet:",
    "Kontrola existence kmenových karet:",
    "Hledání kmenových karet bez popisu:",
    "Hledání skladových zásob bez popisu:",
    "Kontrola duplicitních PLU kmenových karet:",
    "Kontrola duplicitních PLU skladových zásob:",
    "Kontrola duplicitních katalog. čísel kmenových karet:",
    "Kontrola duplicitních katalog. čísel skladových zásob:",
    "Kontrola duplicitních čár. kódů kmenových karet:",
    "Kontrola duplicitních čár. kódů skladových zásob:",
    "Kontrola duplicitních zkratek kmenových karet:",
    "Kontrola duplicitních zkratek skladových zásob:",
    "Kontrola duplicitních popisů kmenových karet:",
    "Kontrola duplicitních popisů skladových zásob:",
};

class CheckRun : public CheckFixture {
protected:
    bool runAll() { return RunChecks(host, context, walkTable, lookupTable); }

    // The titles of the check blocks written, in order.
    Lines titles() const {
        Lines found;
        for (std::size_t i = 1; i + 1 < host.lines.size(); ++i)
            if (host.lines[i - 1].empty() && !host.lines[i].empty() &&
                host.lines[i + 1].find_first_not_of('=') == std::string::npos)
                found.push_back(host.lines[i]);
        return found;
    }

    Lines concat(std::initializer_list<Lines> parts) const {
        Lines all;
        for (const Lines &part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    }
};

TEST_F(CheckRun, NoBoxTickedWritesTheHeaderAndTheClosingLines) {
    host.gauge().setProgress(60);
    EXPECT_TRUE(runAll());
    EXPECT_EQ(host.lines, concat({kRunHeader, kClosing}));
    EXPECT_EQ(host.gauge().progress(), 0);
    // Focus, running state, header, one event pump, idle before the closing lines.
    EXPECT_EQ(host.journal.front(), "focus");
    EXPECT_EQ(host.journal[1], "state:1");
    EXPECT_EQ(host.journal[7], "events");
    EXPECT_EQ(host.journal[8], "state:0");
    EXPECT_EQ(host.journal[9], "line:==========");
}

TEST_F(CheckRun, RunsTheTickedChecksInTheOrderOfTheWindowsColumns) {
    agenda.addStockItems({Stock(1, 1)});
    agenda.addCards({Card(1)});
    host.ticked = SelectedChecks::all();
    EXPECT_TRUE(runAll());
    EXPECT_EQ(titles(), kTitlesInRunOrder);
    EXPECT_TRUE(std::equal(kClosing.rbegin(), kClosing.rend(), host.lines.rbegin()));
    // The first block starts with its own empty line right after the header.
    EXPECT_EQ(host.lines[5], "");
    EXPECT_EQ(host.runStates, (std::vector<bool>{true, false}));
    EXPECT_EQ(host.gauge().progress(), 0);
}

TEST_F(CheckRun, AFailingCheckStopsTheRunWithoutClosingLines) {
    agenda.addStockItems({Stock(1, 1)});
    host.tickOnly({1, 2, 3});
    EXPECT_FALSE(runAll()); // SKKMKART is missing: the card number check fails
    EXPECT_EQ(host.lines,
              concat({kRunHeader, HeaderBlock(kTitlesInRunOrder[0], 31), HeaderBlock(kTitlesInRunOrder[1], 31)}));
    EXPECT_EQ(host.messages, Lines{"Nelze otevřít seznam kmenových karet."});
    EXPECT_EQ(host.runStates, (std::vector<bool>{true, false}));
    EXPECT_EQ(host.gauge().progress(), 0);
}

TEST_F(CheckRun, ABoxIsReadWhenItsTurnComes) {
    agenda.addStockItems({Stock(1, 1)});
    agenda.addCards({Card(1)});
    host.tickOnly({1, 3, 13});
    host.onLine = [](FakeRunHost &h) {
        if (h.lines.back() == kTitlesInRunOrder[0]) {
            h.ticked.set(13, false);
            h.ticked.set(15, true);
        }
    };
    EXPECT_TRUE(runAll());
    EXPECT_EQ(titles(), (Lines{kTitlesInRunOrder[0], kTitlesInRunOrder[1], kTitlesInRunOrder[4]}));
}

TEST_F(CheckRun, AbortThatACheckCannotSeeStopsTheNextOneThatWalks) {
    agenda.addStockItems({Stock(1, 1)}); // one record: no cycle looks at the flag
    agenda.addCards({Card(4), Card(4), Card(4)});
    host.tickOnly({1, 3, 4});
    host.onLine = [](FakeRunHost &h) {
        if (h.lines.back() == kTitlesInRunOrder[0])
            h.abort = true;
    };
    EXPECT_FALSE(runAll());
    EXPECT_EQ(host.lines,
              concat({kRunHeader,
                      HeaderBlock(kTitlesInRunOrder[0], 31),
                      HeaderBlock(kTitlesInRunOrder[1], 31),
                      {"Nalezena duplicitní kmenová karta č. 4", "", "[ kontrola přerušena uživatelem ]"}}));
    EXPECT_EQ(host.gauge().progress(), host.gauge().maximum());
    EXPECT_EQ(host.runStates, (std::vector<bool>{true, false}));
}

TEST_F(CheckRun, AbortAfterTheLastPollLetsTheRunComplete) {
    agenda.addCards({Card(1), Card(2)});
    host.tickOnly({3});
    host.onLine = [](FakeRunHost &h) {
        if (h.lines.back() == "Dokončeno")
            h.abort = true;
    };
    host.onEvents = [](FakeRunHost &h) {
        // The check's final event pump, after its walk.
        if (h.gauge().progress() == 2)
            h.abort = true;
    };
    EXPECT_TRUE(runAll());
    EXPECT_TRUE(std::equal(kClosing.rbegin(), kClosing.rend(), host.lines.rbegin()));
    EXPECT_TRUE(host.abort);
}

TEST_F(CheckRun, EngineErrorReturnsToIdleClosesTheTablesAndPropagates) {
    // Cards without a Cislo field: the first finding of the PLU check cannot name its card.
    TableDef cards = MasterCardsTable();
    cards.fields = {{"UzivCode", FieldType::Text}};
    cards.indexes = {{"UzivCode"}};
    agenda.createTable(cards);
    agenda.execSql("SKKMKART", "INSERT INTO SKKMKART (UzivCode) VALUES ('A'), ('A')");
    host.tickOnly({4});
    EXPECT_THROW(runAll(), EngineError);
    EXPECT_EQ(host.runStates, (std::vector<bool>{true, false}));
    EXPECT_TRUE(isClosed(walkTable));
    EXPECT_TRUE(isClosed(lookupTable));
    EXPECT_EQ(std::count(host.lines.begin(), host.lines.end(), "Dokončeno"), 0);
}

TEST_F(CheckRun, ANumberThatIsNoNumberEndsTheRunLikeAnEngineError) {
    agenda.addStockItems({Stock(1, 1), Stock(1, 2)});
    agenda.execSql("SKSEZZAS", "UPDATE SKSEZZAS SET Cislo = 'abc' WHERE Cislo = 2");
    agenda.createCards();
    host.tickOnly({2});
    EXPECT_THROW(runAll(), std::runtime_error);
    EXPECT_EQ(host.runStates, (std::vector<bool>{true, false}));
    EXPECT_TRUE(isClosed(walkTable));
    EXPECT_TRUE(isClosed(lookupTable));
}

std::map<std::string, std::string> FilesIn(const std::string &dir) {
    std::map<std::string, std::string> files;
    for (const auto &entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[entry.path().filename().string()] = bytes.str();
    }
    return files;
}

TEST_F(CheckRun, LeavesTheAgendaByteForByteAsItWas) {
    agenda.addStockItems({Stock(1, 1).withBarCode("1"), Stock(1, 1).withBarCode("1"), Stock(1, 3).withPopis("")});
    agenda.addCards({Card(1).withPopis(""), Card(1)});
    const auto before = FilesIn(agenda.dir());
    host.ticked = SelectedChecks::all();
    EXPECT_TRUE(runAll());
    EXPECT_EQ(FilesIn(agenda.dir()), before);
}

} // namespace
