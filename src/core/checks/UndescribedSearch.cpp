#include "checks/UndescribedSearch.h"

#include "checks/CheckFrame.h"
#include "checks/FieldNames.h"
#include "checks/ReportText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace vrelmont {
namespace {

// A field a finding reads, resolved at the first finding: a table without it fails only there.
class FindingField {
public:
    explicit FindingField(std::string name) : name_(std::move(name)) {}
    std::int32_t read(TBFTable &table) {
        if (!handle_)
            handle_ = table.fieldHandle(name_);
        return table.int32Value(*handle_);
    }

private:
    std::string name_;
    std::optional<FieldHandle> handle_;
};

struct FindingFields {
    FindingField cislo = FindingField(kFieldCislo);
    FindingField sklad = FindingField(kFieldSklad);
};

// The finding line; Cislo is read before Sklad, as the line names them.
Finding ComposeFinding(std::string &line, UndescribedRecords which, TBFTable &table, FindingFields &fields) {
    Finding found;
    found.record.number = fields.cislo.read(table);
    if (which == UndescribedRecords::Cards) {
        line = "Nalezena kmenová karta č. ";
        AppendNumber(line, found.record.number);
    } else {
        found.record.warehouse = fields.sklad.read(table);
        line = "Nalezena skladová zásoba č. ";
        AppendNumber(line, found.record.number);
        line += " ve skladu č. ";
        AppendNumber(line, *found.record.warehouse);
    }
    line += ", která nemá popis";
    return found;
}

} // namespace

const char *UndescribedSearchTitle(UndescribedRecords which) {
    return which == UndescribedRecords::Cards ? "Hledání kmenových karet bez popisu:"
                                              : "Hledání skladových zásob bez popisu:";
}

bool RunUndescribedSearch(UndescribedRecords which, RunHost &host, const RunContext &context, TBFTable &walkTable) {
    WriteCheckHeader(host, UndescribedSearchTitle(which), 30);
    // These searches do not count towards the number of records: the bar is only empty or full.
    host.gauge().setProgress(0);
    host.gauge().setMaximum(100);
    host.ProcessEvents();
    const CheckedTable &table = which == UndescribedRecords::Cards ? kMasterCardTable : kStockItemTable;
    if (!OpenIndexedTable(host, context, walkTable, table, kFieldPopis))
        return false;

    if (walkTable.RecordCount() >= 1) {
        walkTable.GoTop();
        int counter = 0;
        std::string line;
        FindingSink *const sink = host.findingSink();
        const FieldHandle popis = walkTable.fieldHandle(kFieldPopis);
        FindingFields fields;
        // The index puts the empty descriptions first, so the first description ends the search.
        while (walkTable.textValue(popis).empty()) {
            Finding found = ComposeFinding(line, which, walkTable, fields);
            host.ReportLine(line);
            if (sink) {
                // Named by the settings keys of their boxes, Check14 and Check15.
                found.checkBox = which == UndescribedRecords::Cards ? 14 : 15;
                found.table = table.name;
                found.field = kFieldPopis;
                found.text = line;
                sink->singleFinding(found);
            }
            if (walkTable.MoveNext() == kAnswerNoFurtherRecord)
                break;
            CountRecord(host, counter, false);
            if (AbortSeen(host))
                return AbortCheck(host, {&walkTable});
        }
    }
    return FinishCheck(host, walkTable);
}

} // namespace vrelmont
