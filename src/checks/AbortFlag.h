#pragma once
#include <cstdint>

namespace vrelmont {

// 0 or 1: cleared by Start, set by Přerušit, read by the checks in their walks.
inline std::uint8_t AbortRequested = 0;

} // namespace vrelmont
