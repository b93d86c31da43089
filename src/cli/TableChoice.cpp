#include "cli/TableChoice.h"

#include "cli/CliSupport.h"

#include <algorithm>
#include <cctype>

namespace vrelmont::cli {

const TableDef &RecordTableNamed(const std::string &name) {
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    for (const TableDef *table : {&MasterCardsTable(), &StockItemsTable()})
        if (table->name == upper)
            return *table;
    throw UsageError("neznámá tabulka \"" + name + "\" (zadejte SKKMKART nebo SKSEZZAS)");
}

std::filesystem::path TableFileIn(const std::filesystem::path &agendaDir, const TableDef &table) {
    return agendaDir / (table.name + ".DAT");
}

} // namespace vrelmont::cli
