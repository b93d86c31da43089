#include "checks/ProtocolFile.h"

#include "platform/FileAccess.h"
#include "platform/Utf8Path.h"
#include "text/Cp1250.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace vrelmont {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::optional<std::string> Cp1250Bytes(const std::vector<std::string> &lines) {
    std::string bytes;
    for (const std::string &line : lines) {
        std::optional<std::string> encoded = Utf8ToCp1250(line);
        // An empty answer for a non-empty line: a character outside the code page.
        if (!encoded || (encoded->empty() && !line.empty()))
            return std::nullopt;
        bytes += *encoded;
        bytes += kLineEnd;
    }
    return bytes;
}

std::string Utf8Bytes(const std::vector<std::string> &lines) {
    std::string bytes(kUtf8Bom);
    for (const std::string &line : lines) {
        bytes += line;
        bytes += kLineEnd;
    }
    return bytes;
}

[[noreturn]] void ThrowWriteError(const std::string &path) {
    throw std::runtime_error("Nelze zapsat soubor " + path);
}

} // namespace

std::string ProtocolFileBytes(const std::vector<std::string> &lines) {
    if (std::optional<std::string> bytes = Cp1250Bytes(lines))
        return std::move(*bytes);
    return Utf8Bytes(lines);
}

void WriteProtocolFile(const std::string &path, const std::vector<std::string> &lines) {
    namespace fs = std::filesystem;
    const std::string bytes = ProtocolFileBytes(lines);

    // Saving onto a link replaces the file the link points to, not the link itself.
    std::error_code error;
    fs::path target = PathFromUtf8(path);
    if (fs::is_symlink(target, error)) {
        target = fs::weakly_canonical(target, error);
        if (error)
            ThrowWriteError(path);
    }

    // A read-only file, or something that is no file at all, is left as it is: the rename below would
    // replace it without asking.
    const FileKind kind = ExamineFile(Utf8FromPath(target));
    if ((kind != FileKind::Regular && kind != FileKind::Missing) || IsWriteProtected(Utf8FromPath(target)))
        ThrowWriteError(path);

    if (!ReplaceFileAtomically(target, bytes))
        ThrowWriteError(path);
}

} // namespace vrelmont
