// vrelmont-cli: the command-line companion. It dispatches to the subcommands.
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/UsageText.h"
#include "platform/CommandLine.h"
#include "platform/Utf8Path.h"
#include "settings/ProgramValues.h"

#include <csignal>
#include <fstream>
#include <iostream>
#include <string_view>

namespace {

using vrelmont::cli::CommandDeclaration;

// In the order of the overview and the man page.
std::vector<const CommandDeclaration *> AllCommands() {
    using namespace vrelmont::cli;
    return {&CheckCommand(), &CreateAgendaCommand(), &ImportCommand(), &DemoCommand(), &GenerateCommand()};
}

void PrintOverview(std::ostream &out) {
    out << "Usage: vrelmont-cli COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const CommandDeclaration *command : AllCommands()) {
        out << "  " << command->name;
        for (auto pad = command->name.size(); pad < 16; ++pad)
            out << ' ';
        out << command->summary << "\n";
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
    // Not listed anywhere: the build writes the installed man page and completion with these.
    if ((name == "__man-page" || name == "__bash-completion") && arguments.size() == 3) {
        std::ofstream file(vrelmont::PathFromUtf8(arguments[2]), std::ios::binary);
        file << (name == "__man-page" ? vrelmont::cli::ManPage(AllCommands(), vrelmont::kProgramVersion)
                                      : vrelmont::cli::BashCompletion(AllCommands()));
        return file.flush() ? vrelmont::cli::kExitOk : vrelmont::cli::kExitFailure;
    }
    const std::string_view commandName = helpOfCommand ? std::string_view(arguments[2]) : name;
    for (const CommandDeclaration *command : AllCommands()) {
        if (command->name != commandName)
            continue;
        // The commands report their own failures; this only keeps anything that slips through
        // from ending the program without a word.
        try {
            return vrelmont::cli::RunTool(*command, helpOfCommand
                                                        ? vrelmont::cli::Args{"--help"}
                                                        : vrelmont::cli::Args(arguments.begin() + 2, arguments.end()));
        } catch (const std::exception &error) {
            std::cerr << "vrelmont-cli " << name << ": " << error.what() << "\n";
            return vrelmont::cli::kExitFailure;
        }
    }
    std::cerr << "vrelmont-cli: neznámý příkaz \"" << commandName << "\"\n\n";
    PrintOverview(std::cerr);
    return vrelmont::cli::kExitUsage;
}
