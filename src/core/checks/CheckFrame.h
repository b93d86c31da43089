#pragma once
// The steps every check shares: its header block, opening and indexing its table with the
// failure messages, the progress and event pump every 20 records, the abort reaction.
#include "checks/RunContext.h"
#include "checks/RunHost.h"
#include "engine/TBFTable.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace vrelmont {

// A host table and the texts of its two failure messages.
struct CheckedTable {
    const char *name;
    const char *openFailure;
    const char *indexFailure;
};

extern const CheckedTable kStockItemTable;  // SKSEZZAS
extern const CheckedTable kMasterCardTable; // SKKMKART

inline constexpr std::string_view kAbortLine = "[ kontrola přerušena uživatelem ]";
// Window events are served (and the gauge moved) once per this many records.
inline constexpr int kRecordsPerEventPump = 20;

// An empty line, the title, `underline` "=" characters and an empty line.
void WriteCheckHeader(RunHost &host, std::string_view title, int underline);

// Opens the agenda directory + the table's name and selects `indexExpression`. On failure shows the
// table's message, closes the table and answers false.
bool OpenIndexedTable(RunHost &host, const RunContext &context, TBFTable &table, const CheckedTable &which,
                      const std::string &indexExpression);

inline bool AbortSeen(RunHost &host) {
    return host.AbortRequested();
}

// The user's abort: the empty line and the abort line, a full gauge, every table the check opened
// closed. Answers false, the check's answer.
bool AbortCheck(RunHost &host, std::initializer_list<TBFTable *> tables);

// One more record walked: every 20th serves window events and, for the counting checks, moves the
// gauge to the counter.
inline void CountRecord(RunHost &host, int &counter, bool movesGauge) {
    ++counter;
    if (counter % kRecordsPerEventPump != 0)
        return;
    host.ProcessEvents();
    if (movesGauge)
        host.gauge().setProgress(counter);
}

inline void FillGauge(RunHost &host) {
    host.gauge().setProgress(host.gauge().maximum());
}

// The normal end of a check on one table: a full gauge, pending events served, the table closed.
// Answers true, the check's answer.
bool FinishCheck(RunHost &host, TBFTable &table);

} // namespace vrelmont
