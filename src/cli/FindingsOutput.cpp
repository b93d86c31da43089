#include "cli/FindingsOutput.h"

#include "checks/CheckList.h"
#include "hostdb/Cp1250.h"

#include <algorithm>
#include <stdexcept>

namespace vrelmont::cli {
namespace {

std::string CheckTitleWithoutColon(int checkBox) {
    std::string title(CheckTitle(checkBox));
    if (!title.empty() && title.back() == ':')
        title.pop_back();
    return title;
}

void AppendRecordText(std::string &out, const RecordName &record) {
    if (record.warehouse) {
        out += std::to_string(*record.warehouse);
        out += '/';
    }
    out += std::to_string(record.number);
}

void AppendJsonRecord(std::string &out, const RecordName &record) {
    out += "\"warehouse\": ";
    out += record.warehouse ? std::to_string(*record.warehouse) : "null";
    out += ", \"number\": ";
    out += std::to_string(record.number);
}

std::size_t RunPosition(int checkBox) {
    return static_cast<std::size_t>(std::find(kRunOrder.begin(), kRunOrder.end(), checkBox) - kRunOrder.begin());
}

} // namespace

void AppendJsonString(std::string &out, std::string_view text) {
    const std::string converted = IsValidUtf8(text) ? std::string() : Cp1250ToUtf8(text);
    if (!converted.empty())
        text = converted;
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                out += "\\u00";
                out += hex[byte >> 4];
                out += hex[byte & 0x0F];
            } else {
                out += c;
            }
        }
    }
    out += '"';
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

FindingsOutput::FindingsOutput(FindingsFormat format, std::FILE *out, const SelectedChecks &ticked, char csvDelimiter,
                               std::function<void()> beforeWrite)
    : format_(format), out_(out), ticked_(ticked), csvDelimiter_(csvDelimiter), beforeWrite_(std::move(beforeWrite)) {}

void FindingsOutput::write(const std::string &text) {
    if (format_ == FindingsFormat::Text || text.empty())
        return;
    if (beforeWrite_)
        beforeWrite_();
    std::fwrite(text.data(), 1, text.size(), out_);
}

void FindingsOutput::Begin(const std::string &agendaDirectory, const std::string &agendaName,
                           const std::string &isoDate) {
    buffer_.clear();
    if (format_ == FindingsFormat::Json) {
        buffer_ += "{\"agenda\": {\"directory\": ";
        AppendJsonString(buffer_, agendaDirectory);
        buffer_ += ", \"name\": ";
        AppendJsonString(buffer_, agendaName);
        buffer_ += "},\n \"date\": ";
        AppendJsonString(buffer_, isoDate);
        buffer_ += ",\n \"checks\": [";
    } else if (format_ == FindingsFormat::Csv) {
        // The byte-order mark makes spreadsheets read the file as UTF-8.
        buffer_ += kUtf8Bom;
        const char *const columns[] = {"check", "title", "table", "warehouse", "number",
                                       "field", "value", "text",  "group"};
        for (const char *column : columns) {
            if (column != columns[0])
                buffer_ += csvDelimiter_;
            buffer_ += column;
        }
        buffer_ += "\r\n";
    }
    write(buffer_);
}

void FindingsOutput::openCheck(int checkBox) {
    buffer_.clear();
    buffer_ += written_ == 0 ? "\n  " : ",\n  ";
    buffer_ += "{\"number\": " + std::to_string(checkBox) + ", \"title\": ";
    AppendJsonString(buffer_, CheckTitleWithoutColon(checkBox));
    buffer_ += ", \"table\": ";
    AppendJsonString(buffer_, CheckTableName(checkBox));
    buffer_ += ", \"findings\": [";
    ++written_;
    write(buffer_);
}

void FindingsOutput::closeCheck(int checkBox, const char *status) {
    const auto box = static_cast<std::size_t>(checkBox);
    buffer_.clear();
    if (count_[box] != 0)
        buffer_ += "\n  ";
    buffer_ += "], \"status\": \"";
    buffer_ += status;
    buffer_ += "\", \"count\": " + std::to_string(count_[box]) + "}";
    write(buffer_);
}

void FindingsOutput::writeChecksBefore(int checkBox) {
    const std::size_t end = checkBox == 0 ? kRunOrder.size() : RunPosition(checkBox);
    while (written_ < end) {
        const int box = kRunOrder[written_];
        const auto status = status_[static_cast<std::size_t>(box)];
        if (format_ == FindingsFormat::Json) {
            openCheck(box);
            // A ticked check that never ran: the run stopped before its turn.
            closeCheck(box, ticked_.contains(box) && status == Status::NotRun ? "stopped" : "skipped");
        } else {
            ++written_;
        }
    }
}

void FindingsOutput::CheckStarted(int checkBox) {
    writeChecksBefore(checkBox);
    status_[static_cast<std::size_t>(checkBox)] = Status::Running;
    if (format_ == FindingsFormat::Json)
        openCheck(checkBox);
    else
        ++written_;
}

void FindingsOutput::CheckEnded(int checkBox, bool answer) {
    status_[static_cast<std::size_t>(checkBox)] = answer ? Status::Completed : Status::Stopped;
    if (format_ == FindingsFormat::Json)
        closeCheck(checkBox, answer ? "completed" : "stopped");
}

// Every finding of a group lists the whole group: it is formatted once, not once per finding.
void FindingsOutput::formatGroup(const std::vector<RecordName> &group) {
    groupText_.clear();
    if (format_ == FindingsFormat::Json) {
        groupText_ += ", \"group\": [";
        for (const RecordName &member : group) {
            groupText_ += &member == group.data() ? "{" : ", {";
            AppendJsonRecord(groupText_, member);
            groupText_ += "}";
        }
        groupText_ += "]";
    } else if (format_ == FindingsFormat::Csv) {
        std::string numbers;
        for (const RecordName &member : group) {
            if (!numbers.empty())
                numbers += ' ';
            AppendRecordText(numbers, member);
        }
        AppendCsvField(groupText_, numbers, csvDelimiter_);
    }
}

void FindingsOutput::writeFinding(const Finding &finding, const std::string *group) {
    auto &count = count_[static_cast<std::size_t>(finding.checkBox)];
    if (format_ == FindingsFormat::Json) {
        buffer_ += count == 0 ? "\n   " : ",\n   ";
        buffer_ += "{\"table\": ";
        AppendJsonString(buffer_, finding.table);
        buffer_ += ", ";
        AppendJsonRecord(buffer_, finding.record);
        buffer_ += ", \"field\": ";
        AppendJsonString(buffer_, finding.field);
        buffer_ += ", \"value\": ";
        AppendJsonString(buffer_, finding.value);
        buffer_ += ", \"text\": ";
        AppendJsonString(buffer_, finding.text);
        if (group)
            buffer_ += *group;
        buffer_ += "}";
    } else if (format_ == FindingsFormat::Csv) {
        const char d = csvDelimiter_;
        buffer_ += std::to_string(finding.checkBox);
        buffer_ += d;
        AppendCsvField(buffer_, CheckTitleWithoutColon(finding.checkBox), d);
        buffer_ += d;
        buffer_ += finding.table;
        buffer_ += d;
        if (finding.record.warehouse)
            buffer_ += std::to_string(*finding.record.warehouse);
        buffer_ += d;
        buffer_ += std::to_string(finding.record.number);
        buffer_ += d;
        buffer_ += finding.field;
        buffer_ += d;
        AppendCsvField(buffer_, finding.value, d);
        buffer_ += d;
        AppendCsvField(buffer_, finding.text, d);
        buffer_ += d;
        if (group)
            buffer_ += *group;
        buffer_ += "\r\n";
    }
    ++count;
    ++total_;
}

void FindingsOutput::SingleFinding(const Finding &finding) {
    buffer_.clear();
    writeFinding(finding, nullptr);
    write(buffer_);
}

void FindingsOutput::DuplicateGroup(const std::vector<Finding> &findings, const std::vector<RecordName> &group) {
    formatGroup(group);
    for (const Finding &finding : findings) {
        buffer_.clear();
        writeFinding(finding, &groupText_);
        write(buffer_);
    }
}

void FindingsOutput::End(bool completed) {
    // After an engine error the check that raised it never ended: it stopped the run.
    for (const int checkBox : kRunOrder)
        if (status_[static_cast<std::size_t>(checkBox)] == Status::Running)
            CheckEnded(checkBox, false);
    writeChecksBefore(0);
    if (format_ == FindingsFormat::Json) {
        buffer_ = "\n ],\n \"completed\": ";
        buffer_ += completed ? "true" : "false";
        buffer_ += ",\n \"total\": " + std::to_string(total_) + "}\n";
        write(buffer_);
    }
}

std::string FindingsOutput::Summary() const {
    std::string summary;
    for (const int checkBox : kRunOrder) {
        const auto box = static_cast<std::size_t>(checkBox);
        if (!ticked_.contains(checkBox))
            continue;
        char number[8];
        std::snprintf(number, sizeof number, "Check%02d", checkBox);
        summary += number;
        summary += " " + CheckTitleWithoutColon(checkBox) + ": " + std::to_string(count_[box]);
        if (status_[box] == Status::Stopped)
            summary += " (stopped)";
        else if (status_[box] == Status::NotRun)
            summary += " (not run)";
        summary += "\n";
    }
    return summary;
}

} // namespace vrelmont::cli
