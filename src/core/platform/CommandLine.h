#pragma once
// The program's command-line arguments as UTF-8 texts.
#include <cstdio>
#include <string>
#include <vector>

namespace vrelmont {

// POSIX passes the bytes as they are; Windows reads the wide command line, so that arguments outside
// the ANSI code page arrive whole.
std::vector<std::string> Utf8Arguments(int argc, char **argv);

// Standard output and error pass bytes through unchanged (Windows would otherwise turn each line
// feed into CR LF, doubling the carriage returns of texts that already have them).
void UseBinaryStandardStreams();

// Whether the stream is a terminal (a console on Windows).
bool IsTerminal(std::FILE *stream);

} // namespace vrelmont
