// The choice of engine backend, and the table component over a backend.
#include "DataToolsRun.h"
#include "TestScopes.h"
#include "engine/EngineError.h"
#include "engine/TBFTable.h"
#include "engine/TableBackend.h"
#include "wiring/EngineChoice.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace vrelmont;

namespace {

// Records the calls it gets and answers each with a fixed value.
class RecordingBackend : public TableBackend {
public:
    explicit RecordingBackend(std::vector<std::string> &calls) : calls_(calls) {}
    std::int32_t OpenTable(const Variant &path) override { return note("OpenTable " + path.toText(), 0); }
    void CloseTable() override { note("CloseTable", 0); }
    std::int32_t RecordCount() override { return note("RecordCount", 42); }
    std::int32_t GoTop() override { return note("GoTop", 1); }
    std::int32_t MoveNext() override { return note("MoveNext", 1); }
    std::int32_t PostRecord() override { return note("PostRecord", 0); }
    void SetValue(const std::string &field, const Variant &value) override {
        note("SetValue " + field + "=" + value.toText(), 0);
    }
    std::int32_t SeekKey(const Variant &key) override { return note("SeekKey " + key.toText(), 7); }
    void AppendRecord() override { note("AppendRecord", 0); }
    std::int32_t DeleteRecord() override { return note("DeleteRecord", 0); }
    std::int32_t SetIndex(const std::string &keyExpression) override { return note("SetIndex " + keyExpression, 0); }
    std::int32_t SeekKeyPair(const Variant &first, const Variant &second) override {
        return note("SeekKeyPair " + first.toText() + "," + second.toText(), 7);
    }
    std::string QueryGuid(const std::string &guid) override {
        note("QueryGuid " + guid, 0);
        return "1.0";
    }
    Variant Value(const std::string &field) override {
        note("Value " + field, 0);
        return Variant::text("v");
    }

private:
    std::int32_t note(const std::string &call, std::int32_t answer) {
        calls_.push_back(call);
        return answer;
    }
    std::vector<std::string> &calls_;
};

TEST(TableBackendChoice, AComponentConnectsOnceAndPassesEveryOperationThrough) {
    std::vector<std::string> calls;
    int connections = 0;
    const vrelmont::test::TableBackendFactoryScope standIn([&] {
        ++connections;
        return std::make_unique<RecordingBackend>(calls);
    });
    TBFTable table;
    table.CloseTable();
    EXPECT_EQ(connections, 0) << "closing alone does not connect";
    EXPECT_EQ(table.OpenTable(Variant::text("T")), 0);
    EXPECT_EQ(table.RecordCount(), 42);
    EXPECT_EQ(table.SeekKeyPair(Variant::text("S"), Variant::int32(5)), kAnswerFound);
    EXPECT_EQ(table.Value("Popis").toText(), "v");
    table.CloseTable();
    EXPECT_EQ(table.QueryGuid("{G}"), "1.0");
    EXPECT_EQ(connections, 1) << "the backend is kept until the component goes";
    EXPECT_EQ(calls, (std::vector<std::string>{"OpenTable T", "RecordCount", "SeekKeyPair S,5", "Value Popis",
                                               "CloseTable", "QueryGuid {G}"}));
}

TEST(TableBackendChoice, AFailedConnectionIsRetriedByTheNextOperation) {
    std::vector<std::string> calls;
    bool available = false;
    const vrelmont::test::TableBackendFactoryScope standIn([&]() -> std::unique_ptr<TableBackend> {
        if (!available)
            throw EngineError("Třída není registrována.");
        return std::make_unique<RecordingBackend>(calls);
    });
    TBFTable table;
    EXPECT_THROW(table.GoTop(), EngineError);
    EXPECT_FALSE(table.isConnected());
    available = true;
    EXPECT_EQ(table.GoTop(), 1);
    EXPECT_TRUE(table.isConnected());
}

TEST(EngineChoice, NamesAndTheFilesEverywhere) {
    EXPECT_EQ(ParseEngineKind("host"), EngineKind::Host);
    EXPECT_EQ(ParseEngineKind("files"), EngineKind::Files);
    EXPECT_EQ(ParseEngineKind("auto"), EngineKind::Automatic);
    EXPECT_THROW(ParseEngineKind("Host"), std::invalid_argument);
    EXPECT_THROW(ParseEngineKind(""), std::invalid_argument);
    EXPECT_NO_THROW(UseEngine(EngineKind::Files));
}

#ifndef _WIN32
TEST(EngineChoice, TheHostEngineIsRefusedClearlyOffWindows) {
    EXPECT_FALSE(IsHostEngineRegistered());
    EXPECT_THROW(UseEngine(EngineKind::Host), std::runtime_error);
    EXPECT_NO_THROW(UseEngine(EngineKind::Automatic)) << "the automatic choice takes the table files";

    const auto result = test::RunCli({"check", ".", "--engine", "host"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("server COM ve Windows"), std::string::npos) << result.err;
    const auto wrong = test::RunCli({"check", ".", "--engine", "ole"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("--engine přijímá host, files nebo auto, ne \"ole\""), std::string::npos) << wrong.err;
}
#endif

} // namespace
