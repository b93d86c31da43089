#pragma once
// The one declaration of a subcommand and its options: the parser, --help, the man page and the bash
// completion are all made from it, so that they cannot disagree.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vrelmont::cli {

struct ParsedArgs;

struct OptionDeclaration {
    OptionDeclaration(std::string optionName, std::string value, std::string text, std::vector<std::string> values = {},
                      bool mandatory = false)
        : name(std::move(optionName)), valueName(std::move(value)), help(std::move(text)), choices(std::move(values)),
          required(mandatory) {}

    std::string name;                 // "--jobs"
    std::string valueName;            // "N"; empty for a flag, which takes no value
    std::string help;                 // English, as the rest of the usage; "\n" starts a line, a line
                                      // beginning with a blank is kept as it is (tables)
    std::vector<std::string> choices; // the values the completion offers; empty: any (files)
    bool required;
};

struct CommandDeclaration {
    std::string name;        // "check"
    std::string summary;     // one line for the overview
    std::string operands;    // the positional arguments of the synopsis: "AGENDA_DIR"
    std::string description; // prose before the options; lines beginning with a blank are kept as they are
    std::vector<OptionDeclaration> options;
    std::string epilogue; // prose after the options: examples, exit status
    std::function<int(const ParsedArgs &)> run;
};

} // namespace vrelmont::cli
