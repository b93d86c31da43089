// vrelmont-cli import: appends the records of a CSV file to a table of an agenda, all or none.
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/Csv.h"
#include "cli/TableChoice.h"
#include "hostdb/RecordWriter.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>

namespace fs = std::filesystem;

namespace vrelmont::cli {
namespace {

const char kUsage[] = R"(Usage: vrelmont-cli import DIR TABLE FILE

Appends the records of the CSV file FILE to the table TABLE (SKKMKART or SKSEZZAS)
of the agenda directory DIR, in the order of the file.

FILE is comma-separated (RFC 4180), UTF-8 with or without a byte-order mark.
Its first line names the fields:
  Cislo      number, required
  Sklad      warehouse number, required for SKSEZZAS (stock items only)
  UzivCode, Katalog, BarCode, Zkrat, Popis
             PLU code, catalogue number, bar code, abbreviation, description;
             optional, empty when the column is absent
Numbers are 32-bit integers. Empty lines are skipped.

Any error (an unknown or missing field, a number that is not a 32-bit integer,
text that is not UTF-8, a malformed line) names the line and the field, and then
nothing at all is imported.

Example:
  vrelmont-cli import DATA/AGENDA.001 SKKMKART karty.csv
)";

std::string AtLine(const std::string &fileName, std::size_t line, const std::string &message) {
    return fileName + ", line " + std::to_string(line) + ": " + message;
}

bool IsRequired(const FieldDef &field) {
    return field.type == FieldType::Integer;
}

bool SameName(const std::string &a, const std::string &b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    if (!text.empty() && text.front() == '+' && text.substr(1, 1) != "-")
        text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || rest != text.data() + text.size())
        return std::nullopt;
    return value;
}

class Importer {
public:
    Importer(const std::string &csvName, const TableDef &table) : csvName_(csvName), table_(table) {}

    // For every column of the file, the position of its field in the table.
    void readHeader(const CsvRecord &header) {
        for (const auto &name : header.fields) {
            if (!IsValidUtf8(name))
                fail(header.line, "the field name is not valid UTF-8 text");
            const auto field = std::find_if(table_.fields.begin(), table_.fields.end(),
                                            [&](const FieldDef &def) { return SameName(def.name, name); });
            if (field == table_.fields.end())
                fail(header.line, "unknown field \"" + name + "\" (" + table_.name + " has " + fieldList() + ")");
            const auto position = static_cast<std::size_t>(field - table_.fields.begin());
            if (std::find(columns_.begin(), columns_.end(), position) != columns_.end())
                fail(header.line, "field \"" + field->name + "\" named twice");
            columns_.push_back(position);
        }
        for (std::size_t position = 0; position < table_.fields.size(); ++position)
            if (IsRequired(table_.fields[position]) &&
                std::find(columns_.begin(), columns_.end(), position) == columns_.end())
                fail(header.line, "required field \"" + table_.fields[position].name + "\" is missing");
    }

    // The record in the table's field order; fields the file has no column for are empty text.
    std::vector<FieldValue> recordOf(const CsvRecord &row) const {
        if (row.fields.size() != columns_.size())
            fail(row.line, std::to_string(row.fields.size()) + " fields where the header names " +
                               std::to_string(columns_.size()));
        std::vector<FieldValue> record(table_.fields.size(), std::string());
        for (std::size_t column = 0; column < columns_.size(); ++column) {
            const FieldDef &field = table_.fields[columns_[column]];
            const std::string &text = row.fields[column];
            const std::string where = "field \"" + field.name + "\": ";
            if (!IsValidUtf8(text))
                fail(row.line, where + "the value is not valid UTF-8 text");
            if (field.type == FieldType::Integer) {
                const auto number = ParseInt32(text);
                if (!number)
                    fail(row.line, where + "\"" + text + "\" is not a 32-bit integer");
                record[columns_[column]] = *number;
            } else {
                record[columns_[column]] = text;
            }
        }
        return record;
    }

    [[noreturn]] void fail(std::size_t line, const std::string &message) const {
        throw std::runtime_error(AtLine(csvName_, line, message));
    }

private:
    std::string fieldList() const {
        std::string list;
        for (const auto &field : table_.fields)
            list += (list.empty() ? "" : ", ") + field.name;
        return list;
    }

    std::string csvName_;
    const TableDef &table_;
    std::vector<std::size_t> columns_;
};

int RunImport(const ParsedArgs &args) {
    if (args.positional.size() != 3)
        throw UsageError("expected DIR TABLE FILE");
    const fs::path agendaDir = args.positional[0];
    const TableDef &table = RecordTableNamed(args.positional[1]);
    const std::string csvName = args.positional[2];

    const fs::path tableFile = TableFileIn(agendaDir, table);
    if (!fs::is_regular_file(tableFile))
        throw std::runtime_error("no table file " + tableFile.string() +
                                 " (make the agenda with \"vrelmont-cli create-agenda\")");
    if (fs::is_directory(csvName))
        throw std::runtime_error(csvName + " is a directory, not a CSV file");
    std::ifstream in(csvName, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + csvName);

    Importer importer(csvName, table);
    // Every record goes into one transaction, which is committed only after the last one: any
    // failure on the way leaves the table as it was.
    try {
        CsvReader reader(in);
        CsvRecord row;
        if (!reader.next(row))
            throw std::runtime_error(csvName + " is empty: its first line must name the fields");
        importer.readHeader(row);
        RecordWriter writer(tableFile.string(), table, RecordWriter::Mode::Safe);
        while (reader.next(row))
            writer.append(importer.recordOf(row));
        std::error_code ignored;
        if (fs::is_regular_file(csvName, ignored) && reader.bytesRead() != fs::file_size(csvName, ignored))
            throw std::runtime_error("cannot read the whole of " + csvName);
        writer.commit();
        std::cout << "Imported " << writer.appendedCount() << (writer.appendedCount() == 1 ? " record" : " records")
                  << " into " << tableFile.string() << ".\n";
    } catch (const CsvError &error) {
        throw std::runtime_error(AtLine(csvName, error.line(), error.reason()) + "; nothing was imported");
    } catch (const std::ios_base::failure &error) {
        throw std::runtime_error("cannot read " + csvName + ": " + error.what() + "; nothing was imported");
    } catch (const std::exception &error) {
        throw std::runtime_error(error.what() + std::string("; nothing was imported"));
    }
    return kExitOk;
}

} // namespace

int ImportCommand(const Args &args) {
    return RunTool("import", kUsage, args, {}, RunImport);
}

} // namespace vrelmont::cli
