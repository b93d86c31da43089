#pragma once
// std::system on Windows answers the program's exit code itself.
#define WIFEXITED(status) ((status) != -1)
#define WEXITSTATUS(status) (status)
