#pragma once
// The demonstration agendas: small, ordinary Czech warehouse data with, among it, findings for
// every one of the fifteen checks. Always the same, so that a report on them can be compared.
#include "cli/AgendaFiles.h"
#include "cli/StockRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vrelmont::cli {

struct DemoCard {
    std::int32_t cislo;
    ItemTexts texts;
};

struct DemoStockItem {
    std::int32_t sklad;
    std::int32_t cislo;
    ItemTexts texts;
};

struct DemoAgenda {
    std::string dirName; // AGENDA.001, ...
    std::string businessName;
    SettingsForm settings;
    std::vector<DemoCard> cards;      // in stored order
    std::vector<DemoStockItem> stock; // in stored order
};

std::vector<DemoAgenda> DemoAgendas();

} // namespace vrelmont::cli
