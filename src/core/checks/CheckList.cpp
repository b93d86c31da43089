#include "checks/CheckList.h"

#include "checks/DuplicateKeyCheck.h"
#include "checks/FieldNames.h"
#include "checks/MissingCardCheck.h"
#include "checks/UndescribedSearch.h"

#include <array>
#include <stdexcept>
#include <string>

namespace vrelmont {
namespace {

constexpr int kMissingCardBox = 2;
constexpr int kUndescribedCardsBox = 14;
constexpr int kUndescribedStockItemsBox = 15;

const DuplicateKeyMember &MemberFor(int checkBox) {
    const DuplicateKeyMember *member = DuplicateKeyMemberFor(checkBox);
    if (!member)
        throw std::invalid_argument("No check belongs to check box " + std::to_string(checkBox));
    return *member;
}

} // namespace

std::string_view CheckId(int checkBox) {
    static constexpr std::array<std::string_view, 16> ids{"",
                                                          "duplicate-stock-number",
                                                          "missing-card",
                                                          "duplicate-card-number",
                                                          "duplicate-card-plu",
                                                          "duplicate-stock-plu",
                                                          "duplicate-card-catalogue-number",
                                                          "duplicate-stock-catalogue-number",
                                                          "duplicate-card-bar-code",
                                                          "duplicate-stock-bar-code",
                                                          "duplicate-card-abbreviation",
                                                          "duplicate-stock-abbreviation",
                                                          "duplicate-card-description",
                                                          "duplicate-stock-description",
                                                          "card-without-description",
                                                          "stock-without-description"};
    if (checkBox < 1 || checkBox > 15)
        throw std::invalid_argument("No check belongs to check box " + std::to_string(checkBox));
    return ids[static_cast<std::size_t>(checkBox)];
}

std::string_view CheckKeyField(int checkBox) {
    switch (checkBox) {
    case kMissingCardBox:
        return kFieldCislo;
    case kUndescribedCardsBox:
    case kUndescribedStockItemsBox:
        return kFieldPopis;
    default:
        return MemberFor(checkBox).keys.back().name;
    }
}

bool FindingsNeedNotBeErrors(int checkBox) {
    return checkBox >= 6 && checkBox <= 13;
}

std::string_view CheckTitle(int checkBox) {
    switch (checkBox) {
    case kMissingCardBox:
        return kMissingCardTitle;
    case kUndescribedCardsBox:
        return UndescribedSearchTitle(UndescribedRecords::Cards);
    case kUndescribedStockItemsBox:
        return UndescribedSearchTitle(UndescribedRecords::StockItems);
    default:
        return MemberFor(checkBox).title;
    }
}

std::string_view CheckTitleWithoutColon(int checkBox) {
    std::string_view title = CheckTitle(checkBox);
    if (!title.empty() && title.back() == ':')
        title.remove_suffix(1);
    return title;
}

std::string_view CheckTableName(int checkBox) {
    switch (checkBox) {
    case kMissingCardBox:
    case kUndescribedStockItemsBox:
        return kStockItemTable.name;
    case kUndescribedCardsBox:
        return kMasterCardTable.name;
    default:
        return MemberFor(checkBox).table->name;
    }
}

bool RunCheck(int checkBox, RunHost &host, const RunContext &context, TBFTable &walkTable, TBFTable &lookupTable) {
    switch (checkBox) {
    case kMissingCardBox:
        return RunMissingCardCheck(host, context, walkTable, lookupTable);
    case kUndescribedCardsBox:
        return RunUndescribedSearch(UndescribedRecords::Cards, host, context, walkTable);
    case kUndescribedStockItemsBox:
        return RunUndescribedSearch(UndescribedRecords::StockItems, host, context, walkTable);
    default:
        return RunDuplicateKeyCheck(MemberFor(checkBox), host, context, walkTable);
    }
}

} // namespace vrelmont
