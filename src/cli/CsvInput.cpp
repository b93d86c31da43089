#include "cli/CsvInput.h"

#include "cli/CliSupport.h"
#include "cli/Csv.h"
#include "platform/FileIo.h"
#include "platform/Utf8Path.h"
#include "text/Cp1250.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vrelmont::cli {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

// The bytes at the end of `bytes` that begin a UTF-8 sequence the next piece completes.
std::size_t IncompleteTail(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for the lead
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// Reads all of `in`, also writing it to `copy` when given; answers whether it is all UTF-8.
bool ScanUtf8(std::istream &in, std::ostream *copy) {
    std::array<char, kChunk> buffer{};
    std::string pending;
    bool valid = true;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0)
            break;
        if (copy && !copy->write(buffer.data(), static_cast<std::streamsize>(got)))
            throw std::runtime_error("cannot keep a copy of standard input in the temporary directory");
        if (!valid && !copy)
            return false;
        if (!valid)
            continue;
        pending.append(buffer.data(), got);
        const std::size_t tail = IncompleteTail(pending);
        valid = IsUtf8WithoutNul(std::string_view(pending).substr(0, pending.size() - tail));
        pending.erase(0, pending.size() - tail);
    }
    if (in.bad())
        throw std::runtime_error("read error");
    return valid && pending.empty();
}

// Bytes that windows-1250 leaves unassigned.
bool IsUnassignedIn1250(unsigned char c) {
    return c == 0x81 || c == 0x83 || c == 0x88 || c == 0x90 || c == 0x98;
}

} // namespace

TextEncoding ParseEncodingOption(const std::string &text) {
    if (text == "utf-8" || text == "UTF-8" || text == "utf8")
        return TextEncoding::Utf8;
    if (text == "windows-1250" || text == "cp1250" || text == "CP1250")
        return TextEncoding::Windows1250;
    throw UsageError("--encoding takes utf-8 or windows-1250, not \"" + text + "\"");
}

char ParseSeparatorOption(const std::string &text) {
    if (text == "," || text == ";")
        return text.front();
    if (text == "tab" || text == "\t")
        return '\t';
    throw UsageError("--delimiter takes \",\", \";\" or tab, not \"" + text + "\"");
}

std::string SeparatorName(char separator) {
    return separator == '\t' ? std::string("tab") : "\"" + std::string(1, separator) + "\"";
}

CsvInput::CsvInput(const std::string &name) {
    if (name == "-") {
        displayName_ = "standard input";
        keepCopyOf(std::cin);
        return;
    }
    displayName_ = name;
    path_ = PathFromUtf8(name);
    if (fs::is_directory(path_))
        throw std::runtime_error(name + " is a directory, not a CSV file");
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + name);
    if (!fs::is_regular_file(path_)) {
        keepCopyOf(in);
        return;
    }
    try {
        utf8_ = ScanUtf8(in, nullptr);
    } catch (const std::runtime_error &error) {
        throw std::runtime_error("cannot read " + name + ": " + error.what());
    }
}

void CsvInput::keepCopyOf(std::istream &stream) {
    std::string writable = Utf8FromPath(fs::temp_directory_path() / "vrelmont-import-XXXXXX");
    const int descriptor = CreateUniqueFile(writable);
    if (descriptor < 0 || !WriteSyncAndClose(descriptor, {}))
        throw std::runtime_error("cannot make a temporary file for " + displayName_ + " in " +
                                 Utf8FromPath(fs::temp_directory_path()));
    path_ = PathFromUtf8(writable);
    temporary_ = true;
    try {
        std::ofstream copy(path_, std::ios::binary | std::ios::trunc);
        utf8_ = ScanUtf8(stream, &copy);
        copy.flush();
        if (!copy)
            throw std::runtime_error("cannot keep a copy of " + displayName_ + " in " + Utf8FromPath(path_));
    } catch (...) {
        std::error_code ignored;
        fs::remove(path_, ignored); // the destructor does not run for a constructor that throws
        throw;
    }
}

CsvInput::~CsvInput() {
    if (temporary_) {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
}

std::optional<std::string> DecodeField(std::string_view bytes, TextEncoding encoding, std::string &problem) {
    if (bytes.find('\0') != std::string_view::npos) {
        problem = "the value holds a NUL byte, which is no text";
        return std::nullopt;
    }
    if (encoding == TextEncoding::Utf8) {
        if (IsUtf8WithoutNul(bytes))
            return std::string(bytes);
        problem = "the value is not valid UTF-8 text (if the file was saved as windows-1250, give "
                  "--encoding windows-1250)";
        return std::nullopt;
    }
    for (const char c : bytes)
        if (IsUnassignedIn1250(static_cast<unsigned char>(c))) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(c));
            problem = std::string("the value holds byte ") + hex +
                      ", which is no character in windows-1250 (is the file in another encoding? "
                      "UTF-8 is read with --encoding utf-8)";
            return std::nullopt;
        }
    return Cp1250ToUtf8(bytes);
}

} // namespace vrelmont::cli
