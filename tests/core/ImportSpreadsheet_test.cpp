// vrelmont-cli import of what spreadsheets write: separators, encodings, empty columns, and the
// options --delimiter, --encoding, --dry-run, --replace and "-" for standard input.
#include "DataToolsRun.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

using namespace vrelmont::test;
namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

namespace {

std::string ShellQuoted(const std::string &arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class ImportSpreadsheet : public ::testing::Test {
protected:
    ImportSpreadsheet() {
        const auto created = RunCli({"create-agenda", agenda(), "--name", "Test"});
        EXPECT_EQ(created.status, 0) << created.err;
    }

    std::string agenda() const { return dir.file("AGENDA.001"); }

    CliResult import(const std::string &table, const std::string &bytes, const std::vector<std::string> &options = {}) {
        WriteBytes(dir.file("in.csv"), bytes);
        std::vector<std::string> args{"import", agenda(), table, dir.file("in.csv")};
        args.insert(args.end(), options.begin(), options.end());
        return RunCli(args);
    }

    Rows rows(const std::string &table) const { return TableRows(fs::path(agenda()) / (table + ".DAT"), table); }

    static std::string card(int cislo, const std::string &popis, const std::string &barCode = "") {
        return "Cislo=i:" + std::to_string(cislo) + "|UzivCode=t:|Katalog=t:|BarCode=t:" + barCode +
               "|Zkrat=t:|Popis=t:" + popis;
    }

    TempDir dir;
};

// What a Czech spreadsheet saves as CSV: semicolons, windows-1250, CR LF, empty columns at the end.
TEST_F(ImportSpreadsheet, SemicolonsWindows1250AndTrailingEmptyColumns) {
    const auto result = import("SKKMKART", "Cislo;Popis;BarCode;;\r\n"
                                           "1;\x8Atrouby \x9Aroubov\xE1ky;8594;;\r\n"
                                           "2;\"Matice; \"\"M8\"\"\";;;\r\n"
                                           ";;;;\r\n" // a row the spreadsheet kept empty
                                           "3;\xC8\x45RN\xDD;;\r\n");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(rows("SKKMKART"),
              (Rows{card(1, "Štrouby šroubováky", "8594"), card(2, "Matice; \"M8\""), card(3, "ČERNÝ")}));
    EXPECT_EQ(result.out, "Imported 3 records into " + agenda() + Sep() + "SKKMKART.DAT.\n");
}

TEST_F(ImportSpreadsheet, TabsCommasAndAByteOrderMarkWithUtf8) {
    ASSERT_EQ(import("SKKMKART", "\xEF\xBB\xBF"
                                 "Cislo\tPopis\n1\t\"a\tb, c\"\n")
                  .status,
              0);
    ASSERT_EQ(import("SKKMKART", "Cislo,Popis\n2,\"x; y\"\n").status, 0);
    ASSERT_EQ(import("SKKMKART", "\xEF\xBB\xBF"
                                 "Cislo;Popis\r\n3;Žluťoučký kůň\r\n")
                  .status,
              0);
    EXPECT_EQ(rows("SKKMKART"), (Rows{card(1, "a\tb, c"), card(2, "x; y"), card(3, "Žluťoučký kůň")}));
}

TEST_F(ImportSpreadsheet, DelimiterAndEncodingOverrideTheGuess) {
    // Given ";" a comma-separated header is one unknown field; the message says what to try.
    auto result = import("SKKMKART", "Cislo,Popis\n1,a\n", {"--delimiter", ";"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("line 1: unknown field \"Cislo,Popis\""), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("the line seems to be separated by \",\""), std::string::npos) << result.err;

    ASSERT_EQ(import("SKKMKART", "Cislo|Popis\n1|a\n", {"--delimiter", "tab"}).status, 3);
    // UTF-8 bytes read as windows-1250, because the user said so: "Š" (C5 A0) becomes "Ĺ" and a no-break space.
    result = import("SKKMKART", "Cislo;Popis\n1;\xC5\xA0\n", {"--delimiter", ";", "--encoding", "windows-1250"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(rows("SKKMKART"), (Rows{card(1, "\xC4\xB9\xC2\xA0")}));

    result = import("SKKMKART", "Cislo;Popis\n2;\x8A\n", {"--encoding", "utf-8"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("line 2: field \"Popis\": the value is not valid UTF-8 text (if the file was saved as "
                              "windows-1250, give --encoding windows-1250)"),
              std::string::npos)
        << result.err;

    EXPECT_EQ(import("SKKMKART", "Cislo\n1\n", {"--delimiter", "|"}).status, 2);
    EXPECT_EQ(import("SKKMKART", "Cislo\n1\n", {"--encoding", "latin1"}).status, 2);
    EXPECT_EQ(rows("SKKMKART").size(), 1u);
}

TEST_F(ImportSpreadsheet, HelpfulErrorsNameTheLineAndField) {
    // Czech column names: no separator splits the header into known fields.
    auto result = import("SKKMKART", "\xC8\xEDslo;N\xE1zev\n1;a\n");
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("line 1: unknown field \"Číslo;Název\""), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("separated by \";\""), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("nothing was imported"), std::string::npos) << result.err;

    // A value in a column the header does not name is no empty trailing column.
    result = import("SKKMKART", "Cislo;Popis;;\n1;a;;x\n");
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("line 2: 4 fields where the header names 2"), std::string::npos) << result.err;

    // Bytes that windows-1250 leaves unassigned.
    result = import("SKKMKART", "Cislo;Popis\n1;\xE8\n2;a\x81\n");
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("line 3: field \"Popis\": the value holds byte 0x81"), std::string::npos) << result.err;
    EXPECT_TRUE(rows("SKKMKART").empty());
}

TEST_F(ImportSpreadsheet, DryRunChecksEverythingAndWritesNothing) {
    ASSERT_EQ(import("SKKMKART", "Cislo\n7\n").status, 0);
    const std::string before = ReadBytes(agenda() + "/SKKMKART.DAT");
    auto result = import("SKKMKART", "Cislo;Popis\n1;a\n2;b\n", {"--dry-run"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("2 records would be imported"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Nothing was written"), std::string::npos) << result.out;
    EXPECT_EQ(ReadBytes(agenda() + "/SKKMKART.DAT"), before);

    result = import("SKKMKART", "Cislo;Popis\n1;a\n2x;b\n", {"--dry-run"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("line 3: field \"Cislo\": \"2x\" is not a 32-bit integer"), std::string::npos);
    EXPECT_EQ(ReadBytes(agenda() + "/SKKMKART.DAT"), before);
}

TEST_F(ImportSpreadsheet, ReplaceIsAllOrNothing) {
    ASSERT_EQ(import("SKSEZZAS", "Sklad,Cislo\n1,1\n1,2\n").status, 0);
    auto result = import("SKSEZZAS", "Sklad;Cislo;Popis\n2;5;nov\xE1\n", {"--replace"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Replaced the records of " + agenda() + Sep() + "SKSEZZAS.DAT with 1 record.\n");
    const Rows replaced{"Sklad=i:2|Cislo=i:5|UzivCode=t:|Katalog=t:|BarCode=t:|Zkrat=t:|Popis=t:nová"};
    EXPECT_EQ(rows("SKSEZZAS"), replaced);

    // A fault in the file leaves the old records in place.
    result = import("SKSEZZAS", "Sklad;Cislo\n3;6\n3;x\n", {"--replace"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(rows("SKSEZZAS"), replaced);
    // A header alone empties the table.
    ASSERT_EQ(import("SKSEZZAS", "Sklad;Cislo\n", {"--replace"}).status, 0);
    EXPECT_TRUE(rows("SKSEZZAS").empty());
}

TEST_F(ImportSpreadsheet, StandardInput) {
#ifdef _WIN32
    GTEST_SKIP() << "the input is piped in by a POSIX shell, which Windows has not";
#endif
    WriteBytes(dir.file("piped.csv"), "Cislo;Popis\r\n4;\x8Akoda\r\n");
    const std::string command = ShellQuoted(VRELMONT_CLI_PATH) + " import " + ShellQuoted(agenda()) + " SKKMKART - <" +
                                ShellQuoted(dir.file("piped.csv")) + " >" + ShellQuoted(dir.file("out")) + " 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << ReadBytes(dir.file("out"));
    EXPECT_EQ(rows("SKKMKART"), (Rows{card(4, "Škoda")}));

    // An error names standard input.
    const std::string failing = "printf 'Cislo\\nx\\n' | " + ShellQuoted(VRELMONT_CLI_PATH) + " import " +
                                ShellQuoted(agenda()) + " SKKMKART - 2>" + ShellQuoted(dir.file("err"));
    const int failed = std::system(failing.c_str());
    EXPECT_EQ(WEXITSTATUS(failed), 3);
    EXPECT_NE(ReadBytes(dir.file("err")).find("standard input, line 2: field \"Cislo\""), std::string::npos)
        << ReadBytes(dir.file("err"));
}

} // namespace
