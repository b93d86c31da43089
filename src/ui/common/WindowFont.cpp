#include "common/WindowFont.h"

#include <QFontDatabase>

namespace vrelmont::ui {

QFont WindowFont() {
#ifdef _WIN32
    // The TrueType twin of MS Sans Serif at the 8-point size's 11 pixels (the bitmap face has no
    // 11-pixel size, and Qt would then fall back to a serif face); Tahoma is as narrow. Under Wine
    // neither may be seen, but the host's DejaVu Sans is, at the size that fits as on Linux.
    struct Face {
        const char *family;
        int pixelSize;
    };
    constexpr Face kFaces[] = {{"Microsoft Sans Serif", 11}, {"Tahoma", 11}, {"DejaVu Sans", 10}};
    QFont font;
    font.setPixelSize(11);
    for (const Face &face : kFaces) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(face.family))) {
            font.setFamily(QString::fromLatin1(face.family));
            font.setPixelSize(face.pixelSize);
            break;
        }
    }
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
