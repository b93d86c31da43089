// No COM here: the host's engine is never registered.
#include "platform/HostEngineAccess.h"

namespace vrelmont {

bool IsHostEngineRegistered() {
    return false;
}

std::string HostEngineBitnessMismatch() {
    return {};
}

TableBackendFactory HostEngineFactory() {
    return {};
}

} // namespace vrelmont
