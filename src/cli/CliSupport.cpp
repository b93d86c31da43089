#include "cli/CliSupport.h"

#include <algorithm>
#include <charconv>
#include <iostream>

namespace vrelmont::cli {

const std::string &ParsedArgs::required(const std::string &option) const {
    const auto found = options.find(option);
    if (found == options.end())
        throw UsageError("missing option " + option);
    return found->second;
}

std::string ParsedArgs::valueOr(const std::string &option, const std::string &fallback) const {
    const auto found = options.find(option);
    return found == options.end() ? fallback : found->second;
}

ParsedArgs ParseArgs(const Args &args, const std::vector<std::string> &valueOptions,
                     const std::vector<std::string> &flagOptions) {
    ParsedArgs parsed;
    // A request for help wins over every mistake in the other arguments.
    for (const auto &arg : args) {
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            return parsed;
        }
    }
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const bool isFlag = std::find(flagOptions.begin(), flagOptions.end(), name) != flagOptions.end();
        if (!isFlag && std::find(valueOptions.begin(), valueOptions.end(), name) == valueOptions.end())
            throw UsageError("unknown option " + name);
        if (parsed.has(name))
            throw UsageError("option " + name + " given twice");
        if (isFlag) {
            if (equals != std::string::npos)
                throw UsageError("option " + name + " takes no value");
            parsed.options[name] = std::string();
        } else if (equals != std::string::npos) {
            parsed.options[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            parsed.options[name] = args[++i];
        } else {
            throw UsageError("option " + name + " needs a value");
        }
    }
    return parsed;
}

std::int64_t ParseNumberOption(const std::string &option, const std::string &text, std::int64_t min, std::int64_t max) {
    std::int64_t value = 0;
    const char *end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || rest != end || value < min || value > max)
        throw UsageError(option + " takes a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
                         ", not \"" + text + "\"");
    return value;
}

int RunTool(const std::string &command, const std::string &usage, const Args &args,
            const std::vector<std::string> &valueOptions, const std::function<int(const ParsedArgs &)> &body,
            const std::vector<std::string> &flagOptions) {
    const std::string prefix = "vrelmont-cli " + command + ": ";
    try {
        const ParsedArgs parsed = ParseArgs(args, valueOptions, flagOptions);
        if (parsed.help) {
            std::cout << usage;
            return kExitOk;
        }
        return body(parsed);
    } catch (const UsageError &error) {
        std::cerr << prefix << error.what() << "\n"
                  << "Run \"vrelmont-cli " << command << " --help\" for its usage.\n";
        return kExitUsage;
    } catch (const std::exception &error) {
        std::cerr << prefix << error.what() << "\n";
        return kExitFailure;
    }
}

} // namespace vrelmont::cli
