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
    KeyPair(const DuplicateKeyMember &member, TBFTable &table) : member_(member), table_(table) {}

    // Keeps the current record's key: reads what the last comparison did not read already.
    void keepCurrent() {
        for (std::size_t k = 0; k < member_.keys.size(); ++k)
            if (!kept_[k].read)
                read(k, kept_[k]);
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
                AppendNumber(line_, table_.Value(kFieldCislo).toInt32());
                break;
            }
        }
        return line_;
    }

private:
    void read(std::size_t k, KeyValue &into) {
        const KeyField &field = member_.keys[k];
        if (field.type == KeyType::Integer)
            into.number = table_.Value(field.name).toInt32();
        else
            into.text = table_.Value(field.name).toText();
        into.read = true;
    }

    bool equal(std::size_t k) const {
        if (member_.keys[k].type == KeyType::Integer)
            return current_[k].number == kept_[k].number;
        return current_[k].text == kept_[k].text;
    }

    const DuplicateKeyMember &member_;
    TBFTable &table_;
    std::array<KeyValue, 2> kept_;
    std::array<KeyValue, 2> current_;
    std::string line_;
};

} // namespace

bool RunDuplicateKeyCheck(const DuplicateKeyMember &member, RunHost &host, TBFTable &BFTable1) {
    WriteCheckHeader(host, member.title, member.underline);
    host.gauge().setProgress(0);
    host.ProcessEvents();
    if (!OpenIndexedTable(host, BFTable1, *member.table, member.indexExpression))
        return false;

    const std::int32_t count = BFTable1.RecordCount();
    if (count >= 1) {
        BFTable1.GoTop();
        host.gauge().setMaximum(count);
        KeyPair key(member, BFTable1);
        int counter = 0;
        for (;;) {
            key.keepCurrent();
            if (BFTable1.MoveNext() == kAnswerNoFurtherRecord)
                break;
            if (key.currentRepeatsKept())
                host.ReportLine(key.findingLine());
            key.advance();
            CountRecord(host, counter, true);
            if (AbortSeen())
                return AbortCheck(host, {&BFTable1});
        }
    }
    return FinishCheck(host, BFTable1);
}

} // namespace vrelmont
