#pragma once
// The check run on several threads, for a host that shows the report as it comes but needs no
// answer from the user during a run (the command line). Independent checks run at the same time,
// each on table components of its own; their lines reach the host in the run order, exactly as the
// one-thread run writes them.
#include "checks/CheckList.h"
#include "checks/RunContext.h"
#include "checks/RunHost.h"

#include <string>
#include <vector>

namespace vrelmont {

struct ParallelRunResult {
    bool completed = false;
    // Why the tables of the check that stopped the run failed to open, when they did.
    std::vector<std::string> openErrors;
};

// RunChecks with up to `workers` checks at a time. The host's boxes are read once, at the start;
// everything the host is handed (lines, messages, findings) is handed on the calling thread, which
// also serves the host's events while it waits. The checks a stopped run would not have reached
// leave no trace. Engine errors propagate as in RunChecks, except that a check whose table another
// program changed under its read (TableChangedError) runs again, up to three times in all, and
// only its last attempt reaches the host. `runCheck` runs one check; tests put a stand-in there.
using CheckFunction = bool (*)(int checkBox, RunHost &host, const RunContext &context, TBFTable &walkTable,
                               TBFTable &lookupTable);
ParallelRunResult RunChecksInParallel(RunHost &host, const RunContext &context, unsigned workers,
                                      CheckFunction runCheck = RunCheck);

} // namespace vrelmont
