#pragma once
// The host tables that the data tools write, chosen by name.
#include "tablefiles/TableFiles.h"

#include <filesystem>
#include <string>

namespace vrelmont::cli {

// SKKMKART or SKSEZZAS, letter case ignored; UsageError for any other name.
const TableDef &RecordTableNamed(const std::string &name);

// The table's file in an agenda directory: DIR/<table>.DAT.
std::filesystem::path TableFileIn(const std::filesystem::path &agendaDir, const TableDef &table);

} // namespace vrelmont::cli
