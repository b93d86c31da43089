#pragma once
// What every data tool shares: its two kinds of failure, the option parser and the frame that turns
// failures into messages on standard error and exit statuses.
#include "cli/CommandDeclaration.h"
#include "cli/Commands.h"

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>

namespace vrelmont::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFailure = 3;

// Wrong arguments: exit status 2, followed by a hint to --help.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options; // "--name" -> value
    bool help = false;

    bool has(const std::string &option) const { return options.count(option) != 0; }
    // The option's value; UsageError when it was not given.
    const std::string &required(const std::string &option) const;
    std::string valueOr(const std::string &option, const std::string &fallback) const;
};

// Parses `args` by the options `command` declares (with CLI11): "--opt value" or "--opt=value", each
// option allowed once, a flag without a value. "--help"/"-h" anywhere asks for the usage; "--" ends
// the options; "-" alone is positional. Throws UsageError (in Czech) for an unknown or repeated
// option, a missing value or a missing required option.
ParsedArgs ParseArgs(const CommandDeclaration &command, const Args &args);

// Decimal number within [min, max]; UsageError naming the option otherwise.
std::int64_t ParseNumberOption(const std::string &option, const std::string &text, std::int64_t min, std::int64_t max);

// Runs a subcommand: parses `args` by `command`, prints its usage on standard output for --help, else
// calls its body; every failure is printed as "vrelmont-cli <command>: <message>" on standard error
// and answered with 2 (usage) or 3 (anything else).
int RunTool(const CommandDeclaration &command, const Args &args);

} // namespace vrelmont::cli
