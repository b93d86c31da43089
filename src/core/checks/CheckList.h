#pragma once
// The fifteen checks in run order, each named by the number of the check box that enables it.
#include "checks/RunContext.h"
#include "checks/RunHost.h"
#include "engine/TBFTable.h"

#include <array>
#include <string_view>

namespace vrelmont {

// Down the left column of boxes, then down the right one: not the numeric order.
inline constexpr std::array<int, 15> kRunOrder{1, 3, 2, 14, 15, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

// The title line of the check that CheckBox`checkBox` (1..15) enables.
std::string_view CheckTitle(int checkBox);
// The title without its closing colon, as a heading of its own (summaries, tables, sheets).
std::string_view CheckTitleWithoutColon(int checkBox);
// The table whose records the check names (the missing master card check names stock items).
std::string_view CheckTableName(int checkBox);

// The field whose values the check compares or names (Cislo, Popis, BarCode, ...).
std::string_view CheckKeyField(int checkBox);
// A stable English name of the check for programs ("duplicate-stock-number", "missing-card").
std::string_view CheckId(int checkBox);
// Whether the check's findings need not be errors: the eight checks with blue captions.
bool FindingsNeedNotBeErrors(int checkBox);

// Runs the check that CheckBox`checkBox` enables; answers false when the run must stop.
bool RunCheck(int checkBox, RunHost &host, const RunContext &context, TBFTable &walkTable, TBFTable &lookupTable);

} // namespace vrelmont
