#include "checks/MissingCardCheck.h"

#include "checks/CheckFrame.h"
#include "checks/FieldNames.h"
#include "checks/ReportText.h"

namespace vrelmont {
namespace {

// A merge walks every card up to the last stock item's number, a seek costs about four steps of a
// walk: with more cards than this per stock item, seeking costs less (bench/missing_card_lookup.cpp).
constexpr std::int64_t kCardsPerStockItemWorthAMerge = 4;

// Answers whether a card has a given number. The stock items come in the order of their number
// index, so the cards' number index is walked alongside them, once, as a merge. A number that comes
// out of order (one stored as text sorts after every number) is looked up by a seek instead, as is
// every number after it; so is every number where the engine seeks faster than it walks, or where
// the cards far outnumber the stock items.
class CardNumbers {
public:
    CardNumbers(TBFTable &cards, std::int32_t stockItems)
        : cards_(cards), number_(cards.fieldHandle(kFieldCislo)),
          merging_(cards.mergeBeatsSeek() &&
                   cards.RecordCount() <= kCardsPerStockItemWorthAMerge * static_cast<std::int64_t>(stockItems)) {
        onCard_ = merging_ && cards_.GoTop() != 0;
    }

    bool contain(std::int32_t number) {
        if (merging_ && seenAny_ && number < previous_)
            merging_ = false;
        seenAny_ = true;
        previous_ = number;
        if (!merging_)
            return cards_.SeekKey(Variant::int32(number)) == kAnswerFound;
        // Each card's number is compared once per stock item that reaches it.
        for (; onCard_; onCard_ = cards_.MoveNext() != kAnswerNoFurtherRecord) {
            const int order = cards_.compareValue(number_, number);
            if (order >= 0)
                return order == 0;
        }
        return false;
    }

private:
    TBFTable &cards_;
    FieldHandle number_;
    bool onCard_ = false;
    bool merging_;
    bool seenAny_ = false;
    std::int32_t previous_ = 0;
};

void CloseBoth(TBFTable &walkTable, TBFTable &lookupTable) {
    walkTable.CloseTable();
    lookupTable.CloseTable();
}

} // namespace

bool RunMissingCardCheck(RunHost &host, const RunContext &context, TBFTable &walkTable, TBFTable &lookupTable) {
    WriteCheckHeader(host, kMissingCardTitle, 29);
    host.gauge().setProgress(0);
    host.ProcessEvents();
    const std::string byNumber = kFieldCislo;
    if (!OpenIndexedTable(host, context, walkTable, kStockItemTable, byNumber))
        return false;
    if (!OpenIndexedTable(host, context, lookupTable, kMasterCardTable, byNumber)) {
        walkTable.CloseTable();
        return false;
    }

    // Both walks compare numbers alone; a finding's warehouse is read from its record.
    walkTable.walkKeysOnly();
    lookupTable.walkKeysOnly();
    const std::int32_t count = walkTable.RecordCount();
    if (count >= 1) {
        walkTable.GoTop();
        host.gauge().setMaximum(count);
        int counter = 0;
        std::string line;
        FindingSink *const sink = host.findingSink();
        const FieldHandle stockNumber = walkTable.fieldHandle(kFieldCislo);
        CardNumbers cards(lookupTable, count);
        for (;;) {
            // Every record is looked up on its own, also when its number repeats.
            const std::int32_t number = walkTable.int32Value(stockNumber);
            if (!cards.contain(number)) {
                line = "Ke skladové zásobě č. ";
                AppendNumber(line, number);
                line += " neexistuje kmenová karta.";
                host.ReportLine(line);
                if (sink) {
                    // The line names no warehouse, but the record is a stock item of one.
                    const std::int32_t warehouse = walkTable.Value(kFieldSklad).toInt32();
                    Finding found{2, kStockItemTable.name, {warehouse, number}, kFieldCislo, {}, line};
                    AppendNumber(found.value, number);
                    sink->singleFinding(found);
                }
            }
            CountRecord(host, counter, true);
            if (AbortSeen(host))
                return AbortCheck(host, {&walkTable, &lookupTable});
            if (walkTable.MoveNext() == kAnswerNoFurtherRecord)
                break;
        }
    }
    CloseBoth(walkTable, lookupTable);
    FillGauge(host);
    host.ProcessEvents();
    return true;
}

} // namespace vrelmont
