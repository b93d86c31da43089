#pragma once
// The twelve duplicate-key checks: one walk that compares each record with its neighbour before it
// in index order, driven by a description of each member.
#include "checks/CheckFrame.h"

#include <string>
#include <vector>

namespace vrelmont {

enum class KeyType { Integer, Text };

struct KeyField {
    std::string name;
    KeyType type;
};

// A piece of a finding line: fixed text, a kept key value, or the current record's Cislo.
struct LinePiece {
    enum class Kind { Text, KeptKey, CurrentCislo };
    Kind kind;
    const char *text = nullptr; // Kind::Text
    int key = 0;                // Kind::KeptKey: index into the member's keys
};

struct DuplicateKeyMember {
    int checkBox;
    const CheckedTable *table;
    std::string indexExpression;
    std::vector<KeyField> keys; // compared in this order; a later one only while the earlier are equal
    const char *title;
    int underline;
    std::vector<LinePiece> findingLine;
    bool skipsEmptyText; // a pair whose kept text (the last key) is empty is no finding
};

// The members in the order of their settings keys; nullptr when the box enables no such member.
const DuplicateKeyMember *DuplicateKeyMemberFor(int checkBox);

bool RunDuplicateKeyCheck(const DuplicateKeyMember &member, RunHost &host, const RunContext &context,
                          TBFTable &walkTable);

} // namespace vrelmont
