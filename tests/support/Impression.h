#pragma once

#include <QString>
#include <ostream>

#include "store/Valeur.h"

// Readable texts in test failures, their line breaks and tabs made visible.
inline void PrintTo(const QString& s, std::ostream* os) {
    QString t = s;
    t.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    *os << '"' << t.replace(u'\t', QStringLiteral("\\t")).toStdString() << '"';
}

namespace store {
// Readable values in test failures.
inline void PrintTo(const Valeur& v, std::ostream* os) {
    static const char* const types[] = {"Null", "Entier", "Reel", "Texte", "Date", "Octets"};
    *os << types[static_cast<int>(v.type())] << "(" << v.texte().toStdString() << ")";
}
}  // namespace store
