#pragma once
// Finding the agendas under a DATA directory: the entries that match "AGENDA.*" and their
// business names. No window is involved here, so the listing is shared by every caller.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vrelmont {

// The paths of the entries of `dataRoot` that match "AGENDA.*", directories and ordinary files,
// hidden entries skipped, sorted by name (NameOrderLess), as the host's file system lists them. Each
// path is NormalizeDirPath(dataRoot + name). `dataRoot` ends in the separator; empty means the current
// directory. A data root that does not exist or cannot be read gives no paths. All matches are listed.
std::vector<std::string> ListAgendaDirs(const std::string &dataRoot);

// The order of entry names: without regard to letter case, then byte by byte (UTF-8), so that names
// differing only in case keep a fixed order.
bool NameOrderLess(const std::string &a, const std::string &b);

// The row whose path is `currentAgendaPath`: the same text wins; otherwise the last path that is
// equal without regard to letter case. None for an empty current path or no such path.
std::optional<std::size_t> FindPreselectedRow(const std::vector<std::string> &paths,
                                              const std::string &currentAgendaPath);

// The agenda's business name from its settings ("AGENDA.INI" or the table AGENDA.DAT beside it);
// empty when the settings, the section or the key are missing or unreadable. Throws the engine's
// error when the settings table exists but the engine cannot be reached.
std::string ReadAgendaName(const std::string &agendaDir);

struct AgendaListing {
    std::vector<std::string> paths; // normalised directory paths, one per row
    std::vector<std::string> names; // business names, same order; empty when unknown
    std::optional<std::size_t> preselectedRow;
};

// The whole listing: paths, their names and the preselected row. An engine error while a settings
// store is created ends the listing and reaches the caller.
AgendaListing ListAgendas(const std::string &dataRoot, const std::string &currentAgendaPath);

} // namespace vrelmont
