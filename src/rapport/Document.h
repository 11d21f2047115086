#pragma once

#include <QString>
#include <memory>

class QPagedPaintDevice;
class QTextDocument;

namespace rapport {

struct Chiffres;

// French forms of the report: "1 500", "11,2 %", "1,2 Mo".
QString nombre(qint64 n);
QString pourcentage(qint64 partie, qint64 total);
QString taille(qint64 octets);

// The report as one French document laid out on the pages of `appareil`
// (its page size and resolution), the chart included.
std::unique_ptr<QTextDocument> composer(const Chiffres& chiffres, QPagedPaintDevice& appareil);

// Paints the report on the device's pages with a footer on each. Returns the
// number of pages, 0 when the device cannot be painted on.
int peindre(const Chiffres& chiffres, QPagedPaintDevice& appareil);

// Writes the report as an A4 PDF with selectable text, whole or not at all.
// Returns the number of pages; throws platform::ErreurFichier.
int ecrirePdf(const Chiffres& chiffres, const QString& chemin);

}  // namespace rapport
