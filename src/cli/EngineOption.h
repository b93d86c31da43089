#pragma once
// The --engine option of the commands that read an agenda.
#include "cli/CliSupport.h"

namespace vrelmont::cli {

inline constexpr const char *kEngineOption = "--engine";
inline constexpr const char *kEngineOptionUsage =
    "  --engine NAME   the engine that reads the tables: \"host\" (the host system's COM engine,\n"
    "                  Windows only), \"files\" (the table files) or \"auto\" (default: the host's\n"
    "                  engine when it is registered, else the table files)\n";

// Chooses the engine the option names, or the automatic choice without it. UsageError for an
// unknown name; std::runtime_error when the engine is not available on this platform. Answers
// whether the host's engine was chosen.
bool ApplyEngineOption(const ParsedArgs &parsed);

} // namespace vrelmont::cli
