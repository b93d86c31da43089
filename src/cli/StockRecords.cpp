#include "cli/StockRecords.h"

#include <stdexcept>

namespace vrelmont::cli {
namespace {

struct TextPositions {
    std::size_t plu, katalog, barCode, zkrat, popis;
};

TextPositions TextPositionsIn(const TableDef &table) {
    return {FieldPosition(table, "UzivCode"), FieldPosition(table, "Katalog"), FieldPosition(table, "BarCode"),
            FieldPosition(table, "Zkrat"), FieldPosition(table, "Popis")};
}

void PutTexts(std::vector<FieldValue> &record, const TextPositions &at, const ItemTexts &texts) {
    record[at.plu] = texts.plu;
    record[at.katalog] = texts.katalog;
    record[at.barCode] = texts.barCode;
    record[at.zkrat] = texts.zkrat;
    record[at.popis] = texts.popis;
}

} // namespace

std::vector<FieldValue> CardRecord(std::int32_t cislo, const ItemTexts &texts) {
    static const TableDef &table = MasterCardsTable();
    static const TextPositions at = TextPositionsIn(table);
    static const std::size_t cisloAt = FieldPosition(table, "Cislo");
    std::vector<FieldValue> record(table.fields.size(), std::string());
    record[cisloAt] = cislo;
    PutTexts(record, at, texts);
    return record;
}

std::vector<FieldValue> StockItemRecord(std::int32_t sklad, std::int32_t cislo, const ItemTexts &texts) {
    static const TableDef &table = StockItemsTable();
    static const TextPositions at = TextPositionsIn(table);
    static const std::size_t skladAt = FieldPosition(table, "Sklad");
    static const std::size_t cisloAt = FieldPosition(table, "Cislo");
    std::vector<FieldValue> record(table.fields.size(), std::string());
    record[skladAt] = sklad;
    record[cisloAt] = cislo;
    PutTexts(record, at, texts);
    return record;
}

std::string Ean13(std::string_view twelveDigits) {
    if (twelveDigits.size() != 12 || twelveDigits.find_first_not_of("0123456789") != std::string_view::npos)
        throw std::invalid_argument("kód EAN-13 potřebuje dvanáct číslic, ne " + std::string(twelveDigits));
    int sum = 0;
    for (std::size_t i = 0; i < 12; ++i)
        sum += (twelveDigits[i] - '0') * (i % 2 ? 3 : 1);
    return std::string(twelveDigits) + static_cast<char>('0' + (10 - sum % 10) % 10);
}

} // namespace vrelmont::cli
