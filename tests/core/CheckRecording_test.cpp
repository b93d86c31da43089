// A check's recording gives back what went in, in order, wherever it was kept: in memory, in the
// scratch file, or back in memory after the scratch file ran out of room. A step lost, doubled or
// moved there would change the report without a word.
#include "checks/CheckRecording.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

using namespace vrelmont;

namespace {

std::string Describe(RecordedStep::Kind kind, const std::string &text, const Finding &finding) {
    const auto &record = finding.record;
    return std::to_string(static_cast<int>(kind)) + "|" + text + "|" + std::to_string(finding.checkBox) + "|" +
           finding.table + "|" + (record.warehouse ? std::to_string(*record.warehouse) : "-") + "|" +
           std::to_string(record.number) + "|" + finding.field + "|" + finding.value + "|" + finding.text;
}

// Records `rounds` rounds of every kind of step; answers how each should come back.
std::vector<std::string> RecordSteps(CheckRecording &recording, int rounds) {
    std::vector<std::string> expected;
    using Kind = RecordedStep::Kind;
    for (int i = 0; i < rounds; ++i) {
        const std::string line = "Nalezena duplicitní zásoba č. " + std::to_string(i) + " – Šroub ěščřžýáíé";
        recording.addLine(line);
        expected.push_back(Describe(Kind::Line, line, {}));
        recording.addLine("");
        expected.push_back(Describe(Kind::Line, "", {}));
        recording.addMessage("Zpráva " + std::to_string(i));
        expected.push_back(Describe(Kind::Message, "Zpráva " + std::to_string(i), {}));
        const Finding single{14, "SKKMKART", {std::nullopt, -i}, "Popis", "", "Karta bez popisu"};
        recording.addSingleFinding(single);
        expected.push_back(Describe(Kind::SingleFinding, "", single));
        const RecordName first{3, i};
        recording.addGroupStart(first);
        Finding named;
        named.record = first;
        expected.push_back(Describe(Kind::GroupStart, "", named));
        const Finding duplicate{
            9, "SKSEZZAS", {3, i + 1}, "CarKod", std::string(static_cast<std::size_t>(i % 7), 'x'), line};
        recording.addDuplicateFinding(duplicate);
        expected.push_back(Describe(Kind::DuplicateFinding, "", duplicate));
        recording.addGroupEnd();
        expected.push_back(Describe(Kind::GroupEnd, "", {}));
    }
    return expected;
}

std::vector<std::string> Replay(CheckRecording &recording, std::size_t stopAfter = SIZE_MAX) {
    std::vector<std::string> steps;
    recording.replay([&](const RecordedStep &step) {
        steps.push_back(Describe(step.kind, step.text, step.finding));
        return steps.size() < stopAfter;
    });
    return steps;
}

TEST(CheckRecording, GivesBackEveryStepInOrderWhereverItIsKept) {
    // Room for a few steps only: the scratch file fills part way through the recording.
    [[maybe_unused]] std::array<char, 3000> smallDisk{};
    struct Case {
        const char *name;
        std::size_t budget;
        CheckRecording::ScratchOpener open;
        bool spilled;
    };
    const std::vector<Case> cases{
        {"in memory", CheckRecording::kMemoryBudget, {}, false},
        {"in the scratch file", 200, {}, true},
        {"no scratch file to be had", 200, [] { return static_cast<std::FILE *>(nullptr); }, false},
#ifdef __GLIBC__
        {"a scratch file that runs out of room", 200,
         [&] { return fmemopen(smallDisk.data(), smallDisk.size(), "w+"); }, false},
#endif
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CheckRecording recording(c.budget, c.open);
        const auto expected = RecordSteps(recording, 300);
        EXPECT_EQ(recording.lineCount(), 600u);
        EXPECT_EQ(recording.spilled(), c.spilled);
        EXPECT_EQ(Replay(recording), expected);
        EXPECT_EQ(Replay(recording, 5), std::vector<std::string>(expected.begin(), expected.begin() + 5));

        // A check that starts again leaves no trace of its first attempt.
        recording.clear();
        const auto again = RecordSteps(recording, 40);
        EXPECT_EQ(recording.lineCount(), 80u);
        EXPECT_EQ(Replay(recording), again);
    }
}

} // namespace
