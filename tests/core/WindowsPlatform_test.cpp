// The Windows halves of the platform layer, under Windows or Wine.
#include <gtest/gtest.h>

#ifdef _WIN32
#include "TempDir.h"
#include "hostdb/PathText.h"
#include "platform/DateText.h"
#include "platform/FileIo.h"
#include "platform/Registry.h"
#include "platform/UserFolders.h"
#include "platform/WideText.h"

#include <cstdlib>
#include <filesystem>

#include <windows.h>

using namespace vrelmont;
using vrelmont::test::TempDir;

namespace {

// Writes a string value under HKEY_LOCAL_MACHINE in one registry view; false without the rights.
bool WriteLocalMachineString(const std::wstring &keyPath, REGSAM view, const std::wstring &value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const bool written = RegSetValueExW(key, L"Dir", 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

TEST(WindowsPlatform, TheRegistryIsReadInThe32BitViewAsWideText) {
    const std::wstring keyPath = L"SOFTWARE\\VrelmontTest";
    if (!WriteLocalMachineString(keyPath, KEY_WOW64_32KEY, L"C:\\Programy (x86)\\Účetnictví") ||
        !WriteLocalMachineString(keyPath, KEY_WOW64_64KEY, L"C:\\Programy"))
        GTEST_SKIP() << "no rights to write under HKEY_LOCAL_MACHINE";
    EXPECT_EQ(ReadLocalMachineString("SOFTWARE\\VrelmontTest", "Dir"), "C:\\Programy (x86)\\Účetnictví");
    EXPECT_EQ(ReadLocalMachineString("SOFTWARE\\VrelmontTest", "Missing"), std::nullopt);
    EXPECT_EQ(ReadLocalMachineString("SOFTWARE\\VrelmontTest\\Missing", "Dir"), std::nullopt);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), KEY_WOW64_32KEY, 0);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), KEY_WOW64_64KEY, 0);
}

TEST(WindowsPlatform, PathsUseBackslashes) {
    EXPECT_EQ(kDirSeparator, '\\');
    EXPECT_EQ(NormalizeDirPath("  C:\\Money\\DATA  "), "C:\\Money\\DATA\\");
}

TEST(WindowsPlatform, TheAnsiCodePageIsUtf8AndWideTextRoundTrips) {
    EXPECT_EQ(GetACP(), 65001u) << "the manifest declares UTF-8";
    const std::string czech = "Žluťoučký kůň úpěl ďábelské ódy 𝄞";
    EXPECT_EQ(Utf8FromWide(WideFromUtf8(czech)), czech);
    EXPECT_EQ(WideFromUtf8("č"), L"\u010D");
}

TEST(WindowsPlatform, TodayInTheRegionalShortDateFormat) {
    EXPECT_FALSE(TodayShortDateText().empty());
}

TEST(WindowsPlatform, SettingsGoToTheRoamingProfileAndTheWriteProbeLeavesNothing) {
    const char *appData = std::getenv("APPDATA");
    ASSERT_NE(appData, nullptr);
    EXPECT_EQ(UserSettingsFolder("C:\\elsewhere"), std::string(appData) + "\\Vrelmont");

    TempDir dir;
    EXPECT_TRUE(IsWritableDirectory(dir.path().string()));
    EXPECT_FALSE(IsWritableDirectory(dir.file("missing")));
    std::error_code error;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path(), error)) << "the probe is gone";
}

} // namespace
#else
TEST(WindowsPlatform, OnlyOnWindows) {
    GTEST_SKIP() << "the Windows halves of the platform layer";
}
#endif
