#pragma once
// The findings as one JSON document, or as JSON lines (one object a line) for readers that stream.
// A group of equal keys is written once, with its members; its findings name it by its id.
#include "cli/DeferredText.h"
#include "cli/FindingsWriter.h"

#include <memory>

namespace vrelmont::cli {

std::unique_ptr<FindingsWriter> MakeJsonFindings(FindingsStream &out);
std::unique_ptr<FindingsWriter> MakeNdjsonFindings(FindingsStream &out);

} // namespace vrelmont::cli
