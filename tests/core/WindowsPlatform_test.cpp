// The Windows halves of the platform layer, under Windows or Wine.
#include <gtest/gtest.h>

#ifdef _WIN32
#include "TempDir.h"
#include "platform/DateText.h"
#include "platform/FileIo.h"
#include "platform/Registry.h"
#include "platform/UserFolders.h"
#include "platform/WideText.h"
#include "platform/windows/HostEngine.h"
#include "text/PathText.h"

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

// 32-bit Windows has one registry view, which both view flags name.
bool HasTwoRegistryViews() {
    BOOL underWow64 = FALSE;
    return sizeof(void *) == 8 || (IsWow64Process(GetCurrentProcess(), &underWow64) && underWow64);
}

TEST(WindowsPlatform, TheRegistryIsReadInThe32BitViewAsWideText) {
    if (!HasTwoRegistryViews())
        GTEST_SKIP() << "32-bit Windows has one registry view";
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

TEST(WindowsPlatform, AnEngineClassIsLookedUpInBothRegistryViews) {
    const std::wstring classId = L"{5A0C4E1B-2D3F-4A6B-8C9D-0E1F2A3B4C5D}";
    const std::wstring keyPath = L"CLSID\\" + classId;
    const REGSAM ownView = sizeof(void *) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    const REGSAM otherView = sizeof(void *) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    const auto add = [&](const std::wstring &path, REGSAM view) {
        HKEY key = nullptr;
        const bool made = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr,
                                          &key, nullptr) == ERROR_SUCCESS;
        if (made)
            RegCloseKey(key);
        return made;
    };
    const auto removeAll = [&] {
        for (REGSAM view : {ownView, otherView}) {
            RegDeleteKeyExW(HKEY_CLASSES_ROOT, (keyPath + L"\\InprocServer32").c_str(), view, 0);
            RegDeleteKeyExW(HKEY_CLASSES_ROOT, (keyPath + L"\\LocalServer32").c_str(), view, 0);
            RegDeleteKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), view, 0);
        }
    };
    removeAll();
    EXPECT_EQ(FindHostEngineRegistration(classId), HostEngineRegistration::Absent);
    if (!HasTwoRegistryViews())
        GTEST_SKIP() << "32-bit Windows has one registry view";
    if (!add(keyPath + L"\\InprocServer32", otherView))
        GTEST_SKIP() << "no rights to write classes";
    EXPECT_EQ(FindHostEngineRegistration(classId), HostEngineRegistration::OtherBitnessOnly)
        << "an in-process server of the other bitness cannot be loaded here";
    ASSERT_TRUE(add(keyPath + L"\\LocalServer32", otherView));
    EXPECT_EQ(FindHostEngineRegistration(classId), HostEngineRegistration::Reachable) << "a local server is";
    removeAll();
    ASSERT_TRUE(add(keyPath + L"\\InprocServer32", ownView));
    EXPECT_EQ(FindHostEngineRegistration(classId), HostEngineRegistration::Reachable);
    removeAll();
}

} // namespace
#else
TEST(WindowsPlatform, OnlyOnWindows) {
    GTEST_SKIP() << "the Windows halves of the platform layer";
}
#endif
