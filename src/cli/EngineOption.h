#pragma once
// The --engine option of the commands that read an agenda.
#include "cli/CliSupport.h"

namespace vrelmont::cli {

inline constexpr const char *kEngineOption = "--engine";
// Its declaration, shared by the commands that take it.
OptionDeclaration EngineOptionDeclaration();

// Chooses the engine the option names, or the automatic choice without it. UsageError for an
// unknown name; std::runtime_error when the engine is not available on this platform. Answers
// whether the host's engine was chosen.
bool ApplyEngineOption(const ParsedArgs &parsed);

} // namespace vrelmont::cli
