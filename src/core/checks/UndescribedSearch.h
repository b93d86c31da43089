#pragma once
// The undescribed record searches: the records at the start of the "Popis" index whose description
// is empty. They stop at the first record that has one.
#include "checks/RunContext.h"
#include "checks/RunHost.h"
#include "engine/TBFTable.h"

namespace vrelmont {

enum class UndescribedRecords { Cards, StockItems };

const char *UndescribedSearchTitle(UndescribedRecords which);

bool RunUndescribedSearch(UndescribedRecords which, RunHost &host, const RunContext &context, TBFTable &walkTable);

} // namespace vrelmont
