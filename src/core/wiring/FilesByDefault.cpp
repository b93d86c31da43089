// Compiled into each program that links the wiring (an interface source of vrelmont_wiring, not a
// library member the linker could leave out): its table components read our table files unless
// the command line or the environment choose another engine.
#include "engine/TableBackend.h"
#include "tablefiles/FileTableBackend.h"

namespace {
[[maybe_unused]] const bool filesByDefault = [] {
    vrelmont::SetDefaultTableBackendFactory(vrelmont::MakeFileTableBackend);
    return true;
}();
} // namespace
