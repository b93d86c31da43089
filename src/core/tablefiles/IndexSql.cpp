#include "tablefiles/IndexSql.h"

#include <vector>

namespace vrelmont {

// Byte by byte, whatever collation the column itself declares (a NOCASE column would otherwise be
// sorted outside the index, with equal-but-for-case texts mixed). Said only where needed: SQLite
// uses an index for a range of row values only without it.
std::string IndexSql::keyTerm(int column) const {
    const auto position = static_cast<std::size_t>(column);
    return QuoteSqlName(schema_.columns[position]) + (schema_.binaryColumns[position] ? "" : " COLLATE BINARY");
}

std::string IndexSql::keyList() const {
    std::string keys;
    for (int column : index_ ? index_->columns : std::vector<int>{})
        keys += (keys.empty() ? "" : ", ") + QuoteSqlName(schema_.columns[static_cast<std::size_t>(column)]);
    return keys;
}

std::string IndexSql::orderedSelect(const std::string &where, const std::string &what) const {
    std::string order;
    for (int column : index_ ? index_->columns : std::vector<int>{})
        order += keyTerm(column) + ", ";
    const std::string keys = keyList();
    const std::string identityAndKeys = keys.empty() ? "rowid" : "rowid, " + keys;
    std::string sql = "SELECT " + (what.empty() ? identityAndKeys : what) + " FROM " + QuoteSqlName(schema_.table);
    if (index_)
        sql += " INDEXED BY " + QuoteSqlName(index_->name);
    if (!where.empty())
        sql += " WHERE " + where;
    return sql + " ORDER BY " + order + "rowid";
}

std::string IndexSql::after() const {
    std::string left = "(", right = "(";
    for (int column : index_ ? index_->columns : std::vector<int>{}) {
        left += keyTerm(column) + ", ";
        right += "?, ";
    }
    return orderedSelect(left + "rowid) > " + right + "?)");
}

std::string IndexSql::equalTo(std::size_t keyCount) const {
    std::string equal;
    for (std::size_t i = 0; i < keyCount; ++i)
        equal += (i ? " AND " : "") + keyTerm(index_->columns[i]) + " = ?" + std::to_string(i + 1);
    return orderedSelect(equal);
}

std::string IndexSql::runOf(int column) const {
    std::string same;
    for (std::size_t i = 0; i < index_->columns.size(); ++i)
        same += (i ? " AND " : "") + keyTerm(index_->columns[i]) + " IS ?" + std::to_string(i + 1);
    return orderedSelect(same, QuoteSqlName(schema_.columns[static_cast<std::size_t>(column)])) + " LIMIT -1 OFFSET ?" +
           std::to_string(index_->columns.size() + 1);
}

} // namespace vrelmont
