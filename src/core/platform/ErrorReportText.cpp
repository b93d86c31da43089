#include "platform/ErrorReportText.h"

namespace vrelmont {

std::string ErrorReportText(const std::string &message) {
    if (message.empty())
        return message;
    const auto last = static_cast<unsigned char>(message.back());
    if (last <= static_cast<unsigned char>('.'))
        return message;
    return message + ".";
}

} // namespace vrelmont
