// vrelmont-cli import: appends the records of a CSV file to a table of an agenda, all or none.
#include "cli/CliSupport.h"
#include "cli/ColumnNames.h"
#include "cli/Commands.h"
#include "cli/Csv.h"
#include "cli/CsvInput.h"
#include "cli/TableChoice.h"
#include "engine/TBFTable.h"
#include "platform/Utf8Path.h"
#include "text/TextFold.h"
#include "writer/RecordWriter.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>

namespace fs = std::filesystem;

namespace vrelmont::cli {
namespace {

std::string AtLine(const std::string &fileName, std::size_t line, const std::string &message) {
    return fileName + ", řádek " + std::to_string(line) + ": " + message;
}

bool IsRequired(const FieldDef &field) {
    return field.type == FieldType::Integer;
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

// "1 záznam", "3 záznamy", "5 záznamů": Czech takes the plural for two to four and its genitive beyond.
std::string RecordCount(std::int64_t count) {
    const char *const noun = count == 1 ? " záznam" : count >= 2 && count <= 4 ? " záznamy" : " záznamů";
    return std::to_string(count) + noun;
}

// Names the blank that keeps a number from being one: hand-written files put blanks beside separators.
std::string BlankHint(std::string_view text) {
    if (!text.empty() && text.front() == ' ')
        return " (před číslem je mezera)";
    if (!text.empty() && text.back() == ' ')
        return " (za číslem je mezera)";
    return {};
}

// The field names of a header split at `separator`, without the empty columns at its end.
std::vector<std::string> HeaderNames(const CsvRecord &header) {
    std::vector<std::string> names = header.fields;
    while (!names.empty() && names.back().empty())
        names.pop_back();
    return names;
}

class Importer {
public:
    Importer(const std::string &csvName, const TableDef &table, TextEncoding encoding)
        : csvName_(csvName), table_(table), encoding_(encoding) {}

    // How many names of the header mean a field of the table (the test for a separator).
    std::size_t knownColumns(const CsvRecord &header) const {
        const std::vector<std::string> names = HeaderNames(header);
        return static_cast<std::size_t>(std::count_if(names.begin(), names.end(), [&](const std::string &name) {
            std::string problem;
            const auto text = DecodeField(name, encoding_, problem);
            return text && FieldOfColumn(table_, *text);
        }));
    }

    // For every column of the file, the position of its field in the table. Columns of other things
    // (a price, a quantity: exports hold more than the table) are skipped, or with `strict` refused.
    void readHeader(const CsvRecord &header, bool strict) {
        const std::vector<std::string> names = HeaderNames(header);
        for (const auto &raw : names) {
            const std::string name = decode(header.line, raw, "název pole: ");
            const auto field = FieldOfColumn(table_, name);
            if (!field && strict)
                fail(header.line, "neznámé pole \"" + name + "\" (" + table_.name + " má pole " + fieldList() + ")" +
                                      separatorHint(names, name));
            if (!field) {
                skipped_.push_back(name.empty() ? "sloupec " + std::to_string(columns_.size() + 1) + " bez názvu"
                                                : "\"" + name + "\"");
                columns_.push_back(kSkipped);
                continue;
            }
            if (std::find(columns_.begin(), columns_.end(), *field) != columns_.end())
                fail(header.line, "pole \"" + table_.fields[*field].name + "\" je uvedeno dvakrát");
            columns_.push_back(*field);
        }
        if (skipped_.size() == names.size())
            fail(header.line, "žádný sloupec nemá název pole tabulky " + table_.name + " (má pole " + fieldList() +
                                  "; jejich české názvy uvádí --help)" +
                                  separatorHint(names, names.empty() ? "" : decode(header.line, names[0], "")));
        for (std::size_t position = 0; position < table_.fields.size(); ++position)
            if (IsRequired(table_.fields[position]) &&
                std::find(columns_.begin(), columns_.end(), position) == columns_.end())
                fail(header.line, "chybí povinné pole \"" + table_.fields[position].name + "\"");
    }

    // The columns skipped for not being fields of the table, for the one line that names them.
    const std::vector<std::string> &skippedColumns() const { return skipped_; }

    // A line of empty fields only: what spreadsheets write for rows they keep empty.
    static bool isBlank(const CsvRecord &row) {
        return std::all_of(row.fields.begin(), row.fields.end(), [](const std::string &f) { return f.empty(); });
    }

    // The record in the table's field order; fields the file has no column for are empty text.
    std::vector<FieldValue> recordOf(const CsvRecord &row) const {
        std::size_t used = row.fields.size();
        // Empty columns at the end of a line, as spreadsheets write them, carry nothing.
        while (used > columns_.size() && row.fields[used - 1].empty())
            --used;
        if (used != columns_.size())
            fail(row.line,
                 "počet polí je " + std::to_string(used) + ", záhlaví jich uvádí " + std::to_string(columns_.size()));
        std::vector<FieldValue> record(table_.fields.size(), std::string());
        for (std::size_t column = 0; column < columns_.size(); ++column) {
            if (columns_[column] == kSkipped)
                continue;
            const FieldDef &field = table_.fields[columns_[column]];
            const std::string where = "pole \"" + field.name + "\": ";
            const std::string text = decode(row.line, row.fields[column], where);
            if (field.type == FieldType::Integer) {
                const auto number = ParseInt32(text);
                if (!number)
                    fail(row.line, where + "\"" + text + "\" není 32bitové celé číslo" + BlankHint(text));
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
    static constexpr std::size_t kSkipped = static_cast<std::size_t>(-1);

    // For a header that is one name holding another separator: what splitting it there would give.
    std::string separatorHint(const std::vector<std::string> &names, const std::string &name) const {
        if (names.size() != 1)
            return {};
        for (const char separator : {';', '\t', ','}) {
            if (name.find(separator) == std::string::npos)
                continue;
            CsvRecord split;
            for (std::size_t start = 0; start <= name.size();) {
                const std::size_t end = std::min(name.find(separator, start), name.size());
                split.fields.push_back(name.substr(start, end - start));
                start = end + 1;
            }
            if (knownColumns(split) == 0)
                return {};
            return "; řádek je zřejmě dělen oddělovačem " + SeparatorName(separator) +
                   ": uveďte názvy polí na prvním řádku, nebo zadejte --delimiter";
        }
        return {};
    }

    // The bytes as text; `where` ("pole "Popis": ") begins the message when they are none.
    std::string decode(std::size_t line, const std::string &bytes, const std::string &where) const {
        std::string problem;
        auto text = DecodeField(bytes, encoding_, problem);
        if (!text)
            fail(line, where + problem);
        return std::move(*text);
    }

    std::string fieldList() const {
        std::string list;
        for (const auto &field : table_.fields)
            list += (list.empty() ? "" : ", ") + field.name;
        return list;
    }

    std::string csvName_;
    const TableDef &table_;
    TextEncoding encoding_;
    std::vector<std::size_t> columns_; // kSkipped for a column of something else
    std::vector<std::string> skipped_;
};

// The separator: the one given, else of comma, semicolon and tab the one that splits the header into
// the most names of fields of the table (the first of them on a tie); a comma when none names one
// (the header's error then says why).
char ChooseSeparator(const ParsedArgs &args, const CsvInput &input, const Importer &importer) {
    if (args.has("--delimiter"))
        return ParseSeparatorOption(args.required("--delimiter"));
    char best = ',';
    std::size_t most = 0;
    for (const char separator : {',', ';', '\t'}) {
        std::ifstream in(input.path(), std::ios::binary);
        CsvReader reader(in, separator);
        CsvRecord header;
        try {
            if (reader.next(header) && importer.knownColumns(header) > most) {
                most = importer.knownColumns(header);
                best = separator;
            }
        } catch (const CsvError &) {
            // Malformed with this separator: try the next one.
        }
    }
    return best;
}

int RunImport(const ParsedArgs &args) {
    if (args.positional.size() != 3)
        throw UsageError("zadejte DIR TABLE FILE");
    const fs::path agendaDir = PathFromUtf8(args.positional[0]);
    const TableDef &table = RecordTableNamed(args.positional[1]);
    const bool dryRun = args.has("--dry-run");
    const bool replace = args.has("--replace");
    std::optional<TextEncoding> chosenEncoding;
    if (args.has("--encoding"))
        chosenEncoding = ParseEncodingOption(args.required("--encoding"));
    if (args.has("--delimiter"))
        ParseSeparatorOption(args.required("--delimiter"));

    const fs::path tableFile = TableFileIn(agendaDir, table);
    if (!fs::is_regular_file(tableFile))
        throw std::runtime_error("soubor tabulky " + Utf8FromPath(tableFile) +
                                 " neexistuje (agendu vytvoří \"vrelmont-cli create-agenda\")");
    const CsvInput input(args.positional[2]);
    const std::string &csvName = input.displayName();

    try {
        std::ifstream in(input.path(), std::ios::binary);
        if (!in)
            throw std::runtime_error(csvName + " nelze přečíst");
        in.exceptions(std::ios::badbit);
        if (chosenEncoding && !input.utf16().empty())
            throw std::runtime_error(csvName + " je text v " + input.utf16() +
                                     " (podle značky pořadí bajtů), který se čte bez --encoding");
        // The encoding given wins; the one found is named, since a wrong guess damages every accented letter.
        if (!chosenEncoding)
            std::cerr << "vrelmont-cli import: " << input.encodingNote() << "\n";
        const TextEncoding encoding = chosenEncoding.value_or(input.encoding());
        Importer importer(csvName, table, encoding);
        CsvReader reader(in, ChooseSeparator(args, input, importer));
        CsvRecord row;
        if (!reader.next(row))
            throw std::runtime_error(csvName + " je prázdný: jeho první řádek musí uvádět názvy polí");
        importer.readHeader(row, args.has("--strict-columns"));
        if (!importer.skippedColumns().empty()) {
            std::string names;
            for (const auto &name : importer.skippedColumns())
                names += (names.empty() ? "" : ", ") + name;
            std::cerr << "vrelmont-cli import: " << csvName << ": přeskakují se sloupce, které nejsou poli tabulky "
                      << table.name << ": " << names << "\n";
        }
        // Every record goes into one transaction, which is committed only after the last one: any
        // failure on the way leaves the table as it was. A dry run opens no table for writing.
        // A second plain import of the same file would double the records silently: the count before says so.
        std::int32_t before = 0;
        if (!replace) {
            TBFTable counted;
            if (counted.OpenTable(Variant::text(Utf8FromPath(tableFile))) == kAnswerDone)
                before = counted.RecordCount();
            counted.CloseTable();
        }
        std::optional<RecordWriter> writer;
        if (!dryRun) {
            writer.emplace(Utf8FromPath(tableFile), table, RecordWriter::Mode::Safe);
            if (replace)
                writer->removeAllRecords();
        }
        std::int64_t count = 0;
        while (reader.next(row)) {
            if (Importer::isBlank(row))
                continue;
            const auto record = importer.recordOf(row);
            if (writer)
                writer->append(record);
            ++count;
        }
        std::error_code ignored;
        if (reader.bytesRead() != fs::file_size(input.path(), ignored))
            throw std::runtime_error(csvName + " nelze přečíst celý");
        const std::string records = RecordCount(count);
        if (dryRun) {
            std::cout << csvName << " je v pořádku: import by zapsal " << records
                      << (replace ? " místo záznamů " : " do ") << Utf8FromPath(tableFile)
                      << ". Nic nebylo zapsáno (--dry-run).\n";
            return kExitOk;
        }
        writer->commit();
        if (replace)
            std::cout << "Import zapsal " << records << " místo záznamů " << Utf8FromPath(tableFile) << ".\n";
        else if (before > 0)
            std::cout << "Import přidal " << records << " do " << Utf8FromPath(tableFile)
                      << "; tabulka jich předtím měla " << before << ", nyní má " << before + count << ".\n";
        else
            std::cout << "Import přidal " << records << " do " << Utf8FromPath(tableFile) << ".\n";
    } catch (const CsvError &error) {
        throw std::runtime_error(AtLine(csvName, error.line(), error.reason()) + "; nic nebylo importováno");
    } catch (const std::ios_base::failure &error) {
        throw std::runtime_error(csvName + " nelze přečíst: " + error.what() + "; nic nebylo importováno");
    } catch (const std::exception &error) {
        throw std::runtime_error(error.what() + std::string("; nic nebylo importováno"));
    }
    return kExitOk;
}

} // namespace

const CommandDeclaration &ImportCommand() {
    static const CommandDeclaration command{
        "import",
        "append the records of a CSV file to a table",
        "DIR TABLE FILE",
        R"(Appends the records of the CSV file FILE to the table TABLE (SKKMKART or SKSEZZAS)
of the agenda directory DIR, in the order of the file. FILE "-" reads standard input.

FILE is what a spreadsheet saves as CSV (RFC 4180): fields separated by commas,
semicolons or tabs, the separator found from the first line (the one that splits
it into the most known field names). Its first line names the fields, by their
names or by the Czech words in brackets (letter case, accents and blanks around
a name do not matter):
  Cislo      (Číslo) number, required
  Sklad      (Sklad) warehouse number, required for SKSEZZAS (stock items only)
  UzivCode, Katalog, BarCode, Zkrat, Popis
             (PLU, Katalog, Čárový kód, Zkratka, Popis) PLU code, catalogue
             number, bar code, abbreviation, description; optional, empty when
             the column is absent
Other columns are skipped, and one line on standard error names them. Numbers
are 32-bit integers. Empty lines, lines of separators only and empty columns at
the end of the lines are skipped. The encoding is found from the text and named
on standard error: UTF-16 and UTF-8 with a byte-order mark, else UTF-8 unless
the bytes are not UTF-8 or hold characters that only windows-1250 explains
(then windows-1250).
)",
        {{"--delimiter", "C", "the separator: \",\" \";\" or tab, instead of finding it", {",", "tab"}},
         {"--encoding", "E", "utf-8 or windows-1250, instead of finding it", {"utf-8", "windows-1250"}},
         {"--dry-run", "", "read and check everything, say how many records would be imported, and write nothing"},
         {"--replace", "", "replace the table's records with the file's (all or nothing)"},
         {"--strict-columns", "", "refuse a column that is no field of the table"}},
        R"(Any error (a missing field, with --strict-columns an unknown one, a number that
is not a 32-bit integer, text that is not valid in the encoding, a malformed
line) names the line and the field, and then nothing at all is imported.

Examples:
  vrelmont-cli import DATA/AGENDA.001 SKKMKART karty.csv
  vrelmont-cli import DATA/AGENDA.001 SKSEZZAS zasoby.csv --replace
  iconv -f cp852 -t utf-8 export.txt | vrelmont-cli import DATA/AGENDA.001 SKKMKART -
)",
        RunImport};
    return command;
}

} // namespace vrelmont::cli
