#include "platform/DesktopFonts.h"

namespace vrelmont::ui {

QStringList WindowFontFamilies() {
#ifdef _WIN32
    // The TrueType twin of MS Sans Serif (the bitmap face has no 11-pixel size, and Qt would then
    // fall back to a serif face); Tahoma is as narrow. Under Wine neither may be seen, but the
    // host's DejaVu Sans is.
    return {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")};
#else
    return {QStringLiteral("DejaVu Sans")};
#endif
}

} // namespace vrelmont::ui
