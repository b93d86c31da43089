#include "cli/XlsxFindings.h"

#include "checks/CheckList.h"
#include "settings/ProgramValues.h"
#include "text/Cp1250.h"

#include <xlsxwriter.h>

#include <array>
#include <stdexcept>
#include <vector>

namespace vrelmont::cli {
namespace {

constexpr std::array<const char *, 5> kFindingColumns{"warehouse", "number", "value", "text", "group"};
constexpr std::array<const char *, 9> kSummaryColumns{"check",  "check_id", "severity", "title",    "table",
                                                      "status", "error",    "count",    "elapsed_s"};
// A cell holds at most this many characters; longer texts are cut.
constexpr std::size_t kCellTextMax = 32767;

std::string CellText(std::string_view text) {
    std::string utf8 = IsValidUtf8(text) ? std::string(text) : Cp1250ToUtf8(text);
    if (utf8.size() > kCellTextMax) {
        std::size_t cut = kCellTextMax;
        while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
            --cut;
        utf8.resize(cut);
    }
    return utf8;
}

// A sheet written row by row, continued on a new sheet when one is full.
class Sheet {
public:
    template <std::size_t N>
    Sheet(lxw_workbook *book, std::string name, const std::array<const char *, N> &columns, lxw_format *bold)
        : book_(book), name_(std::move(name)), columns_(columns.begin(), columns.end()), bold_(bold) {
        open();
    }

    // The next row; a full sheet is closed and continued on "<name> 2", "<name> 3", ...
    lxw_row_t nextRow() {
        if (row_ == LXW_ROW_MAX) {
            close();
            open();
        }
        return row_++;
    }
    void text(lxw_row_t row, std::size_t column, std::string_view value) {
        const std::string cell = CellText(value);
        worksheet_write_string(sheet_, row, static_cast<lxw_col_t>(column), cell.c_str(), nullptr);
    }
    void number(lxw_row_t row, std::size_t column, double value) {
        worksheet_write_number(sheet_, row, static_cast<lxw_col_t>(column), value, nullptr);
    }
    // The autofilter over the rows written.
    void close() { worksheet_autofilter(sheet_, 0, 0, row_ - 1, static_cast<lxw_col_t>(columns_.size() - 1)); }

private:
    void open() {
        std::string name = name_;
        if (++parts_ > 1)
            name = name.substr(0, LXW_SHEETNAME_MAX - 6) + " " + std::to_string(parts_);
        sheet_ = workbook_add_worksheet(book_, name.c_str());
        if (!sheet_)
            throw std::runtime_error("list \"" + name + "\" nelze přidat do sešitu");
        for (std::size_t column = 0; column < columns_.size(); ++column)
            worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(column), columns_[column], bold_);
        worksheet_freeze_panes(sheet_, 1, 0);
        row_ = 1;
    }

    lxw_workbook *book_;
    std::string name_;
    std::vector<const char *> columns_;
    lxw_format *bold_;
    lxw_worksheet *sheet_ = nullptr;
    lxw_row_t row_ = 0;
    int parts_ = 0;
};

class XlsxFindings final : public FindingsWriter {
public:
    explicit XlsxFindings(const std::string &path) : path_(path) {
        // Rows go to temporary files as they are written: a workbook of a million findings costs no memory.
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.use_zip64 = LXW_TRUE;
        book_ = workbook_new_opt(path.c_str(), &options);
        if (!book_)
            throw std::runtime_error("sešit \"" + path + "\" nelze vytvořit");
        bold_ = workbook_add_format(book_);
        format_set_bold(bold_);
        // Made first, filled last: the summary is the sheet a spreadsheet opens on.
        summary_ = std::make_unique<Sheet>(book_, "Souhrn", kSummaryColumns, bold_);
    }
    ~XlsxFindings() override {
        if (book_)
            workbook_close(book_);
    }
    XlsxFindings(const XlsxFindings &) = delete;
    XlsxFindings &operator=(const XlsxFindings &) = delete;

    void begin(const RunInfo &run) override { run_ = run; }
    void checkStarted(int checkBox) override {
        checkBox_ = checkBox;
        check_.reset();
    }
    void single(const Finding &finding) override { writeFinding(finding, 0); }
    // The group's first record, which no report line names, stands above its findings without a text,
    // so that filtering by the group shows every record that shares the key.
    void groupStarted(long long group, const RecordName &first, const Finding &firstFinding) override {
        Finding firstRecord;
        firstRecord.record = first;
        firstRecord.value = firstFinding.value;
        writeFinding(firstRecord, group);
        writeFinding(firstFinding, group);
    }
    void duplicate(long long group, const Finding &finding) override { writeFinding(finding, group); }
    void groupEnded(long long, long long) override {}
    void checkEnded(const CheckOutcome &check) override {
        const std::string_view status = check.status;
        if (status != "skipped" && status != "not_run")
            checkSheet().close();
        checks_.push_back(check);
    }
    void end(const RunOutcome &run) override {
        for (const CheckOutcome &check : checks_) {
            const lxw_row_t row = summary_->nextRow();
            summary_->number(row, 0, check.checkBox);
            summary_->text(row, 1, CheckId(check.checkBox));
            summary_->text(row, 2, FindingsNeedNotBeErrors(check.checkBox) ? "warning" : "error");
            summary_->text(row, 3, CheckTitleWithoutColon(check.checkBox));
            summary_->text(row, 4, CheckTableName(check.checkBox));
            summary_->text(row, 5, check.status);
            summary_->text(row, 6, check.error);
            summary_->number(row, 7, static_cast<double>(check.count));
            if (check.seconds >= 0)
                summary_->number(row, 8, check.seconds);
        }
        summary_->close();
        // The run itself below the checks, as name and value.
        summary_->nextRow();
        const std::array<std::pair<const char *, std::string>, 9> about{{
            {"tool", std::string("vrelmont-cli ") + kProgramVersion},
            {"generated_at", run_.generatedAt},
            {"agenda_path", run_.agendaPath},
            {"agenda_name", run_.agendaName},
            {"completed", run.completed ? "true" : "false"},
            {"status", run.status},
            {"error", run.error},
            {"elapsed_s", std::to_string(run.seconds)},
            {"total", std::to_string(run.total)},
        }};
        for (const auto &[name, value] : about) {
            const lxw_row_t row = summary_->nextRow();
            summary_->text(row, 0, name);
            summary_->text(row, 1, value);
        }
        lxw_workbook *book = book_;
        book_ = nullptr;
        if (const lxw_error error = workbook_close(book); error != LXW_NO_ERROR)
            throw std::runtime_error("sešit \"" + path_ + "\" nelze zapsat: " + lxw_strerror(error));
    }

private:
    Sheet &checkSheet() {
        if (!check_) {
            char number[4];
            std::snprintf(number, sizeof number, "%02d", checkBox_);
            const std::string name = std::string(number) + " " + std::string(CheckId(checkBox_));
            check_ = std::make_unique<Sheet>(book_, name.substr(0, LXW_SHEETNAME_MAX), kFindingColumns, bold_);
        }
        return *check_;
    }
    void writeFinding(const Finding &finding, long long group) {
        Sheet &sheet = checkSheet();
        const lxw_row_t row = sheet.nextRow();
        if (finding.record.warehouse)
            sheet.number(row, 0, *finding.record.warehouse);
        sheet.number(row, 1, finding.record.number);
        sheet.text(row, 2, finding.value);
        sheet.text(row, 3, finding.text);
        if (group != 0)
            sheet.number(row, 4, static_cast<double>(group));
    }
    std::string path_;
    lxw_workbook *book_ = nullptr;
    lxw_format *bold_ = nullptr;
    RunInfo run_;
    std::unique_ptr<Sheet> summary_;
    std::unique_ptr<Sheet> check_;
    std::vector<CheckOutcome> checks_;
    int checkBox_ = 0;
};

} // namespace

bool XlsxAvailable() {
    return true;
}

std::unique_ptr<FindingsWriter> MakeXlsxFindings(const std::string &path) {
    return std::make_unique<XlsxFindings>(path);
}

} // namespace vrelmont::cli
