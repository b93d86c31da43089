#pragma once
// The subcommands of vrelmont-cli, each as its declaration (see CommandDeclaration.h); RunTool runs one with
// the arguments after its name and answers the exit status.
#include <string>
#include <vector>

namespace vrelmont::cli {

using Args = std::vector<std::string>;

struct CommandDeclaration;

const CommandDeclaration &CheckCommand();
const CommandDeclaration &CreateAgendaCommand();
const CommandDeclaration &ImportCommand();
const CommandDeclaration &DemoCommand();
const CommandDeclaration &GenerateCommand();

} // namespace vrelmont::cli
