#pragma once
// The check run: Start's work, shared by the window and vrelmont-cli.
#include "checks/RunHost.h"
#include "hostdb/TBFTable.h"

namespace vrelmont {

inline constexpr const char *kApplicationTitle = "Vrelmont";

// The whole run: clears AbortRequested, writes the header, runs every ticked check in run order,
// stops at the first false answer, and writes the closing lines after a complete run.
// Answers true when the run completed. Engine errors propagate to the caller (after the buttons
// have been returned to idle and the tables closed).
bool RunChecks(RunHost &host, TBFTable &BFTable1, TBFTable &BFTable2);

// The run's five header lines, and the three closing lines of a complete run.
void WriteRunHeader(RunHost &host);
void WriteClosingLines(RunHost &host);

} // namespace vrelmont
