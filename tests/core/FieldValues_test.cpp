// Values that do not fit where they stand: numbers in integer fields, signs, dates before 1899.
#include "TempDir.h"
#include "TestAgenda.h"

#include "engine/EngineError.h"
#include "engine/Variant.h"
#include "ini/IniFile.h"
#include "settings/TS3IniFile.h"

using namespace vrelmont;
using namespace vrelmont::testing;
using Lines = std::vector<std::string>;

namespace {

constexpr int kCardNumbers = 3, kStockItemNumbers = 1;

class FieldValues : public CheckFixture {
protected:
    // As the run driver does after an error: the tables are closed, so the next write is not locked out.
    void runClosingAfterAnError(int checkBox) {
        try {
            run(checkBox);
        } catch (...) {
            walkTable.CloseTable();
            lookupTable.CloseTable();
            throw;
        }
    }
};

// The run ends with a Czech message naming the table file, the field, the record and the value.
TEST_F(FieldValues, ANumberThatIsNo32BitIntegerStopsTheRunNamingWhereItStands) {
    agenda.addCards({Card(1), Card(2)});
    const struct {
        std::string value;
        std::string shown;
    } cases[] = {{"2147483648", "2147483648"},
                 {"-2147483649", "-2147483649"},
                 {"1.4", "1.4"},
                 {"'abc'", "text \"abc\""},
                 {"x'0102'", "binární data (2 bajtů)"}};
    for (const auto &c : cases) {
        agenda.execSql("SKKMKART", "UPDATE SKKMKART SET Cislo = " + c.value + " WHERE rowid = 2");
        try {
            runClosingAfterAnError(kCardNumbers);
            ADD_FAILURE() << c.value << " was read as a number";
        } catch (const EngineError &e) {
            EXPECT_EQ(std::string(e.what()), "Tabulka " + agenda.tableFile("SKKMKART") +
                                                 ": pole Cislo záznamu č. 2 má hodnotu " + c.shown +
                                                 ", která není celé číslo v rozsahu 32 bitů");
        }
    }
}

// Rounding would have made 1.4 and 1.6 two cards numbered 2; a real without a fraction is its integer.
TEST_F(FieldValues, FractionsAreNeverRoundedIntoDuplicatesButWholeRealsAreIntegers) {
    agenda.addStockItems({Stock(1, 5), Stock(1, 6)});
    agenda.execSql("SKSEZZAS",
                   "UPDATE SKSEZZAS SET Cislo = 1.6 WHERE rowid = 1; UPDATE SKSEZZAS SET Cislo = 1.4 WHERE rowid = 2");
    EXPECT_THROW(runClosingAfterAnError(kStockItemNumbers), EngineError);
    host.lines.clear();
    // Stored as a real through a column without integer affinity, as another tool might.
    agenda.execSql("SKSEZZAS", "UPDATE SKSEZZAS SET Cislo = 32.0, Sklad = 1.0");
    EXPECT_TRUE(run(kStockItemNumbers));
    EXPECT_EQ(findings(), Lines{"Nalezena duplicitní skladová zásoba č. 32 ve skladu č. 1"});
}

TEST(SignedNumbers, OneSignOnly) {
    EXPECT_EQ(Variant::text("+5").toInt32(), 5);
    EXPECT_EQ(Variant::text("-5").toInt32(), -5);
    EXPECT_THROW(Variant::text("+-5").toInt32(), VariantConversionError);
    EXPECT_THROW(Variant::text("++5").toInt32(), VariantConversionError);
    EXPECT_THROW(Variant::text("+-5").toDouble(), VariantConversionError);
    EXPECT_DOUBLE_EQ(Variant::text("+2,5").toDouble(), 2.5);
    try {
        Variant::text("abc").toInt32();
    } catch (const VariantConversionError &e) {
        EXPECT_EQ(std::string(e.what()), "Text \"abc\" není číslo");
    }
}

TEST(DatesBeforeTheEpoch, RoundTripThroughBothSettingsForms) {
    vrelmont::test::TempDir dir;
    for (const double days : {-1.25, -2.75, -1.0, -700000.5, 0.25, 45000.75}) {
        IniFile ini(dir.file("a.ini"));
        ini.PutDateTime("S", "K", days);
        EXPECT_DOUBLE_EQ(ini.GetDateTime("S", "K", 99), days) << ini.GetText("S", "K", "");
    }
    IniFile ini(dir.file("a.ini"));
    ini.PutDateTime("S", "K", -1.25);
    EXPECT_EQ(ini.GetText("S", "K", ""), "1899-12-29 06:00:00");
}

} // namespace
