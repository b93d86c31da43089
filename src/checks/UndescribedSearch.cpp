#include "checks/UndescribedSearch.h"

#include "checks/CheckFrame.h"
#include "checks/FieldNames.h"
#include "checks/ReportText.h"

namespace vrelmont {
namespace {

void ComposeFinding(std::string &line, UndescribedRecords which, TBFTable &table) {
    if (which == UndescribedRecords::Cards) {
        line = "Nalezena kmenová karta č. ";
        AppendNumber(line, table.Value(kFieldCislo).toInt32());
    } else {
        line = "Nalezena skladová zásoba č. ";
        AppendNumber(line, table.Value(kFieldCislo).toInt32());
        line += " ve skladu č. ";
        AppendNumber(line, table.Value(kFieldSklad).toInt32());
    }
    line += ", která nemá popis";
}

} // namespace

const char *UndescribedSearchTitle(UndescribedRecords which) {
    return which == UndescribedRecords::Cards ? "Hledání kmenových karet bez popisu:"
                                              : "Hledání skladových zásob bez popisu:";
}

bool RunUndescribedSearch(UndescribedRecords which, RunHost &host, TBFTable &BFTable1) {
    WriteCheckHeader(host, UndescribedSearchTitle(which), 30);
    // These searches do not count towards the number of records: the bar is only empty or full.
    host.gauge().setProgress(0);
    host.gauge().setMaximum(100);
    host.ProcessEvents();
    const CheckedTable &table = which == UndescribedRecords::Cards ? kMasterCardTable : kStockItemTable;
    if (!OpenIndexedTable(host, BFTable1, table, kFieldPopis))
        return false;

    if (BFTable1.RecordCount() >= 1) {
        BFTable1.GoTop();
        int counter = 0;
        std::string line;
        // The index puts the empty descriptions first, so the first description ends the search.
        while (BFTable1.Value(kFieldPopis).toText().empty()) {
            ComposeFinding(line, which, BFTable1);
            host.ReportLine(line);
            if (BFTable1.MoveNext() == kAnswerNoFurtherRecord)
                break;
            CountRecord(host, counter, false);
            if (AbortSeen())
                return AbortCheck(host, {&BFTable1});
        }
    }
    return FinishCheck(host, BFTable1);
}

} // namespace vrelmont
