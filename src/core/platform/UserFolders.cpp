#include "platform/UserFolders.h"

#ifdef _WIN32
#include "platform/WideText.h"

#include <shlobj.h>
#include <windows.h>
#endif

namespace vrelmont {

std::string UserSettingsFolder([[maybe_unused]] const std::string &desktopConfigFolder) {
#ifdef _WIN32
    PWSTR folder = nullptr;
    std::string path;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK)
        path = Utf8FromWide(folder, wcslen(folder)) + "\\Vrelmont";
    CoTaskMemFree(folder);
    // Without a profile folder the desktop's answer is still better than none.
    return path.empty() ? desktopConfigFolder : path;
#else
    return desktopConfigFolder;
#endif
}

} // namespace vrelmont
