#pragma once
#include <QFont>

namespace vrelmont::ui {

// The font of the program's fixed-layout windows. Their pixel positions were drawn for a narrow
// 8-point face; where that face is missing, a size is taken at which every caption still fits.
QFont WindowFont();

} // namespace vrelmont::ui
