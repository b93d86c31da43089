// The missing master card check: SKSEZZAS walked, SKKMKART looked up.
#include "ForwardingBackend.h"
#include "TestAgenda.h"
#include "TestScopes.h"

using namespace vrelmont;
using namespace vrelmont::testing;
using Lines = std::vector<std::string>;

namespace {

constexpr int kMissingCards = 2;
const Lines kHeader = HeaderBlock("Kontrola existence kmenových karet:", 29);

using MissingCardCheck = CheckFixture;

std::string Finding(int number) {
    return "Ke skladové zásobě č. " + std::to_string(number) + " neexistuje kmenová karta.";
}

TEST_F(MissingCardCheck, ReportsEveryStockItemRecordWithoutItsCard) {
    agenda.addStockItems({Stock(1, 5), Stock(2, 5), Stock(1, 7)});
    agenda.addCards({Card(7), Card(9)});
    EXPECT_TRUE(run(kMissingCards));
    Lines expected = kHeader;
    expected.insert(expected.end(), {Finding(5), Finding(5)});
    EXPECT_EQ(host.lines, expected);
    EXPECT_TRUE(isClosed(walkTable));
    EXPECT_TRUE(isClosed(lookupTable));
}

// An engine that seeks faster than it walks, counting its seeks and moves.
class SeekingBackend : public ForwardingBackend {
public:
    explicit SeekingBackend(int &seeks, int &moves) : seeks_(seeks), moves_(moves) {}
    bool mergeBeatsSeek() const override { return false; }
    std::int32_t SeekKey(const Variant &key) override {
        ++seeks_;
        return ForwardingBackend::SeekKey(key);
    }
    std::int32_t MoveNext() override {
        ++moves_;
        return ForwardingBackend::MoveNext();
    }

private:
    int &seeks_;
    int &moves_;
};

TEST_F(MissingCardCheck, AnEngineThatSeeksFasterIsAskedOnceForEveryStockItem) {
    agenda.addStockItems({Stock(1, 5), Stock(2, 5), Stock(1, 7), Stock(1, 8), Stock(2, 12)});
    agenda.addCards({Card(1), Card(2), Card(3), Card(7), Card(9), Card(10), Card(11), Card(12)});
    int seeks = 0, moves = 0;
    const vrelmont::test::TableBackendFactoryScope standIn(
        [&] { return std::make_unique<SeekingBackend>(seeks, moves); });
    EXPECT_TRUE(run(kMissingCards));
    EXPECT_EQ(findings(), (Lines{Finding(5), Finding(5), Finding(8)}));
    EXPECT_EQ(seeks, 5);
    EXPECT_EQ(moves, 5) << "the stock items are walked, the cards are not";
}

// The table files walk faster than they seek, unless the cards far outnumber the stock items.
class CountingBackend : public ForwardingBackend {
public:
    explicit CountingBackend(int &seeks) : seeks_(seeks) {}
    std::int32_t SeekKey(const Variant &key) override {
        ++seeks_;
        return ForwardingBackend::SeekKey(key);
    }

private:
    int &seeks_;
};

TEST_F(MissingCardCheck, CardsThatFarOutnumberTheStockItemsAreSoughtNotWalked) {
    agenda.addStockItems({Stock(1, 5), Stock(2, 5), Stock(1, 8)});
    agenda.addCards({Card(1), Card(2), Card(3), Card(4), Card(6), Card(7), Card(8), Card(9), Card(10), Card(11),
                     Card(12), Card(13)});
    int seeks = 0;
    const vrelmont::test::TableBackendFactoryScope standIn([&] { return std::make_unique<CountingBackend>(seeks); });
    EXPECT_TRUE(run(kMissingCards));
    EXPECT_EQ(seeks, 0) << "four cards per stock item are still walked";
    agenda.addCards({Card(14)});
    host.lines.clear();
    EXPECT_TRUE(run(kMissingCards));
    EXPECT_EQ(seeks, 3);
    EXPECT_EQ(findings(), (Lines{Finding(5), Finding(5)}));
}

TEST_F(MissingCardCheck, WithoutCardsEveryStockItemIsReportedZeroAndNegativeIncluded) {
    agenda.addStockItems({Stock(1, 3), Stock(1, 0), Stock(1, -4)});
    agenda.createCards();
    EXPECT_TRUE(run(kMissingCards));
    EXPECT_EQ(findings(), (Lines{Finding(-4), Finding(0), Finding(3)}));
}

TEST_F(MissingCardCheck, EmptyStockItemsStillOpenTheCards) {
    agenda.createStockItems();
    EXPECT_FALSE(run(kMissingCards)); // SKKMKART is missing
    EXPECT_EQ(host.messages, Lines{"Nelze otevřít seznam kmenových karet."});
    agenda.createCards();
    host.lines.clear();
    host.gauge().setMaximum(33);
    EXPECT_TRUE(run(kMissingCards));
    EXPECT_EQ(host.lines, kHeader);
    EXPECT_EQ(host.gauge().progress(), 33);
}

TEST_F(MissingCardCheck, FortyRecordsMoveTheGaugeAtTwentyAndForty) {
    std::vector<StockItem> items;
    std::vector<MasterCard> cards;
    for (int i = 1; i <= 40; ++i) {
        items.push_back(Stock(1, i));
        cards.push_back(Card(i));
    }
    agenda.addStockItems(items);
    agenda.addCards(cards);
    EXPECT_TRUE(run(kMissingCards));
    EXPECT_EQ(host.lines, kHeader);
    EXPECT_EQ(host.gaugeChanges(), (std::vector<GaugeState>{{0, 40}, {20, 40}, {40, 40}}));
}

TEST_F(MissingCardCheck, LooksUpTheFirstRecordBeforeSeeingAnEarlierAbort) {
    agenda.addStockItems({Stock(1, 5), Stock(1, 6)});
    agenda.createCards();
    host.abort = true;
    EXPECT_FALSE(run(kMissingCards));
    EXPECT_EQ(findings(), (Lines{Finding(5), "", "[ kontrola přerušena uživatelem ]"}));
    EXPECT_EQ(host.gauge().progress(), 2);
    EXPECT_TRUE(isClosed(walkTable));
    EXPECT_TRUE(isClosed(lookupTable));
}

TEST_F(MissingCardCheck, SeesAnAbortAfterItsLastRecordToo) {
    agenda.addStockItems({Stock(1, 5)});
    agenda.addCards({Card(5)});
    host.abort = true;
    EXPECT_FALSE(run(kMissingCards));
    EXPECT_EQ(findings(), (Lines{"", "[ kontrola přerušena uživatelem ]"}));
}

TEST_F(MissingCardCheck, FailuresNameTheirTable) {
    // Stock items missing.
    EXPECT_FALSE(run(kMissingCards));
    // Stock items without the Cislo index.
    TableDef stock = StockItemsTable();
    stock.indexes = {{"Sklad", "Cislo"}};
    agenda.createTable(stock);
    EXPECT_FALSE(run(kMissingCards));
    EXPECT_EQ(host.messages,
              (Lines{"Nelze otevřít seznam skladových zásob.", "Nelze nastavit index skladových zásob."}));
}

TEST_F(MissingCardCheck, CardsWithoutTheirIndexCloseBothTables) {
    agenda.addStockItems({Stock(1, 5)});
    TableDef cards = MasterCardsTable();
    cards.indexes = {{"Popis"}};
    agenda.createTable(cards);
    EXPECT_FALSE(run(kMissingCards));
    EXPECT_EQ(host.messages, Lines{"Nelze nastavit index kmenových karet."});
    EXPECT_EQ(host.lines, kHeader);
    EXPECT_TRUE(isClosed(walkTable));
    EXPECT_TRUE(isClosed(lookupTable));
}

} // namespace

namespace {

// The table's Cislo without a declared type, so that a number can stay stored as text or real.
TableDef WithUntypedNumber(TableDef table) {
    for (FieldDef &field : table.fields)
        if (field.name == "Cislo")
            field.type = FieldType::Any;
    return table;
}

TEST_F(MissingCardCheck, FindsWhatASeekPerRecordFindsWhateverTheStoredNumbers) {
    // Cards: numbers repeated, stored as real, missing or as text that is no number.
    agenda.createTable(WithUntypedNumber(MasterCardsTable()));
    agenda.addCards({Card(9), Card(2), Card(2), Card(-3), Card(5), Card(11), Card(12)});
    agenda.execSql("SKKMKART", "UPDATE SKKMKART SET Cislo = 5.0 WHERE Cislo = 5;"
                               "UPDATE SKKMKART SET Cislo = NULL WHERE Cislo = 11;"
                               "UPDATE SKKMKART SET Cislo = 'abc' WHERE Cislo = 12;");
    agenda.createTable(WithUntypedNumber(StockItemsTable()));
    agenda.addStockItems(
        {Stock(1, 4), Stock(1, 2), Stock(1, 5), Stock(1, 2), Stock(1, 10), Stock(1, -3), Stock(1, 7), Stock(1, 9)});
    // Numbers kept as text sort after every number: the walk meets 7 and 9 last, out of order.
    agenda.execSql("SKSEZZAS", "UPDATE SKSEZZAS SET Cislo = CAST(Cislo AS TEXT) WHERE Cislo IN (7, 9)");
    EXPECT_TRUE(run(kMissingCards));
    EXPECT_EQ(findings(), (Lines{Finding(4), Finding(10), Finding(7)}));
}

} // namespace
