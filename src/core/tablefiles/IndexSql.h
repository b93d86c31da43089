#pragma once
// The SQL text of the statements that walk a table in the order of one of its indexes, or in stored
// order without one. Only text: the cursor prepares and runs the statements.
#include "tablefiles/TableSchema.h"

#include <cstddef>
#include <string>

namespace vrelmont {

class IndexSql {
public:
    // `index` null: stored order. Both must outlive this object.
    IndexSql(const TableSchema &schema, const TableSchema::Index *index) : schema_(schema), index_(index) {}

    // A key field as the index compares it, for ORDER BY and comparisons.
    std::string keyTerm(int column) const;
    // The index's key fields, as a select list: "Sklad, Cislo".
    std::string keyList() const;
    // The records that match `where` (all when empty) in index order, then by record number. `what`
    // is the select list; empty for the record number and the keys.
    std::string orderedSelect(const std::string &where, const std::string &what = std::string()) const;
    // The records after the one whose keys and record number are bound (?1…), in index order.
    std::string after() const;
    // The records whose first `keyCount` keys equal the values bound (?1…).
    std::string equalTo(std::size_t keyCount) const;
    // `column` of the records that store the keys bound (?1…), from the one the last parameter
    // counts (0: the first of them).
    std::string runOf(int column) const;

private:
    const TableSchema &schema_;
    const TableSchema::Index *index_;
};

} // namespace vrelmont
