#include "checks/MissingCardCheck.h"

#include "checks/CheckFrame.h"
#include "checks/FieldNames.h"
#include "checks/ReportText.h"

namespace vrelmont {
namespace {

void CloseBoth(TBFTable &BFTable1, TBFTable &BFTable2) {
    BFTable1.CloseTable();
    BFTable2.CloseTable();
}

} // namespace

bool RunMissingCardCheck(RunHost &host, const RunContext &context, TBFTable &BFTable1, TBFTable &BFTable2) {
    WriteCheckHeader(host, kMissingCardTitle, 29);
    host.gauge().setProgress(0);
    host.ProcessEvents();
    const std::string byNumber = kFieldCislo;
    if (!OpenIndexedTable(host, context, BFTable1, kStockItemTable, byNumber))
        return false;
    if (!OpenIndexedTable(host, context, BFTable2, kMasterCardTable, byNumber)) {
        BFTable1.CloseTable();
        return false;
    }

    const std::int32_t count = BFTable1.RecordCount();
    if (count >= 1) {
        BFTable1.GoTop();
        host.gauge().setMaximum(count);
        int counter = 0;
        std::string line;
        FindingSink *const sink = host.findingSink();
        for (;;) {
            // Every record is looked up on its own, also when its number repeats.
            const std::int32_t number = BFTable1.Value(kFieldCislo).toInt32();
            if (BFTable2.SeekKey(Variant::int32(number)) != kAnswerFound) {
                line = "Ke skladové zásobě č. ";
                AppendNumber(line, number);
                line += " neexistuje kmenová karta.";
                host.ReportLine(line);
                if (sink) {
                    // The line names no warehouse, but the record is a stock item of one.
                    const std::int32_t warehouse = BFTable1.Value(kFieldSklad).toInt32();
                    Finding found{2, kStockItemTable.name, {warehouse, number}, kFieldCislo, {}, line};
                    AppendNumber(found.value, number);
                    sink->SingleFinding(found);
                }
            }
            CountRecord(host, counter, true);
            if (AbortSeen(host))
                return AbortCheck(host, {&BFTable1, &BFTable2});
            if (BFTable1.MoveNext() == kAnswerNoFurtherRecord)
                break;
        }
    }
    CloseBoth(BFTable1, BFTable2);
    FillGauge(host);
    host.ProcessEvents();
    return true;
}

} // namespace vrelmont
