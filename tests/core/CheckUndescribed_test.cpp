// The undescribed record searches: the empty descriptions at the start of the "Popis" index.
#include "TestAgenda.h"

using namespace vrelmont;
using namespace vrelmont::testing;
using Lines = std::vector<std::string>;

namespace {

constexpr int kUndescribedCards = 14, kUndescribedStockItems = 15;
const std::string kAbortLine = "[ kontrola přerušena uživatelem ]";

using UndescribedSearch = CheckFixture;

TEST_F(UndescribedSearch, ReportsEmptyDescriptionsOnlyAndStopsAtTheFirstDescription) {
    agenda.addCards({Card(2).withPopis(" "), Card(4).withPopis(""), Card(3).withPopis("x"), Card(9).withPopis("")});
    EXPECT_TRUE(run(kUndescribedCards));
    Lines expected = HeaderBlock("Hledání kmenových karet bez popisu:", 30);
    expected.insert(expected.end(),
                    {"Nalezena kmenová karta č. 4, která nemá popis", "Nalezena kmenová karta č. 9, která nemá popis"});
    EXPECT_EQ(host.lines, expected);
    EXPECT_TRUE(isClosed(walkTable));
}

TEST_F(UndescribedSearch, NamesEveryWarehouseRecordOfAStockItem) {
    agenda.addStockItems({Stock(1, 8).withPopis(""), Stock(2, 8).withPopis(""), Stock(1, 9).withPopis("šroub")});
    EXPECT_TRUE(run(kUndescribedStockItems));
    Lines expected = HeaderBlock("Hledání skladových zásob bez popisu:", 30);
    expected.insert(expected.end(), {"Nalezena skladová zásoba č. 8 ve skladu č. 1, která nemá popis",
                                     "Nalezena skladová zásoba č. 8 ve skladu č. 2, která nemá popis"});
    EXPECT_EQ(host.lines, expected);
}

TEST_F(UndescribedSearch, EmptyTableFillsAHundredPercentGauge) {
    agenda.createCards();
    host.gauge().setMaximum(45);
    host.gauge().setProgress(45);
    EXPECT_TRUE(run(kUndescribedCards));
    EXPECT_EQ(host.lines, HeaderBlock("Hledání kmenových karet bez popisu:", 30));
    EXPECT_EQ(host.gaugeAtEvents.back(), (GaugeState{100, 100}));
}

TEST_F(UndescribedSearch, DescribedTableGivesNoLine) {
    agenda.addStockItems({Stock(1, 1).withPopis("a"), Stock(1, 2).withPopis("b")});
    EXPECT_TRUE(run(kUndescribedStockItems));
    EXPECT_TRUE(findings().empty());
}

TEST_F(UndescribedSearch, AllUndescribedWalksToTheEndWithTheGaugeAtZero) {
    std::vector<MasterCard> cards;
    for (int i = 1; i <= 25; ++i)
        cards.push_back(Card(i).withPopis(""));
    agenda.addCards(cards);
    EXPECT_TRUE(run(kUndescribedCards));
    EXPECT_EQ(findings().size(), 25u);
    EXPECT_EQ(findings().back(), "Nalezena kmenová karta č. 25, která nemá popis");
    // Start, the 20th record, the end.
    EXPECT_EQ(host.gaugeAtEvents, (std::vector<GaugeState>{{0, 100}, {0, 100}, {100, 100}}));
}

TEST_F(UndescribedSearch, EarlierAbortStopsAfterTheFirstFindingWhenARecordFollows) {
    agenda.addCards({Card(1).withPopis(""), Card(2).withPopis("")});
    host.abort = true;
    EXPECT_FALSE(run(kUndescribedCards));
    EXPECT_EQ(findings(), (Lines{"Nalezena kmenová karta č. 1, která nemá popis", "", kAbortLine}));
    EXPECT_EQ(host.gauge().progress(), 100);
    EXPECT_TRUE(isClosed(walkTable));
}

TEST_F(UndescribedSearch, EarlierAbortIsNotSeenWithoutASecondCycle) {
    agenda.addCards({Card(1).withPopis("")});                                      // one record only
    agenda.addStockItems({Stock(1, 1).withPopis("a"), Stock(1, 2).withPopis("")}); // "" comes first
    host.abort = true;
    EXPECT_TRUE(run(kUndescribedCards));
    EXPECT_EQ(findings(), Lines{"Nalezena kmenová karta č. 1, která nemá popis"});
    host.lines.clear();
    EXPECT_FALSE(run(kUndescribedStockItems));
    EXPECT_TRUE(host.abort);
}

TEST_F(UndescribedSearch, FirstRecordWithADescriptionLeavesTheFlagForTheNextCheck) {
    agenda.addCards({Card(1).withPopis("a"), Card(2).withPopis("b")});
    host.abort = true;
    EXPECT_TRUE(run(kUndescribedCards));
    EXPECT_TRUE(findings().empty());
    EXPECT_TRUE(host.abort);
}

TEST_F(UndescribedSearch, FailuresNameTheirTable) {
    EXPECT_FALSE(run(kUndescribedCards));
    TableDef stock = StockItemsTable();
    stock.indexes = {{"Sklad", "Popis"}};
    agenda.createTable(stock);
    EXPECT_FALSE(run(kUndescribedStockItems));
    EXPECT_EQ(host.messages,
              (Lines{"Nelze otevřít seznam kmenových karet.", "Nelze nastavit index skladových zásob."}));
    EXPECT_EQ(host.gauge().progress(), 0);
}

} // namespace
