#include "cli/AgendaRecords.h"

#include "cli/TableChoice.h"
#include "platform/Utf8Path.h"

namespace vrelmont::cli {

AgendaRecords::AgendaRecords(const std::filesystem::path &agendaDir)
    : cards_(Utf8FromPath(TableFileIn(agendaDir, MasterCardsTable())), MasterCardsTable(), RecordWriter::Mode::Bulk),
      stockItems_(Utf8FromPath(TableFileIn(agendaDir, StockItemsTable())), StockItemsTable(),
                  RecordWriter::Mode::Bulk) {}

void AgendaRecords::commit() {
    cards_.commit();
    stockItems_.commit();
}

} // namespace vrelmont::cli
