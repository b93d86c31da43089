#include "cli/EngineOption.h"

#include "wiring/EngineChoice.h"

#include <iostream>
#include <stdexcept>

namespace vrelmont::cli {

OptionDeclaration EngineOptionDeclaration() {
    return {kEngineOption,
            "NAME",
            "the engine that reads the tables: \"host\" (the host system's COM engine, Windows only), "
            "\"files\" (the table files) or \"auto\" (default: the host's engine when it is registered, else "
            "the table files)",
            {"host", "files", "auto"}};
}

bool ApplyEngineOption(const ParsedArgs &parsed) {
    EngineKind kind = EngineKind::Automatic;
    if (parsed.has(kEngineOption)) {
        try {
            kind = ParseEngineKind(parsed.required(kEngineOption));
        } catch (const std::invalid_argument &) {
            throw UsageError(std::string(kEngineOption) + " přijímá host, files nebo auto, ne \"" +
                             parsed.required(kEngineOption) + "\"");
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
