#pragma once

#include <ostream>

#include "store/Valeur.h"

namespace store {
// Readable values in test failures.
inline void PrintTo(const Valeur& v, std::ostream* os) {
    static const char* const types[] = {"Null", "Entier", "Reel", "Texte", "Date", "Octets"};
    *os << types[static_cast<int>(v.type())] << "(" << v.texte().toStdString() << ")";
}
}  // namespace store
