#pragma once
#include <string>

namespace vrelmont {

// The general error report's text: the message with a full stop appended, unless the message is
// empty or ends in a full stop or in a character that sorts before it (a space, "!", "," or ")").
std::string ErrorReportText(const std::string &message);

} // namespace vrelmont
