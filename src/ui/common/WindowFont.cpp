#include "common/WindowFont.h"

#include <QFontDatabase>

namespace vrelmont::ui {
namespace {
// The 8-point size: 11 pixels at 96 dots per inch. Given in points, it grows with the screen's DPI.
constexpr qreal kPointSize = 8.25;
} // namespace

QFont WindowFont() {
    QFont font;
#ifdef _WIN32
    // The TrueType twin of MS Sans Serif (the bitmap face has no 11-pixel size, and Qt would then
    // fall back to a serif face); Tahoma is as narrow. Under Wine neither may be seen, but the
    // host's DejaVu Sans is, narrowed as on Linux.
    for (const char *family : {"Microsoft Sans Serif", "Tahoma", "DejaVu Sans"}) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(family))) {
            font.setFamily(QString::fromLatin1(family));
            break;
        }
    }
    if (font.family() == QLatin1String("DejaVu Sans"))
        font.setStretch(QFont::SemiCondensed);
#else
    // DejaVu Sans has every Czech letter. Its condensed face at 11 pixels is as wide as the
    // ordinary one at 10, where the longest check box caption and the notice's first sentence
    // still fit their controls.
    font.setFamily(QStringLiteral("DejaVu Sans"));
    font.setStretch(QFont::SemiCondensed);
#endif
    font.setPointSizeF(kPointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace vrelmont::ui
