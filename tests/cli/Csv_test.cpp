// CSV reading, through "vrelmont-cli import" into a fresh agenda and back out with SQLite.
#include "DataToolsRun.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace vrelmont::test;

namespace {

class CsvImport : public ::testing::Test {
protected:
    CsvImport() {
        const auto created = RunCli({"create-agenda", agenda(), "--name", "Test"});
        EXPECT_EQ(created.status, 0) << created.err;
    }

    std::string agenda() const { return dir.file("AGENDA.001"); }

    // Imports `csv` into the master cards; the result of the command.
    CliResult importCards(const std::string &csv, const std::vector<std::string> &options = {}) {
        WriteBytes(dir.file("in.csv"), csv);
        std::vector<std::string> args{"import", agenda(), "SKKMKART", dir.file("in.csv")};
        args.insert(args.end(), options.begin(), options.end());
        return RunCli(args);
    }

    std::vector<std::string> cards() const {
        return TableRows(std::filesystem::path(agenda()) / "SKKMKART.DAT", "SKKMKART");
    }

    // "Cislo=i:<n>|UzivCode=t:|...|Popis=t:<popis>" for a card with only a number and a description.
    static std::string card(int cislo, const std::string &popis) {
        return "Cislo=i:" + std::to_string(cislo) + "|UzivCode=t:|Katalog=t:|BarCode=t:|Zkrat=t:|Popis=t:" + popis;
    }

    TempDir dir;
};

TEST_F(CsvImport, QuotedFieldsHoldCommasQuotesAndLineBreaks) {
    const auto result = importCards("Cislo,Popis\n"
                                    "1,\"Šroub, pozink\"\n"
                                    "2,\"Matice \"\"M8\"\"\"\n"
                                    "3,\"dvě\nřádky\"\n"
                                    "4,\"\"\n"
                                    "5,\"\"\"\"\n");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(cards(), (std::vector<std::string>{card(1, "Šroub, pozink"), card(2, "Matice \"M8\""),
                                                 card(3, "dvě\nřádky"), card(4, ""), card(5, "\"")}));
}

TEST_F(CsvImport, ByteOrderMarkAndCrLfLineBreaks) {
    const auto result = importCards("\xEF\xBB\xBF"
                                    "Cislo,Popis\r\n1,první\r\n2,\"s CR LF\r\nuvnitř\"\r\n3,poslední");
    ASSERT_EQ(result.status, 0) << result.err;
    // Line breaks inside a quoted field are kept as written; the record separators are not.
    EXPECT_EQ(cards(), (std::vector<std::string>{card(1, "první"), card(2, "s CR LF\r\nuvnitř"), card(3, "poslední")}));
}

TEST_F(CsvImport, CrLfAndLoneCrCountAsOneLineBreakEach) {
    const auto result = importCards("Cislo,Popis\r\n1,a\r\n2,\"x\r\ny\"\r3,b\r\nz,c\r\n");
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("řádek 6: pole \"Cislo\": \"z\" není 32bitové celé číslo"), std::string::npos)
        << result.err;
}

TEST_F(CsvImport, EmptyLinesAreNoRecordsButEmptyFieldsAre) {
    const auto result = importCards("Popis,Cislo\n\n\"\",7\n\r\n,8\n\n");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(cards(), (std::vector<std::string>{card(7, ""), card(8, "")}));
}

TEST_F(CsvImport, BytesThatOnlyBeginLikeAByteOrderMarkAreText) {
    // U+FEC0 is valid UTF-8 starting with two bytes of the mark: the header's first name keeps it.
    const auto result = importCards("\xEF\xBB\x80"
                                    "Cislo\n1\n",
                                    {"--strict-columns"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("neznámé pole \"\xEF\xBB\x80"
                              "Cislo\""),
              std::string::npos)
        << result.err;
}

TEST_F(CsvImport, MalformedQuotingNamesTheLine) {
    struct Case {
        std::string csv;
        std::string message;
    };
    const Case cases[] = {
        {"Cislo,Popis\n1,\"dvě\nřádky\"\n2,\"ab\"c\n", "řádek 4: text za uzavírací uvozovkou"},
        {"Cislo,Popis\n1,\"abc\"x\n", "řádek 2: text za uzavírací uvozovkou"},
        {"Cislo,Popis\n1,ok\n2,\"never closed\n3,x\n", "řádek 3: pole v uvozovkách není uzavřeno"},
        {"Cislo,Popis\n1,ok,extra\n", "řádek 2: počet polí je 3, záhlaví jich uvádí 2"},
    };
    for (const auto &c : cases) {
        const auto result = importCards(c.csv);
        EXPECT_EQ(result.status, 3) << c.csv;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("nic nebylo importováno"), std::string::npos) << result.err;
    }
    EXPECT_TRUE(cards().empty());
}

// Hardware lists write inches as 1/4": a quote that does not open the field is a character.
TEST_F(CsvImport, AQuoteInsideAnUnquotedFieldIsACharacter) {
    const auto result = importCards("Cislo,Popis\n1,Vrut 1/4\" pozink\n2,ab\"c\"\n3,\"a \"\"b\"\"\"\n");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(cards(),
              (std::vector<std::string>{card(1, "Vrut 1/4\" pozink"), card(2, "ab\"c\""), card(3, "a \"b\"")}));
}

// A file that is not UTF-8 is read as windows-1250 unless UTF-8 is asked for (or a byte-order mark says so).
TEST_F(CsvImport, InvalidUtf8IsRefusedWithLineAndFieldWhenUtf8IsAskedFor) {
    const std::string bad[] = {"\xFF", "\xC3", "\xC0\xAF" /* overlong "/" */, "\xED\xA0\x80" /* surrogate */,
                               "\xF4\x90\x80\x80" /* above U+10FFFF */};
    for (const auto &bytes : bad) {
        for (const bool byteOrderMark : {false, true}) {
            const auto result = importCards(
                (byteOrderMark ? "\xEF\xBB\xBF" : "") + std::string("Cislo,Popis\n1,ok\n2,") + bytes + "\n",
                byteOrderMark ? std::vector<std::string>{} : std::vector<std::string>{"--encoding", "utf-8"});
            EXPECT_EQ(result.status, 3);
            EXPECT_NE(result.err.find("řádek 3: pole \"Popis\": hodnota není platný text v UTF-8 (je-li soubor "
                                      "uložen ve windows-1250, zadejte --encoding windows-1250)"),
                      std::string::npos)
                << result.err;
        }
    }
    // The literal's own length, NUL included: a counted length could read past it.
    using namespace std::string_literals;
    const auto withNul = importCards("Cislo,Popis\n1,a\0b\n"s);
    EXPECT_EQ(withNul.status, 3);
    EXPECT_NE(withNul.err.find("řádek 2: pole \"Popis\": hodnota obsahuje bajt NUL"), std::string::npos) << withNul.err;
    EXPECT_TRUE(cards().empty());
}

} // namespace
