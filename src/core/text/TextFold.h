#pragma once
#include <string>
#include <string_view>

namespace vrelmont {

// Lower-cases ASCII and the Latin letters of Central European texts (Latin-1 and Latin Extended-A),
// so that names can be compared without regard to letter case. Other characters stay as they are.
std::string FoldCase(std::string_view utf8);

// Whether two names (sections, keys, fields, paths) are the same without regard to letter case.
// Folding keeps every character's length in bytes, so names of other lengths differ.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

} // namespace vrelmont
