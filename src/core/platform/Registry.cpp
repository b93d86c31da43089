#include "platform/Registry.h"

#ifdef _WIN32
#include "platform/WideText.h"

#include <windows.h>
#endif

namespace vrelmont {
namespace {

RegistryReader replacement;

std::optional<std::string> platformRead([[maybe_unused]] const std::string &keyPath,
                                        [[maybe_unused]] const std::string &valueName) {
#ifdef _WIN32
    HKEY key = nullptr;
    // The 32-bit view: the Program Files folder of 32-bit programs, which the host system uses.
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(keyPath).c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS)
        return std::nullopt;
    // Wide text, so that no 8-bit code page stands between the registry and the program's UTF-8.
    const std::wstring name = WideFromUtf8(valueName);
    DWORD size = 0, type = 0;
    LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(text.data()), &size);
        text.resize(size / sizeof(wchar_t));
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return Utf8FromWide(text);
#else
    return std::nullopt;
#endif
}

} // namespace

std::optional<std::string> ReadLocalMachineString(const std::string &keyPath, const std::string &valueName) {
    return replacement ? replacement(keyPath, valueName) : platformRead(keyPath, valueName);
}

void SetRegistryReader(RegistryReader reader) {
    replacement = std::move(reader);
}

} // namespace vrelmont
