#include "TempDir.h"
#include "TestScopes.h"

#include "engine/EngineError.h"
#include "engine/TBFTable.h"
#include "tablefiles/TableFiles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <tuple>
#include <vector>

using namespace vrelmont;
using vrelmont::test::EngineFactoryScope;
using vrelmont::test::FailingEngineFactory;
using vrelmont::test::TempDir;

namespace {

struct Stock {
    int sklad;
    int cislo;
    std::string barCode;
    std::string popis;
};

void appendStock(TBFTable &table, const Stock &s) {
    table.AppendRecord();
    table.SetValue("Sklad", Variant::int32(s.sklad));
    table.SetValue("Cislo", Variant::int32(s.cislo));
    table.SetValue("BarCode", Variant::text(s.barCode));
    table.SetValue("Popis", Variant::text(s.popis));
    table.PostRecord();
}

class TableEngine : public ::testing::Test {
protected:
    void SetUp() override {
        CreateTableFile(TableFilePath(dir.dir(), "SKSEZZAS"), StockItemsTable());
        TBFTable writer;
        ASSERT_EQ(writer.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
        for (const auto &s : records)
            appendStock(writer, s);
        writer.CloseTable();
    }

    // The (Sklad, Cislo) pairs of a whole walk in the selected index's order.
    std::vector<std::pair<int, int>> walk(const std::string &index) {
        TBFTable table;
        EXPECT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
        EXPECT_EQ(table.SetIndex(index), 0);
        std::vector<std::pair<int, int>> seen;
        if (table.RecordCount() < 1)
            return seen;
        table.GoTop();
        do
            seen.emplace_back(table.Value("Sklad").toInt32(), table.Value("Cislo").toInt32());
        while (table.MoveNext() != kAnswerNoFurtherRecord);
        return seen;
    }

    TempDir dir;
    std::vector<Stock> records{{2, 15, "4006", "b"}, {1, 12, "4006", "a"}, {1, 10, "", "B"},
                               {1, 11, "", ""},      {1, 12, "10", "a "},  {2, 3, "zz", "Ä"}};
};

TEST_F(TableEngine, WalksInIndexOrderWithEqualKeysInStoredOrder) {
    using P = std::pair<int, int>;
    EXPECT_EQ(walk("Sklad+Cislo"), (std::vector<P>{{1, 10}, {1, 11}, {1, 12}, {1, 12}, {2, 3}, {2, 15}}));
    // Texts byte by byte: the empty text first, digits before letters, upper case before lower case,
    // and multi-byte UTF-8 after ASCII.
    EXPECT_EQ(walk("Popis"), (std::vector<P>{{1, 11}, {1, 10}, {1, 12}, {1, 12}, {2, 15}, {2, 3}}));
    EXPECT_EQ(walk("Sklad+BarCode"), (std::vector<P>{{1, 10}, {1, 11}, {1, 12}, {1, 12}, {2, 15}, {2, 3}}));
    EXPECT_EQ(walk("Cislo").front(), (P{2, 3}));
}

TEST_F(TableEngine, AnswersOfTheWalk) {
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    EXPECT_EQ(table.SetIndex("Sklad+Cislo"), 0);
    EXPECT_EQ(table.RecordCount(), 6);
    EXPECT_NE(table.GoTop(), 0);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(table.MoveNext(), 0);
    EXPECT_EQ(table.MoveNext(), 1);
    // After the end, the last record stays current.
    EXPECT_EQ(table.Value("Cislo").toInt32(), 15);
    EXPECT_EQ(table.Value("Popis").toText(), "b");
}

TEST_F(TableEngine, IndexSelectionByKeyExpression) {
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    EXPECT_EQ(table.SetIndex("sklad+cislo"), 0) << "field names ignore letter case";
    EXPECT_NE(table.SetIndex("Cislo+Sklad"), 0) << "the key order matters";
    EXPECT_NE(table.SetIndex("Sklad"), 0) << "a prefix of an index is not that index";
    EXPECT_NE(table.SetIndex("Nic"), 0);
    EXPECT_NE(table.SetIndex(""), 0);
}

TEST_F(TableEngine, SeekKeyFindsTheFirstEqualRecordAndLeavesOtherTablesAlone) {
    TBFTable walker, cards;
    ASSERT_EQ(walker.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    ASSERT_EQ(cards.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    ASSERT_EQ(walker.SetIndex("Cislo"), 0);
    ASSERT_EQ(cards.SetIndex("Cislo"), 0);
    walker.GoTop();
    EXPECT_EQ(cards.SeekKey(Variant::int32(12)), kAnswerFound);
    EXPECT_EQ(cards.Value("BarCode").toText(), "4006") << "the first 12 in stored order";
    EXPECT_EQ(cards.MoveNext(), 0);
    EXPECT_EQ(cards.Value("BarCode").toText(), "10");
    EXPECT_NE(cards.SeekKey(Variant::int32(13)), kAnswerFound);
    EXPECT_NE(cards.SeekKey(Variant::int32(99)), kAnswerFound);
    EXPECT_EQ(cards.SeekKey(Variant::text("3")), kAnswerFound) << "the key takes the field's type";
    EXPECT_EQ(walker.Value("Cislo").toInt32(), 3);
    EXPECT_EQ(walker.MoveNext(), 0);
    EXPECT_EQ(walker.Value("Cislo").toInt32(), 10);
}

TEST_F(TableEngine, SeekKeyPairMatchesBothParts) {
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    ASSERT_EQ(table.SetIndex("Sklad+Cislo"), 0);
    EXPECT_EQ(table.SeekKeyPair(Variant::int32(2), Variant::int32(15)), kAnswerFound);
    EXPECT_EQ(table.Value("Popis").toText(), "b");
    EXPECT_NE(table.SeekKeyPair(Variant::int32(2), Variant::int32(12)), kAnswerFound);
    EXPECT_NE(table.SeekKeyPair(Variant::int32(3), Variant::int32(1)), kAnswerFound);
}

TEST_F(TableEngine, WritesUpdateAndDeleteTheCurrentRecord) {
    {
        TBFTable table;
        ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
        ASSERT_EQ(table.SetIndex("Sklad+Cislo"), 0);
        ASSERT_EQ(table.SeekKeyPair(Variant::int32(1), Variant::int32(11)), kAnswerFound);
        table.SetValue("Popis", Variant::text("nový popis"));
        table.PostRecord();
        EXPECT_EQ(table.Value("Popis").toText(), "nový popis");
        // The walk goes on after a write from where it stood.
        EXPECT_EQ(table.MoveNext(), 0);
        EXPECT_EQ(table.Value("Cislo").toInt32(), 12);
        table.DeleteRecord();
        EXPECT_EQ(table.Value("Cislo").toInt32(), 12) << "the next record becomes current";
        EXPECT_EQ(table.Value("BarCode").toText(), "10");
        EXPECT_EQ(table.RecordCount(), 5);
    }
    TBFTable reader;
    ASSERT_EQ(reader.OpenTable(Variant::text(dir.dir() + "SKSEZZAS.DAT")), 0) << "the full file name opens too";
    ASSERT_EQ(reader.SetIndex("Sklad+Cislo"), 0);
    ASSERT_EQ(reader.SeekKeyPair(Variant::int32(1), Variant::int32(11)), kAnswerFound);
    EXPECT_EQ(reader.Value("Popis").toText(), "nový popis");
}

TEST_F(TableEngine, FieldErrorsNameTheFieldAndTheFile) {
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    ASSERT_EQ(table.SetIndex("Cislo"), 0);
    try {
        table.Value("Cislo");
        FAIL() << "no current record before GoTop";
    } catch (const EngineError &) {
    }
    table.GoTop();
    try {
        table.Value("Cena");
        FAIL() << "unknown field";
    } catch (const EngineError &e) {
        EXPECT_NE(std::string(e.what()).find("Cena"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("SKSEZZAS.DAT"), std::string::npos);
    }
}

TEST(TableEngineFiles, MissingCorruptAndForeignFilesFailToOpen) {
    TempDir dir;
    TBFTable table;
    EXPECT_NE(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    EXPECT_NE(table.lastOpenError().find("SKSEZZAS.DAT"), std::string::npos);
    table.CloseTable(); // accepted after a failed open
    table.CloseTable();

    vrelmont::test::WriteBytes(dir.file("SKKMKART.DAT"), "this is no table at all, just some text");
    EXPECT_NE(table.OpenTable(Variant::text(dir.dir() + "SKKMKART")), 0);

    CreateTableFile(dir.file("FULL.DAT"), MasterCardsTable());
    const auto bytes = vrelmont::test::ReadBytes(dir.file("FULL.DAT"));
    vrelmont::test::WriteBytes(dir.file("CUT.DAT"), bytes.substr(0, 700));
    if (table.OpenTable(Variant::text(dir.dir() + "CUT")) == 0) {
        // A truncated file may still open; then reading it is an engine error, never a crash.
        EXPECT_ANY_THROW({
            table.SetIndex("Cislo");
            table.RecordCount();
        });
    }
    std::filesystem::create_directory(dir.path() / "DIR.DAT");
    EXPECT_NE(table.OpenTable(Variant::text(dir.dir() + "DIR")), 0);
}

// An index in another order is not selected, and the reason names the file, the key and the index.
TEST(TableEngineFiles, AnIndexWithAnotherCollationIsNotSelected) {
    TempDir dir;
    {
        auto path = dir.file("SKKMKART.DAT");
        CreateTableFile(path, TableDef{"SKKMKART", {{"Cislo", FieldType::Integer}, {"Popis", FieldType::Text}}, {}});
        TBFTable writer; // write through the engine so the file is real
        ASSERT_EQ(writer.OpenTable(Variant::text(path)), 0);
        writer.AppendRecord();
        writer.SetValue("Cislo", Variant::int32(1));
        writer.PostRecord();
    }
    sqlite3 *db = nullptr;
    sqlite3_open(dir.file("SKKMKART.DAT").c_str(), &db);
    sqlite3_exec(db,
                 "CREATE INDEX p ON SKKMKART(Popis COLLATE NOCASE); CREATE INDEX c ON SKKMKART(Cislo DESC);"
                 "CREATE INDEX w ON SKKMKART(Cislo, Popis) WHERE Cislo > 0;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKKMKART")), 0);
    const std::string file = dir.file("SKKMKART.DAT");
    const struct {
        std::string key, reason;
    } cases[] = {
        {"Popis", "index p řadí texty porovnáním NOCASE, ne bajt po bajtu"},
        {"Cislo", "index c řadí sestupně"},
        {"Cislo+Popis", "index w nezahrnuje všechny záznamy (WHERE)"},
        {"Popis+Cislo", "tabulka nemá index s tímto klíčem"},
        {"Sklad+BarCode", "tabulka nemá pole Sklad"},
    };
    for (const auto &c : cases) {
        EXPECT_NE(table.SetIndex(c.key), 0);
        EXPECT_EQ(table.lastOpenError(), file + ": index " + c.key + " nelze nastavit – " + c.reason);
    }
}

// A master cards file in `dir` holding what `sql` stored, written by SQLite itself.
std::string CardsFileWith(const TempDir &dir, const std::string &sql) {
    const auto path = dir.file("SKKMKART.DAT");
    CreateTableFile(path, MasterCardsTable());
    sqlite3 *db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

// An index whose pages were lost reads as empty to SQLite: the walk names the damage instead of
// finding nothing (or failing later for want of a current record).
TEST(TableEngineFiles, AnIndexThatLostItsRecordsIsNamedAsDamage) {
    TempDir dir;
    const auto path = CardsFileWith(dir, "INSERT INTO SKKMKART (Cislo) VALUES (1), (2)");
    // The index's root page made an empty leaf, as a lost page would be rebuilt.
    sqlite3 *db = nullptr;
    sqlite3_stmt *root = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name = 'SKKMKART_Cislo'", -1, &root, nullptr);
    ASSERT_EQ(sqlite3_step(root), SQLITE_ROW);
    const auto page = static_cast<long>(sqlite3_column_int64(root, 0));
    sqlite3_finalize(root);
    sqlite3_close(db);
    auto bytes = vrelmont::test::ReadBytes(path);
    const char emptyLeaf[8] = {0x0A, 0, 0, 0, 0, 0x10, 0, 0};
    std::copy(std::begin(emptyLeaf), std::end(emptyLeaf), bytes.begin() + (page - 1) * 4096);
    vrelmont::test::WriteBytes(path, bytes);
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(path)), 0);
    ASSERT_EQ(table.SetIndex("Cislo"), 0);
    try {
        table.GoTop();
        ADD_FAILURE() << "an empty walk of a table with records";
    } catch (const EngineError &error) {
        EXPECT_EQ(std::string(error.what()), "Tabulka " + path +
                                                 ": soubor je poškozený – index SKKMKART_Cislo neobsahuje žádný "
                                                 "záznam, ačkoli tabulka nějaké má");
    }
}

TEST(TableEngineConnection, ConnectsOnTheFirstOperationToTheOneEngine) {
    int created = 0;
    EngineFactoryScope counting([&] {
        ++created;
        return std::make_shared<Engine>();
    });
    {
        TBFTable first, second;
        EXPECT_FALSE(first.isConnected());
        first.QueryGuid(kEngineFeatureGuid);
        second.CloseTable();
        EXPECT_FALSE(second.isConnected()) << "closing alone does not start the engine";
        second.QueryGuid(kEngineFeatureGuid);
        EXPECT_EQ(created, 1);
    }
}

TEST(TableEngineConnection, QueryGuidAndEngineFailures) {
    TBFTable table;
    EXPECT_FALSE(table.QueryGuid(kEngineFeatureGuid).empty());
    EXPECT_THROW(table.QueryGuid("{00000000-0000-0000-0000-000000000000}"), EngineError);

    EngineFactoryScope failingEngine(FailingEngineFactory("Třída není registrována."));
    TBFTable failing;
    try {
        failing.OpenTable(Variant::text("/nowhere/SKSEZZAS"));
        FAIL();
    } catch (const EngineError &e) {
        EXPECT_STREQ(e.what(), "Třída není registrována") << "trailing punctuation dropped";
    }
}

} // namespace

namespace {

TEST(TableEngineFiles, TextsThatAreNotUtf8AreReadAsWindows1250AndDamageIsNamedInCzech) {
    TempDir dir;
    // "Šroub" as the host system's code page would store it.
    const auto path = CardsFileWith(
        dir, "INSERT INTO SKKMKART (Cislo, Popis) VALUES (1, CAST(x'8A726F7562' AS TEXT)), (2, 'Matice')");
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKKMKART")), 0);
    ASSERT_EQ(table.SetIndex("Cislo"), 0);
    table.GoTop();
    EXPECT_EQ(table.Value("Popis").toText(), "Šroub");
    table.MoveNext();
    EXPECT_EQ(table.Value("Popis").toText(), "Matice");
    table.CloseTable();

    // Damage inside the records (every page but the schema made invalid), found while walking them.
    auto bytes = vrelmont::test::ReadBytes(path);
    for (std::size_t page = 4096; page < bytes.size(); page += 4096)
        bytes[page] = static_cast<char>(0xFF);
    vrelmont::test::WriteBytes(path, bytes);
    ASSERT_EQ(table.OpenTable(Variant::text(path)), 0);
    ASSERT_EQ(table.SetIndex("Popis"), 0);
    try {
        table.GoTop();
        FAIL() << "a damaged page raises an engine error";
    } catch (const EngineError &e) {
        EXPECT_NE(std::string(e.what()).find("SKKMKART.DAT"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("soubor je poškozený"), std::string::npos) << e.what();
    }
}

} // namespace

TEST_F(TableEngine, FieldHandlesReadWhatValueReads) {
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    EXPECT_THROW(table.fieldHandle("NoSuchField"), EngineError);
    ASSERT_EQ(table.SetIndex("Sklad+BarCode"), 0);
    // Key fields come from the walk itself, the others from the record; names ignore case.
    const FieldHandle sklad = table.fieldHandle("Sklad"), barCode = table.fieldHandle("barcode");
    const FieldHandle cislo = table.fieldHandle("Cislo"), popis = table.fieldHandle("Popis");
    table.GoTop();
    std::size_t walked = 0;
    do {
        EXPECT_EQ(table.int32Value(sklad), table.Value("Sklad").toInt32());
        EXPECT_EQ(table.int32Value(cislo), table.Value("Cislo").toInt32());
        EXPECT_EQ(std::string(table.textValue(barCode)), table.Value("BarCode").toText());
        EXPECT_EQ(std::string(table.textValue(popis)), table.Value("Popis").toText());
        ++walked;
    } while (table.MoveNext() != kAnswerNoFurtherRecord);
    EXPECT_EQ(walked, records.size());

    // A handle belongs to the table it was made on.
    table.CloseTable();
    ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    ASSERT_EQ(table.SetIndex("Cislo"), 0);
    table.GoTop();
    EXPECT_THROW(table.int32Value(cislo), EngineError);
}

TEST_F(TableEngine, FieldHandlesReadTextsInTheHostCodePage) {
    // Bytes that are not UTF-8, as other tools may leave them: read as windows-1250.
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open((dir.dir() + "SKSEZZAS.DAT").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE SKSEZZAS SET BarCode = CAST(X'8A9A' AS TEXT) WHERE Cislo = 3", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    ASSERT_EQ(table.SetIndex("Sklad+BarCode"), 0);
    const FieldHandle barCode = table.fieldHandle("BarCode");
    table.GoTop();
    while (table.Value("Cislo").toInt32() != 3)
        ASSERT_NE(table.MoveNext(), kAnswerNoFurtherRecord);
    EXPECT_EQ(std::string(table.textValue(barCode)), "Šš");
}

TEST_F(TableEngine, AWalkOfKeysAloneReadsEverythingElseWhenAsked) {
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    ASSERT_EQ(table.SetIndex("Sklad+BarCode"), 0);
    ASSERT_TRUE(table.walkKeysOnly());
    const FieldHandle sklad = table.fieldHandle("Sklad"), barCode = table.fieldHandle("BarCode");
    // Keys alone for the first records, then a field outside the index and the record's identity.
    table.GoTop();
    EXPECT_EQ(table.int32Value(sklad), 1);
    EXPECT_EQ(std::string(table.textValue(barCode)), "");
    ASSERT_EQ(table.MoveNext(), kAnswerDone);
    ASSERT_EQ(table.MoveNext(), kAnswerDone);
    EXPECT_EQ(std::string(table.textValue(barCode)), "10");
    EXPECT_EQ(table.Value("Cislo").toInt32(), 12);
    EXPECT_EQ(table.valueOfRecord(table.recordId(), "Popis").toText(), "a ");
    std::vector<int> rest;
    while (table.MoveNext() != kAnswerNoFurtherRecord)
        rest.push_back(table.Value("Cislo").toInt32());
    EXPECT_EQ(rest, (std::vector<int>{12, 15, 3}));

    // To the end on keys alone: the last record stays current, with all its fields.
    table.GoTop();
    int walked = 1;
    while (table.MoveNext() != kAnswerNoFurtherRecord)
        ++walked;
    EXPECT_EQ(walked, 6);
    EXPECT_EQ(table.Value("Popis").toText(), "Ä");
    EXPECT_EQ(table.MoveNext(), kAnswerNoFurtherRecord);

    // A write in the middle of a walk of keys alone changes the record the walk stands on.
    table.GoTop();
    table.MoveNext();
    table.SetValue("Popis", Variant::text("změněno"));
    table.PostRecord();
    table.CloseTable();
    ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    ASSERT_EQ(table.SetIndex("Cislo"), 0);
    ASSERT_EQ(table.SeekKey(Variant::int32(11)), kAnswerFound);
    EXPECT_EQ(table.Value("Popis").toText(), "změněno");
}

TEST_F(TableEngine, RunsOfEqualKeysAreReadBesideTheWalk) {
    {
        TBFTable writer;
        ASSERT_EQ(writer.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
        for (const Stock &s : {Stock{1, 20, "4006", ""}, Stock{1, 21, "4006", ""}, Stock{3, 30, "Šš", ""}})
            appendStock(writer, s);
        writer.CloseTable();
    }
    // The same text in the host system's code page: equal when read, but stored otherwise.
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open((dir.dir() + "SKSEZZAS.DAT").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "INSERT INTO SKSEZZAS (Sklad, Cislo, BarCode) VALUES (3, 31, CAST(X'8A9A' AS TEXT)), "
                           "(3, 32, 'Šš'), (4, 40, 'x'), (4, 41, 'x')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    // Walks like a duplicate check; answers the numbers of each run's records, first to last.
    const auto runs = [&](bool firstAfterLast) {
        TBFTable table;
        EXPECT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
        EXPECT_EQ(table.SetIndex("Sklad+BarCode"), 0);
        EXPECT_TRUE(table.walkKeysOnly());
        const FieldHandle sklad = table.fieldHandle("Sklad"), barCode = table.fieldHandle("BarCode");
        const FieldHandle cislo = table.fieldHandle("Cislo");
        std::vector<std::vector<int>> found;
        table.GoTop();
        std::pair<int, std::string> kept{table.int32Value(sklad), std::string(table.textValue(barCode))};
        std::int64_t length = 1;
        while (table.MoveNext() != kAnswerNoFurtherRecord) {
            std::pair<int, std::string> current{table.int32Value(sklad), std::string(table.textValue(barCode))};
            if (current != kept) {
                kept = current;
                length = 1;
                continue;
            }
            ++length;
            const int last = table.Int32ValueInRun(cislo, length, length - 1);
            if (length == 2)
                found.push_back({table.Int32ValueInRun(cislo, length, 0), last});
            else
                found.back().push_back(last);
            if (firstAfterLast) { // out of order: read again from the run's start
                EXPECT_EQ(table.Int32ValueInRun(cislo, length, 0), found.back().front());
            }
        }
        return found;
    };
    // The reference: each record's own number, read by a walk with identities.
    std::vector<std::vector<int>> reference;
    {
        TBFTable table;
        ASSERT_EQ(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
        ASSERT_EQ(table.SetIndex("Sklad+BarCode"), 0);
        table.GoTop();
        std::tuple<int, std::string, int> previous{table.Value("Sklad").toInt32(), table.Value("BarCode").toText(),
                                                   table.Value("Cislo").toInt32()};
        bool inRun = false;
        while (table.MoveNext() != kAnswerNoFurtherRecord) {
            std::tuple<int, std::string, int> current{table.Value("Sklad").toInt32(), table.Value("BarCode").toText(),
                                                      table.Value("Cislo").toInt32()};
            const bool same =
                std::get<0>(current) == std::get<0>(previous) && std::get<1>(current) == std::get<1>(previous);
            if (same && !inRun)
                reference.push_back({std::get<2>(previous)});
            if (same)
                reference.back().push_back(std::get<2>(current));
            inRun = same;
            previous = current;
        }
    }
    EXPECT_EQ(reference, (std::vector<std::vector<int>>{{10, 11}, {12, 20, 21}, {31, 30, 32}, {40, 41}}));
    EXPECT_EQ(runs(false), reference);
    EXPECT_EQ(runs(true), reference);
}
