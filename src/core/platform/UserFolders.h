#pragma once
// The folders a user's own files go to, as the platform names them.
#include <string>

namespace vrelmont {

// Where the program keeps the user's settings when its own directory cannot be written. Windows
// keeps them in the roaming application data (%APPDATA%\Vrelmont); elsewhere the desktop's
// configuration folder for the program, which the caller found (`desktopConfigFolder`), is used.
std::string UserSettingsFolder(const std::string &desktopConfigFolder);

} // namespace vrelmont
