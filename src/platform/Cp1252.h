#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Windows-1252, the 8-bit code page of the salon's French Windows files.
// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character there; they are read
// as the control characters of the same number, as Windows does.
QChar caractereCp1252(unsigned char octet);
QString depuisCp1252(const QByteArray& octets);

// A text file of the salon: UTF-8 when its bytes are valid UTF-8 (a byte
// order mark dropped), Windows-1252 otherwise.
QString depuisUtf8OuCp1252(const QByteArray& octets);

// Characters without a place in the code page become "?".
QByteArray versCp1252(const QString& texte);

}  // namespace platform
