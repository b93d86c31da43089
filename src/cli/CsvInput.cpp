#include "cli/CsvInput.h"

#include "cli/CliSupport.h"
#include "cli/Csv.h"
#include "cli/Utf16Text.h"
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

// Reads all of `in` into `guess`, also writing it to `copy` when given.
void Scan(std::istream &in, EncodingGuess &guess, std::ostream *copy) {
    std::array<char, kChunk> buffer{};
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0)
            break;
        if (copy && !copy->write(buffer.data(), static_cast<std::streamsize>(got)))
            throw std::runtime_error("kopii standardního vstupu nelze uložit do dočasné složky");
        guess.feed(std::string_view(buffer.data(), got));
    }
    if (in.bad())
        throw std::runtime_error("chyba čtení");
}

} // namespace

TextEncoding ParseEncodingOption(const std::string &text) {
    if (text == "utf-8" || text == "UTF-8" || text == "utf8")
        return TextEncoding::Utf8;
    if (text == "windows-1250" || text == "cp1250" || text == "CP1250")
        return TextEncoding::Windows1250;
    throw UsageError("--encoding přijímá utf-8 nebo windows-1250, ne \"" + text + "\"");
}

char ParseSeparatorOption(const std::string &text) {
    if (text == "," || text == ";")
        return text.front();
    if (text == "tab" || text == "\t")
        return '\t';
    throw UsageError("--delimiter přijímá \",\", \";\" nebo tab, ne \"" + text + "\"");
}

std::string SeparatorName(char separator) {
    return separator == '\t' ? std::string("tab") : "\"" + std::string(1, separator) + "\"";
}

CsvInput::CsvInput(const std::string &name) {
    std::ifstream file;
    std::istream *in = &std::cin;
    if (name == "-") {
        displayName_ = "standardní vstup";
    } else {
        displayName_ = name;
        path_ = PathFromUtf8(name);
        if (fs::is_directory(path_))
            throw std::runtime_error(name + " je složka, ne soubor CSV");
        file.open(path_, std::ios::binary);
        if (!file)
            throw std::runtime_error(name + " nelze přečíst");
        in = &file;
    }
    char start[3] = {};
    in->read(start, 3);
    const std::string_view head(start, static_cast<std::size_t>(in->gcount()));
    byteOrderMark_ = head == kUtf8Bom;
    if (head.substr(0, 2) == "\xFF\xFE" || head.substr(0, 2) == "\xFE\xFF")
        utf16_ = head[0] == '\xFF' ? "UTF-16LE" : "UTF-16BE";
    if (name == "-" || !fs::is_regular_file(path_) || !utf16_.empty()) {
        keepCopyOf(*in, head);
        return;
    }
    try {
        guess_.feed(head);
        Scan(*in, guess_, nullptr);
    } catch (const std::runtime_error &error) {
        throw std::runtime_error(name + " nelze přečíst: " + error.what());
    }
}

TextEncoding CsvInput::encoding() const {
    return !utf16_.empty() || byteOrderMark_ ? TextEncoding::Utf8 : guess_.encoding();
}

std::string CsvInput::encodingNote() const {
    const std::string taken = displayName_ + " se čte jako ";
    if (!utf16_.empty())
        return taken + utf16_ + " (podle značky pořadí bajtů)";
    if (byteOrderMark_)
        return taken + "UTF-8 (podle značky pořadí bajtů)";
    if (guess_.encoding() == TextEncoding::Utf8)
        return taken + "UTF-8";
    if (!guess_.validUtf8())
        return taken + "windows-1250 (není to platné UTF-8)";
    return taken + "windows-1250: jako UTF-8 by obsahoval znak " + guess_.giveaway() +
           ", který české ani slovenské texty nemají (UTF-8 vynutí --encoding utf-8)";
}

void CsvInput::keepCopyOf(std::istream &stream, std::string_view head) {
    std::string writable = Utf8FromPath(fs::temp_directory_path() / "vrelmont-import-XXXXXX");
    const int descriptor = CreateUniqueFile(writable);
    if (descriptor < 0 || !WriteSyncAndClose(descriptor, {}))
        throw std::runtime_error("pro " + displayName_ + " nelze vytvořit dočasný soubor ve složce " +
                                 Utf8FromPath(fs::temp_directory_path()));
    path_ = PathFromUtf8(writable);
    temporary_ = true;
    try {
        std::ofstream copy(path_, std::ios::binary | std::ios::trunc);
        if (!utf16_.empty()) {
            CopyUtf16AsUtf8(head.substr(2), stream, copy, utf16_ == "UTF-16BE");
        } else {
            copy.write(head.data(), static_cast<std::streamsize>(head.size()));
            guess_.feed(head);
            Scan(stream, guess_, &copy);
        }
        copy.flush();
        if (!copy)
            throw std::runtime_error(displayName_ + ": kopii nelze uložit do " + Utf8FromPath(path_));
    } catch (const std::runtime_error &error) {
        std::error_code ignored;
        fs::remove(path_, ignored); // the destructor does not run for a constructor that throws
        throw std::runtime_error(displayName_ + " nelze přečíst: " + error.what());
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
        problem = "hodnota obsahuje bajt NUL, který není text";
        return std::nullopt;
    }
    if (encoding == TextEncoding::Utf8) {
        if (IsUtf8WithoutNul(bytes))
            return std::string(bytes);
        problem = "hodnota není platný text v UTF-8 (je-li soubor uložen ve windows-1250, zadejte "
                  "--encoding windows-1250)";
        return std::nullopt;
    }
    for (const char c : bytes)
        if (IsUnassignedInWindows1250(static_cast<unsigned char>(c))) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(c));
            problem = std::string("hodnota obsahuje bajt ") + hex +
                      ", který ve windows-1250 není znakem (není soubor v jiném kódování? "
                      "UTF-8 se čte s --encoding utf-8)";
            return std::nullopt;
        }
    return Cp1250ToUtf8(bytes);
}

} // namespace vrelmont::cli
