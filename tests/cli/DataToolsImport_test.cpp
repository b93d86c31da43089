// vrelmont-cli import: records appended in file order, or on any error nothing at all.
#include "DataToolsRun.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace vrelmont::test;
namespace fs = std::filesystem;

namespace {

class Import : public ::testing::Test {
protected:
    Import() {
        const auto created = RunCli({"create-agenda", agenda(), "--name", "Test"});
        EXPECT_EQ(created.status, 0) << created.err;
    }

    std::string agenda() const { return dir.file("AGENDA.001"); }
    fs::path stockFile() const { return fs::path(agenda()) / "SKSEZZAS.DAT"; }

    CliResult import(const std::string &table, const std::string &csv) {
        WriteBytes(dir.file("in.csv"), csv);
        return RunCli({"import", agenda(), table, dir.file("in.csv")});
    }

    TempDir dir;
};

TEST_F(Import, AppendsInFileOrderAfterTheRecordsAlreadyThere) {
    ASSERT_EQ(import("SKSEZZAS", "Sklad,Cislo,Popis\n2,20,druhý\n").status, 0);
    const auto result = import("SKSEZZAS", "Popis,BarCode,Cislo,Sklad,UzivCode,Katalog,Zkrat\n"
                                           "Šroub,8594001200010,-5,1,101,K-1,SR\n"
                                           "Matice,,+7,1,,,\n");
    ASSERT_EQ(result.status, 0) << result.err;
    // A second import into a table that holds records says so, lest it be a silent duplicate.
    EXPECT_NE(result.out.find("Import přidal 2 záznamy"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("; tabulka jich předtím měla 1, nyní má 3."), std::string::npos) << result.out;
    EXPECT_EQ(TableRows(stockFile(), "SKSEZZAS"),
              (std::vector<std::string>{
                  "Sklad=i:2|Cislo=i:20|UzivCode=t:|Katalog=t:|BarCode=t:|Zkrat=t:|Popis=t:druhý",
                  "Sklad=i:1|Cislo=i:-5|UzivCode=t:101|Katalog=t:K-1|BarCode=t:8594001200010|Zkrat=t:SR|Popis=t:Šroub",
                  "Sklad=i:1|Cislo=i:7|UzivCode=t:|Katalog=t:|BarCode=t:|Zkrat=t:|Popis=t:Matice"}));
}

TEST_F(Import, HeaderOnlyImportsNothingAndSucceeds) {
    const auto result = import("SKKMKART", "Cislo,Popis\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(TableRows(fs::path(agenda()) / "SKKMKART.DAT", "SKKMKART").empty());
}

// Every error names its line and field, and the table file is left byte for byte as it was,
// with no journal left beside it, even when good records came before the bad one.
TEST_F(Import, AnErrorImportsNothing) {
    ASSERT_EQ(import("SKSEZZAS", "Sklad,Cislo\n1,1\n").status, 0);
    const std::string before = ReadBytes(stockFile().string());
    const auto listing = Listing(agenda());

    struct Case {
        std::string table;
        std::string csv;
        std::string message;
    };
    const Case cases[] = {
        {"SKSEZZAS", "Sklad,Cislo,Popis\n1,2,a\n1,3,b\n1,x4,c\n",
         "řádek 4: pole \"Cislo\": \"x4\" není 32bitové celé číslo"},
        {"SKSEZZAS", "Sklad,Cislo\n1,2\n1,2147483648\n",
         "řádek 3: pole \"Cislo\": \"2147483648\" není 32bitové celé číslo"},
        {"SKSEZZAS", "Sklad,Cislo\n1,2\n,3\n", "řádek 3: pole \"Sklad\": \"\" není 32bitové celé číslo"},
        {"SKSEZZAS", "Sklad,Cislo\n1,2\n1, 3\n", "řádek 3: pole \"Cislo\": \" 3\" není 32bitové celé číslo"},
        {"SKSEZZAS", "Nazev,Cena\n1,2\n", "řádek 1: žádný sloupec nemá název pole tabulky SKSEZZAS"},
        {"SKSEZZAS", "Cislo,Popis\n2,a\n", "řádek 1: chybí povinné pole \"Sklad\""},
        {"SKSEZZAS", "Sklad,Popis\n1,a\n", "řádek 1: chybí povinné pole \"Cislo\""},
        {"SKSEZZAS", "Sklad,Cislo,cislo\n1,2,2\n", "řádek 1: pole \"Cislo\" je uvedeno dvakrát"},
        {"SKSEZZAS", "Sklad,Cislo,Číslo\n1,2,2\n", "řádek 1: pole \"Cislo\" je uvedeno dvakrát"},
    };
    for (const auto &c : cases) {
        const auto result = import(c.table, c.csv);
        EXPECT_EQ(result.status, 3) << c.csv;
        EXPECT_NE(result.err.find("in.csv, " + c.message), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("nic nebylo importováno"), std::string::npos) << result.err;
        EXPECT_EQ(ReadBytes(stockFile().string()), before) << c.csv;
        EXPECT_EQ(Listing(agenda()), listing) << c.csv;
    }
}

// A stock list imported as cards loses its warehouses: the line on standard error says so.
TEST_F(Import, CardsHaveNoWarehouse) {
    const auto result = import("SKKMKART", "Sklad,Cislo\n1,2\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("přeskakují se sloupce, které nejsou poli tabulky SKKMKART: \"Sklad\"\n"),
              std::string::npos)
        << result.err;
}

TEST_F(Import, WrongArgumentsAndMissingFiles) {
    WriteBytes(dir.file("ok.csv"), "Cislo\n1\n");
    EXPECT_EQ(RunCli({"import", agenda(), "SKKMKART"}).status, 2);
    EXPECT_EQ(RunCli({"import", agenda(), "SKKMKART", dir.file("ok.csv"), "extra"}).status, 2);
    const auto unknownTable = RunCli({"import", agenda(), "AGENDA", dir.file("ok.csv")});
    EXPECT_EQ(unknownTable.status, 2);
    EXPECT_NE(unknownTable.err.find("neznámá tabulka \"AGENDA\""), std::string::npos) << unknownTable.err;

    const auto noAgenda = RunCli({"import", dir.file("nowhere"), "SKKMKART", dir.file("ok.csv")});
    EXPECT_EQ(noAgenda.status, 3);
    EXPECT_NE(noAgenda.err.find("SKKMKART.DAT"), std::string::npos) << noAgenda.err;
    EXPECT_FALSE(fs::exists(dir.file("nowhere")));

    const auto noCsv = RunCli({"import", agenda(), "SKKMKART", dir.file("missing.csv")});
    EXPECT_EQ(noCsv.status, 3);
    EXPECT_NE(noCsv.err.find("missing.csv"), std::string::npos) << noCsv.err;

    // A table name in any letter case.
    EXPECT_EQ(RunCli({"import", agenda(), "skkmkart", dir.file("ok.csv")}).status, 0);
}

TEST_F(Import, AForeignFileIsNotOverwritten) {
    const fs::path cards = fs::path(agenda()) / "SKKMKART.DAT";
    fs::remove(cards);
    WriteBytes(cards.string(), "this is no table file, it is text that must survive");
    const auto result = import("SKKMKART", "Cislo\n1\n");
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find(cards.string()), std::string::npos) << result.err;
    EXPECT_EQ(ReadBytes(cards.string()), "this is no table file, it is text that must survive");
}

} // namespace
