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

std::string HostEngineBitnessMismatch() {
#ifdef _WIN32
    if (FindHostEngineRegistration() != HostEngineRegistration::OtherBitnessOnly)
        return {};
    // The package keeps the 32-bit programs in its folder and the 64-bit ones in its x64 folder.
    return sizeof(void *) == 8
               ? "Databázový stroj účetního systému je registrován jen pro 32bitové programy a tento "
                 "Vrelmont je 64bitový: použijte 32bitové sestavení (i686), vrelmont.exe o složku výš než tento."
               : "Databázový stroj účetního systému je registrován jen pro 64bitové programy a tento "
                 "Vrelmont je 32bitový: použijte 64bitové sestavení (x86_64), vrelmont.exe ve složce x64 "
                 "vedle tohoto.";
#else
    return {};
#endif
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
#ifdef _WIN32
    SetTableBackendFactory(MakeHostTableBackend);
#else
    throw std::runtime_error("databázový stroj účetního systému je server COM ve Windows; zde lze číst jen "
                             "soubory tabulek (stroj \"files\")");
#endif
}

void UseEngineFromEnvironment() {
    const char *value = std::getenv(kEngineEnvironmentVariable);
    UseEngine(value && *value ? ParseEngineKind(value) : EngineKind::Automatic);
}

} // namespace vrelmont
