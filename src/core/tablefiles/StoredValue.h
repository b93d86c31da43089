#pragma once
// Values as a table file stores them and as the engine hands them out: SQLite's integers, reals,
// texts and nulls to and from Variants.
#include "engine/Variant.h"

#include <sqlite3.h>

#include <cstdint>
#include <limits>
#include <string>

namespace vrelmont {

inline bool FitsInt32(std::int64_t number) {
    return number >= std::numeric_limits<std::int32_t>::min() && number <= std::numeric_limits<std::int32_t>::max();
}

// Binds `value` to the statement's parameter; answers SQLite's result code.
int BindVariant(sqlite3_stmt *statement, int position, const Variant &value);

// The statement's column as a Variant: an integer beyond 32 bits as a real, a text that is not UTF-8
// as the host system's code page (windows-1250), null as empty.
Variant ColumnVariant(sqlite3_stmt *statement, int column);

// The column as a field declared as an integer holds it: a 32-bit integer or empty. Anything else
// (a larger number, a fraction, a text, a blob) is not rounded or read as something else: the answer
// is empty and `notInt32` says what is stored ("text \"12a\"").
Variant Int32FieldVariant(sqlite3_stmt *statement, int column, std::string &notInt32);

} // namespace vrelmont
