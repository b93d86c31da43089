// RecordWriter: records of both tables appended in one transaction.
#include "DataToolsRun.h"
#include "TempDir.h"

#include "writer/RecordWriter.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vrelmont;
using namespace vrelmont::test;

namespace {

std::vector<FieldValue> Card(std::int32_t cislo, const std::string &popis) {
    return {cislo, std::string("PLU"), std::string(), std::string(), std::string(), popis};
}

// The indexes of a table file as their names and definitions.
std::vector<std::string> IndexNames(const std::string &file) {
    std::vector<std::string> indexes;
    for (const auto &row : TableRows(file, "sqlite_master")) {
        if (row.rfind("type=t:index", 0) != 0)
            continue;
        const auto sql = row.find("|sql=");
        indexes.push_back(row.substr(0, row.find("|rootpage=")) + row.substr(sql));
    }
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

TEST(RecordWriter, UncommittedRecordsVanishAndTheFileStaysAsItWas) {
    TempDir dir;
    const std::string file = dir.file("SKKMKART.DAT");
    CreateTableFile(file, MasterCardsTable());
    const std::string before = ReadBytes(file);
    {
        RecordWriter writer(file, MasterCardsTable());
        writer.append(Card(1, "a"));
        writer.append(Card(2, "b"));
        EXPECT_EQ(writer.appendedCount(), 2);
    }
    EXPECT_TRUE(TableRows(file, "SKKMKART").empty());
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"SKKMKART.DAT"}));

    RecordWriter writer(file, MasterCardsTable());
    writer.append(Card(1, "a"));
    writer.commit();
    EXPECT_EQ(TableRows(file, "SKKMKART"),
              (std::vector<std::string>{"Cislo=i:1|UzivCode=t:PLU|Katalog=t:|BarCode=t:|Zkrat=t:|Popis=t:a"}));
}

TEST(RecordWriter, ValuesMustFitTheFields) {
    TempDir dir;
    const std::string file = dir.file("SKKMKART.DAT");
    CreateTableFile(file, MasterCardsTable());
    RecordWriter writer(file, MasterCardsTable());
    EXPECT_THROW(writer.append({1, std::string("too few")}), std::invalid_argument);
    auto textNumber = Card(1, "a");
    textNumber[0] = std::string("1");
    EXPECT_THROW(writer.append(textNumber), std::invalid_argument);
    auto numberText = Card(1, "a");
    numberText[5] = 5;
    EXPECT_THROW(writer.append(numberText), std::invalid_argument);
    EXPECT_EQ(writer.appendedCount(), 0);
}

TEST(RecordWriter, BulkBuildRestoresEveryIndex) {
    TempDir dir;
    const std::string file = dir.file("SKSEZZAS.DAT");
    CreateTableFile(file, StockItemsTable());
    const auto indexes = IndexNames(file);
    ASSERT_EQ(indexes.size(), StockItemsTable().indexes.size());
    {
        RecordWriter writer(file, StockItemsTable(), RecordWriter::Mode::Bulk);
        for (int i = 0; i < 100; ++i)
            writer.append({1, i, std::string(), std::string(), std::string(), std::string(), std::string("p")});
        writer.commit();
    }
    EXPECT_EQ(IndexNames(file), indexes);
    EXPECT_EQ(TableRows(file, "SKSEZZAS").size(), 100u);
}

TEST(RecordWriter, RefusesFilesThatAreNoTableOfItsKind) {
    TempDir dir;
    const std::string cards = dir.file("SKKMKART.DAT");
    CreateTableFile(cards, MasterCardsTable());
    EXPECT_THROW(RecordWriter(cards, StockItemsTable()), std::runtime_error);
    EXPECT_THROW(RecordWriter(dir.file("missing.DAT"), MasterCardsTable()), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.DAT")));
    WriteBytes(dir.file("text.DAT"), "plain text, no database");
    try {
        RecordWriter writer(dir.file("text.DAT"), MasterCardsTable());
        FAIL() << "a text file was taken for a table";
    } catch (const std::runtime_error &error) {
        EXPECT_NE(std::string(error.what()).find("text.DAT"), std::string::npos) << error.what();
    }
    EXPECT_EQ(ReadBytes(dir.file("text.DAT")), "plain text, no database");
}

} // namespace
