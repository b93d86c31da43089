#include "platform/Registry.h"

#ifdef _WIN32
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
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char buffer[1024];
    DWORD size = sizeof buffer, type = 0;
    const auto status =
        RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::string text(buffer, size);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
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
