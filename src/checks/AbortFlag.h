#pragma once
#include <atomic>
#include <cstdint>

namespace vrelmont {

// 0 or 1: cleared by Start, set by Přerušit, read by the checks in their walks (on the command
// line, also on worker threads).
inline std::atomic<std::uint8_t> AbortRequested{0};

} // namespace vrelmont
