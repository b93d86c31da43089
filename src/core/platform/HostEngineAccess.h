#pragma once
// The host's COM engine as far as the choice of engine needs it, with a half for each platform:
// only Windows has it; elsewhere it is never registered.
#include "engine/TableBackend.h"

#include <string>

namespace vrelmont {

// Whether the host's engine class is registered (always false where there is no COM).
bool IsHostEngineRegistered();

// When the host's engine class is registered only for programs of the other bitness (it cannot be
// loaded into this one), the text that says so and names the build to use; empty otherwise.
std::string HostEngineBitnessMismatch();

// What connects a component to the host's engine; empty where there is none.
TableBackendFactory HostEngineFactory();

} // namespace vrelmont
