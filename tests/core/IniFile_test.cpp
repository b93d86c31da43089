#include "TempDir.h"
#include "TestScopes.h"

#include "ini/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vrelmont;
using vrelmont::test::kReadOnlyDir;
using vrelmont::test::PermissionScope;
using vrelmont::test::ReadBytes;
using vrelmont::test::TempDir;
using vrelmont::test::WriteBytes;

namespace {

TEST(IniFileRead, NamesIgnoreCaseValuesLoseBlanksAndQuotes) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    // "Údaje o firmě" / "Název" in windows-1250.
    WriteBytes(path, "; comment\r\n[PATH]\r\nMoneyDataRoot =  C:\\Money\\DATA\\  \r\n"
                     "[\xDA\x64\x61je o firm\xEC]\r\nN\xE1zev=\"  Firma s.r.o. \"\r\nq='x'\r\nhalf=\"x\r\n"
                     "[path]\r\nMoneyDataRoot=second section ignored\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.GetText("path", "moneydataroot", "-"), "C:\\Money\\DATA\\");
    EXPECT_EQ(ini.GetText("ÚDAJE O FIRMĚ", "NÁZEV", "-"), "  Firma s.r.o. ");
    EXPECT_EQ(ini.GetText("Údaje o firmě", "q", "-"), "x");
    EXPECT_EQ(ini.GetText("Údaje o firmě", "half", "-"), "\"x") << "an unpaired quote stays";
    EXPECT_EQ(ini.GetText("Údaje o firmě", "missing", "default"), "default");
    EXPECT_EQ(ini.GetText("nosection", "q", "default"), "default");
    EXPECT_EQ(IniFile(dir.file("none.ini")).GetText("PATH", "x", "default"), "default");
}

TEST(IniFileRead, LongValuesAreCutAt2047Characters) {
    TempDir dir;
    const std::string longValue(3000, 'x');
    WriteBytes(dir.file("a.ini"), "[S]\nK=" + longValue + "\n");
    EXPECT_EQ(IniFile(dir.file("a.ini")).GetText("S", "K", "").size(), 2047u);
}

TEST(IniFileRead, IntegersAndFlags) {
    TempDir dir;
    WriteBytes(dir.file("a.ini"), "[SETTING]\nhex=0x1\nHEX=0XfF\nneg=-1\nzero=0\nabc=abc\nempty=\nbare0x=0x\n"
                                  "dollar=$10\nbig=99999999999\nspaced= 12 \ntrail=12abc\n");
    IniFile ini(dir.file("a.ini"));
    EXPECT_EQ(ini.GetInt("SETTING", "hex", 7), 1);
    EXPECT_EQ(ini.GetInt("SETTING", "HEX", 7), 1) << "the first of two equal keys counts";
    EXPECT_EQ(ini.GetInt("SETTING", "neg", 7), -1);
    EXPECT_EQ(ini.GetInt("SETTING", "dollar", 7), 16);
    EXPECT_EQ(ini.GetInt("SETTING", "spaced", 7), 12);
    for (const char *bad : {"abc", "empty", "bare0x", "big", "trail"})
        EXPECT_EQ(ini.GetInt("SETTING", bad, 7), 7) << bad;
    EXPECT_TRUE(ini.GetFlag("SETTING", "hex", false));
    EXPECT_TRUE(ini.GetFlag("SETTING", "neg", false));
    EXPECT_FALSE(ini.GetFlag("SETTING", "zero", true));
    EXPECT_TRUE(ini.GetFlag("SETTING", "abc", true));
    EXPECT_FALSE(ini.GetFlag("SETTING", "empty", false));
}

TEST(IniFileWrite, OneKeyChangesAndEveryOtherLineStaysByteForByte) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    const std::string before = "; m\xEC ruční\r\n[PATH]\r\nMoneyDataRoot=old\r\n\r\n[Foreign]\r\nkeep = me \r\n"
                               "odd line without equals\n[SETTING]\r\nCheck01=1";
    WriteBytes(path, before);
    IniFile ini(path);
    ini.PutText("path", "MONEYDATAROOT", "/data/");
    ini.PutFlag("SETTING", "Check02", false);
    ini.PutText("NEW", "Key", "v");
    EXPECT_EQ(ReadBytes(path), "; m\xEC ruční\r\n[PATH]\r\nMONEYDATAROOT=/data/\r\n\r\n[Foreign]\r\nkeep = me \r\n"
                               "odd line without equals\n[SETTING]\r\nCheck01=1\r\nCheck02=0\r\n[NEW]\r\nKey=v\r\n");
}

TEST(IniFileWrite, ANewFileGetsItsSectionsInWritingOrder) {
    TempDir dir;
    IniFile ini(dir.file("Vrelmont.ini"));
    ini.PutText("PATH", "MoneyDataRoot", "");
    ini.PutFlag("SETTING", "Check01", true);
    ini.PutFlag("SETTING", "Check02", false);
    EXPECT_EQ(ReadBytes(dir.file("Vrelmont.ini")),
              "[PATH]\r\nMoneyDataRoot=\r\n[SETTING]\r\nCheck01=1\r\nCheck02=0\r\n");
}

TEST(IniFileWrite, ValuesRoundTripExactlyAndCannotInjectLines) {
    TempDir dir;
    IniFile ini(dir.file("a.ini"));
    for (const std::string value : {" padded ", "\"quoted\"", "'single'", "a=b;c", "Ž"}) {
        ini.PutText("S", "K", value);
        EXPECT_EQ(ini.GetText("S", "K", "-"), value);
    }
    const auto before = ReadBytes(dir.file("a.ini"));
    EXPECT_THROW(ini.PutText("S", "K", "x\r\n[PATH]\r\nMoneyDataRoot=/evil"), IniValueError);
    EXPECT_THROW(ini.PutText("S", "K\nX", "v"), IniValueError);
    EXPECT_THROW(ini.PutText("S]x", "K", "v"), IniValueError);
    EXPECT_THROW(ini.PutText("S", "a=b", "v"), IniValueError);
    EXPECT_EQ(ReadBytes(dir.file("a.ini")), before);
}

TEST(IniFileWrite, TextBeyondWindows1250TurnsTheFileIntoUtf8WithoutLosingAnything) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    WriteBytes(path, "[S]\r\nname=P\xF8\xEDli\x9A\r\n");
    IniFile ini(path);
    ini.PutText("S", "path", "/home/用户/DATA/");
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF[S]\r\nname=Příliš\r\npath=/home/用户/DATA/\r\n");
    EXPECT_EQ(ini.GetText("S", "name", ""), "Příliš");
    EXPECT_EQ(ini.GetText("S", "path", ""), "/home/用户/DATA/");
}

TEST(IniFileWrite, AFailedWriteRaisesTheErrorAndKeepsTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only directories";
    TempDir dir;
    const auto path = dir.file("a.ini");
    WriteBytes(path, "[S]\nK=old\n");
    {
        PermissionScope readOnly(dir.path(), kReadOnlyDir);
        IniFile ini(path);
        try {
            ini.PutText("S", "K", "new");
            FAIL();
        } catch (const IniWriteError &e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
        }
    }
    EXPECT_EQ(ReadBytes(path), "[S]\nK=old\n");
}

TEST(IniFileWrite, AMissingDirectoryIsAWriteError) {
    TempDir dir;
    IniFile ini(dir.file("no/such/dir/a.ini"));
    EXPECT_THROW(ini.PutText("S", "K", "v"), IniWriteError);
}

TEST(IniFileOperations, RemoveListTypedValues) {
    TempDir dir;
    IniFile ini(dir.file("a.ini"));
    ini.PutInt("A", "i", -42);
    ini.PutFloat("A", "f", 2.5);
    ini.PutDate("A", "d", 45000);
    ini.PutDateTime("A", "dt", 45000.5);
    ini.PutTime("A", "t", 0.25);
    const unsigned char bytes[] = {0x00, 0xAB, 0xFF};
    ini.PutBytes("B", "bin", bytes, sizeof bytes);
    EXPECT_EQ(ini.GetInt("A", "i", 0), -42);
    EXPECT_DOUBLE_EQ(ini.GetFloat("A", "f", 0), 2.5);
    EXPECT_DOUBLE_EQ(ini.GetDate("A", "d", 0), 45000);
    EXPECT_DOUBLE_EQ(ini.GetDateTime("A", "dt", 0), 45000.5);
    EXPECT_DOUBLE_EQ(ini.GetTime("A", "dt", 0), 0.5) << "a plain time read keeps only the time";
    EXPECT_DOUBLE_EQ(ini.GetTime("A", "t", 0), 0.25);
    EXPECT_DOUBLE_EQ(ini.GetFloat("A", "d", -1), -1) << "a date text is no float";
    unsigned char read[8] = {};
    EXPECT_EQ(ini.GetBytes("B", "bin", read, sizeof read), 3u);
    EXPECT_EQ(read[1], 0xAB);

    std::vector<std::string> list{"stale"};
    ini.ListSections(list);
    EXPECT_EQ(list, (std::vector<std::string>{"A", "B"}));
    ini.ListKeys("A", list);
    EXPECT_EQ(list, (std::vector<std::string>{"i", "f", "d", "dt", "t"}));
    ini.ListSectionPairs("B", list);
    EXPECT_EQ(list, (std::vector<std::string>{"bin=00ABFF"}));
    ini.RemoveKey("a", "I");
    EXPECT_EQ(ini.GetInt("A", "i", 7), 7);
    ini.RemoveSection("b");
    ini.ListSections(list);
    EXPECT_EQ(list, (std::vector<std::string>{"A"}));
    ini.Flush();
}

} // namespace

namespace {

TEST(IniFileWrite, GatheredWritesReachTheFileTogetherAtFlush) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    WriteBytes(path, "[S]\r\nK=old\r\n");
    IniFile ini(path, IniFile::WriteMode::OnFlush);
    ini.PutText("S", "K", "new");
    ini.PutFlag("T", "F", true);
    EXPECT_EQ(ReadBytes(path), "[S]\r\nK=old\r\n") << "nothing written before Flush";
    EXPECT_EQ(ini.GetText("S", "K", ""), "new") << "reads see the gathered writes";
    ini.Flush();
    EXPECT_EQ(ReadBytes(path), "[S]\r\nK=new\r\n[T]\r\nF=1\r\n");
}

} // namespace
