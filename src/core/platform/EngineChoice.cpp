#include "platform/EngineChoice.h"

#include "hostdb/TableBackend.h"

#include <cstdlib>
#include <stdexcept>

#ifdef _WIN32
#include "platform/windows/HostEngine.h"
#endif

namespace vrelmont {

EngineKind ParseEngineKind(const std::string &name) {
    if (name == "host")
        return EngineKind::Host;
    if (name == "files")
        return EngineKind::Files;
    if (name == "auto")
        return EngineKind::Automatic;
    throw std::invalid_argument("unknown engine \"" + name + "\" (host, files or auto)");
}

bool IsHostEngineRegistered() {
#ifdef _WIN32
    return IsHostEngineClassRegistered();
#else
    return false;
#endif
}

void UseEngine(EngineKind kind) {
    if (kind == EngineKind::Automatic)
        kind = IsHostEngineRegistered() ? EngineKind::Host : EngineKind::Files;
    if (kind == EngineKind::Files) {
        SetTableBackendFactory({});
        return;
    }
#ifdef _WIN32
    SetTableBackendFactory(MakeHostTableBackend);
#else
    throw std::runtime_error("the host's engine is a COM server on Windows; here only the table files can be "
                             "read (engine \"files\")");
#endif
}

void UseEngineFromEnvironment() {
    const char *value = std::getenv(kEngineEnvironmentVariable);
    UseEngine(value && *value ? ParseEngineKind(value) : EngineKind::Automatic);
}

} // namespace vrelmont
