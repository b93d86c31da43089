#include "platform/HostEngineAccess.h"

#include "platform/windows/HostEngine.h"

namespace vrelmont {

bool IsHostEngineRegistered() {
    return IsHostEngineClassRegistered();
}

std::string HostEngineBitnessMismatch() {
    if (FindHostEngineRegistration() != HostEngineRegistration::OtherBitnessOnly)
        return {};
    // The package keeps the 32-bit programs in its folder and the 64-bit ones in its x64 folder.
    return sizeof(void *) == 8
               ? "Databázový stroj účetního systému je registrován jen pro 32bitové programy a tento "
                 "Vrelmont je 64bitový: použijte 32bitové sestavení (i686), vrelmont.exe o složku výš než tento."
               : "Databázový stroj účetního systému je registrován jen pro 64bitové programy a tento "
                 "Vrelmont je 32bitový: použijte 64bitové sestavení (x86_64), vrelmont.exe ve složce x64 "
                 "vedle tohoto.";
}

TableBackendFactory HostEngineFactory() {
    return MakeHostTableBackend;
}

} // namespace vrelmont
