#include "cli/CliSupport.h"

#include "cli/UsageText.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <iostream>
#include <memory>

namespace vrelmont::cli {

const std::string &ParsedArgs::required(const std::string &option) const {
    const auto found = options.find(option);
    if (found == options.end())
        throw UsageError("chybí volba " + option);
    return found->second;
}

std::string ParsedArgs::valueOr(const std::string &option, const std::string &fallback) const {
    const auto found = options.find(option);
    return found == options.end() ? fallback : found->second;
}

namespace {

// CLI11 names the option at the start of its message ("--jobs: 1 required TEXT missing"); its
// English text itself never reaches the user.
const OptionDeclaration *OptionNamedBy(const CommandDeclaration &command, const std::string &message) {
    for (const OptionDeclaration &option : command.options)
        if (message.rfind(option.name, 0) == 0 || message.rfind(option.name.substr(2), 0) == 0)
            return &option;
    return nullptr;
}

UsageError CzechUsageError(const CommandDeclaration &command, const CLI::ParseError &error) {
    const OptionDeclaration *option = OptionNamedBy(command, error.what());
    if (option && option->valueName.empty())
        return UsageError("volba " + option->name + " nepřijímá hodnotu");
    if (option)
        return UsageError("volba " + option->name + " potřebuje hodnotu " + option->valueName);
    return UsageError("chybné argumenty (" + error.get_name() + ")");
}

} // namespace

ParsedArgs ParseArgs(const CommandDeclaration &command, const Args &args) {
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
    CLI::App app;
    app.set_help_flag();
    // Unknown options are collected, not refused by CLI11, so that the message is ours.
    app.allow_extras();
    app.add_option("operands", parsed.positional);
    std::vector<std::pair<const OptionDeclaration *, CLI::Option *>> declared;
    std::vector<std::unique_ptr<std::string>> values;
    for (const OptionDeclaration &option : command.options) {
        CLI::Option *cliOption = nullptr;
        if (option.valueName.empty()) {
            cliOption = app.add_flag(option.name)->disable_flag_override();
        } else {
            values.push_back(std::make_unique<std::string>());
            cliOption = app.add_option(option.name, *values.back())
                            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                            ->allow_extra_args(false);
        }
        declared.emplace_back(&option, cliOption);
    }
    // CLI11 takes them last first. "--opt=" gives the empty value, which CLI11 would take from the
    // next argument.
    std::vector<std::string> reversed;
    bool optionsEnded = false;
    for (const std::string &arg : args) {
        optionsEnded = optionsEnded || arg == "--";
        const bool emptyValue =
            !optionsEnded && !arg.empty() && arg.back() == '=' &&
            std::any_of(command.options.begin(), command.options.end(), [&](const OptionDeclaration &option) {
                return !option.valueName.empty() && arg == option.name + "=";
            });
        reversed.insert(reversed.begin(), emptyValue ? arg.substr(0, arg.size() - 1) : arg);
        if (emptyValue)
            reversed.insert(reversed.begin(), std::string());
    }
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError &error) {
        throw CzechUsageError(command, error);
    }
    for (const std::string &extra : app.remaining())
        if (extra != "--")
            throw UsageError("neznámá volba " + extra.substr(0, extra.find('=')));
    for (const auto &[option, cliOption] : declared) {
        if (cliOption->count() > 1)
            throw UsageError("volba " + option->name + " je zadána vícekrát");
        if (cliOption->count() == 1)
            parsed.options[option->name] = option->valueName.empty() ? std::string() : cliOption->results().front();
        else if (option->required)
            throw UsageError("chybí volba " + option->name + " " + option->valueName);
    }
    return parsed;
}

std::int64_t ParseNumberOption(const std::string &option, const std::string &text, std::int64_t min, std::int64_t max) {
    std::int64_t value = 0;
    const char *end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || rest != end || value < min || value > max)
        throw UsageError(option + " potřebuje celé číslo od " + std::to_string(min) + " do " + std::to_string(max) +
                         ", ne \"" + text + "\"");
    return value;
}

int RunTool(const CommandDeclaration &command, const Args &args) {
    const std::string prefix = "vrelmont-cli " + command.name + ": ";
    try {
        const ParsedArgs parsed = ParseArgs(command, args);
        if (parsed.help) {
            std::cout << UsageText(command);
            return kExitOk;
        }
        return command.run(parsed);
    } catch (const UsageError &error) {
        std::cerr << prefix << error.what() << "\n"
                  << "Návod k použití vypíše \"vrelmont-cli " << command.name << " --help\".\n";
        return kExitUsage;
    } catch (const std::exception &error) {
        std::cerr << prefix << error.what() << "\n";
        return kExitFailure;
    }
}

} // namespace vrelmont::cli
