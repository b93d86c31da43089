#pragma once
// The subcommands of vrelmont-cli, each as its declaration (see CommandSpec.h); RunTool runs one with
// the arguments after its name and answers the exit status.
#include <string>
#include <vector>

namespace vrelmont::cli {

using Args = std::vector<std::string>;

struct CommandSpec;

const CommandSpec &CheckCommand();
const CommandSpec &CreateAgendaCommand();
const CommandSpec &ImportCommand();
const CommandSpec &DemoCommand();
const CommandSpec &GenerateCommand();

} // namespace vrelmont::cli
