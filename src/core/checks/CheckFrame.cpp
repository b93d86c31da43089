#include "checks/CheckFrame.h"

namespace vrelmont {

const CheckedTable kStockItemTable{"SKSEZZAS", "Nelze otevřít seznam skladových zásob.",
                                   "Nelze nastavit index skladových zásob."};
const CheckedTable kMasterCardTable{"SKKMKART", "Nelze otevřít seznam kmenových karet.",
                                    "Nelze nastavit index kmenových karet."};

void WriteCheckHeader(RunHost &host, std::string_view title, int underline) {
    host.ReportLine(std::string());
    host.ReportLine(std::string(title));
    host.ReportLine(std::string(static_cast<std::size_t>(underline), '='));
    host.ReportLine(std::string());
}

bool OpenIndexedTable(RunHost &host, const RunContext &context, TBFTable &table, const CheckedTable &which,
                      const std::string &indexExpression) {
    if (table.OpenTable(Variant::text(context.agendaDir + which.name)) != kAnswerDone) {
        host.ShowMessage(which.openFailure);
        table.CloseTable();
        return false;
    }
    if (table.SetIndex(indexExpression) != kAnswerDone) {
        host.ShowMessage(which.indexFailure);
        table.CloseTable();
        return false;
    }
    return true;
}

bool FinishCheck(RunHost &host, TBFTable &table) {
    FillGauge(host);
    host.ProcessEvents();
    table.CloseTable();
    return true;
}

bool AbortCheck(RunHost &host, std::initializer_list<TBFTable *> tables) {
    host.ReportLine(std::string());
    host.ReportLine(std::string(kAbortLine));
    FillGauge(host);
    for (TBFTable *table : tables)
        table->CloseTable();
    return false;
}

} // namespace vrelmont
