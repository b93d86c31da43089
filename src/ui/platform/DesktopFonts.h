#pragma once
#include <QStringList>

namespace vrelmont::ui {

// The faces the fixed-layout windows may be drawn with, best first: each has the Czech letters and
// is narrow enough at 11 pixels. The last is taken when the system has none of them.
QStringList WindowFontFamilies();

} // namespace vrelmont::ui
