#pragma once
// The current agenda, shared by the whole program. All three are empty until the user
// confirms an agenda, and are set together only then.
#include <string>

namespace vrelmont {

// The chosen agenda's directory, ending in the directory separator; table names are appended directly.
inline std::string AgendaTablePath;
// Its business name, shown in the report header.
inline std::string AgendaName;
// The DATA directory on which it was chosen, ending in the directory separator; saved at exit.
inline std::string DataRootPath;

} // namespace vrelmont
