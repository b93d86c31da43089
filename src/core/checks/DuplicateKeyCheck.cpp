#include "checks/DuplicateKeyCheck.h"

#include "checks/FieldNames.h"
#include "checks/ReportText.h"

#include <array>
#include <cstdint>
#include <utility>

namespace vrelmont {
namespace {

struct KeyValue {
    std::int32_t number = 0;
    std::string text;
    bool read = false;
};

// The kept key of the previous record and the key of the current one. A value read from the
// current record for the comparison is kept for the next cycle instead of being read again.
class KeyPair {
public:
    // The table is open on the member's index: its key fields are resolved once, here. `namesKept`:
    // the kept record is named to a finding sink, by its record id where the engine has them.
    KeyPair(const DuplicateKeyMember &member, TBFTable &table, bool namesKept)
        : member_(member), table_(table), cislo_(table.Field(kFieldCislo)),
          namesRecords_(namesKept && table.NamesRecords()),
          readsKeptCislo_(namesKept && !namesRecords_ && !keyIsCislo(member.keys.size() - 1)) {
        for (std::size_t k = 0; k < member_.keys.size(); ++k)
            fields_[k] = table.Field(member_.keys[k].name);
    }

    // Keeps the current record's key: reads what the last comparison did not read already.
    void keepCurrent() {
        for (std::size_t k = 0; k < member_.keys.size(); ++k)
            if (!kept_[k].read)
                read(k, kept_[k]);
        if (namesRecords_)
            keptRecordId_ = table_.RecordId();
        else if (readsKeptCislo_)
            keptCislo_ = table_.Int32Value(cislo_);
    }

    // Compares the current record with the kept key; only equal fields let the next one be read.
    bool currentRepeatsKept() {
        for (KeyValue &value : current_)
            value.read = false;
        for (std::size_t k = 0; k < member_.keys.size(); ++k) {
            read(k, current_[k]);
            if (!equal(k))
                return false;
        }
        return !(member_.skipsEmptyText && kept_[member_.keys.size() - 1].text.empty() &&
                 member_.keys.back().type == KeyType::Text);
    }

    // The current record becomes the one before the next.
    void advance() { std::swap(kept_, current_); }

    const std::string &findingLine() {
        line_.clear();
        for (const LinePiece &piece : member_.findingLine) {
            switch (piece.kind) {
            case LinePiece::Kind::Text:
                line_ += piece.text;
                break;
            case LinePiece::Kind::KeptKey: {
                const KeyValue &kept = kept_[static_cast<std::size_t>(piece.key)];
                if (member_.keys[static_cast<std::size_t>(piece.key)].type == KeyType::Integer)
                    AppendNumber(line_, kept.number);
                else
                    line_ += kept.text;
                break;
            }
            case LinePiece::Kind::CurrentCislo:
                currentCislo_ = table_.Int32Value(cislo_);
                AppendNumber(line_, currentCislo_);
                break;
            }
        }
        return line_;
    }

    // After findingLine(): the finding with the record it names, the compared key and the line.
    Finding finding() const {
        const std::size_t last = member_.keys.size() - 1;
        Finding found{member_.checkBox, member_.table->name, {}, member_.keys[last].name, {}, line_};
        found.record = keptName(keyIsCislo(last) ? kept_[last].number : currentCislo_);
        if (member_.keys[last].type == KeyType::Integer)
            AppendNumber(found.value, kept_[last].number);
        else
            found.value = kept_[last].text;
        return found;
    }

    // The kept record, the first of its run: its number is read again only for a text key, and
    // only where the engine names records (else it was read as the walk went).
    RecordName keptRecord() {
        const std::size_t last = member_.keys.size() - 1;
        if (keyIsCislo(last))
            return keptName(kept_[last].number);
        if (!namesRecords_)
            return keptName(keptCislo_);
        return keptName(table_.ValueOfRecord(keptRecordId_, kFieldCislo).toInt32());
    }

private:
    bool keyIsCislo(std::size_t k) const { return member_.keys[k].name == kFieldCislo; }

    // A record of the kept key's run: stock items carry the kept warehouse.
    RecordName keptName(std::int32_t number) const {
        RecordName name;
        if (member_.keys.front().name == kFieldSklad)
            name.warehouse = kept_[0].number;
        name.number = number;
        return name;
    }

    void read(std::size_t k, KeyValue &into) {
        if (member_.keys[k].type == KeyType::Integer)
            into.number = table_.Int32Value(fields_[k]);
        else
            into.text.assign(table_.TextValue(fields_[k]));
        into.read = true;
    }

    bool equal(std::size_t k) const {
        if (member_.keys[k].type == KeyType::Integer)
            return current_[k].number == kept_[k].number;
        return current_[k].text == kept_[k].text;
    }

    const DuplicateKeyMember &member_;
    TBFTable &table_;
    std::array<FieldHandle, 2> fields_;
    FieldHandle cislo_;
    std::array<KeyValue, 2> kept_;
    std::array<KeyValue, 2> current_;
    std::string line_;
    bool namesRecords_;
    bool readsKeptCislo_;
    std::int64_t keptRecordId_ = 0;
    std::int32_t keptCislo_ = 0;
    std::int32_t currentCislo_ = 0;
};

// One run of equal keys, for a finding sink: its findings and its records, handed over when the
// run ends. Only the run the walk is on is held, never the table.
class RunOfEqualKeys {
public:
    explicit RunOfEqualKeys(FindingSink *sink) : sink_(sink) {}

    // The finding of the walk's current record, whose key repeats the kept one.
    void add(KeyPair &key) {
        if (!sink_)
            return;
        if (findings_.empty())
            group_.push_back(key.keptRecord());
        findings_.push_back(key.finding());
        group_.push_back(findings_.back().record);
    }

    void close() {
        if (!sink_ || findings_.empty())
            return;
        sink_->DuplicateGroup(findings_, group_);
        findings_.clear();
        group_.clear();
    }

private:
    FindingSink *sink_;
    std::vector<Finding> findings_;
    std::vector<RecordName> group_;
};

} // namespace

bool RunDuplicateKeyCheck(const DuplicateKeyMember &member, RunHost &host, const RunContext &context,
                          TBFTable &BFTable1) {
    WriteCheckHeader(host, member.title, member.underline);
    host.gauge().setProgress(0);
    host.ProcessEvents();
    if (!OpenIndexedTable(host, context, BFTable1, *member.table, member.indexExpression))
        return false;

    const std::int32_t count = BFTable1.RecordCount();
    if (count >= 1) {
        BFTable1.GoTop();
        host.gauge().setMaximum(count);
        FindingSink *const sink = host.findingSink();
        KeyPair key(member, BFTable1, sink != nullptr);
        RunOfEqualKeys run(sink);
        int counter = 0;
        for (;;) {
            key.keepCurrent();
            if (BFTable1.MoveNext() == kAnswerNoFurtherRecord)
                break;
            if (key.currentRepeatsKept()) {
                host.ReportLine(key.findingLine());
                run.add(key);
            } else {
                run.close();
            }
            key.advance();
            CountRecord(host, counter, true);
            if (AbortSeen(host)) {
                run.close();
                return AbortCheck(host, {&BFTable1});
            }
        }
        run.close();
    }
    return FinishCheck(host, BFTable1);
}

} // namespace vrelmont
