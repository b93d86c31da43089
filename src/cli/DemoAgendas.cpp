#include "cli/DemoAgendas.h"

#include <initializer_list>
#include <stdexcept>

namespace vrelmont::cli {
namespace {

// A card; `ean` holds the first twelve digits of its bar code, or is empty for none.
DemoCard Card(std::int32_t cislo, const char *plu, const char *katalog, const char *ean, const char *zkrat,
              const char *popis) {
    return {cislo, {plu, katalog, *ean ? Ean13(ean) : std::string(), zkrat, popis}};
}

// Stock items carry the texts of their master card, as the host copies them when an item is stocked.
void Stock(DemoAgenda &agenda, std::int32_t sklad, std::initializer_list<std::int32_t> cisla) {
    for (const auto cislo : cisla) {
        const DemoCard *card = nullptr;
        for (const auto &candidate : agenda.cards)
            if (candidate.cislo == cislo && !card)
                card = &candidate;
        if (!card)
            throw std::logic_error("Demo agenda " + agenda.dirName + " has no card " + std::to_string(cislo));
        agenda.stock.push_back({sklad, cislo, card->texts});
    }
}

void StockOwn(DemoAgenda &agenda, std::int32_t sklad, std::int32_t cislo, const DemoCard &texts) {
    agenda.stock.push_back({sklad, cislo, texts.texts});
}

// A hardware shop with a main warehouse (1) and its shop floor (2). Every check finds something.
DemoAgenda Hardware() {
    DemoAgenda a{"AGENDA.001", "Železářství Novák s.r.o.", SettingsForm::Ini, {}, {}};
    a.cards = {
        Card(1, "1001", "DIN933-M8X40", "859400120001", "SR-M8X40", "Šroub šestihranný M8x40 pozink"),
        Card(2, "1002", "DIN934-M8", "859400120002", "MAT-M8", "Matice šestihranná M8 pozink"),
        Card(3, "1003", "DIN125-8,4", "859400120003", "POD-8", "Podložka plochá 8,4 mm pozink"),
        Card(4, "1004", "VRT-4X40", "859400120004", "VRUT-4X40", "Vrut do dřeva 4x40 zápustný"),
        Card(5, "1005", "VRT-5X60", "859400120005", "VRUT-5X60", "Vrut do dřeva 5x60 zápustný"),
        Card(6, "1006", "HMZ-8X40", "859400120006", "HMOZ-8", "Hmoždinka nylonová 8x40"),
        Card(7, "1007", "HRB-31X70", "859400120007", "HREB-70", "Hřebík stavební 3,1x70 mm, 1 kg"),
        // No PLU and no catalogue number: empty values are no duplicates.
        Card(8, "", "", "859400120008", "SILIKON-B", "Silikon sanitární bílý 310 ml"),
        Card(9, "1009", "KLD-500", "859400120009", "KLAD-500", "Kladivo zámečnické 500 g"),
        Card(10, "1010", "SRV-PH2", "859400120010", "SROUB-PH2", "Šroubovák křížový PH2"),
        Card(11, "", "PIL-300", "", "PILKA-300", "Pilka na železo 300 mm"),
        Card(12, "1012", "MTR-5M", "859400120012", "METR-5", "Metr svinovací 5 m"),
        // Meant to be card 13: a duplicate card number, and stock item 13 has no card.
        Card(12, "1013", "MTR-3M", "859400120013", "METR-3", "Metr svinovací 3 m"),
        // The same PLU on two cards.
        Card(14, "1014", "LAK-075", "859400120014", "LAK-C", "Lak syntetický čirý 0,75 l"),
        Card(15, "1014", "LAK-250", "859400120015", "LAK-C25", "Lak syntetický čirý 2,5 l"),
        // The same catalogue number.
        Card(16, "1016", "SP-ZL-10", "859400120016", "SPONA-10", "Spona zahradní 10 mm"),
        Card(17, "1017", "SP-ZL-10", "859400120017", "SPONA-12", "Spona zahradní 12 mm"),
        // The same bar code.
        Card(18, "1018", "TSK-250", "859400120018", "TESAR-250", "Tesařská skoba 250 mm"),
        Card(19, "1019", "TSK-300", "859400120018", "TESAR-300", "Tesařská skoba 300 mm"),
        // The same abbreviation; card 26 differs in letter case only, which is no duplicate.
        Card(20, "1020", "LEP-DISP-1", "859400120020", "LEPIDLO", "Lepidlo disperzní 1 kg"),
        Card(21, "1021", "LEP-KONT-05", "859400120021", "LEPIDLO", "Lepidlo kontaktní 0,5 l"),
        // The same description.
        Card(22, "1022", "PAS-IZ-19", "859400120022", "PASKA-CER", "Páska izolační PVC 19 mm černá"),
        Card(23, "1023", "PAS-IZ-19B", "859400120023", "PASKA-CER2", "Páska izolační PVC 19 mm černá"),
        // No description.
        Card(24, "1024", "RUK-PR-10", "859400120024", "RUKAV-10", ""),
        Card(25, "1025", "OLEJ-400", "859400120025", "OLEJ-SPREJ", "Mazací olej ve spreji 400 ml"),
        Card(26, "1026", "LEP-HOBBY", "859400120026", "Lepidlo", "Lepidlo univerzální 125 g"),
    };
    // Main warehouse: every card, each stocked with the card's texts, so the cards' duplicate
    // PLU, catalogue number, bar code, abbreviation and description recur among its stock items.
    Stock(a, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26});
    // Stock item 9 entered a second time for another hammer: a duplicate stock item number.
    StockOwn(a, 1, 9, Card(0, "1029", "KLD-600", "859400120029", "KLAD-600", "Kladivo tesařské 600 g"));
    // Stock items without a master card: 13 (its card was numbered 12) and 31.
    StockOwn(a, 1, 13, a.cards[12]);
    StockOwn(a, 1, 31, Card(0, "", "RET-5-ZN", "", "RETEZ-5", "Řetěz pozinkovaný 5 mm, metráž"));
    // Shop floor: a selection; the same codes as in the main warehouse are no duplicates there.
    Stock(a, 2, {1, 2, 3, 4, 6, 9, 10, 12, 22, 24, 25});
    // The saw lost its description on the shop floor: together with item 24 two stock items of
    // warehouse 2 are undescribed, and their empty descriptions count as duplicates.
    StockOwn(a, 2, 11, Card(0, "", "PIL-300", "", "PILKA-300", ""));
    StockOwn(a, 2, 30, Card(0, "1030", "KOT-CH-300", "859400120030", "KOTVA-CH", "Kotva chemická 300 ml"));
    return a;
}

// A bakery with its production store (1) and two shops (2, 3), settings in the table form.
// Runs of three equal keys, two cards without description and a description of blanks.
DemoAgenda Bakery() {
    DemoAgenda a{"AGENDA.002", "Pekárna a cukrárna Dvořák, spol. s r.o.", SettingsForm::Table, {}, {}};
    a.cards = {
        Card(1, "201", "SUR-MOUKA-HL", "859500310001", "MOUKA-HL", "Mouka pšeničná hladká 1 kg"),
        // Catalogue number copied from the card above.
        Card(2, "202", "SUR-MOUKA-HL", "859500310002", "MOUKA-PH", "Mouka pšeničná polohrubá 1 kg"),
        Card(3, "203", "SUR-CUKR-KR", "859500310003", "CUKR-KR", "Cukr krystal 1 kg"),
        Card(4, "204", "SUR-DROZDI", "859500310004", "DROZDI", "Droždí čerstvé 42 g"),
        Card(5, "205", "SUR-MASLO-250", "859500310005", "MASLO-250", "Máslo 82 % 250 g"),
        Card(6, "206", "SUR-TVAROH", "859500310006", "TVAROH", "Tvaroh měkký 250 g"),
        Card(7, "301", "", "", "ROHLIK", "Rohlík tukový 43 g"),
        Card(8, "302", "", "", "CHLEB-KM", "Chléb kmínový 1200 g"),
        // PLU 303 on three cards: two findings.
        Card(9, "303", "", "", "KOLAC-TV", "Koláč tvarohový 60 g"),
        Card(10, "304", "", "", "BUCHTA-PO", "Buchta povidlová 80 g"),
        Card(11, "305", "", "", "VANOCKA", "Vánočka s rozinkami 400 g"),
        Card(12, "306", "", "", "DORT-SACHER", "Dort Sacher 1 kg"),
        Card(13, "307", "", "", "PERNIK", "Perník s polevou 50 g"),
        Card(14, "308", "", "", "LOUPAK", "Loupák 50 g"),
        // Card number 15 three times: two findings.
        Card(15, "309", "", "", "HOUSKA", "Houska 50 g"),
        Card(15, "310", "", "", "HOUSKA-SEZ", "Houska se sezamem 55 g"),
        Card(15, "311", "", "", "HOUSKA-MAK", "Houska s mákem 55 g"),
        Card(16, "303", "", "", "KOLAC-MAK", "Koláč makový 60 g"),
        Card(17, "303", "", "", "KOLAC-OR", "Koláč ořechový 60 g"),
        // The bar code of the 250 g butter on the 125 g pack.
        Card(18, "207", "SUR-MASLO-125", "859500310005", "MASLO-125", "Máslo 82 % 125 g"),
        // The abbreviation of card 13 again.
        Card(19, "312", "", "", "PERNIK", "Perník plněný 60 g"),
        // The same salt from two suppliers under one description.
        Card(20, "208", "SUR-SUL-A", "859500310020", "SUL-A", "Sůl jedlá jodidovaná 1 kg"),
        Card(21, "209", "SUR-SUL-B", "859500310021", "SUL-B", "Sůl jedlá jodidovaná 1 kg"),
        // Blanks are a description, not its absence.
        Card(22, "210", "SUR-SKOR", "859500310022", "SKORICE", "  "),
        // Two cards without description: two findings, and their empty descriptions are equal.
        Card(23, "313", "", "", "SLADKE-PEC", ""),
        Card(24, "314", "", "", "TYC-SYR", ""),
    };
    Stock(a, 1, {1, 2, 3, 4, 5, 6, 18, 20, 21, 22});
    for (const std::int32_t shop : {2, 3})
        Stock(a, shop, {7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19});
    Stock(a, 2, {23});
    Stock(a, 3, {24});
    // The rye bread counted twice in the shop at the station.
    Stock(a, 3, {8});
    // A new product sold before its card was made.
    StockOwn(a, 2, 40, Card(0, "315", "", "", "CROISSANT", "Croissant máslový 60 g"));
    return a;
}

// A garden centre whose data is in order: every check runs without a finding.
DemoAgenda GardenCentre() {
    DemoAgenda a{"AGENDA.003", "Zahradnictví Kvítek – Ing. Jana Hájková", SettingsForm::Ini, {}, {}};
    a.cards = {
        Card(101, "5101", "SUB-UNI-50", "859600450101", "SUBSTRAT-50", "Substrát univerzální 50 l"),
        Card(102, "5102", "SUB-RAS-20", "859600450102", "SUBSTRAT-RAS", "Substrát pro rašeliništní rostliny 20 l"),
        Card(103, "5103", "HNO-CER-1", "859600450103", "HNOJIVO-CER", "Hnojivo pro muškáty 1 l"),
        Card(104, "5104", "KVE-PLA-12", "859600450104", "KVETINAC-12", "Květináč plastový 12 cm terakota"),
        Card(105, "5105", "KVE-PLA-16", "859600450105", "KVETINAC-16", "Květináč plastový 16 cm terakota"),
        Card(106, "5106", "SEM-RAJ-BV", "859600450106", "SEMENA-RAJ", "Osivo rajče keříčkové Bejbino"),
        Card(107, "5107", "SEM-SAL-LD", "859600450107", "SEMENA-SAL", "Osivo salát hlávkový Ljubljanska ledenka"),
        Card(108, "5108", "KON-ZAL-10", "859600450108", "KONEV-10", "Konev zahradní 10 l zelená"),
        Card(109, "", "", "", "MUSKAT", "Muškát převislý, květináč 12 cm"),
        Card(110, "", "", "", "LEVANDULE", "Levandule úzkolistá, květináč 11 cm"),
    };
    Stock(a, 1, {101, 102, 103, 104, 105, 106, 107, 108, 109, 110});
    Stock(a, 2, {101, 103, 104, 106, 109, 110});
    return a;
}

} // namespace

std::vector<DemoAgenda> DemoAgendas() {
    return {Hardware(), Bakery(), GardenCentre()};
}

} // namespace vrelmont::cli
