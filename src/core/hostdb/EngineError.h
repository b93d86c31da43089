#pragma once
#include <stdexcept>
#include <string>

namespace vrelmont {

// An error raised by an engine call itself, as opposed to a status answer.
// The text is the engine's description without trailing punctuation.
class EngineError : public std::runtime_error {
public:
    explicit EngineError(const std::string &description);
};

} // namespace vrelmont
