#include "checks/CheckRecording.h"

#include "platform/FileIo.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace vrelmont {
namespace {

// Each step is packed as its length (4 bytes) and its fields; numbers in this machine's order, and a
// finding's table as its pointer (a table's name lives as long as the program): the packing never
// leaves the process.
void PutNumber(std::string &out, std::uint32_t number) {
    char bytes[sizeof number];
    std::memcpy(bytes, &number, sizeof number);
    out.append(bytes, sizeof number);
}

void PutText(std::string &out, std::string_view text) {
    PutNumber(out, static_cast<std::uint32_t>(text.size()));
    out.append(text);
}

void PutTable(std::string &out, const char *table) {
    char bytes[sizeof table];
    std::memcpy(bytes, &table, sizeof table);
    out.append(bytes, sizeof table);
}

void PutRecord(std::string &out, const RecordName &record) {
    out.push_back(record.warehouse ? 1 : 0);
    PutNumber(out, static_cast<std::uint32_t>(record.warehouse.value_or(0)));
    PutNumber(out, static_cast<std::uint32_t>(record.number));
}

[[noreturn]] void FailReadingBack() {
    throw std::runtime_error("Nelze číst dočasný soubor se zápisem kontroly");
}

class Unpacker {
public:
    explicit Unpacker(std::string_view packed) : rest_(packed) {}

    bool number(std::uint32_t &value) {
        if (rest_.size() < sizeof value)
            return false;
        std::memcpy(&value, rest_.data(), sizeof value);
        rest_.remove_prefix(sizeof value);
        return true;
    }
    bool signedNumber(std::int32_t &value) {
        std::uint32_t raw = 0;
        if (!number(raw))
            return false;
        value = static_cast<std::int32_t>(raw);
        return true;
    }
    bool text(std::string &value) {
        std::uint32_t size = 0;
        if (!number(size) || rest_.size() < size)
            return false;
        value.assign(rest_.substr(0, size));
        rest_.remove_prefix(size);
        return true;
    }
    bool table(const char *&value) {
        if (rest_.size() < sizeof value)
            return false;
        std::memcpy(&value, rest_.data(), sizeof value);
        rest_.remove_prefix(sizeof value);
        return true;
    }
    bool record(RecordName &value) {
        if (rest_.empty())
            return false;
        const bool hasWarehouse = rest_.front() != 0;
        rest_.remove_prefix(1);
        std::int32_t warehouse = 0;
        if (!signedNumber(warehouse) || !signedNumber(value.number))
            return false;
        value.warehouse = hasWarehouse ? std::optional<std::int32_t>(warehouse) : std::nullopt;
        return true;
    }
    bool done() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

} // namespace

CheckRecording::CheckRecording(std::size_t memoryBudget, ScratchOpener openScratch)
    : memoryBudget_(memoryBudget), openScratch_(openScratch ? std::move(openScratch) : OpenScratchFile) {}

void CheckRecording::addGroupStart(const RecordName &first) {
    Finding named;
    named.record = first;
    add(RecordedStep::Kind::GroupStart, {}, &named);
}

void CheckRecording::add(RecordedStep::Kind kind, std::string_view text, const Finding *finding) {
    const std::size_t start = packed_.size();
    PutNumber(packed_, 0); // the length, filled in below
    packed_.push_back(static_cast<char>(kind));
    switch (kind) {
    case RecordedStep::Kind::Line:
        ++lines_;
        [[fallthrough]];
    case RecordedStep::Kind::Message:
        PutText(packed_, text);
        break;
    case RecordedStep::Kind::GroupStart:
        PutRecord(packed_, finding->record);
        break;
    case RecordedStep::Kind::SingleFinding:
    case RecordedStep::Kind::DuplicateFinding:
        PutNumber(packed_, static_cast<std::uint32_t>(finding->checkBox));
        PutTable(packed_, finding->table);
        PutRecord(packed_, finding->record);
        PutText(packed_, finding->field);
        PutText(packed_, finding->value);
        PutText(packed_, finding->text);
        break;
    case RecordedStep::Kind::GroupEnd:
        break;
    }
    const auto length = static_cast<std::uint32_t>(packed_.size() - start - sizeof(std::uint32_t));
    std::memcpy(packed_.data() + start, &length, sizeof length);
    if (packed_.size() > memoryBudget_ && !memoryOnly_)
        spill();
}

// Moves the packed steps into the scratch file. A file that cannot be made or written (a full disk)
// leaves them, and all that follow, in memory: the recording is never cut short.
void CheckRecording::spill() {
    if (!scratch_) {
        scratch_.reset(openScratch_());
        // Unbuffered: the steps go out a budget at a time, and a write that fails leaves nothing
        // waiting in a buffer, so what the file held before can still be read back.
        if (scratch_)
            std::setvbuf(scratch_.get(), nullptr, _IONBF, 0);
    }
    if (scratch_ && std::fseek(scratch_.get(), 0, SEEK_END) == 0 &&
        std::fwrite(packed_.data(), 1, packed_.size(), scratch_.get()) == packed_.size() &&
        std::fflush(scratch_.get()) == 0) {
        spilledBytes_ += packed_.size();
        packed_.clear();
        return;
    }
    memoryOnly_ = true;
    if (!scratch_ || spilledBytes_ == 0) {
        scratch_.reset();
        spilledBytes_ = 0;
        return;
    }
    // What the file held before this write is whole: it comes back before the steps in memory.
    std::string earlier(spilledBytes_, '\0');
    if (std::fseek(scratch_.get(), 0, SEEK_SET) != 0 ||
        std::fread(earlier.data(), 1, earlier.size(), scratch_.get()) != earlier.size())
        FailReadingBack();
    packed_.insert(0, earlier);
    scratch_.reset();
    spilledBytes_ = 0;
}

void CheckRecording::clear() {
    packed_.clear();
    scratch_.reset();
    spilledBytes_ = 0;
    memoryOnly_ = false;
    lines_ = 0;
}

bool CheckRecording::decode(std::string_view packed, RecordedStep &step) {
    if (packed.empty())
        return false;
    step.kind = static_cast<RecordedStep::Kind>(packed.front());
    step.text.clear();
    step.finding = Finding{};
    Unpacker in(packed.substr(1));
    bool whole = true;
    switch (step.kind) {
    case RecordedStep::Kind::Line:
    case RecordedStep::Kind::Message:
        whole = in.text(step.text);
        break;
    case RecordedStep::Kind::GroupStart:
        whole = in.record(step.finding.record);
        break;
    case RecordedStep::Kind::SingleFinding:
    case RecordedStep::Kind::DuplicateFinding:
        whole = in.signedNumber(step.finding.checkBox) && in.table(step.finding.table) &&
                in.record(step.finding.record) && in.text(step.finding.field) && in.text(step.finding.value) &&
                in.text(step.finding.text);
        break;
    case RecordedStep::Kind::GroupEnd:
        break;
    default:
        whole = false;
    }
    return whole && in.done();
}

// Hands on the whole steps at the start of `packed`; answers how many bytes they took. `stopped`
// tells whether `visit` asked to stop.
std::size_t CheckRecording::replaySteps(std::string_view packed, const std::function<bool(const RecordedStep &)> &visit,
                                        bool &stopped) {
    RecordedStep step;
    std::size_t offset = 0;
    while (!stopped && packed.size() - offset >= sizeof(std::uint32_t)) {
        std::uint32_t length = 0;
        std::memcpy(&length, packed.data() + offset, sizeof length);
        if (packed.size() - offset - sizeof length < length)
            break;
        if (!decode(packed.substr(offset + sizeof length, length), step))
            FailReadingBack();
        offset += sizeof length + length;
        stopped = !visit(step);
    }
    return offset;
}

void CheckRecording::replay(const std::function<bool(const RecordedStep &)> &visit) {
    bool stopped = false;
    if (scratch_) {
        if (std::fseek(scratch_.get(), 0, SEEK_SET) != 0)
            FailReadingBack();
        std::string chunk;
        for (std::size_t left = spilledBytes_; left > 0 && !stopped;) {
            const std::size_t kept = chunk.size();
            const std::size_t wanted = std::min(left, memoryBudget_ + 4096);
            chunk.resize(kept + wanted);
            if (std::fread(chunk.data() + kept, 1, wanted, scratch_.get()) != wanted)
                FailReadingBack();
            left -= wanted;
            chunk.erase(0, replaySteps(chunk, visit, stopped));
        }
        if (!stopped && !chunk.empty())
            FailReadingBack();
    }
    if (!stopped)
        replaySteps(packed_, visit, stopped);
}

} // namespace vrelmont
