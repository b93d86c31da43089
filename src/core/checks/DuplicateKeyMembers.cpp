// The values of the twelve duplicate-key members.
#include "checks/DuplicateKeyCheck.h"
#include "checks/FieldNames.h"

#include <array>

namespace vrelmont {
namespace {

using Kind = LinePiece::Kind;

LinePiece Text(const char *text) {
    return {Kind::Text, text, 0};
}
LinePiece Kept(int key) {
    return {Kind::KeptKey, nullptr, key};
}
LinePiece CurrentCislo() {
    return {Kind::CurrentCislo, nullptr, 0};
}

const KeyField kSklad{kFieldSklad, KeyType::Integer};
const KeyField kCislo{kFieldCislo, KeyType::Integer};

// Card field members: the text alone; the line names the current card and the kept text.
DuplicateKeyMember CardField(int checkBox, const std::string &field, const char *title, int underline,
                             const char *withDuplicate, bool skipsEmpty) {
    return {checkBox,
            &kMasterCardTable,
            field,
            {{field, KeyType::Text}},
            title,
            underline,
            {Text("Nalezena kmenová karta č. "), CurrentCislo(), Text(withDuplicate), Kept(0)},
            skipsEmpty};
}

// Stock-item field members: warehouse, then the text; the text only counts within one warehouse.
DuplicateKeyMember StockItemField(int checkBox, const std::string &field, const char *title, int underline,
                                  const char *whichHasDuplicate, bool skipsEmpty) {
    return {checkBox,
            &kStockItemTable,
            "Sklad+" + field,
            {kSklad, {field, KeyType::Text}},
            title,
            underline,
            {Text("Nalezena skladová zásoba č. "), CurrentCislo(), Text(" ve skladu č. "), Kept(0),
             Text(whichHasDuplicate), Kept(1)},
            skipsEmpty};
}

const std::array<DuplicateKeyMember, 12> &Members() {
    static const std::array<DuplicateKeyMember, 12> members{{
        {1,
         &kStockItemTable,
         "Sklad+Cislo",
         {kSklad, kCislo},
         "Kontrola duplicitních skladových zásob:",
         31,
         {Text("Nalezena duplicitní skladová zásoba č. "), Kept(1), Text(" ve skladu č. "), Kept(0)},
         false},
        {3,
         &kMasterCardTable,
         "Cislo",
         {kCislo},
         "Kontrola duplicitních kmenových karet:",
         31,
         {Text("Nalezena duplicitní kmenová karta č. "), Kept(0)},
         false},
        CardField(4, kFieldUzivCode, "Kontrola duplicitních PLU kmenových karet:", 35, " s duplicitním PLU ", true),
        StockItemField(5, kFieldUzivCode, "Kontrola duplicitních PLU skladových zásob:", 35,
                       ", která má duplicitní PLU ", true),
        CardField(6, kFieldKatalog, "Kontrola duplicitních katalog. čísel kmenových karet:", 42,
                  " s duplicitním katalog. číslem ", true),
        StockItemField(7, kFieldKatalog, "Kontrola duplicitních katalog. čísel skladových zásob:", 42,
                       ", která má duplicitní katalog. číslo ", true),
        CardField(8, kFieldBarCode, "Kontrola duplicitních čár. kódů kmenových karet:", 39,
                  " s duplicitním čár. kódem ", true),
        StockItemField(9, kFieldBarCode, "Kontrola duplicitních čár. kódů skladových zásob:", 39,
                       ", která má duplicitní čár. kód ", true),
        CardField(10, kFieldZkrat, "Kontrola duplicitních zkratek kmenových karet:", 38, " s duplicitní zkratkou ",
                  true),
        StockItemField(11, kFieldZkrat, "Kontrola duplicitních zkratek skladových zásob:", 38,
                       ", která má duplicitní zkratku ", true),
        // Descriptions: two neighbours without a description are reported too.
        CardField(12, kFieldPopis, "Kontrola duplicitních popisů kmenových karet:", 37, " s duplicitním popisem ",
                  false),
        StockItemField(13, kFieldPopis, "Kontrola duplicitních popisů skladových zásob:", 37,
                       ", která má duplicitní popis ", false),
    }};
    return members;
}

} // namespace

const DuplicateKeyMember *DuplicateKeyMemberFor(int checkBox) {
    for (const DuplicateKeyMember &member : Members())
        if (member.checkBox == checkBox)
            return &member;
    return nullptr;
}

} // namespace vrelmont
