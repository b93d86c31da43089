#include "location/AgendaListing.h"

#include "location/AgendaPattern.h"
#include "platform/FileIo.h"
#include "platform/Utf8Path.h"
#include "settings/TS3IniFile.h"
#include "text/PathText.h"
#include "text/TextFold.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vrelmont {
namespace fs = std::filesystem;

namespace {

bool IsDirectoryOrFile(const fs::directory_entry &entry) {
    std::error_code error;
    if (entry.is_directory(error))
        return true;
    return entry.is_regular_file(error);
}

} // namespace

bool NameOrderLess(const std::string &a, const std::string &b) {
    const std::string foldedA = FoldCase(a);
    const std::string foldedB = FoldCase(b);
    if (foldedA != foldedB)
        return foldedA < foldedB;
    return a < b;
}

std::vector<std::string> ListAgendaDirs(const std::string &dataRoot) {
    std::vector<std::string> names;
    std::error_code error;
    const fs::path root = dataRoot.empty() ? fs::path(".") : PathFromUtf8(dataRoot);
    fs::directory_iterator it(root, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = Utf8FromPath(it->path().filename());
        // A name that Windows would shorten (another system may have made it) leads to another folder.
        if (!MatchesAgendaPattern(name) || IsHiddenDirectoryEntry(*it) || !IsDirectoryOrFile(*it) ||
            !AmbiguousPathReason(name).empty())
            continue;
        names.push_back(name);
    }
    // The host's own file system yields a directory sorted by name; a Linux one yields its hash order.
    std::sort(names.begin(), names.end(), NameOrderLess);
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const auto &name : names)
        paths.push_back(NormalizeDirPath(dataRoot + name));
    return paths;
}

std::optional<std::size_t> FindPreselectedRow(const std::vector<std::string> &paths,
                                              const std::string &currentAgendaPath) {
    if (currentAgendaPath.empty())
        return std::nullopt;
    // On a case-sensitive file system two entries may differ in case only; the exact one is the agenda.
    for (std::size_t row = 0; row < paths.size(); ++row) {
        if (paths[row] == currentAgendaPath)
            return row;
    }
    std::optional<std::size_t> found;
    const std::string current = FoldCase(currentAgendaPath);
    for (std::size_t row = 0; row < paths.size(); ++row) {
        if (FoldCase(paths[row]) == current)
            found = row;
    }
    return found;
}

std::string ReadAgendaName(const std::string &agendaDir) {
    TS3IniFile settings(agendaDir + "AGENDA.INI");
    return settings.GetText("Údaje o firmě", "Název-obchodní", "");
}

AgendaListing ListAgendas(const std::string &dataRoot, const std::string &currentAgendaPath) {
    AgendaListing listing;
    listing.paths = ListAgendaDirs(dataRoot);
    listing.names.reserve(listing.paths.size());
    for (const auto &path : listing.paths)
        listing.names.push_back(ReadAgendaName(path));
    listing.preselectedRow = FindPreselectedRow(listing.paths, currentAgendaPath);
    return listing;
}

} // namespace vrelmont
