#include "cli/CsvFindings.h"

#include "checks/CheckList.h"
#include "text/Cp1250.h"

#include <array>

namespace vrelmont::cli {
namespace {

enum Column {
    Kind,
    Check,
    CheckIdColumn,
    Severity,
    Title,
    Table,
    Warehouse,
    Number,
    Field,
    Value,
    Text,
    Group,
    Status,
    Error,
    Count,
    Elapsed,
    kColumns
};
constexpr std::array<const char *, kColumns> kColumnNames{
    "kind",  "check", "check_id", "severity", "title",  "table", "warehouse", "number",
    "field", "value", "text",     "group",    "status", "error", "count",     "elapsed_s"};

// A spreadsheet runs a cell that starts with one of these as a formula; the apostrophe before it makes
// the cell text (and the spreadsheet hides the apostrophe).
std::string SpreadsheetText(const std::string &text) {
    if (text.empty() || std::string_view("=+-@\t\r").find(text.front()) == std::string_view::npos)
        return text;
    return "'" + text;
}

class CsvFindings final : public FindingsWriter {
public:
    CsvFindings(FindingsStream &out, char delimiter, bool bom) : out_(out), delimiter_(delimiter), bom_(bom) {}

    void begin(const RunInfo &) override {
        // The byte-order mark makes spreadsheets read the file as UTF-8.
        std::string text(bom_ ? kUtf8Bom : std::string_view());
        for (const char *name : kColumnNames) {
            if (name != kColumnNames.front())
                text += delimiter_;
            text += name;
        }
        text += "\r\n";
        out_.write(text);
    }
    void checkStarted(int checkBox) override {
        checkBox_ = checkBox;
        title_ = CheckTitleWithoutColon(checkBox);
    }
    void single(const Finding &finding) override { writeFinding(finding, 0); }
    void groupStarted(long long group, const RecordName &first, const Finding &firstFinding) override {
        std::array<std::string, kColumns> row;
        row[Kind] = "group";
        row[Check] = std::to_string(checkBox_);
        row[Table] = firstFinding.table;
        row[Field] = firstFinding.field;
        row[Value] = firstFinding.value;
        row[Group] = std::to_string(group);
        writeRow(row);
        writeMember(group, first);
        writeMember(group, firstFinding.record);
        writeFinding(firstFinding, group);
    }
    void duplicate(long long group, const Finding &finding) override {
        writeMember(group, finding.record);
        writeFinding(finding, group);
    }
    void groupEnded(long long, long long) override {}
    void checkEnded(const CheckOutcome &check) override {
        std::array<std::string, kColumns> row;
        row[Kind] = "check";
        row[Check] = std::to_string(check.checkBox);
        row[CheckIdColumn] = CheckId(check.checkBox);
        row[Severity] = FindingsNeedNotBeErrors(check.checkBox) ? "warning" : "error";
        row[Title] = CheckTitleWithoutColon(check.checkBox);
        row[Table] = CheckTableName(check.checkBox);
        row[Status] = check.status;
        row[Error] = check.error;
        row[Count] = std::to_string(check.count);
        row[Elapsed] = SecondsText(check.seconds);
        writeRow(row);
    }
    void end(const RunOutcome &run) override {
        std::array<std::string, kColumns> row;
        row[Kind] = "run";
        row[Status] = run.status;
        row[Error] = run.error;
        row[Count] = std::to_string(run.total);
        row[Elapsed] = SecondsText(run.seconds);
        writeRow(row);
    }

private:
    void writeMember(long long group, const RecordName &record) {
        std::array<std::string, kColumns> row;
        row[Kind] = "member";
        row[Check] = std::to_string(checkBox_);
        row[Table] = CheckTableName(checkBox_);
        if (record.warehouse)
            row[Warehouse] = std::to_string(*record.warehouse);
        row[Number] = std::to_string(record.number);
        row[Group] = std::to_string(group);
        writeRow(row);
    }
    void writeFinding(const Finding &finding, long long group) {
        std::array<std::string, kColumns> row;
        row[Kind] = "finding";
        row[Check] = std::to_string(checkBox_);
        row[CheckIdColumn] = CheckId(checkBox_);
        row[Severity] = FindingsNeedNotBeErrors(checkBox_) ? "warning" : "error";
        row[Title] = title_;
        row[Table] = finding.table;
        if (finding.record.warehouse)
            row[Warehouse] = std::to_string(*finding.record.warehouse);
        row[Number] = std::to_string(finding.record.number);
        row[Field] = finding.field;
        row[Value] = finding.value;
        row[Text] = finding.text;
        if (group != 0)
            row[Group] = std::to_string(group);
        writeRow(row);
    }
    void writeRow(const std::array<std::string, kColumns> &row) {
        text_.clear();
        for (std::size_t column = 0; column < row.size(); ++column) {
            if (column != 0)
                text_ += delimiter_;
            const bool text =
                column == Title || column == Field || column == Value || column == Text || column == Error;
            AppendCsvField(text_, text ? SpreadsheetText(row[column]) : row[column], delimiter_);
        }
        text_ += "\r\n";
        out_.write(text_);
    }

    FindingsStream &out_;
    char delimiter_;
    bool bom_;
    int checkBox_ = 0;
    std::string title_;
    std::string text_;
};

} // namespace

std::unique_ptr<FindingsWriter> MakeCsvFindings(FindingsStream &out, char delimiter, bool bom) {
    return std::make_unique<CsvFindings>(out, delimiter, bom);
}

void AppendCsvField(std::string &out, std::string_view text, char delimiter) {
    if (text.find_first_of(std::string{delimiter, '"', '\r', '\n'}) == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace vrelmont::cli
