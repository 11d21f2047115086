#include "platform/Cp1252.h"

#include <QStringDecoder>
#include <array>

namespace platform {

namespace {

// 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kHaut = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QChar caractereCp1252(unsigned char octet) {
    if (octet >= 0x80 && octet <= 0x9F) {
        return QChar(kHaut[octet - 0x80]);
    }
    return QChar(octet);
}

QString depuisCp1252(const QByteArray& octets) {
    QString texte(octets.size(), Qt::Uninitialized);
    QChar* sortie = texte.data();
    for (qsizetype i = 0; i < octets.size(); ++i) {
        sortie[i] = caractereCp1252(static_cast<unsigned char>(octets[i]));
    }
    return texte;
}

QString depuisUtf8OuCp1252(const QByteArray& octets) {
    const QByteArrayView sansMarque =
        octets.startsWith("\xEF\xBB\xBF") ? QByteArrayView(octets).sliced(3) : octets;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString texte = utf8.decode(sansMarque);
    return utf8.hasError() ? depuisCp1252(octets) : texte;
}

QByteArray versCp1252(const QString& texte) {
    QByteArray octets;
    octets.reserve(texte.size());
    for (const QChar c : texte) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            octets.append(static_cast<char>(u));
            continue;
        }
        char trouve = '?';
        for (std::size_t i = 0; i < kHaut.size(); ++i) {
            if (kHaut[i] == u) {
                trouve = static_cast<char>(0x80 + i);
                break;
            }
        }
        octets.append(trouve);
    }
    return octets;
}

}  // namespace platform
