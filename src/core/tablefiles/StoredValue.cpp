#include "tablefiles/StoredValue.h"

#include "tablefiles/SqliteHandle.h"
#include "text/Cp1250.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace vrelmont {

int BindVariant(sqlite3_stmt *statement, int position, const Variant &value) {
    switch (value.kind()) {
    case VariantKind::Empty:
        return sqlite3_bind_null(statement, position);
    case VariantKind::Text: {
        const auto text = value.toText();
        return sqlite3_bind_text(statement, position, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    case VariantKind::Int32:
        return sqlite3_bind_int(statement, position, value.toInt32());
    case VariantKind::Boolean:
        return sqlite3_bind_int(statement, position, value.toBoolean() ? 1 : 0);
    case VariantKind::Date:
    case VariantKind::Double:
        return sqlite3_bind_double(statement, position, value.toDouble());
    }
    return SQLITE_MISUSE;
}

Variant ColumnVariant(sqlite3_stmt *statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER: {
        const auto number = sqlite3_column_int64(statement, column);
        if (FitsInt32(number))
            return Variant::int32(static_cast<std::int32_t>(number));
        return Variant::real(static_cast<double>(number));
    }
    case SQLITE_FLOAT:
        return Variant::real(sqlite3_column_double(statement, column));
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        std::string text = ColumnText(statement, column);
        // Texts are UTF-8; one that is not was most likely written in the host system's own code page.
        if (!IsValidUtf8(text))
            text = Cp1250ToUtf8(text);
        return Variant::text(std::move(text));
    }
    default:
        return {};
    }
}

Variant Int32FieldVariant(sqlite3_stmt *statement, int column, std::string &notInt32) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER: {
        const auto number = sqlite3_column_int64(statement, column);
        if (FitsInt32(number))
            return Variant::int32(static_cast<std::int32_t>(number));
        notInt32 = std::to_string(number);
        return {};
    }
    case SQLITE_FLOAT: {
        const double number = sqlite3_column_double(statement, column);
        if (number == std::trunc(number) && number >= std::numeric_limits<std::int32_t>::min() &&
            number <= std::numeric_limits<std::int32_t>::max())
            return Variant::int32(static_cast<std::int32_t>(number));
        notInt32 = Variant::real(number).toText();
        return {};
    }
    case SQLITE_BLOB:
        notInt32 = "binární data (" + std::to_string(sqlite3_column_bytes(statement, column)) + " bajtů)";
        return {};
    default:
        notInt32 = "text \"" + ColumnVariant(statement, column).toText() + "\"";
        return {};
    }
}

} // namespace vrelmont
