#include "cli/EngineOption.h"

#include "platform/EngineChoice.h"

#include <stdexcept>

namespace vrelmont::cli {

void ApplyEngineOption(const ParsedArgs &parsed) {
    EngineKind kind = EngineKind::Automatic;
    if (parsed.has(kEngineOption)) {
        try {
            kind = ParseEngineKind(parsed.required(kEngineOption));
        } catch (const std::invalid_argument &error) {
            throw UsageError(std::string(kEngineOption) + ": " + error.what());
        }
    }
    UseEngine(kind);
}

} // namespace vrelmont::cli
