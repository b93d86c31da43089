#pragma once
// Which field of a table a column of a header row means: the field's own name, or the Czech word
// a person writes in a header row ("Číslo", "Čárový kód"), without regard to letter case, accents
// or blanks around the name.
#include "tablefiles/TableFiles.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace vrelmont::cli {

// The field's position in `table`; none for a column that holds something the table has no field for.
std::optional<std::size_t> FieldOfColumn(const TableDef &table, std::string_view name);

} // namespace vrelmont::cli
