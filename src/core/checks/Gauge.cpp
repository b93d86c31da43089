#include "checks/Gauge.h"

#include <algorithm>
#include <cstdint>

namespace vrelmont {

void Gauge::setMaximum(int maximum) {
    maximum = std::max(maximum, 0);
    const int progress = std::min(progress_, maximum);
    if (maximum == maximum_ && progress == progress_)
        return;
    maximum_ = maximum;
    progress_ = progress;
    changed();
}

void Gauge::setProgress(int progress) {
    progress = std::clamp(progress, 0, maximum_);
    if (progress == progress_)
        return;
    progress_ = progress;
    changed();
}

int Gauge::percent() const {
    if (maximum_ == 0)
        return 0;
    // 64 bits: progress * 100 overflows an int for tables beyond 21 million records.
    return static_cast<int>(std::int64_t{progress_} * 100 / maximum_);
}

} // namespace vrelmont
