#include "checks/ProtocolFile.h"

#include "hostdb/Cp1250.h"
#include "hostdb/FileAccess.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
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

std::string TemporaryNameBeside(const std::string &path) {
    static std::mt19937 random{std::random_device{}()};
    return path + ".~" + std::to_string(random() % 1000000) + ".tmp";
}

// Creates a new file (never one that exists) and writes all of `bytes` to it.
bool WriteNewFile(const std::string &path, const std::string &bytes) {
    std::FILE *file = std::fopen(path.c_str(), "wbx");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
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
    fs::path target = path;
    if (fs::is_symlink(target, error)) {
        target = fs::weakly_canonical(target, error);
        if (error)
            ThrowWriteError(path);
    }

    // A read-only file, or something that is no file at all, is left as it is: the rename below would
    // replace it without asking.
    const FileKind kind = ExamineFile(target.string());
    if ((kind != FileKind::Regular && kind != FileKind::Missing) || IsWriteProtected(target.string()))
        ThrowWriteError(path);

    std::string temporary;
    bool created = false;
    for (int attempt = 0; attempt < 16 && !created; ++attempt) {
        temporary = TemporaryNameBeside(target.string());
        if (fs::exists(temporary, error))
            continue;
        created = WriteNewFile(temporary, bytes);
        if (!created) {
            fs::remove(temporary, error);
            ThrowWriteError(path);
        }
    }
    if (!created)
        ThrowWriteError(path);

    // Keep the permissions of a file that is replaced.
    const fs::file_status existing = fs::status(target, error);
    if (!error && fs::is_regular_file(existing))
        fs::permissions(temporary, existing.permissions(), error);

    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        ThrowWriteError(path);
    }
}

} // namespace vrelmont
