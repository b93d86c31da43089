#include "cli/EngineOption.h"

#include "wiring/EngineChoice.h"

#include <iostream>
#include <stdexcept>

namespace vrelmont::cli {

bool ApplyEngineOption(const ParsedArgs &parsed) {
    EngineKind kind = EngineKind::Automatic;
    if (parsed.has(kEngineOption)) {
        try {
            kind = ParseEngineKind(parsed.required(kEngineOption));
        } catch (const std::invalid_argument &error) {
            throw UsageError(std::string(kEngineOption) + ": " + error.what());
        }
    }
    UseEngine(kind);
    const bool host = kind == EngineKind::Host || (kind == EngineKind::Automatic && IsHostEngineRegistered());
    if (kind == EngineKind::Automatic) {
        // Where the host's class is registered in either view, the choice is never silent.
        const std::string mismatch = HostEngineBitnessMismatch();
        if (host)
            std::cerr << "vrelmont-cli: tabulky se čtou databázovým strojem účetního systému (COM)\n";
        else if (!mismatch.empty())
            std::cerr << "vrelmont-cli: " << mismatch << " Čtou se soubory tabulek.\n";
    }
    return host;
}

} // namespace vrelmont::cli
