#pragma once
// Records of master stock cards (SKKMKART) and stock items (SKSEZZAS) as the data tools write them.
#include "writer/RecordWriter.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vrelmont::cli {

// The text fields that cards and stock items share.
struct ItemTexts {
    std::string plu;     // UzivCode
    std::string katalog; // Katalog
    std::string barCode; // BarCode
    std::string zkrat;   // Zkrat
    std::string popis;   // Popis
};

std::vector<FieldValue> CardRecord(std::int32_t cislo, const ItemTexts &texts);
std::vector<FieldValue> StockItemRecord(std::int32_t sklad, std::int32_t cislo, const ItemTexts &texts);

// A bar code of the EAN-13 system: the twelve digits given and their check digit.
std::string Ean13(std::string_view twelveDigits);

} // namespace vrelmont::cli
