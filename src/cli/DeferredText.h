#pragma once
// Text that must come after text still being written (a check's groups after its findings): kept in
// memory while small, then in a temporary file, so that a group of a million records costs no memory.
#include "cli/FindingsWriter.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace vrelmont::cli {

class DeferredText {
public:
    DeferredText() = default;
    ~DeferredText();
    DeferredText(const DeferredText &) = delete;
    DeferredText &operator=(const DeferredText &) = delete;

    void append(std::string_view text);
    bool empty() const { return size_ == 0; }
    // Writes everything kept to `out` and starts empty again.
    void moveTo(FindingsStream &out);

private:
    std::string memory_;
    std::FILE *file_ = nullptr;
    bool triedFile_ = false; // a temporary file was asked for (and may have been refused)
    std::size_t size_ = 0;
};

} // namespace vrelmont::cli
