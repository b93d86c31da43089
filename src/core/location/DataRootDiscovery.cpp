#include "location/DataRootDiscovery.h"

#include "ini/IniFile.h"
#include "platform/Registry.h"
#include "platform/Utf8Path.h"
#include "text/PathText.h"

#include <filesystem>

namespace vrelmont {
namespace {

bool isFile(const std::string &path) {
    std::error_code error;
    return std::filesystem::is_regular_file(PathFromUtf8(path), error);
}

// Joins with one separator; an empty directory text becomes the separator alone (the root).
std::string joined(const std::string &directory, const std::string &name) {
    return WithTrailingSeparator(directory) + name;
}

} // namespace

std::string QueryProgramFilesDir() {
    return ReadLocalMachineString("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir").value_or("");
}

std::string FindHostSetupIni() {
    const std::string sep(1, kDirSeparator);
    const auto path = joined(QueryProgramFilesDir(), "CIGLER SOFTWARE" + sep + "Common Files" + sep + "setup.ini");
    return isFile(path) ? path : std::string();
}

std::string DiscoverDataRoot() {
    const auto setupIni = FindHostSetupIni();
    if (setupIni.empty())
        return {};
    const auto localPath = WithTrailingSeparator(IniFile(setupIni).GetText("InstParams", "LocalPath", ""));
    const auto monsIni = joined(localPath, "mons3.ini");
    if (!isFile(monsIni))
        return {};
    const auto dataRoot = WithTrailingSeparator(IniFile(monsIni).GetText("Directory", "DataRoot", ""));
    std::error_code error;
    return std::filesystem::is_directory(PathFromUtf8(dataRoot), error) ? dataRoot : std::string();
}

} // namespace vrelmont
