#pragma once
// The two engine table components of the program, created once and shared by those that use them in
// turn: the engine test connects through the first, every check walks its table through it, and
// the missing master card check also looks master cards up through the second.
#include "engine/TBFTable.h"

namespace vrelmont::ui {

struct EngineTables {
    TBFTable walkTable;   // the form's BFTable1
    TBFTable lookupTable; // the form's BFTable2
};

} // namespace vrelmont::ui
