#include "cli/ColumnNames.h"

#include "text/TextFold.h"
#include "text/TextTrim.h"

#include <array>
#include <string>

namespace vrelmont::cli {
namespace {

struct Unaccented {
    std::string_view letter; // lower case, as FoldCase leaves it
    char plain;
};

// The accented letters of Czech and Slovak (and the German umlauts of Slovak texts).
constexpr std::array<Unaccented, 22> kUnaccented{
    {{"á", 'a'}, {"ä", 'a'}, {"č", 'c'}, {"ď", 'd'}, {"é", 'e'}, {"ě", 'e'}, {"í", 'i'}, {"ĺ", 'l'},
     {"ľ", 'l'}, {"ň", 'n'}, {"ó", 'o'}, {"ô", 'o'}, {"ö", 'o'}, {"ŕ", 'r'}, {"ř", 'r'}, {"š", 's'},
     {"ť", 't'}, {"ú", 'u'}, {"ů", 'u'}, {"ü", 'u'}, {"ý", 'y'}, {"ž", 'z'}}};

// The name as it is compared: without blanks around it, in lower case, without accents.
std::string Key(std::string_view name) {
    const std::string folded = FoldCase(TrimBlanks(std::string(name)));
    std::string key;
    for (std::size_t i = 0; i < folded.size();) {
        bool replaced = false;
        for (const auto &[letter, plain] : kUnaccented)
            if (std::string_view(folded).substr(i, letter.size()) == letter) {
                key += plain;
                i += letter.size();
                replaced = true;
                break;
            }
        if (!replaced)
            key += folded[i++];
    }
    return key;
}

struct CzechName {
    std::string_view key;
    std::string_view field;
};

// What people write in a header row, as Key() leaves it; "Katalog", "Popis" and "Sklad" are the
// fields' own names.
constexpr std::array<CzechName, 4> kCzechNames{
    {{"cislo", "Cislo"}, {"zkratka", "Zkrat"}, {"plu", "UzivCode"}, {"carovy kod", "BarCode"}}};

} // namespace

std::optional<std::size_t> FieldOfColumn(const TableDef &table, std::string_view name) {
    std::string key = Key(name);
    for (const auto &czech : kCzechNames)
        if (key == czech.key)
            key = Key(czech.field);
    for (std::size_t position = 0; position < table.fields.size(); ++position)
        if (Key(table.fields[position].name) == key)
            return position;
    return std::nullopt;
}

} // namespace vrelmont::cli
