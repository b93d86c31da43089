// Walks a table in index order through the engine, reading the key fields of every record,
// and seeks every key once; prints the times in milliseconds.
#include "engine/TBFTable.h"

#include <chrono>
#include <cstdio>
#include <string>

using namespace vrelmont;

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TABLE_PATH_WITHOUT_.DAT\n", argv[0]);
        return 2;
    }
    const auto clock = [] { return std::chrono::steady_clock::now(); };
    const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };

    TBFTable table;
    if (table.OpenTable(Variant::text(argv[1])) != 0 || table.SetIndex("Sklad+Cislo") != 0) {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[1], table.lastOpenError().c_str());
        return 1;
    }
    auto start = clock();
    long long records = 0, sum = 0;
    table.GoTop();
    do {
        sum += table.Value("Sklad").toInt32() + table.Value("Cislo").toInt32();
        ++records;
    } while (table.MoveNext() != kAnswerNoFurtherRecord);
    const double walk = ms(clock() - start);

    TBFTable lookups;
    lookups.OpenTable(Variant::text(argv[1]));
    lookups.SetIndex("Cislo");
    start = clock();
    long long found = 0;
    for (int key = 0; key < 200000; ++key)
        found += lookups.SeekKey(Variant::int32(key)) == kAnswerFound;
    const double seek = ms(clock() - start);
    std::printf("walk_ms=%.1f records=%lld checksum=%lld seek_ms=%.1f seeks=200000 found=%lld\n", walk, records, sum,
                seek, found);
    return 0;
}
