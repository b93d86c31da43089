#pragma once
// Findings with what they are about, for hosts that write them in a machine-readable form. The
// report lines stay the checks' only output towards the window; a host that wants more answers a
// sink from RunHost::findingSink().
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vrelmont {

// A record as the report names it: stock items by warehouse and number, cards by number.
struct RecordName {
    std::optional<std::int32_t> warehouse;
    std::int32_t number = 0;

    bool operator==(const RecordName &) const = default;
};

struct Finding {
    int checkBox = 0;
    const char *table = ""; // SKSEZZAS or SKKMKART
    RecordName record;
    std::string field; // the key that was compared
    std::string value; // its value, as text
    std::string text;  // the report line
};

class FindingSink {
public:
    virtual ~FindingSink() = default;
    // Around each check that runs; `answer` is the check's answer (false: the run stops), `seconds`
    // the time its own work took.
    virtual void checkStarted(int checkBox) = 0;
    virtual void checkEnded(int checkBox, bool answer, double seconds) = 0;
    // A finding of a check that compares no neighbours.
    virtual void singleFinding(const Finding &finding) = 0;
    // A run of equal keys, handed over as the walk goes so that no run is held: groupStarted with the
    // run's first record when its second repeats the key, duplicateFinding for that record and each
    // later one, groupEnded when the run ends (also when an abort ends it early).
    virtual void groupStarted(const RecordName &first) = 0;
    virtual void duplicateFinding(const Finding &finding) = 0;
    virtual void groupEnded() = 0;
};

} // namespace vrelmont
