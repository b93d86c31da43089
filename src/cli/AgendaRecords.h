#pragma once
// Appends records to the two stock tables of an agenda that is being built in a staging directory.
#include "writer/RecordWriter.h"

#include <filesystem>

namespace vrelmont::cli {

class AgendaRecords {
public:
    // Opens SKKMKART.DAT and SKSEZZAS.DAT of `agendaDir` for a bulk build.
    explicit AgendaRecords(const std::filesystem::path &agendaDir);

    RecordWriter &cards() { return cards_; }
    RecordWriter &stockItems() { return stockItems_; }

    // Builds the indexes and makes both tables durable.
    void commit();

private:
    RecordWriter cards_;
    RecordWriter stockItems_;
};

} // namespace vrelmont::cli
