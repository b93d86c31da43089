#pragma once
// The missing master card check: every stock item record whose number has no master card.
#include "checks/RunContext.h"
#include "checks/RunHost.h"
#include "engine/TBFTable.h"

namespace vrelmont {

inline constexpr const char *kMissingCardTitle = "Kontrola existence kmenových karet:";

// Walks SKSEZZAS in BFTable1 and looks each number up among the cards in BFTable2.
bool RunMissingCardCheck(RunHost &host, const RunContext &context, TBFTable &BFTable1, TBFTable &BFTable2);

} // namespace vrelmont
