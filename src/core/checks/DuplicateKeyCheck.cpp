#include "checks/DuplicateKeyCheck.h"

#include "checks/FieldNames.h"
#include "checks/ReportText.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace vrelmont {
namespace {

struct KeptKey {
    std::int32_t number = 0;
    std::string text;
};

// The kept key of the previous record and the key of the current one. The current record's values
// are read once, for the comparison, and copied into the kept key only where they differ from it;
// its text is compared as the walk holds it, without a copy.
class KeyPair {
public:
    // The table is open on the member's index: its key fields are resolved once, here.
    // `namesKept`: the first record of a run is named to a finding sink.
    // `readsRuns`: the walk reads its keys alone, and the records of a run through Int32ValueInRun.
    // Otherwise the first record is named by its record id, or, where the engine has none, by the
    // number read as the walk passes it.
    KeyPair(const DuplicateKeyMember &member, TBFTable &table, bool namesKept, bool readsRuns)
        : member_(member), table_(table), cislo_(table.fieldHandle(kFieldCislo)), keyCount_(member.keys.size()),
          namesKept_(namesKept), readsRuns_(readsRuns), keepsRecordId_(namesKept && !readsRuns && table.namesRecords()),
          readsKeptCislo_(namesKept && !readsRuns && !table.namesRecords() && !keyIsCislo(keyCount_ - 1)) {
        for (std::size_t k = 0; k < keyCount_; ++k) {
            fields_[k] = table.fieldHandle(member_.keys[k].name);
            text_[k] = member_.keys[k].type == KeyType::Text;
        }
    }

    // Keeps the current record's key: what the last comparison read and found equal is kept
    // already, what it found different is copied, the rest is read now.
    void keepCurrent() {
        if (currentRead_ > 0 && !lastReadEqual_) {
            const std::size_t k = currentRead_ - 1;
            if (isText(k))
                keepText(k, currentText_);
            else
                kept_[k].number = currentNumbers_[k];
        }
        for (std::size_t k = currentRead_; k < keyCount_; ++k) {
            if (isText(k))
                keepText(k, table_.textValue(fields_[k]));
            else
                kept_[k].number = table_.int32Value(fields_[k]);
        }
        currentRead_ = 0;
        if (keepsRecordId_)
            keptRecordId_ = table_.recordId();
        else if (readsKeptCislo_)
            keptCislo_ = table_.int32Value(cislo_);
    }

    // Compares the current record with the kept key; only equal fields let the next one be read.
    // A repeat that is a finding makes the run one record longer; anything else starts a new run
    // with the current record.
    bool currentRepeatsKept() {
        for (std::size_t k = 0; k < keyCount_; ++k) {
            currentRead_ = k + 1;
            if (isText(k)) {
                currentText_ = table_.textValue(fields_[k]);
                lastReadEqual_ = currentText_ == kept_[k].text;
            } else {
                currentNumbers_[k] = table_.int32Value(fields_[k]);
                lastReadEqual_ = currentNumbers_[k] == kept_[k].number;
            }
            if (!lastReadEqual_) {
                runLength_ = 1;
                return false;
            }
        }
        if (member_.skipsEmptyText && isText(keyCount_ - 1) && kept_[keyCount_ - 1].text.empty()) {
            runLength_ = 1;
            return false;
        }
        ++runLength_;
        readNumbers();
        return true;
    }

    const std::string &findingLine() {
        line_.clear();
        for (const LinePiece &piece : member_.findingLine) {
            switch (piece.kind) {
            case LinePiece::Kind::Text:
                line_ += piece.text;
                break;
            case LinePiece::Kind::KeptKey: {
                const KeptKey &kept = kept_[static_cast<std::size_t>(piece.key)];
                if (isText(static_cast<std::size_t>(piece.key)))
                    line_ += kept.text;
                else
                    AppendNumber(line_, kept.number);
                break;
            }
            case LinePiece::Kind::CurrentCislo:
                AppendNumber(line_, currentCislo_);
                break;
            }
        }
        return line_;
    }

    // After findingLine(): the finding with the record it names, the compared key and the line.
    Finding finding() const {
        const std::size_t last = keyCount_ - 1;
        Finding found{member_.checkBox, member_.table->name, {}, member_.keys[last].name, {}, line_};
        found.record = keptName(keyIsCislo(last) ? kept_[last].number : currentCislo_);
        if (isText(last))
            found.value = kept_[last].text;
        else
            AppendNumber(found.value, kept_[last].number);
        return found;
    }

    // The kept record, the first of its run: its number is read again only for a text key.
    RecordName keptRecord() {
        const std::size_t last = keyCount_ - 1;
        if (keyIsCislo(last))
            return keptName(kept_[last].number);
        if (readsRuns_ || readsKeptCislo_)
            return keptName(keptCislo_);
        return keptName(table_.valueOfRecord(keptRecordId_, kFieldCislo).toInt32());
    }

private:
    bool isText(std::size_t k) const { return text_[k]; }
    // The kept text's buffer is reused: appending to an empty string costs less than assigning.
    void keepText(std::size_t k, std::string_view text) {
        kept_[k].text.clear();
        kept_[k].text.append(text);
    }
    bool keyIsCislo(std::size_t k) const { return member_.keys[k].name == kFieldCislo; }

    // At a finding, the numbers of the records it names when the key is not the number itself: the
    // current record's, and for a finding sink the run's first record's too, in the run's order.
    void readNumbers() {
        if (keyIsCislo(keyCount_ - 1))
            return;
        if (!readsRuns_) {
            currentCislo_ = table_.int32Value(cislo_);
            return;
        }
        if (namesKept_ && runLength_ == 2)
            keptCislo_ = table_.Int32ValueInRun(cislo_, runLength_, 0);
        currentCislo_ = table_.Int32ValueInRun(cislo_, runLength_, runLength_ - 1);
    }

    // A record of the kept key's run: stock items carry the kept warehouse.
    RecordName keptName(std::int32_t number) const {
        RecordName name;
        if (member_.keys.front().name == kFieldSklad)
            name.warehouse = kept_[0].number;
        name.number = number;
        return name;
    }

    const DuplicateKeyMember &member_;
    TBFTable &table_;
    std::array<FieldHandle, 2> fields_;
    FieldHandle cislo_;
    std::size_t keyCount_;
    std::array<bool, 2> text_{};
    std::array<KeptKey, 2> kept_;
    // The current record's keys as the last comparison read them: the first `currentRead_`, the
    // last of which compared equal or not. A text stays valid until the walk moves.
    std::array<std::int32_t, 2> currentNumbers_{};
    std::string_view currentText_;
    std::size_t currentRead_ = 0;
    bool lastReadEqual_ = true;
    std::int64_t runLength_ = 1; // the records of the kept key's run so far, the current one included
    std::string line_;
    bool namesKept_;
    bool readsRuns_;
    bool keepsRecordId_;
    bool readsKeptCislo_;
    std::int64_t keptRecordId_ = 0;
    std::int32_t keptCislo_ = 0;
    std::int32_t currentCislo_ = 0;
};

// One run of equal keys, for a finding sink: handed over record by record as the walk finds them.
class RunOfEqualKeys {
public:
    explicit RunOfEqualKeys(FindingSink *sink) : sink_(sink) {}

    // The finding of the walk's current record, whose key repeats the kept one.
    void add(KeyPair &key) {
        if (!sink_)
            return;
        if (!open_)
            sink_->groupStarted(key.keptRecord());
        open_ = true;
        sink_->duplicateFinding(key.finding());
    }

    void close() {
        if (!sink_ || !open_)
            return;
        open_ = false;
        sink_->groupEnded();
    }

private:
    FindingSink *sink_;
    bool open_ = false;
};

} // namespace

bool RunDuplicateKeyCheck(const DuplicateKeyMember &member, RunHost &host, const RunContext &context,
                          TBFTable &walkTable) {
    WriteCheckHeader(host, member.title, member.underline);
    host.gauge().setProgress(0);
    host.ProcessEvents();
    if (!OpenIndexedTable(host, context, walkTable, *member.table, member.indexExpression))
        return false;

    // The walk needs no record's identity: the numbers of the records a finding names are read by run.
    const bool readsRuns = walkTable.walkKeysOnly();
    const std::int32_t count = walkTable.RecordCount();
    if (count >= 1) {
        walkTable.GoTop();
        host.gauge().setMaximum(count);
        FindingSink *const sink = host.findingSink();
        KeyPair key(member, walkTable, sink != nullptr, readsRuns);
        RunOfEqualKeys run(sink);
        int counter = 0;
        for (;;) {
            key.keepCurrent();
            if (walkTable.MoveNext() == kAnswerNoFurtherRecord)
                break;
            if (key.currentRepeatsKept()) {
                host.ReportLine(key.findingLine());
                run.add(key);
            } else {
                run.close();
            }
            CountRecord(host, counter, true);
            if (AbortSeen(host)) {
                run.close();
                return AbortCheck(host, {&walkTable});
            }
        }
        run.close();
    }
    return FinishCheck(host, walkTable);
}

} // namespace vrelmont
