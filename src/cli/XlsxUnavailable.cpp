// The Windows build is made without libxlsxwriter: asking for a workbook is refused before the run.
#include "cli/XlsxFindings.h"

#include <stdexcept>

namespace vrelmont::cli {

bool XlsxAvailable() {
    return false;
}

std::unique_ptr<FindingsWriter> MakeXlsxFindings(const std::string &) {
    throw std::logic_error("MakeXlsxFindings without libxlsxwriter");
}

} // namespace vrelmont::cli
