#pragma once
// The saved protocol: the report's lines as a text file, each followed by CR LF.
#include <string>
#include <vector>

namespace vrelmont {

// The file's bytes: windows-1250, or UTF-8 after a byte-order mark when some line holds a character
// that windows-1250 cannot represent (so that nothing is lost).
std::string ProtocolFileBytes(const std::vector<std::string> &lines);

// Replaces `path` with the protocol as a whole: written beside it first, then renamed over it, so an
// existing file is never left half-written. Throws std::runtime_error "Nelze zapsat soubor <path>".
void WriteProtocolFile(const std::string &path, const std::vector<std::string> &lines);

} // namespace vrelmont
