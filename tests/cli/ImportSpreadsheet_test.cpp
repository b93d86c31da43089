// vrelmont-cli import of what spreadsheets and other programs write: separators, encodings (UTF-16
// and windows-1250 that looks like UTF-8 too), Czech column names, columns of other things, empty
// columns, and the options --delimiter, --encoding, --dry-run, --replace, --strict-columns and "-"
// for standard input.
#include "DataToolsRun.h"
#include "TempDir.h"
#include "text/Cp1250.h"

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
    EXPECT_EQ(result.out, "Import přidal 3 záznamy do " + agenda() + Sep() + "SKKMKART.DAT.\n");
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
    // Given ";" a comma-separated header is one unknown column; the message says what to try.
    auto result = import("SKKMKART", "Cislo,Popis\n1,a\n", {"--delimiter", ";"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("řádek 1: žádný sloupec nemá název pole tabulky SKKMKART"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("řádek je zřejmě dělen oddělovačem \",\""), std::string::npos) << result.err;

    ASSERT_EQ(import("SKKMKART", "Cislo|Popis\n1|a\n", {"--delimiter", "tab"}).status, 3);
    // UTF-8 bytes read as windows-1250, because the user said so: "Š" (C5 A0) becomes "Ĺ" and a no-break space.
    result = import("SKKMKART", "Cislo;Popis\n1;\xC5\xA0\n", {"--delimiter", ";", "--encoding", "windows-1250"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(rows("SKKMKART"), (Rows{card(1, "\xC4\xB9\xC2\xA0")}));

    result = import("SKKMKART", "Cislo;Popis\n2;\x8A\n", {"--encoding", "utf-8"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("řádek 2: pole \"Popis\": hodnota není platný text v UTF-8 (je-li soubor uložen ve "
                              "windows-1250, zadejte --encoding windows-1250)"),
              std::string::npos)
        << result.err;

    EXPECT_EQ(import("SKKMKART", "Cislo\n1\n", {"--delimiter", "|"}).status, 2);
    EXPECT_EQ(import("SKKMKART", "Cislo\n1\n", {"--encoding", "latin1"}).status, 2);
    EXPECT_EQ(rows("SKKMKART").size(), 1u);
}

TEST_F(ImportSpreadsheet, HelpfulErrorsNameTheLineAndField) {
    // No separator splits the header into names of fields: no hint about separators either.
    auto result = import("SKKMKART", "K\xF3"
                                     "d;N\xE1zev\n1;a\n");
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("řádek 1: žádný sloupec nemá název pole tabulky SKKMKART"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("separated by"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("nic nebylo importováno"), std::string::npos) << result.err;

    // A value in a column the header does not name is no empty trailing column.
    result = import("SKKMKART", "Cislo;Popis;;\n1;a;;x\n");
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("řádek 2: počet polí je 4, záhlaví jich uvádí 2"), std::string::npos) << result.err;

    // Bytes that windows-1250 leaves unassigned.
    result = import("SKKMKART", "Cislo;Popis\n1;\xE8\n2;a\x81\n");
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("řádek 3: pole \"Popis\": hodnota obsahuje bajt 0x81"), std::string::npos) << result.err;
    EXPECT_TRUE(rows("SKKMKART").empty());
}

// A stock list as Calc or another program exports it: Czech column names in any case, with accents
// or without, blanks around them, and columns the table has no field for.
TEST_F(ImportSpreadsheet, ExportsWithCzechNamesAndColumnsOfOtherThings) {
    const std::string csv = " ČÍSLO ;Popis;Cena s DPH;Množství;čárový KÓD;Zkratka;plu;Katalog;;Poznámka;\r\n"
                            "1;Vrut 1/4\" pozink;12,50;3;8594001200016;VR-1;101;K-1;;nový;\r\n";
    auto result = import("SKKMKART", csv);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(rows("SKKMKART"), (Rows{"Cislo=i:1|UzivCode=t:101|Katalog=t:K-1|BarCode=t:8594001200016|Zkrat=t:VR-1|"
                                      "Popis=t:Vrut 1/4\" pozink"}));
    // One line names every column that was skipped.
    EXPECT_EQ(SplitLines(result.err),
              (Rows{"vrelmont-cli import: " + dir.file("in.csv") + " se čte jako UTF-8",
                    "vrelmont-cli import: " + dir.file("in.csv") +
                        ": přeskakují se sloupce, které nejsou poli tabulky SKKMKART: \"Cena s DPH\", \"Množství\", "
                        "sloupec 9 bez názvu, \"Poznámka\""}));

    result = import("SKKMKART", csv, {"--strict-columns"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("řádek 1: neznámé pole \"Cena s DPH\""), std::string::npos) << result.err;
    EXPECT_EQ(rows("SKKMKART").size(), 1u);

    // Every spelling of a name means its field; the table's own names too.
    for (const std::string header :
         {"sklad;číslo;Čárový kód", "SKLAD;CISLO;CAROVY KOD", " Sklad\t; Číslo ;  barcode "}) {
        result = import("SKSEZZAS", header + "\n2;5;859\n", {"--replace"});
        ASSERT_EQ(result.status, 0) << header << ": " << result.err;
        EXPECT_EQ(rows("SKSEZZAS"),
                  (Rows{"Sklad=i:2|Cislo=i:5|UzivCode=t:|Katalog=t:|BarCode=t:859|Zkrat=t:|Popis=t:"}))
            << header;
    }
}

// "Cislo ;Popis": the blank beside the separator belongs to no name; beside a number it is named.
TEST_F(ImportSpreadsheet, BlanksBesideTheSeparator) {
    auto result = import("SKKMKART", "Cislo ;Popis\n1;a\n");
    ASSERT_EQ(result.status, 0) << result.err;
    result = import("SKKMKART", "Cislo ;Popis\n2 ;b\n");
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("řádek 2: pole \"Cislo\": \"2 \" není 32bitové celé číslo (za číslem je "
                              "mezera)"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(rows("SKKMKART"), (Rows{card(1, "a")}));
}

// Valid UTF-8 whose characters only windows-1250 explains is windows-1250; real Czech and Slovak
// UTF-8 text never is, composed or decomposed. The line on standard error names the encoding taken.
TEST_F(ImportSpreadsheet, Windows1250ThatIsValidUtf8IsTakenForWindows1250) {
    struct Case {
        std::string bytes;
        std::string stored;
        std::string taken;
    };
    std::vector<Case> cases;
    for (const std::string utf8 :
         {"Příliš žluťoučký kůň úpěl ďábelské ódy", "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY",
          "áäčďéěíĺľňóôŕřšťúůýž ÁÄČĎÉĚÍĹĽŇÓÔŔŘŠŤÚŮÝŽ",
          // Without Á, ň and Ř, whose bytes windows-1250 leaves unassigned: the rest alone stays UTF-8 too.
          "áäčďéěíĺľóôŕřšťúůýž ÄČĎÉĚÍĹĽŇÓÔŔŠŤÚŮÝŽ", "ku\u030An\u030C KU\u030AN\u030C",
          "Z\u030Cluto\u0302", // decomposed: kůň KŮŇ Žlutô
          "c\u030Ca\u0301 a\u0308", "10 kΩ, Ø 8 mm, 4,7 μF, ±5 %, 20 °C, 12 €, „M8“ – 1/4″ …", "Ключ рожковый 13 мм",
          "Vrut Ñ ß Ł ő ű ĊĝĞ"})
        cases.push_back({utf8, utf8, "UTF-8"});
    for (const std::string word : {"VÝŠKA", "MÍŠA", "ŽÍŽALA", "ÚŽINA", "VĚŠÁK", "ZAVĚŠ", "DRÓŽKA", "KŮŽE"})
        cases.push_back({*vrelmont::Utf8ToCp1250(word), word, "windows-1250"});
    for (const std::string capital : {"Č", "É", "Ě", "Í", "Ď", "Ň", "Ó", "Ô", "Ř", "Ů", "Ú", "Ý"})
        for (const std::string letter : {"Š", "Ž", "Ť", "š", "ž", "ľ"}) {
            const std::string word = "K" + capital + letter + "A";
            cases.push_back({*vrelmont::Utf8ToCp1250(word), word, "windows-1250"});
        }
    for (const auto &c : cases) {
        const auto result = import("SKKMKART", "Cislo;Popis\n1;" + c.bytes + "\n", {"--replace"});
        ASSERT_EQ(result.status, 0) << c.stored << ": " << result.err;
        EXPECT_EQ(rows("SKKMKART"), (Rows{card(1, c.stored)})) << c.stored;
        EXPECT_NE(result.err.find(" se čte jako " + c.taken), std::string::npos) << c.stored << ": " << result.err;
    }

    // Far into the file, past the pieces it is read in.
    std::string csv = "Cislo;Popis\n";
    for (int i = 1; i < 10000; ++i)
        csv += std::to_string(i) + ";Sroub M" + std::to_string(i % 20) + "\n";
    auto result = import("SKKMKART", csv + "10000;" + *vrelmont::Utf8ToCp1250("MÍŠA") + "\n", {"--replace"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(rows("SKKMKART").back(), card(10000, "MÍŠA"));
    EXPECT_NE(result.err.find("se čte jako windows-1250: jako UTF-8 by obsahoval znak U+034A"), std::string::npos)
        << result.err;

    // --encoding wins, and then nothing is said about it.
    result = import("SKKMKART", "Cislo;Popis\n1;M\xCD\x8A\x41\n", {"--replace", "--encoding", "utf-8"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(rows("SKKMKART"), (Rows{card(1, "M\u034A"
                                              "A")}));
    EXPECT_EQ(result.err, "");
}

std::string Utf16(const std::string &utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const std::u32string text = [&] {
        std::u32string decoded;
        for (std::size_t i = 0; i < utf8.size();) {
            const auto lead = static_cast<unsigned char>(utf8[i]);
            const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
            for (std::size_t k = 1; k < length; ++k)
                c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
            decoded += c;
            i += length;
        }
        return decoded;
    }();
    const auto put = [&](char32_t unit) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    for (const char32_t c : text) {
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
    }
    return out;
}

// "Unicode text" as some programs export it: UTF-16 with its byte-order mark, either byte order.
TEST_F(ImportSpreadsheet, Utf16IsReadByItsByteOrderMark) {
    const std::string csv = "Číslo\tPopis\r\n1\tŠroub 😀 žlutý\r\n";
    for (const bool bigEndian : {false, true}) {
        const auto result = import("SKKMKART", Utf16(csv, bigEndian), {"--replace"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(rows("SKKMKART"), (Rows{card(1, "Šroub 😀 žlutý")}));
        EXPECT_NE(result.err.find(bigEndian ? "se čte jako UTF-16BE" : "se čte jako UTF-16LE"), std::string::npos)
            << result.err;
    }
    auto result = import("SKKMKART", Utf16(csv, false).substr(0, 9));
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("text není platné UTF-16 (bajt 8): přebývající poslední bajt"), std::string::npos)
        << result.err;
    result = import("SKKMKART", Utf16(csv, false), {"--encoding", "windows-1250"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("je text v UTF-16LE"), std::string::npos) << result.err;
    EXPECT_EQ(rows("SKKMKART").size(), 1u);
}

TEST_F(ImportSpreadsheet, DryRunChecksEverythingAndWritesNothing) {
    ASSERT_EQ(import("SKKMKART", "Cislo\n7\n").status, 0);
    const std::string before = ReadBytes(agenda() + "/SKKMKART.DAT");
    auto result = import("SKKMKART", "Cislo;Popis\n1;a\n2;b\n", {"--dry-run"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("import by zapsal 2 záznamy do "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Nic nebylo zapsáno"), std::string::npos) << result.out;
    EXPECT_EQ(ReadBytes(agenda() + "/SKKMKART.DAT"), before);

    result = import("SKKMKART", "Cislo;Popis\n1;a\n2x;b\n", {"--dry-run"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("řádek 3: pole \"Cislo\": \"2x\" není 32bitové celé číslo"), std::string::npos);
    EXPECT_EQ(ReadBytes(agenda() + "/SKKMKART.DAT"), before);
}

TEST_F(ImportSpreadsheet, ReplaceIsAllOrNothing) {
    ASSERT_EQ(import("SKSEZZAS", "Sklad,Cislo\n1,1\n1,2\n").status, 0);
    auto result = import("SKSEZZAS", "Sklad;Cislo;Popis\n2;5;nov\xE1\n", {"--replace"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Import zapsal 1 záznam místo záznamů " + agenda() + Sep() + "SKSEZZAS.DAT.\n");
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
    EXPECT_NE(ReadBytes(dir.file("err")).find("standardní vstup, řádek 2: pole \"Cislo\""), std::string::npos)
        << ReadBytes(dir.file("err"));
}

} // namespace
