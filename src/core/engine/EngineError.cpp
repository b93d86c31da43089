#include "engine/EngineError.h"

#include <cctype>

namespace vrelmont {
namespace {
std::string withoutTrailingPunctuation(std::string text) {
    while (!text.empty() && (std::ispunct(static_cast<unsigned char>(text.back())) ||
                             std::isspace(static_cast<unsigned char>(text.back()))))
        text.pop_back();
    return text;
}
} // namespace

EngineError::EngineError(const std::string &description)
    : std::runtime_error(withoutTrailingPunctuation(description)) {}

} // namespace vrelmont
