#pragma once
// The subcommands of vrelmont-cli. Each takes the arguments after its name and answers the exit status.
#include <string>
#include <vector>

namespace vrelmont::cli {

using Args = std::vector<std::string>;

int CreateAgendaCommand(const Args &args);
int ImportCommand(const Args &args);
int DemoCommand(const Args &args);
int GenerateCommand(const Args &args);
int CheckCommand(const Args &args);

} // namespace vrelmont::cli
