#pragma once
// The findings as CSV for spreadsheets: one row a finding, and each group of equal keys once, as a
// group row with its key and a member row per record; findings name their group by its id.
#include "cli/FindingsWriter.h"

#include <memory>
#include <string>
#include <string_view>

namespace vrelmont::cli {

// `bom`: begin with the UTF-8 byte-order mark.
std::unique_ptr<FindingsWriter> MakeCsvFindings(FindingsStream &out, char delimiter, bool bom);

// One CSV field: quoted when it holds the delimiter, a quote or a line break.
void AppendCsvField(std::string &out, std::string_view text, char delimiter);

} // namespace vrelmont::cli
