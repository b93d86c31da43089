#pragma once
// The missing master card check: every stock item record whose number has no master card.
#include "checks/RunContext.h"
#include "checks/RunHost.h"
#include "engine/TBFTable.h"

namespace vrelmont {

inline constexpr const char *kMissingCardTitle = "Kontrola existence kmenových karet:";

// Walks SKSEZZAS in walkTable and looks each number up among the cards in lookupTable.
bool RunMissingCardCheck(RunHost &host, const RunContext &context, TBFTable &walkTable, TBFTable &lookupTable);

} // namespace vrelmont
