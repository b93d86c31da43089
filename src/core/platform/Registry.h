#pragma once
// Read-only access to string values under HKEY_LOCAL_MACHINE. Other platforms have no registry:
// every read answers "no value".
#include <functional>
#include <optional>
#include <string>

namespace vrelmont {

// The value's text when it is a string value (an expandable one taken literally); empty otherwise.
std::optional<std::string> ReadLocalMachineString(const std::string &keyPath, const std::string &valueName);

// A process-wide test seam: tests stand in for the registry; an empty function restores the platform's.
using RegistryReader = std::function<std::optional<std::string>(const std::string &, const std::string &)>;
void SetRegistryReader(RegistryReader reader);

} // namespace vrelmont
