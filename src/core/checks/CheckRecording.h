#pragma once
// What one check hands its host, kept in order until the check's turn comes to be handed on: report
// lines, messages and findings. Kept packed in memory up to a budget and beyond it in a scratch file
// that the system removes, so that a check of a large table holds no more memory than one of a small
// table. Where no scratch file can be written, everything stays in memory.
#include "checks/Findings.h"

#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vrelmont {

struct RecordedStep {
    enum class Kind : unsigned char { Line, Message, SingleFinding, GroupStart, DuplicateFinding, GroupEnd };
    Kind kind = Kind::Line;
    std::string text; // Line and Message
    Finding finding;  // SingleFinding and DuplicateFinding; GroupStart: only its record
};

class CheckRecording {
public:
    static constexpr std::size_t kMemoryBudget = std::size_t{256} << 10;
    using ScratchOpener = std::function<std::FILE *()>;

    // `openScratch` opens the scratch file: OpenScratchFile unless a test puts a stand-in there.
    explicit CheckRecording(std::size_t memoryBudget = kMemoryBudget, ScratchOpener openScratch = {});

    void addLine(std::string_view text) { add(RecordedStep::Kind::Line, text, nullptr); }
    void addMessage(std::string_view text) { add(RecordedStep::Kind::Message, text, nullptr); }
    void addSingleFinding(const Finding &finding) { add(RecordedStep::Kind::SingleFinding, {}, &finding); }
    void addGroupStart(const RecordName &first);
    void addDuplicateFinding(const Finding &finding) { add(RecordedStep::Kind::DuplicateFinding, {}, &finding); }
    void addGroupEnd() { add(RecordedStep::Kind::GroupEnd, {}, nullptr); }

    std::size_t lineCount() const { return lines_; }
    // Whether part of the recording is in the scratch file.
    bool spilled() const { return spilledBytes_ > 0; }
    // Forgets every step, for a check that starts again.
    void clear();
    // Hands the steps to `visit` in the order they came, until it answers false. Throws
    // std::runtime_error when the scratch file cannot be read back.
    void replay(const std::function<bool(const RecordedStep &)> &visit);

private:
    struct FileCloser {
        void operator()(std::FILE *file) const { std::fclose(file); }
    };

    void add(RecordedStep::Kind kind, std::string_view text, const Finding *finding);
    void spill();
    bool decode(std::string_view packed, RecordedStep &step);
    std::size_t replaySteps(std::string_view packed, const std::function<bool(const RecordedStep &)> &visit,
                            bool &stopped);

    std::size_t memoryBudget_;
    ScratchOpener openScratch_;
    std::string packed_; // the steps not in the scratch file, each with its length before it
    std::unique_ptr<std::FILE, FileCloser> scratch_;
    std::size_t spilledBytes_ = 0; // what the scratch file holds, all whole steps
    bool memoryOnly_ = false;      // no scratch file could be written
    std::size_t lines_ = 0;
};

} // namespace vrelmont
