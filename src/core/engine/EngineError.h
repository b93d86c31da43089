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

// Another program changed a table while it was being read, and no lock could have kept it out:
// what was read may mix two states. Reading the table again from its start gives one state.
class TableChangedError : public EngineError {
public:
    using EngineError::EngineError;
};

} // namespace vrelmont
