#pragma once
// What every data tool shares: its two kinds of failure, the option parser and the frame that turns
// failures into messages on standard error and exit statuses.
#include "cli/Commands.h"

#include <cstdint>
#include <functional>
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

// Splits arguments into positional ones and options ("--opt value" or "--opt=value"), each option
// taking a value and allowed once; a flag option takes no value and is recorded with an empty one.
// "--help"/"-h" anywhere asks for the usage; "--" ends the options; "-" alone is positional.
// Throws UsageError for an unknown or repeated option or a missing value.
ParsedArgs ParseArgs(const Args &args, const std::vector<std::string> &valueOptions,
                     const std::vector<std::string> &flagOptions = {});

// Decimal number within [min, max]; UsageError naming the option otherwise.
std::int64_t ParseNumberOption(const std::string &option, const std::string &text, std::int64_t min, std::int64_t max);

// Runs a subcommand: parses `args` with `valueOptions`, prints `usage` on standard output for --help,
// else calls `body`; every failure is printed as "vrelmont-cli <command>: <message>" on standard
// error and answered with 2 (usage) or 3 (anything else).
int RunTool(const std::string &command, const std::string &usage, const Args &args,
            const std::vector<std::string> &valueOptions, const std::function<int(const ParsedArgs &)> &body,
            const std::vector<std::string> &flagOptions = {});

} // namespace vrelmont::cli
