#include "wiring/EngineChoice.h"

#include "engine/TableBackend.h"
#include "platform/HostEngineAccess.h"

#include <cstdlib>
#include <stdexcept>
#include <utility>

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

void UseEngine(EngineKind kind) {
    if (kind == EngineKind::Host) {
        const std::string mismatch = HostEngineBitnessMismatch();
        if (!mismatch.empty())
            throw std::runtime_error(mismatch);
    }
    if (kind == EngineKind::Automatic)
        kind = IsHostEngineRegistered() ? EngineKind::Host : EngineKind::Files;
    if (kind == EngineKind::Files) {
        SetTableBackendFactory({});
        return;
    }
    TableBackendFactory host = HostEngineFactory();
    if (!host)
        throw std::runtime_error("databázový stroj účetního systému je server COM ve Windows; zde lze číst jen "
                                 "soubory tabulek (stroj \"files\")");
    SetTableBackendFactory(std::move(host));
}

void UseEngineFromEnvironment() {
    const char *value = std::getenv(kEngineEnvironmentVariable);
    UseEngine(value && *value ? ParseEngineKind(value) : EngineKind::Automatic);
}

} // namespace vrelmont
