#include "cli/EngineOption.h"

#include "platform/EngineChoice.h"

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
    return kind == EngineKind::Host || (kind == EngineKind::Automatic && IsHostEngineRegistered());
}

} // namespace vrelmont::cli
