#pragma once

// The report's text: its title, its key figures and its chapters.

#include <QDateTime>
#include <QString>

namespace rapport {

class Redaction;
struct Chiffres;

// Writes the whole report with `r`.
void rediger(Redaction& r, const Chiffres& c);

// "06/12/2025 14:05"
QString dateCourte(const QDateTime& d);

}  // namespace rapport
