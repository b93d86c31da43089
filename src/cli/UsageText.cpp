#include "cli/UsageText.h"

#include <sstream>

namespace vrelmont::cli {
namespace {

constexpr std::size_t kWidth = 96;
constexpr std::size_t kHelpColumn = 18;

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// `items` (words, or bracketed options that stay whole) on lines of at most kWidth columns (UTF-8
// characters counted), each line after the first beginning with `indent`.
std::string Wrapped(const std::vector<std::string> &items, std::size_t firstColumn, const std::string &indent) {
    std::string out;
    std::size_t column = firstColumn;
    for (const std::string &item : items) {
        std::size_t length = 0;
        for (const char c : item)
            length += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (!out.empty() && column + 1 + length > kWidth) {
            out += "\n" + indent;
            column = indent.size();
        } else if (!out.empty()) {
            out += ' ';
            ++column;
        }
        out += item;
        column += length;
    }
    return out;
}

std::string Wrapped(const std::string &words, std::size_t firstColumn, const std::string &indent) {
    std::vector<std::string> items;
    std::istringstream in(words);
    for (std::string word; in >> word;)
        items.push_back(word);
    return Wrapped(items, firstColumn, indent);
}

std::string OptionTerm(const OptionDeclaration &option) {
    return option.valueName.empty() ? option.name : option.name + " " + option.valueName;
}

// The roff text of plain words: backslashes and minus signs escaped, no line starting as a request.
std::string Roff(const std::string &text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\''))
        out.insert(0, "\\&");
    return out;
}

// Prose as roff: blank lines part paragraphs, lines beginning with a blank are kept as they are.
std::string RoffProse(const std::string &text) {
    std::string out;
    bool literal = false;
    for (const std::string &line : Lines(text)) {
        const bool kept = !line.empty() && line.front() == ' ';
        if (kept != literal)
            out += kept ? ".nf\n" : ".fi\n";
        literal = kept;
        if (line.empty())
            out += ".PP\n";
        else
            out += Roff(line) + "\n";
    }
    if (literal)
        out += ".fi\n";
    return out;
}

// The operands, then each option: bracketed unless required.
std::vector<std::string> SynopsisItems(const CommandDeclaration &command) {
    std::vector<std::string> items;
    std::istringstream operands(command.operands);
    for (std::string word; operands >> word;)
        items.push_back(word);
    for (const OptionDeclaration &option : command.options)
        items.push_back(option.required ? OptionTerm(option) : "[" + OptionTerm(option) + "]");
    return items;
}

const OptionDeclaration kHelpOption{"--help", "", "print this usage and exit", {}, false};

} // namespace

std::string Synopsis(const CommandDeclaration &command) {
    const std::string head = "vrelmont-cli " + command.name + " ";
    // Continued lines begin under the first operand of "Usage: vrelmont-cli COMMAND ".
    return head + Wrapped(SynopsisItems(command), head.size() + 7, std::string(head.size() + 7, ' '));
}

std::string UsageText(const CommandDeclaration &command) {
    std::string text = "Usage: " + Synopsis(command) + "\n\n" + command.description + "\nOptions:\n";
    std::vector<OptionDeclaration> options = command.options;
    options.push_back(kHelpOption);
    for (const OptionDeclaration &option : options) {
        std::string term = "  " + (option.name == "--help" ? "-h, --help" : OptionTerm(option));
        term += term.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - term.size(), ' ')
                                               : "\n" + std::string(kHelpColumn, ' ');
        text += term;
        bool firstLine = true;
        for (const std::string &line : Lines(option.help)) {
            if (!firstLine)
                text += std::string(kHelpColumn, ' ');
            text +=
                !line.empty() && line.front() == ' ' ? line : Wrapped(line, kHelpColumn, std::string(kHelpColumn, ' '));
            text += "\n";
            firstLine = false;
        }
    }
    return command.epilogue.empty() ? text : text + "\n" + command.epilogue;
}

std::string ManPage(const std::vector<const CommandDeclaration *> &commands, const std::string &version) {
    std::string page = ".TH VRELMONT\\-CLI 1 \"\" \"vrelmont\\-cli " + Roff(version) +
                       "\" \"User Commands\"\n"
                       ".nh\n"
                       ".SH NAME\n"
                       "vrelmont\\-cli \\- check the stock records of an agenda from the command line\n"
                       ".SH SYNOPSIS\n"
                       ".nf\n";
    for (const CommandDeclaration *command : commands)
        page += "\\fB" + Roff("vrelmont-cli " + command->name) + "\\fR " + Roff(command->operands) + " [OPTIONS]\n";
    page += "\\fBvrelmont\\-cli help\\fR [COMMAND]\n\\fBvrelmont\\-cli \\-\\-version\\fR\n.fi\n"
            ".SH DESCRIPTION\n"
            "Each command's options follow it; \\fB\\-h\\fR or \\fB\\-\\-help\\fR prints the usage of one "
            "command, as \\fBvrelmont\\-cli help\\fR \\fICOMMAND\\fR does.\n"
            "Its messages (usage errors, runtime errors and status lines) are Czech, the program's language, "
            "with English option names.\n"
            ".SH COMMANDS\n";
    for (const CommandDeclaration *command : commands) {
        // Unpaddable blanks keep each bracketed option on one line.
        std::string synopsis = "\\fBvrelmont\\-cli " + Roff(command->name) + "\\fR";
        for (const std::string &item : SynopsisItems(*command)) {
            synopsis += " ";
            for (const char c : Roff(item))
                synopsis += c == ' ' ? std::string("\\ ") : std::string(1, c);
        }
        page += ".SS \"" + Roff(command->name) + "\"\n.ad l\n" + synopsis + "\n.ad\n.PP\n";
        page += RoffProse(command->description);
        std::vector<OptionDeclaration> options = command->options;
        options.push_back(kHelpOption);
        for (const OptionDeclaration &option : options) {
            page += ".TP\n\\fB" + Roff(option.name == "--help" ? "-h, --help" : option.name) + "\\fR";
            if (!option.valueName.empty())
                page += " \\fI" + Roff(option.valueName) + "\\fR";
            page += "\n" + RoffProse(option.help);
        }
        if (!command->epilogue.empty())
            page += ".PP\n" + RoffProse(command->epilogue);
    }
    return page;
}

std::string BashCompletion(const std::vector<const CommandDeclaration *> &commands) {
    std::string names;
    for (const CommandDeclaration *command : commands)
        names += (names.empty() ? "" : " ") + command->name;
    std::string script = "# bash completion for vrelmont-cli, made from its option declarations\n"
                         "_vrelmont_cli() {\n"
                         "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
                         "    COMPREPLY=()\n"
                         "    if [[ $COMP_CWORD -eq 1 ]]; then\n"
                         "        COMPREPLY=($(compgen -W '" +
                         names +
                         " help --help --version' -- \"$cur\"))\n"
                         "        return\n"
                         "    fi\n"
                         "    case ${COMP_WORDS[1]} in\n"
                         "    help)\n"
                         "        [[ $COMP_CWORD -eq 2 ]] && COMPREPLY=($(compgen -W '" +
                         names +
                         "' -- \"$cur\"))\n"
                         "        return ;;\n";
    for (const CommandDeclaration *command : commands) {
        std::string options = "--help";
        std::string values;
        for (const OptionDeclaration &option : command->options) {
            options += " " + option.name;
            if (!option.choices.empty()) {
                std::string choices;
                for (const std::string &choice : option.choices)
                    choices += (choices.empty() ? "" : " ") + choice;
                values +=
                    "        " + option.name + ") COMPREPLY=($(compgen -W '" + choices + "' -- \"$cur\")); return ;;\n";
            }
        }
        script += "    " + command->name +
                  ")\n"
                  "        case $prev in\n" +
                  values +
                  "        esac\n"
                  "        [[ $cur == -* ]] && COMPREPLY=($(compgen -W '" +
                  options + "' -- \"$cur\"))\n        ;;\n";
    }
    // Nothing offered: bash completes file names (-o default).
    return script + "    esac\n}\ncomplete -o default -F _vrelmont_cli vrelmont-cli\n";
}

} // namespace vrelmont::cli
