#pragma once
// Stepping the statements that read a table file, and the errors that name the table: "Tabulka
// <path>: …". A failure to read because another program changed the file under the read is a
// TableChangedError, which the check run answers by reading again.
#include "tablefiles/SqliteHandle.h"

#include <string>

namespace vrelmont {

// Throws EngineError "Tabulka <path>: <what>".
[[noreturn]] void FailTable(const SqliteHandle &db, const std::string &what);
// Throws SQLite's failure `code` as FailTable does, or as TableChangedError when the file changed
// under the read. Declared bool so that StepRow can call it in its condition.
[[noreturn]] bool FailTableStep(const SqliteHandle &db, int code);

// The next row of `statement`: false at its end. Inline: every record of a walk passes here.
inline bool StepRow(const SqliteHandle &db, sqlite3_stmt *statement) {
    const int code = sqlite3_step(statement);
    return code == SQLITE_ROW || (code != SQLITE_DONE && FailTableStep(db, code));
}

} // namespace vrelmont
