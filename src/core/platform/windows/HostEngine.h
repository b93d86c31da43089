#pragma once
// Windows only: the host's COM engine as a table backend, late-bound through IDispatch by name.
#include "engine/TableBackend.h"

#include <memory>
#include <string>

namespace vrelmont {

// The engine's class and its default interface (the last of its interface chain).
inline constexpr const wchar_t *kHostEngineClassId = L"{86BCE057-6381-4224-A0BD-25E115FBAD94}";
inline constexpr const wchar_t *kHostEngineDefaultInterfaceId = L"{CAC577B8-756A-4576-840B-AE6BAE6742F6}";

// Where the engine's class is registered, seen from this program. An in-process server loads only
// into a process of its own bitness, and Windows keeps the classes of 32-bit and 64-bit programs in
// two views of the registry; a local server is reached from either.
enum class HostEngineRegistration { Absent, Reachable, OtherBitnessOnly };
HostEngineRegistration FindHostEngineRegistration(const std::wstring &classId = kHostEngineClassId);

// The class is registered where this program can load it.
bool IsHostEngineClassRegistered();

// Connects: attaches to a running object of the class, else creates one in-process
// or as a local server. Throws EngineError with the system's text when the class cannot be created,
// and "Interface not supported" when the object lacks the default interface.
std::unique_ptr<TableBackend> MakeHostTableBackend();
// The same for another class; tests use it for a class that is not registered.
std::unique_ptr<TableBackend> MakeHostTableBackendOfClass(const std::wstring &classId);

} // namespace vrelmont
