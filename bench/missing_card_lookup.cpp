// The missing-card check's question (has this stock item's number a master card?) answered both ways
// through one engine backend: the cards' number index walked alongside the stock items as a merge,
// and one seek per stock item. Prints the times in milliseconds.
// Usage: vrelmont-bench-missing-card AGENDA_DIR host|files
#include "engine/TBFTable.h"
#include "wiring/EngineChoice.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>

using namespace vrelmont;

namespace {

bool OpenByNumber(TBFTable &table, const std::string &file) {
    return table.OpenTable(Variant::text(file)) == kAnswerDone && table.SetIndex("Cislo") == kAnswerDone;
}

// Walks the stock items in number order and asks `hasCard` for each; answers the number without a card.
long Walk(TBFTable &stock, const std::function<bool(std::int32_t)> &hasCard) {
    const FieldHandle number = stock.fieldHandle("Cislo");
    long missing = 0;
    stock.GoTop();
    do
        missing += hasCard(stock.int32Value(number)) ? 0 : 1;
    while (stock.MoveNext() != kAnswerNoFurtherRecord);
    return missing;
}

} // namespace

int main(int argc, char **argv) try {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s AGENDA_DIR host|files\n", argv[0]);
        return 2;
    }
    UseEngine(ParseEngineKind(argv[2]));
    const std::string dir = std::string(argv[1]) + "/";
    const auto clock = [] { return std::chrono::steady_clock::now(); };
    const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };

    double merge = 0, seek = 0;
    long mergeMissing = 0, seekMissing = 0;
    {
        TBFTable stock, cards;
        if (!OpenByNumber(stock, dir + "SKSEZZAS") || !OpenByNumber(cards, dir + "SKKMKART")) {
            std::fprintf(stderr, "cannot open the tables of %s\n", dir.c_str());
            return 1;
        }
        const auto start = clock();
        const FieldHandle cardNumber = cards.fieldHandle("Cislo");
        bool onCard = cards.GoTop() != 0;
        mergeMissing = Walk(stock, [&](std::int32_t number) {
            while (onCard && cards.compareValue(cardNumber, number) < 0)
                onCard = cards.MoveNext() != kAnswerNoFurtherRecord;
            return onCard && cards.compareValue(cardNumber, number) == 0;
        });
        merge = ms(clock() - start);
    }
    {
        TBFTable stock, cards;
        OpenByNumber(stock, dir + "SKSEZZAS");
        OpenByNumber(cards, dir + "SKKMKART");
        const auto start = clock();
        seekMissing =
            Walk(stock, [&](std::int32_t number) { return cards.SeekKey(Variant::int32(number)) == kAnswerFound; });
        seek = ms(clock() - start);
    }
    std::printf("merge_ms=%.1f seek_ms=%.1f missing=%ld\n", merge, seek, mergeMissing);
    if (mergeMissing != seekMissing) {
        std::fprintf(stderr, "the two ways disagree: %ld against %ld\n", mergeMissing, seekMissing);
        return 1;
    }
    return 0;
} catch (const std::exception &error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
}
