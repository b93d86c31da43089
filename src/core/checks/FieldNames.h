#pragma once
// Field names of the host tables, made once: the walks pass them to Value for every record.
#include <string>

namespace vrelmont {

inline const std::string kFieldSklad = "Sklad";
inline const std::string kFieldCislo = "Cislo";
inline const std::string kFieldUzivCode = "UzivCode";
inline const std::string kFieldKatalog = "Katalog";
inline const std::string kFieldBarCode = "BarCode";
inline const std::string kFieldZkrat = "Zkrat";
inline const std::string kFieldPopis = "Popis";

} // namespace vrelmont
