// vrelmont-cli: the command-line companion. It dispatches to the subcommands.
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "platform/CommandLine.h"
#include "settings/ProgramValues.h"

#include <csignal>
#include <iostream>
#include <string_view>

namespace {

using vrelmont::cli::Args;

struct Command {
    std::string_view name;
    int (*run)(const Args &);
    std::string_view summary;
};

constexpr Command kCommands[] = {
    {"check", vrelmont::cli::CheckCommand, "run the checks on an agenda and print the report"},
    {"create-agenda", vrelmont::cli::CreateAgendaCommand, "create a new, empty agenda directory"},
    {"import", vrelmont::cli::ImportCommand, "append the records of a CSV file to a table"},
    {"demo", vrelmont::cli::DemoCommand, "create a demonstration DATA directory with three agendas"},
    {"generate", vrelmont::cli::GenerateCommand, "create a large synthetic agenda for benchmarks"},
};

void PrintOverview(std::ostream &out) {
    out << "Usage: vrelmont-cli COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const auto &command : kCommands) {
        out << "  " << command.name;
        for (auto pad = command.name.size(); pad < 16; ++pad)
            out << ' ';
        out << command.summary << "\n";
    }
    out << "\nRun \"vrelmont-cli COMMAND --help\" or \"vrelmont-cli help COMMAND\" for the usage of one\n"
           "command, \"vrelmont-cli --version\" for the version.\n";
}

} // namespace

int main(int argc, char **argv) {
    // A write past the file size limit then fails like a full disk, and the command cleans up after
    // itself, instead of the process being ended by the signal.
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const std::vector<std::string> arguments = vrelmont::Utf8Arguments(argc, argv);
    vrelmont::UseBinaryStandardStreams();
    if (arguments.size() < 2) {
        PrintOverview(std::cerr);
        return vrelmont::cli::kExitUsage;
    }
    const std::string_view name = arguments[1];
    if (name == "--version") {
        std::cout << "vrelmont-cli " << vrelmont::kProgramVersion << "\n";
        return vrelmont::cli::kExitOk;
    }
    // "help check" is "check --help".
    const bool helpOfCommand = name == "help" && arguments.size() > 2;
    if ((name == "--help" || name == "-h" || name == "help") && !helpOfCommand) {
        PrintOverview(std::cout);
        return vrelmont::cli::kExitOk;
    }
    const std::string_view commandName = helpOfCommand ? std::string_view(arguments[2]) : name;
    for (const auto &command : kCommands) {
        if (command.name != commandName)
            continue;
        // The commands report their own failures; this only keeps anything that slips through
        // from ending the program without a word.
        try {
            return command.run(helpOfCommand ? Args{"--help"} : Args(arguments.begin() + 2, arguments.end()));
        } catch (const std::exception &error) {
            std::cerr << "vrelmont-cli " << name << ": " << error.what() << "\n";
            return vrelmont::cli::kExitFailure;
        }
    }
    std::cerr << "vrelmont-cli: unknown command \"" << commandName << "\"\n\n";
    PrintOverview(std::cerr);
    return vrelmont::cli::kExitUsage;
}
