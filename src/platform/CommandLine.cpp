#include "platform/CommandLine.h"

#ifdef _WIN32
#include "platform/WideText.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <windows.h>

#include <cstdio>
#endif

namespace vrelmont {

std::vector<std::string> Utf8Arguments(int argc, char **argv) {
#ifdef _WIN32
    int count = 0;
    if (wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        std::vector<std::string> arguments;
        for (int i = 0; i < count; ++i)
            arguments.push_back(Utf8FromWide(wide[i]));
        LocalFree(wide);
        return arguments;
    }
#endif
    return std::vector<std::string>(argv, argv + argc);
}

void UseBinaryStandardStreams() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

} // namespace vrelmont
