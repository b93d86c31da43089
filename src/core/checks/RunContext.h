#pragma once
// What a check run is about: handed to the run driver by whoever starts the run (the main window or
// vrelmont-cli), never kept in a global.
#include <string>

namespace vrelmont {

struct RunContext {
    // The agenda's directory, ending in the directory separator; table names are appended directly.
    std::string agendaDir;
    // Its business name, shown in the report header.
    std::string agendaName;
    // Today's date as the report header shows it (the user's short date format in the window).
    std::string dateText;
};

} // namespace vrelmont
