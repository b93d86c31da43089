#pragma once
// Our table files behind the engine interface: each table a SQLite file, on every platform.
#include "engine/TableBackend.h"

#include <memory>

namespace vrelmont {

std::unique_ptr<TableBackend> MakeFileTableBackend();

} // namespace vrelmont
