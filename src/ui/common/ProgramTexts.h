#pragma once
// The texts that several windows and dialogs show alike: the application title and the maker's rows.
// The one small part of the program's common UI that the windows and dialogs reach for, so that
// no window or dialog includes another one or the checks for a text.
#include "settings/ProgramValues.h"

#include <QString>

namespace vrelmont::ui {

// The title of every message box and of the main window.
inline QString ApplicationTitle() {
    return QString::fromUtf8(kApplicationTitle);
}

// The maker's rows of the information window; the support address also ends the engine test's message.
inline constexpr const char *kMakerCopyright = "© 2026 Vrelmont";
inline constexpr const char *kMakerEmail = "podpora@vrelmont.cz";
inline constexpr const char *kMakerWebAddress = "https://www.vrelmont.cz";

} // namespace vrelmont::ui
