#include "cli/AgendaRecords.h"

#include "cli/TableChoice.h"

namespace vrelmont::cli {

AgendaRecords::AgendaRecords(const std::filesystem::path &agendaDir)
    : cards_(TableFileIn(agendaDir, MasterCardsTable()).string(), MasterCardsTable(), RecordWriter::Mode::Bulk),
      stockItems_(TableFileIn(agendaDir, StockItemsTable()).string(), StockItemsTable(), RecordWriter::Mode::Bulk) {}

void AgendaRecords::commit() {
    cards_.commit();
    stockItems_.commit();
}

} // namespace vrelmont::cli
