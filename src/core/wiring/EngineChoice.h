#pragma once
// Which engine backend the table components use. On Windows the host's COM engine when its class is
// registered, else our table files; elsewhere always the table files. A choice can be forced.
#include "platform/HostEngineAccess.h" // IsHostEngineRegistered, HostEngineBitnessMismatch

#include <string>

namespace vrelmont {

enum class EngineKind { Automatic, Host, Files };

// The environment variable that forces the choice for the window: "host" or "files".
inline constexpr const char *kEngineEnvironmentVariable = "VRELMONT_ENGINE";

// "host", "files" or "auto"; std::invalid_argument for anything else.
EngineKind ParseEngineKind(const std::string &name);

// Sets the backend of every component that connects from now on. Throws std::runtime_error when the
// host's engine is asked for on a platform that has none, or for a bitness mismatch.
void UseEngine(EngineKind kind);

// UseEngine with the kind that kEngineEnvironmentVariable names (unset or empty: Automatic).
// Throws std::invalid_argument for a value it does not know.
void UseEngineFromEnvironment();

} // namespace vrelmont
