// vrelmont-cli generate: a large synthetic agenda for benchmarks.
#include "cli/AgendaFiles.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/StagingDir.h"
#include "cli/SyntheticAgenda.h"
#include "platform/Utf8Path.h"

#include <chrono>
#include <csignal>
#include <iostream>
#include <limits>

namespace vrelmont::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnGenerateInterrupted(int) {
    interrupted = 1;
}

// Ctrl+C stops the build at the next record, so that the staging directory is removed again.
class InterruptGuard {
public:
    InterruptGuard() { previous_ = std::signal(SIGINT, OnGenerateInterrupted); }
    ~InterruptGuard() { std::signal(SIGINT, previous_); }
    InterruptGuard(const InterruptGuard &) = delete;
    InterruptGuard &operator=(const InterruptGuard &) = delete;

private:
    void (*previous_)(int);
};

constexpr std::int64_t kMaxRecords = 500'000'000; // numbers of cards and missing cards stay 32-bit
constexpr std::int64_t kMaxWarehouses = 9999;

int RunGenerate(const ParsedArgs &args) {
    if (args.positional.size() != 1)
        throw UsageError("zadejte jednu složku agendy DIR");
    SyntheticPlan plan;
    plan.cards = ParseNumberOption("--cards", args.required("--cards"), 0, kMaxRecords);
    plan.stockItems = ParseNumberOption("--stock", args.required("--stock"), 0, kMaxRecords);
    plan.warehouses = static_cast<std::int32_t>(
        ParseNumberOption("--warehouses", args.valueOr("--warehouses", "3"), 1, kMaxWarehouses));
    plan.seed = static_cast<std::uint64_t>(
        ParseNumberOption("--seed", args.valueOr("--seed", "1"), 0, std::numeric_limits<std::int64_t>::max()));
    if (plan.stockItems > plan.cards * plan.warehouses) {
        // Each stock item is one card in one warehouse: more warehouses make room, up to the limit.
        const std::int64_t needed =
            plan.cards > 0 ? (plan.stockItems + plan.cards - 1) / plan.cards : kMaxWarehouses + 1;
        throw UsageError("--stock " + std::to_string(plan.stockItems) + " je víc než --cards krát --warehouses (" +
                         std::to_string(plan.cards * plan.warehouses) + ")" +
                         (needed <= kMaxWarehouses ? "; zadejte --warehouses " + std::to_string(needed) + " nebo víc"
                                                   : "; zadejte víc --cards"));
    }

    const auto started = std::chrono::steady_clock::now();
    StagingDir staging(PathFromUtf8(args.positional[0]));
    WriteAgendaFiles(staging.path(), "Velkoobchod Šroubek a spol. (generovaná data)", SettingsForm::Ini);
    AgendaRecords records(staging.path());
    InterruptGuard guard;
    plan.stopRequested = &interrupted;
    const auto planted = WriteSyntheticRecords(records, plan);
    records.commit();
    if (interrupted)
        throw std::runtime_error("přerušeno; nic nebylo vytvořeno");
    staging.commit();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;

    std::cout << "Vytvořena agenda " << Utf8FromPath(staging.target()) << " za " << took.count()
              << " s: kmenových karet " << plan.cards << ", skladových zásob " << plan.stockItems << ", skladů "
              << plan.warehouses
              << ".\nZáznamy změněné tak, aby vznikly nálezy. Počty jsou počty změn, ne nálezů, které hlásí\n"
                 "\"check\"; těch může být víc: skladové zásoby opakují texty své kmenové karty, a tedy\n"
                 "i její duplicity, opakované číslo karty nechá skladové zásoby karty, kterou nahradilo,\n"
                 "bez kmenové karty, a záznamy bez popisu jsou zároveň duplicitními popisy.\n";
    for (const auto &kind : planted)
        std::cout << "  " << kind.count << " " << kind.kind << "\n";
    return kExitOk;
}

} // namespace

const CommandDeclaration &GenerateCommand() {
    static const CommandDeclaration command{
        "generate",
        "create a large synthetic agenda for benchmarks",
        "DIR",
        R"(Creates the agenda directory DIR with N master stock cards and M stock items spread
over W warehouses (default 3): each stock item is one card stocked in one warehouse,
so M may be at most N * W. About one record in a hundred is changed to give a
finding of each kind (duplicate numbers, stock items without a card, records without
description, duplicate PLU, catalogue number, bar code, abbreviation, description);
the summary counts these changes, often fewer than the findings "check" reports.
The same arguments give the same records; S (default 1) varies them.
)",
        {{"--cards", "N", "the number of master stock cards", {}, true},
         {"--stock", "M", "the number of stock items", {}, true},
         {"--warehouses", "W", "the number of warehouses (default 3)"},
         {"--seed", "S", "varies the records (default 1)"}},
        R"(DIR must not exist yet or be empty. It is built under a hidden name beside it and
appears under its own name only when complete.

Example:
  vrelmont-cli generate /tmp/DATA/AGENDA.900 --cards 200000 --stock 1000000 --warehouses 5
)",
        RunGenerate};
    return command;
}

} // namespace vrelmont::cli
