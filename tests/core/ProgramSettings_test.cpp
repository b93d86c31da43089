#include "TempDir.h"
#include "TestScopes.h"

#include "ini/IniFile.h"
#include "settings/ProgramSettings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vrelmont;
using vrelmont::test::kReadOnlyDir;
using vrelmont::test::PermissionScope;
using vrelmont::test::ReadBytes;
using vrelmont::test::TempDir;
using vrelmont::test::WriteBytes;

namespace {

TEST(ProgramSettings, WithoutAFileTheDefaultsApply) {
    TempDir dir;
    const auto settings = LoadProgramSettings(dir.file("Vrelmont.ini"));
    EXPECT_EQ(settings.moneyDataRoot, "");
    EXPECT_EQ(settings.checks, SelectedChecks::defaults());
    EXPECT_EQ(CheckKeyName(1), "Check01");
    EXPECT_EQ(CheckKeyName(15), "Check15");
}

TEST(ProgramSettings, CheckValuesFollowTheNumberRules) {
    TempDir dir;
    WriteBytes(dir.file("Vrelmont.ini"), "[PATH]\r\nMoneyDataRoot= /money/DATA \r\n[SETTING]\r\n"
                                         "Check01=0\r\nCheck02=abc\r\nCheck03=\r\nCheck06=0x1\r\nCheck07=0X0\r\n"
                                         "Check08=$A\r\nCheck09=2\r\nCheck14=-1\r\nCheck15=0x\r\n");
    const auto s = LoadProgramSettings(dir.file("Vrelmont.ini"));
    EXPECT_EQ(s.moneyDataRoot, "/money/DATA") << "shown as stored, blanks around it removed";
    EXPECT_FALSE(s.checks.contains(1));
    EXPECT_TRUE(s.checks.contains(2)) << "a non-number keeps the default";
    EXPECT_TRUE(s.checks.contains(3)) << "an empty value keeps the default";
    EXPECT_TRUE(s.checks.contains(6));
    EXPECT_FALSE(s.checks.contains(7));
    EXPECT_TRUE(s.checks.contains(8));
    EXPECT_TRUE(s.checks.contains(9)) << "any number other than 0";
    EXPECT_TRUE(s.checks.contains(14));
    EXPECT_TRUE(s.checks.contains(15)) << "\"0x\" alone is no number";
    EXPECT_FALSE(s.checks.contains(10)) << "missing: its default";
}

TEST(ProgramSettings, SavingWritesSixteenKeysAndKeepsEverythingElse) {
    TempDir dir;
    const auto path = dir.file("Vrelmont.ini");
    WriteBytes(path, "; mine\r\n[SETTING]\r\nCheck01=0x1\r\nForeign=keep\r\n[Other]\r\nx=1\r\n");
    const SelectedChecks checks{2, 15};
    SaveProgramSettings(path, "/money/DATA/", checks);
    EXPECT_EQ(ReadBytes(path), "; mine\r\n[SETTING]\r\nCheck01=0\r\nForeign=keep\r\nCheck02=1\r\nCheck03=0\r\n"
                               "Check04=0\r\nCheck05=0\r\nCheck06=0\r\nCheck07=0\r\nCheck08=0\r\nCheck09=0\r\n"
                               "Check10=0\r\nCheck11=0\r\nCheck12=0\r\nCheck13=0\r\nCheck14=0\r\nCheck15=1\r\n"
                               "[Other]\r\nx=1\r\n[PATH]\r\nMoneyDataRoot=/money/DATA/\r\n");
    const auto again = LoadProgramSettings(path);
    EXPECT_EQ(again.moneyDataRoot, "/money/DATA/");
    EXPECT_EQ(again.checks, checks);
}

TEST(ProgramSettings, ANewFileHasPathBeforeSetting) {
    TempDir dir;
    SaveProgramSettings(dir.file("Vrelmont.ini"), "", SelectedChecks::defaults());
    const auto text = ReadBytes(dir.file("Vrelmont.ini"));
    EXPECT_EQ(text.rfind("[PATH]\r\nMoneyDataRoot=\r\n[SETTING]\r\nCheck01=1\r\n", 0), 0u) << text;
}

TEST(ProgramSettings, AnUnwritableFileRaisesTheErrorWithItsPath) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes anywhere";
    TempDir dir;
    const auto path = dir.file("Vrelmont.ini");
    WriteBytes(path, "[PATH]\r\nMoneyDataRoot=/old/\r\n");
    {
        PermissionScope readOnly(dir.path(), kReadOnlyDir);
        try {
            SaveProgramSettings(path, "/new/", SelectedChecks::defaults());
            FAIL();
        } catch (const IniWriteError &e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
        }
    }
    EXPECT_EQ(ReadBytes(path), "[PATH]\r\nMoneyDataRoot=/old/\r\n");
}

TEST(ProgramSettings, TheFileStaysBesideAPortableProgramOnly) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("prog"));
    EXPECT_EQ(ChooseSettingsFilePath(dir.file("prog") + "/", dir.file("config")), dir.file("prog/Vrelmont.ini"));
    if (::geteuid() == 0)
        return; // root can write every directory
    {
        PermissionScope readOnly(dir.file("prog"), kReadOnlyDir);
        EXPECT_EQ(ChooseSettingsFilePath(dir.file("prog") + "/", dir.file("config")), dir.file("config/Vrelmont.ini"));
    }
    WriteBytes(dir.file("prog/Vrelmont.ini"), "");
    PermissionScope readOnly(dir.file("prog"), kReadOnlyDir);
    EXPECT_EQ(ChooseSettingsFilePath(dir.file("prog") + "/", dir.file("config")), dir.file("prog/Vrelmont.ini"));
}

} // namespace
