#pragma once
// The texts made from the commands' declarations: --help, the man page and the bash completion.
#include "cli/CommandDeclaration.h"

#include <string>
#include <vector>

namespace vrelmont::cli {

// "vrelmont-cli check AGENDA_DIR [--checks LIST] ...": the command with its operands and options.
std::string Synopsis(const CommandDeclaration &command);

// What "vrelmont-cli COMMAND --help" prints.
std::string UsageText(const CommandDeclaration &command);

// The man page vrelmont-cli.1 (roff), the overview `summary` first, then every command.
std::string ManPage(const std::vector<const CommandDeclaration *> &commands, const std::string &version);

// A bash completion script for vrelmont-cli: the commands, their options and the options' values.
std::string BashCompletion(const std::vector<const CommandDeclaration *> &commands);

} // namespace vrelmont::cli
