// vrelmont-cli demo: a demonstration DATA directory.
#include "cli/AgendaRecords.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/DemoAgendas.h"
#include "cli/StagingDir.h"
#include "platform/Utf8Path.h"

#include <iostream>

namespace fs = std::filesystem;

namespace vrelmont::cli {
namespace {

void WriteDemoAgenda(const fs::path &dataRoot, const DemoAgenda &agenda) {
    const fs::path dir = dataRoot / agenda.dirName;
    fs::create_directory(dir);
    WriteAgendaFiles(dir, agenda.businessName, agenda.settings);
    AgendaRecords records(dir);
    for (const auto &card : agenda.cards)
        records.cards().append(CardRecord(card.cislo, card.texts));
    for (const auto &item : agenda.stock)
        records.stockItems().append(StockItemRecord(item.sklad, item.cislo, item.texts));
    records.commit();
}

int RunDemo(const ParsedArgs &args) {
    if (args.positional.size() != 1)
        throw UsageError("zadejte jednu složku DATA_ROOT");
    StagingDir staging(PathFromUtf8(args.positional[0]));
    const auto agendas = DemoAgendas();
    for (const auto &agenda : agendas)
        WriteDemoAgenda(staging.path(), agenda);
    staging.commit();
    std::cout << "Vytvořena ukázková složka DATA " << Utf8FromPath(staging.target()) << ":\n";
    for (const auto &agenda : agendas)
        std::cout << "  " << agenda.dirName << "  " << agenda.businessName
                  << " (kmenových karet: " << agenda.cards.size() << ", skladových zásob: " << agenda.stock.size()
                  << ")\n";
    return kExitOk;
}

} // namespace

const CommandDeclaration &DemoCommand() {
    static const CommandDeclaration command{
        "demo",
        "create a demonstration DATA directory with three agendas",
        "DATA_ROOT",
        R"(Creates a demonstration DATA directory DATA_ROOT with three agendas:
  AGENDA.001  Železářství Novák s.r.o.                   settings in AGENDA.INI
  AGENDA.002  Pekárna a cukrárna Dvořák, spol. s r.o.    settings in AGENDA.DAT
  AGENDA.003  Zahradnictví Kvítek – Ing. Jana Hájková    settings in AGENDA.INI
The first two hold, among ordinary records, findings for every one of the fifteen
checks; the third is in order. The content is the same on every run.
)",
        {},
        R"(DATA_ROOT must not exist yet or be empty. It is built under a hidden name beside
it and appears under its own name only when complete.

Example:
  vrelmont-cli demo ~/vrelmont-demo/DATA
)",
        RunDemo};
    return command;
}

} // namespace vrelmont::cli
