#pragma once
// The agenda the user confirmed last. Empty until the first choice; the three parts are set
// together only when the user confirms an agenda. One object, owned by the program's windows.
#include <string>

namespace vrelmont {

struct CurrentAgenda {
    // The chosen agenda's directory, ending in the directory separator; table names are appended directly.
    std::string agendaDir;
    // Its business name, shown in the report header.
    std::string agendaName;
    // The DATA directory on which it was chosen, ending in the directory separator; saved at exit.
    std::string dataRoot;
};

} // namespace vrelmont
