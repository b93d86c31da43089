#include "tablefiles/TableRead.h"

#include "engine/EngineError.h"
#include "tablefiles/ReadOnlyVfs.h"

namespace vrelmont {

void FailTable(const SqliteHandle &db, const std::string &what) {
    throw EngineError("Tabulka " + db.path() + ": " + what);
}

bool FailTableStep(const SqliteHandle &db, int code) {
    const std::string what = "Tabulka " + db.path() + ": " + DescribeSqliteError(db.get(), code, db.path());
    if (ReadOnlyFileChangedUnderRead(db.get()))
        throw TableChangedError(what);
    throw EngineError(what);
}

} // namespace vrelmont
