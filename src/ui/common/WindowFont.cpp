#include "common/WindowFont.h"

namespace vrelmont::ui {

QFont WindowFont() {
#ifdef _WIN32
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
#else
    // DejaVu Sans is much wider than the bitmap face: at 10 pixels the longest check box caption and
    // the first sentence of the notice still fit their controls.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
#endif
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace vrelmont::ui
