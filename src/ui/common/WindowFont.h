#pragma once
#include <QFont>

namespace vrelmont::ui {

// The font of the program's fixed-layout windows: 8 points, 11 pixels high at 96 dots per inch and
// scaled with the screen's DPI, in a face with the Czech letters that is narrow enough for the
// captions to fit the places the windows were drawn with.
QFont WindowFont();

} // namespace vrelmont::ui
