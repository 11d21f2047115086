#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

namespace acces {

// Values as a Jet file stores them, decoded from their bytes. libmdb's own text
// forms lose digits, misplace dates outside 1900-4637 and make Null look like
// empty text, so the reader hands us the raw bytes instead.

// Text of a Jet 4 (or later) file: UCS-2 little-endian, possibly in the
// "Unicode compression" form (FF FE, then runs of one-byte characters toggled
// by a zero byte). Surrogate pairs are kept; a lone surrogate cannot be
// represented: it becomes U+FFFD and is counted in `remplaces`.
QString texteUnicode(const uchar* octets, qsizetype n, qint64& remplaces);

// Text of a Jet 3 file, in an 8-bit (or double-byte) code page that the file
// does not record. Windows-1252 unless told otherwise.
class PageCode {
public:
    // Throws ErreurAccess when the code page is unknown.
    explicit PageCode(const QString& nom = {});
    ~PageCode();
    PageCode(const PageCode&) = delete;
    PageCode& operator=(const PageCode&) = delete;

    // The name as libmdb and iconv know it ("CP1252", "GBK"…).
    const QString& nom() const { return m_nom; }
    // Bytes without a character in the code page become U+FFFD, counted.
    QString decoder(const uchar* octets, qsizetype n, qint64& remplaces) const;

private:
    struct Convertisseur;
    QString m_nom;
    std::unique_ptr<Convertisseur> m_conv;  // null for Windows-1252
};

// A Single as the shortest decimal that reads back as the same float (0.15,
// not 0.15000000596046448).
double reelSimple(float valeur);
// Currency: a count of ten-thousandths, as the nearest double to its exact
// decimal value.
double monnaie(qint64 dixMilliemes);
// Decimal (Numeric): a sign byte then a 128-bit magnitude stored as four 32-bit
// little-endian words, the most significant first; `echelle` digits after the
// point.
double decimal(const uchar* octets17, int echelle);
// Replication ID: "{6A3B1C2D-1111-2222-3333-444455556666}".
QString guid(const uchar* octets16);

}  // namespace acces
