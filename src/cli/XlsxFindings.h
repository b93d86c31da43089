#pragma once
// The findings as a spreadsheet workbook: a summary sheet, then a sheet per check that ran, each
// group's records together under its id. Every value of the tables is a text cell, so that a spreadsheet keeps
// "0103", "1E5" and "1/4" as they are and never reads one as a number, a date or a formula.
#include "cli/FindingsWriter.h"

#include <memory>
#include <string>

namespace vrelmont::cli {

// Whether this build can write workbooks (the Windows build is made without libxlsxwriter).
bool XlsxAvailable();

// Creates the workbook at `path`; std::runtime_error when it cannot be created or written.
std::unique_ptr<FindingsWriter> MakeXlsxFindings(const std::string &path);

} // namespace vrelmont::cli
