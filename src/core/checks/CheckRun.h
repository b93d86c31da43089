#pragma once
// The check run: Start's work, shared by the window and vrelmont-cli.
#include "checks/RunContext.h"
#include "checks/RunHost.h"
#include "engine/TBFTable.h"
#include "settings/ProgramValues.h"

namespace vrelmont {

// The whole run on the agenda that `context` names: writes the header, runs every ticked check in
// run order, stops at the first false answer, and writes the closing lines after a complete run.
// The host clears its abort request before it starts the run.
// Answers true when the run completed. Engine errors propagate to the caller (after the buttons
// have been returned to idle and the tables closed).
bool RunChecks(RunHost &host, const RunContext &context, TBFTable &walkTable, TBFTable &lookupTable);

// The run's five header lines, and the three closing lines of a complete run.
void WriteRunHeader(RunHost &host, const RunContext &context);
void WriteClosingLines(RunHost &host);

} // namespace vrelmont
