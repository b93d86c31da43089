#include "cli/JsonFindings.h"

#include "checks/CheckList.h"
#include "cli/JsonText.h"
#include "settings/ProgramValues.h"

namespace vrelmont::cli {
namespace {

// The version of the document's layout: readers check it before they rely on a field.
constexpr int kSchemaVersion = 2;

void AppendRunHead(std::string &out, const RunInfo &run) {
    out += "\"schema_version\":" + std::to_string(kSchemaVersion) + ",\"tool\":{\"name\":\"vrelmont-cli\",\"version\":";
    AppendJsonString(out, kProgramVersion);
    out += "},\"generated_at\":";
    AppendJsonString(out, run.generatedAt);
    out += ",\"agenda\":{\"path\":";
    AppendJsonString(out, run.agendaPath);
    out += ",\"name\":";
    AppendJsonString(out, run.agendaName);
    out += '}';
}

void AppendTextOrNull(std::string &out, const std::string &text) {
    if (text.empty())
        out += "null";
    else
        AppendJsonString(out, text);
}

void AppendSeconds(std::string &out, double seconds) {
    const std::string text = SecondsText(seconds);
    out += text.empty() ? "null" : text;
}

// "number":1,"id":...,"title":...,"severity":...,"table":... of a check.
void AppendCheckHead(std::string &out, int checkBox) {
    out += "\"number\":" + std::to_string(checkBox) + ",\"id\":";
    AppendJsonString(out, CheckId(checkBox));
    out += ",\"title\":";
    AppendJsonString(out, CheckTitleWithoutColon(checkBox));
    out += ",\"severity\":";
    out += FindingsNeedNotBeErrors(checkBox) ? "\"warning\"" : "\"error\"";
    out += ",\"table\":";
    AppendJsonString(out, CheckTableName(checkBox));
    out += ",\"field\":";
    AppendJsonString(out, CheckKeyField(checkBox));
}

// "status":...,"error":...,"count":...,"elapsed_s":... of a check that ended or was passed.
void AppendCheckEnd(std::string &out, const CheckOutcome &check) {
    out += "\"status\":\"";
    out += check.status;
    out += "\",\"error\":";
    AppendTextOrNull(out, check.error);
    out += ",\"count\":" + std::to_string(check.count) + ",\"elapsed_s\":";
    AppendSeconds(out, check.seconds);
}

void AppendRunEnd(std::string &out, const RunOutcome &run) {
    out += "\"completed\":";
    out += run.completed ? "true" : "false";
    out += ",\"status\":\"";
    out += run.status;
    out += "\",\"error\":";
    AppendTextOrNull(out, run.error);
    out += ",\"elapsed_s\":";
    AppendSeconds(out, run.seconds);
    out += ",\"total\":" + std::to_string(run.total);
}

// The finding's fields, and its group's id when it has one (0: none).
void AppendFindingFields(std::string &out, const Finding &finding, long long group) {
    out += "\"warehouse\":";
    out += finding.record.warehouse ? std::to_string(*finding.record.warehouse) : "null";
    out += ",\"number\":" + std::to_string(finding.record.number) + ",\"value\":";
    AppendJsonString(out, finding.value);
    out += ",\"text\":";
    AppendJsonString(out, finding.text);
    if (group != 0)
        out += ",\"group\":" + std::to_string(group);
}

// "id":G,"value":...,"members":[first,second — the rest follows as the run goes on.
void AppendGroupHead(std::string &out, long long group, const RecordName &first, const Finding &firstFinding) {
    out += "\"id\":" + std::to_string(group) + ",\"value\":";
    AppendJsonString(out, firstFinding.value);
    out += ",\"members\":[";
    AppendJsonRecord(out, first);
    out += ',';
    AppendJsonRecord(out, firstFinding.record);
}

void AppendMember(std::string &out, const RecordName &record) {
    out += ',';
    AppendJsonRecord(out, record);
}

// What both JSON layouts share: findings are written as they come, a group's members gathered
// until it ends.
class JsonWriterBase : public FindingsWriter {
public:
    explicit JsonWriterBase(FindingsStream &out) : out_(out) {}

    void single(const Finding &finding) override { writeFinding(finding, 0); }
    void duplicate(long long group, const Finding &finding) override {
        text_.clear();
        AppendMember(text_, finding.record);
        deferred_.append(text_);
        writeFinding(finding, group);
    }

protected:
    virtual void writeFinding(const Finding &finding, long long group) = 0;

    FindingsStream &out_;
    DeferredText deferred_;
    std::string text_;
};

class JsonFindings final : public JsonWriterBase {
public:
    explicit JsonFindings(FindingsStream &out) : JsonWriterBase(out) {}

    void begin(const RunInfo &run) override {
        text_ = "{";
        AppendRunHead(text_, run);
        text_ += ",\n\"checks\":[";
        out_.write(text_);
    }
    void checkStarted(int checkBox) override {
        text_ = checks_++ == 0 ? "\n{" : ",\n{";
        AppendCheckHead(text_, checkBox);
        text_ += ",\"findings\":[";
        out_.write(text_);
        findings_ = 0;
        groups_ = 0;
    }
    void groupStarted(long long group, const RecordName &first, const Finding &firstFinding) override {
        text_ = groups_++ == 0 ? "\n{" : ",\n{";
        AppendGroupHead(text_, group, first, firstFinding);
        deferred_.append(text_);
        writeFinding(firstFinding, group);
    }
    void groupEnded(long long, long long) override { deferred_.append("]}"); }
    void checkEnded(const CheckOutcome &check) override {
        out_.write(findings_ == 0 ? "],\"groups\":[" : "\n],\"groups\":[");
        deferred_.moveTo(out_);
        text_ = groups_ == 0 ? "]," : "\n],";
        AppendCheckEnd(text_, check);
        text_ += '}';
        out_.write(text_);
    }
    void end(const RunOutcome &run) override {
        text_ = "\n],\n";
        AppendRunEnd(text_, run);
        text_ += "}\n";
        out_.write(text_);
    }

private:
    // The check's groups wait in deferred_ until its findings are written.
    void writeFinding(const Finding &finding, long long group) override {
        text_ = findings_++ == 0 ? "\n{" : ",\n{";
        AppendFindingFields(text_, finding, group);
        text_ += '}';
        out_.write(text_);
    }

    long long checks_ = 0;
    long long findings_ = 0;
    long long groups_ = 0;
};

class NdjsonFindings final : public JsonWriterBase {
public:
    explicit NdjsonFindings(FindingsStream &out) : JsonWriterBase(out) {}

    void begin(const RunInfo &run) override {
        text_ = "{\"type\":\"run\",";
        AppendRunHead(text_, run);
        text_ += "}\n";
        out_.write(text_);
    }
    void checkStarted(int checkBox) override {
        checkBox_ = checkBox;
        text_ = "{\"type\":\"check_start\",";
        AppendCheckHead(text_, checkBox);
        text_ += "}\n";
        out_.write(text_);
    }
    void groupStarted(long long group, const RecordName &first, const Finding &firstFinding) override {
        text_ = "{\"type\":\"group\",\"check\":" + std::to_string(checkBox_) + ",";
        AppendGroupHead(text_, group, first, firstFinding);
        deferred_.append(text_);
        writeFinding(firstFinding, group);
    }
    void groupEnded(long long, long long) override {
        deferred_.append("]}\n");
        deferred_.moveTo(out_);
    }
    void checkEnded(const CheckOutcome &check) override {
        text_ = "{\"type\":\"check_end\",\"check\":" + std::to_string(check.checkBox) + ",";
        AppendCheckEnd(text_, check);
        text_ += "}\n";
        out_.write(text_);
    }
    void end(const RunOutcome &run) override {
        text_ = "{\"type\":\"summary\",";
        AppendRunEnd(text_, run);
        text_ += "}\n";
        out_.write(text_);
    }

private:
    // The open group waits in deferred_ until it ends.
    void writeFinding(const Finding &finding, long long group) override {
        text_ = "{\"type\":\"finding\",\"check\":" + std::to_string(checkBox_) + ",";
        AppendFindingFields(text_, finding, group);
        text_ += "}\n";
        out_.write(text_);
    }

    int checkBox_ = 0;
};

} // namespace

std::unique_ptr<FindingsWriter> MakeJsonFindings(FindingsStream &out) {
    return std::make_unique<JsonFindings>(out);
}

std::unique_ptr<FindingsWriter> MakeNdjsonFindings(FindingsStream &out) {
    return std::make_unique<NdjsonFindings>(out);
}

} // namespace vrelmont::cli
