#include "cli/DeferredText.h"

#include <stdexcept>

namespace vrelmont::cli {
namespace {

// Beyond this a temporary file takes the text; where none can be made, memory keeps it.
constexpr std::size_t kMemoryLimit = 4 << 20;

} // namespace

DeferredText::~DeferredText() {
    if (file_)
        std::fclose(file_);
}

void DeferredText::append(std::string_view text) {
    size_ += text.size();
    if (!file_ && !triedFile_ && memory_.size() + text.size() > kMemoryLimit) {
        triedFile_ = true;
        file_ = std::tmpfile();
    }
    if (file_ && !memory_.empty()) {
        std::fwrite(memory_.data(), 1, memory_.size(), file_);
        memory_.clear();
        memory_.shrink_to_fit();
    }
    if (file_) {
        if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
            throw std::runtime_error("nelze zapsat dočasný soubor s nálezy");
    } else {
        memory_ += text;
    }
}

void DeferredText::moveTo(FindingsStream &out) {
    if (file_) {
        std::rewind(file_);
        char buffer[1 << 16];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file_)) > 0;)
            out.write(std::string_view(buffer, got));
        std::fclose(file_);
        file_ = nullptr;
        triedFile_ = false;
    }
    out.write(memory_);
    memory_.clear();
    size_ = 0;
}

} // namespace vrelmont::cli
