#include "checks/CheckRun.h"

#include "checks/CheckList.h"

#include <chrono>

namespace vrelmont {

void WriteRunHeader(RunHost &host, const RunContext &context) {
    const std::string rule(35, '=');
    host.ReportLine(rule);
    host.ReportLine(kApplicationTitle);
    host.ReportLine("Agenda: " + context.agendaName);
    host.ReportLine("Datum: " + context.dateText);
    host.ReportLine(rule);
}

void WriteClosingLines(RunHost &host) {
    const std::string rule(10, '=');
    host.ReportLine(rule);
    host.ReportLine("Dokončeno");
    host.ReportLine(rule);
}

namespace {

// After an error the window must stay usable: idle buttons, no table left open.
void RecoverFromError(RunHost &host, TBFTable &walkTable, TBFTable &lookupTable) noexcept {
    // Each step on its own: the error that stopped the run is the one to report.
    try {
        host.SetRunState(false);
    } catch (...) {
    }
    for (TBFTable *table : {&walkTable, &lookupTable}) {
        try {
            table->CloseTable();
        } catch (...) {
        }
    }
}

} // namespace

bool RunChecks(RunHost &host, const RunContext &context, TBFTable &walkTable, TBFTable &lookupTable) {
    host.FocusReport();
    host.SetRunState(true);
    try {
        WriteRunHeader(host, context);
        host.ProcessEvents();
        FindingSink *const sink = host.findingSink();
        for (const int checkBox : kRunOrder) {
            // Read when the check's turn comes: the user may tick or untick boxes during the run.
            if (!host.IsChecked(checkBox))
                continue;
            if (sink)
                sink->checkStarted(checkBox);
            const auto started = std::chrono::steady_clock::now();
            const bool answer = RunCheck(checkBox, host, context, walkTable, lookupTable);
            if (sink)
                sink->checkEnded(checkBox, answer,
                                 std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
            if (!answer) {
                host.SetRunState(false);
                return false;
            }
        }
        host.SetRunState(false);
        WriteClosingLines(host);
        host.gauge().setProgress(0);
        return true;
    } catch (...) {
        RecoverFromError(host, walkTable, lookupTable);
        throw;
    }
}

} // namespace vrelmont
