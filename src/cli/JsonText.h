#pragma once
// The pieces of JSON that the findings are written with.
#include "checks/Findings.h"

#include <string>
#include <string_view>

namespace vrelmont::cli {

// JSON string literal of UTF-8 text; bytes that are not UTF-8 are read as windows-1250.
void AppendJsonString(std::string &out, std::string_view text);
// {"warehouse":W,"number":N}, the warehouse null for a card.
void AppendJsonRecord(std::string &out, const RecordName &record);

} // namespace vrelmont::cli
