#pragma once
// Text from the tables on its way to a terminal: a stored ESC or NUL must not reach the terminal as
// a control sequence (moving the cursor, retitling the window, hiding what follows).
#include <string>
#include <string_view>

namespace vrelmont {

// `text` with every control character written as \xHH (C0 and DEL) or \u00HH (C1 in UTF-8). Tab
// stays; line feed and carriage return stay only with `keepLineEnds`.
std::string TerminalSafeText(std::string_view text, bool keepLineEnds);

} // namespace vrelmont
