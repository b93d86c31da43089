#include "common/WindowFont.h"

#include "platform/DesktopFonts.h"

#include <QFontDatabase>

namespace vrelmont::ui {
namespace {
// The 8-point size: 11 pixels at 96 dots per inch. Given in points, it grows with the screen's DPI.
constexpr qreal kPointSize = 8.25;
} // namespace

QFont WindowFont() {
    const QStringList families = WindowFontFamilies();
    QString family = families.last();
    for (const QString &candidate : families) {
        if (QFontDatabase::hasFamily(candidate)) {
            family = candidate;
            break;
        }
    }
    QFont font;
    font.setFamily(family);
    // DejaVu Sans has every Czech letter. Its condensed face at 11 pixels is as wide as the
    // ordinary one at 10, where the longest check box caption and the notice's first sentence
    // still fit their controls.
    if (family == QLatin1String("DejaVu Sans"))
        font.setStretch(QFont::SemiCondensed);
    font.setPointSizeF(kPointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace vrelmont::ui
