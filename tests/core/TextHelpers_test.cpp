#include "engine/Variant.h"
#include "platform/ErrorReportText.h"
#include "platform/TerminalText.h"
#include "tablefiles/SqliteHandle.h"
#include "text/Cp1250.h"
#include "text/PathText.h"
#include "text/TextFold.h"

#include <gtest/gtest.h>
#include <iconv.h>

using namespace vrelmont;

namespace {

TEST(Cp1250, EveryAssignedByteAgreesWithTheSystemConverter) {
    iconv_t cd = iconv_open("UTF-8", "CP1250");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int b = 0x80; b <= 0xFF; ++b) {
        char in[1] = {static_cast<char>(b)};
        char out[8] = {};
        char *inp = in, *outp = out;
        size_t inLeft = 1, outLeft = sizeof out;
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            continue; // unassigned in the code page
        }
        const std::string utf8(out, outp);
        EXPECT_EQ(Cp1250ToUtf8(std::string(1, in[0])), utf8) << "byte " << b;
        EXPECT_EQ(Utf8ToCp1250(utf8), std::string(1, in[0])) << "byte " << b;
    }
    iconv_close(cd);
}

TEST(Cp1250, UnassignedBytesSurviveAndForeignTextIsRefused) {
    const std::string all = [] {
        std::string s;
        for (int b = 1; b < 256; ++b)
            s += static_cast<char>(b);
        return s;
    }();
    EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(all)), all);
    EXPECT_FALSE(Utf8ToCp1250("用户"));
    EXPECT_FALSE(Utf8ToCp1250("\xC3")) << "cut UTF-8";
    EXPECT_FALSE(Utf8ToCp1250("\xC0\xAF")) << "overlong UTF-8";
    EXPECT_EQ(Utf8ToCp1250("Žluťoučký kůň"), "\x8Elu\x9Do\x75\xE8k\xFD k\xF9\xF2");
}

TEST(Cp1250, Utf8IsCheckedAtEveryPlaceOfTheText) {
    // The check goes eight bytes at a time: a byte that is not UTF-8 is found wherever it stands.
    for (std::size_t length = 1; length <= 26; ++length) {
        EXPECT_TRUE(IsValidUtf8(std::string(length, 'a'))) << length;
        for (std::size_t at = 0; at < length; ++at) {
            std::string text(length, 'a');
            text[at] = '\x8A';
            EXPECT_FALSE(IsValidUtf8(text)) << length << " " << at;
            text[at] = '\xC5'; // cut, or followed by no continuation byte
            EXPECT_FALSE(IsValidUtf8(text)) << length << " " << at;
            if (at + 1 < length) {
                text[at + 1] = '\xA0';
                EXPECT_TRUE(IsValidUtf8(text)) << length << " " << at;
                text[at] = '\xC1'; // overlong
                EXPECT_FALSE(IsValidUtf8(text)) << length << " " << at;
            }
        }
    }
    EXPECT_TRUE(IsValidUtf8("Šroub 2x10 pozink, žluťoučký kůň – €"));
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")) << "a surrogate";
}

TEST(NormalizeDirPath, TrimsControlsAndAppendsOneSeparator) {
    EXPECT_EQ(NormalizeDirPath(""), "");
    EXPECT_EQ(NormalizeDirPath(" \t\r\n"), "");
    const std::string sep(1, kDirSeparator);
    EXPECT_EQ(NormalizeDirPath("  " + sep + "money" + sep + "DATA  "), sep + "money" + sep + "DATA" + sep);
    EXPECT_EQ(NormalizeDirPath(sep + "money" + sep + "DATA" + sep), sep + "money" + sep + "DATA" + sep);
    EXPECT_EQ(NormalizeDirPath("\x01" + sep + "a b\x1F"), sep + "a b" + sep);
    EXPECT_EQ(NormalizeDirPath(sep), sep);
    EXPECT_EQ(NormalizeDirPath("\xC2\xA0x"), "\xC2\xA0x" + sep) << "bytes above 32 are not blanks";
}

TEST(FoldCase, CzechLettersFold) {
    EXPECT_EQ(FoldCase("ÚDAJE O FIRMĚ"), FoldCase("Údaje o firmě"));
    EXPECT_EQ(FoldCase("ŽŠČŘĎŤŇŮĹĽ"), "žščřďťňůĺľ");
    EXPECT_EQ(FoldCase("×÷ß"), "×÷ß");
}

TEST(VariantConversions, BetweenKinds) {
    EXPECT_EQ(Variant::text(" 42 ").toInt32(), 42);
    EXPECT_EQ(Variant::text("-7").toInt32(), -7);
    EXPECT_EQ(Variant::text("2,5").toDouble(), 2.5);
    EXPECT_EQ(Variant::real(2.5).toInt32(), 2) << "banker's rounding";
    EXPECT_EQ(Variant::real(3.5).toInt32(), 4);
    EXPECT_EQ(Variant::int32(-12).toText(), "-12");
    EXPECT_EQ(Variant().toText(), "");
    EXPECT_EQ(Variant().toInt32(), 0);
    EXPECT_TRUE(Variant::text("True").toBoolean());
    EXPECT_FALSE(Variant::text("0").toBoolean());
    EXPECT_EQ(Variant::boolean(true).toInt32(), -1);
    EXPECT_EQ(Variant::date(1).toText(), "1899-12-31");
    EXPECT_EQ(Variant::date(45000.5).toText(), "2023-03-15 12:00:00");
    EXPECT_DOUBLE_EQ(Variant::text("2023-03-15 12:00:00").toDouble(), 45000.5);
    EXPECT_THROW(Variant::text("abc").toInt32(), VariantConversionError);
    EXPECT_THROW(Variant::text("").toInt32(), VariantConversionError);
    EXPECT_THROW(Variant::real(1e12).toInt32(), VariantConversionError);
    EXPECT_THROW(Variant::text("maybe").toBoolean(), VariantConversionError);
    EXPECT_THROW(Variant::text("x1").toDouble(), VariantConversionError);
}

TEST(ErrorReportText, FullStopRule) {
    EXPECT_EQ(ErrorReportText(""), "");
    EXPECT_EQ(ErrorReportText("Chyba"), "Chyba.");
    EXPECT_EQ(ErrorReportText("Chyba."), "Chyba.");
    for (const char *ending : {"Chyba ", "Chyba!", "Chyba,", "(Chyba)", "Chyba-"})
        EXPECT_EQ(ErrorReportText(ending), ending);
    EXPECT_EQ(ErrorReportText("soubor /x/a.txt"), "soubor /x/a.txt.");
    EXPECT_EQ(ErrorReportText("zápis selhal: č"), "zápis selhal: č.") << "UTF-8 letters sort after the full stop";
}

// What a terminal would act on is shown as text; what it only prints stays as it is.
TEST(TerminalSafeText, ControlCharactersAreShownNotSent) {
    const struct {
        std::string stored;
        bool keepLineEnds;
        std::string shown;
    } cases[] = {
        {"a\x1B]0;title\x07"
         "b",
         false, "a\\x1B]0;title\\x07b"},
        {std::string("a\0b", 3), false, "a\\x00b"},
        {"x\r\ny", false, "x\\x0D\\x0Ay"},
        {"x\r\ny", true, "x\r\ny"},
        {"\x7F\xC2\x9B"
         "2J",
         true, "\\x7F\\u009B2J"},
        {"Šroub\t1/4\" žluťoučký", false, "Šroub\t1/4\" žluťoučký"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TerminalSafeText(c.stored, c.keepLineEnds), c.shown) << c.stored;
}

} // namespace

TEST(SharedHelpers, SqlNamesAreQuotedAndNamesComparedWithoutCase) {
    EXPECT_EQ(QuoteSqlName("Cislo"), "\"Cislo\"");
    EXPECT_EQ(QuoteSqlName("a\"b"), "\"a\"\"b\"") << "a quote inside the name is doubled";
    EXPECT_TRUE(SameNameIgnoringCase("sklad+cislo", "Sklad+Cislo"));
    EXPECT_TRUE(SameNameIgnoringCase("Údaje o firmě", "ÚDAJE O FIRMĚ")) << "Czech letters fold too";
    EXPECT_FALSE(SameNameIgnoringCase("Popis", "Popis2"));
    EXPECT_TRUE(SameNameIgnoringCase("CENA ČÍSLO", "cena číslo")) << "ASCII first, then Czech letters";
    EXPECT_FALSE(SameNameIgnoringCase("Cislo", "Číslo"));
    EXPECT_FALSE(SameNameIgnoringCase("Sklad", "Cislo"));
    EXPECT_FALSE(SameNameIgnoringCase("a[", "A{")) << "only letters fold";
    EXPECT_TRUE(SameNameIgnoringCase("", ""));
}
