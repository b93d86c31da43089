#pragma once
// Large synthetic agendas for benchmarks: ordinary-looking records, among them a few percent of
// planted findings of every kind. The same plan gives the same records on every run.
#include "cli/AgendaRecords.h"

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

namespace vrelmont::cli {

struct SyntheticPlan {
    std::int64_t cards = 0;
    std::int64_t stockItems = 0; // at most cards * warehouses: each item is one card in one warehouse
    std::int32_t warehouses = 3;
    std::uint64_t seed = 1;
    // Set (by a signal handler, say) to stop the build: WriteSyntheticRecords then throws.
    const volatile std::sig_atomic_t *stopRequested = nullptr;
};

// How many records were changed to make each kind of finding. Stock items copy their card's
// texts, so a card's planted duplicate recurs among the stock items of a warehouse as well.
struct PlantedFindings {
    std::string kind;
    std::int64_t count = 0;
};

std::vector<PlantedFindings> WriteSyntheticRecords(AgendaRecords &records, const SyntheticPlan &plan);

} // namespace vrelmont::cli
