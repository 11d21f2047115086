#include "access/Valeurs.h"

#include <iconv.h>

#include <QByteArray>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>

#include "access/Erreur.h"
#include "platform/Cp1252.h"

namespace acces {

namespace {

constexpr char16_t kRemplacement = u'\uFFFD';

double depuisTexte(const char* debut, const char* fin) {
    double v = 0.0;
    std::from_chars(debut, fin, v);
    return v;
}

// Lone surrogates cannot be stored as text: each becomes U+FFFD.
void validerPaires(QString& texte, qint64& remplaces) {
    const char16_t* u = reinterpret_cast<const char16_t*>(texte.constData());
    qsizetype i = 0;
    while (i < texte.size() && (u[i] < 0xD800 || u[i] > 0xDFFF)) {
        ++i;
    }
    for (; i < texte.size(); ++i) {
        const QChar c = texte[i];
        if (c.isHighSurrogate() && i + 1 < texte.size() && texte[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            texte[i] = QChar(kRemplacement);
            ++remplaces;
        }
    }
}

bool estCp1252(const QString& nom) {
    const QString n = nom.toUpper().remove(u'-').remove(u'_');
    return n.isEmpty() || n == QLatin1String("CP1252") || n == QLatin1String("WINDOWS1252") ||
           n == QLatin1String("1252");
}

}  // namespace

QString texteUnicode(const uchar* o, qsizetype n, qint64& remplaces) {
    // At most one character per byte when compressed, per two bytes otherwise:
    // written in place, then cut to size.
    const bool compression = n >= 2 && o[0] == 0xFF && o[1] == 0xFE;
    QString texte(compression ? n : (n + 1) / 2, Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(texte.data());
    qsizetype k = 0;
    if (compression) {
        qsizetype i = 2;
        bool compresse = true;
        while (i < n) {
            if (compresse) {
                // A run of one-byte characters, up to the zero that ends it.
                const auto* zero = static_cast<const uchar*>(std::memchr(o + i, 0, n - i));
                const qsizetype fin = zero ? zero - o : n;
                for (; i < fin; ++i) {
                    d[k++] = o[i];
                }
            } else {
                // Two-byte characters until one starts with a zero byte.
                for (; i + 1 < n && o[i] != 0; i += 2) {
                    d[k++] = char16_t(o[i] | (o[i + 1] << 8));
                }
                if (i + 1 == n && o[i] != 0) {
                    // Half a character at the end.
                    d[k++] = kRemplacement;
                    ++remplaces;
                    ++i;
                }
            }
            if (i < n) {
                compresse = !compresse;
                ++i;
            }
        }
    } else {
        qFromLittleEndian<char16_t>(o, n / 2, d);
        k = n / 2;
        if (n % 2) {
            d[k++] = kRemplacement;
            ++remplaces;
        }
    }
    texte.truncate(k);
    validerPaires(texte, remplaces);
    return texte;
}

struct PageCode::Convertisseur {
    iconv_t cd;
};

PageCode::PageCode(const QString& nom) : m_nom(estCp1252(nom) ? QStringLiteral("CP1252") : nom) {
    if (estCp1252(nom)) {
        return;
    }
    const iconv_t cd = iconv_open("UTF-16LE", nom.toLatin1().constData());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw ErreurAccess(
            QStringLiteral("La page de code « %1 » est inconnue (exemples : CP1252, CP850, GBK).")
                .arg(nom));
    }
    m_conv = std::make_unique<Convertisseur>(Convertisseur{cd});
}

PageCode::~PageCode() {
    if (m_conv) {
        iconv_close(m_conv->cd);
    }
}

QString PageCode::decoder(const uchar* octets, qsizetype n, qint64& remplaces) const {
    if (!m_conv) {
        // The salon's own code page, read as Windows reads it: nothing is lost.
        return platform::depuisCp1252(
            QByteArray::fromRawData(reinterpret_cast<const char*>(octets), n));
    }
    iconv(m_conv->cd, nullptr, nullptr, nullptr, nullptr);
    QString texte;
    std::u16string tampon(static_cast<size_t>(n) * 2 + 8, u'\0');
    char* entree = const_cast<char*>(reinterpret_cast<const char*>(octets));
    size_t reste = static_cast<size_t>(n);
    while (reste > 0) {
        char* sortie = reinterpret_cast<char*>(tampon.data());
        size_t place = tampon.size() * 2;
        const size_t r = iconv(m_conv->cd, &entree, &reste, &sortie, &place);
        const int erreur = errno;
        texte += QStringView(tampon.data(), (tampon.size() * 2 - place) / 2);
        if (r != static_cast<size_t>(-1)) {
            break;
        }
        if (erreur == E2BIG) {
            continue;
        }
        // A byte (or an unfinished sequence) with no character in this code page.
        texte += QChar(kRemplacement);
        ++remplaces;
        ++entree;
        --reste;
        iconv(m_conv->cd, nullptr, nullptr, nullptr, nullptr);
    }
    return texte;
}

double reelSimple(float valeur) {
    char t[64];
    const auto r = std::to_chars(t, t + sizeof t, valeur);
    return depuisTexte(t, r.ptr);
}

double monnaie(qint64 dixMilliemes) {
    const bool negatif = dixMilliemes < 0;
    const quint64 m = negatif ? quint64(0) - quint64(dixMilliemes) : quint64(dixMilliemes);
    const std::string t = (negatif ? "-" : "") + std::to_string(m / 10000) + "." +
                          std::to_string(10000 + m % 10000).substr(1);
    return depuisTexte(t.data(), t.data() + t.size());
}

double decimal(const uchar* o, int echelle) {
    unsigned __int128 v = 0;
    for (int mot = 0; mot < 4; ++mot) {
        const uchar* p = o + 1 + 4 * mot;
        const quint32 m =
            quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
        v = (v << 32) | m;
    }
    std::string chiffres;
    do {
        chiffres.insert(chiffres.begin(), char('0' + int(v % 10)));
        v /= 10;
    } while (v != 0);
    echelle = std::clamp(echelle, 0, 38);
    if (echelle > 0) {
        if (static_cast<int>(chiffres.size()) <= echelle) {
            chiffres.insert(0, static_cast<size_t>(echelle) + 1 - chiffres.size(), '0');
        }
        chiffres.insert(chiffres.size() - static_cast<size_t>(echelle), 1, '.');
    }
    if (o[0] & 0x80) {
        chiffres.insert(chiffres.begin(), '-');
    }
    return depuisTexte(chiffres.data(), chiffres.data() + chiffres.size());
}

QString guid(const uchar* o) {
    static const char* const hex = "0123456789ABCDEF";
    // The first three groups are little-endian, the last two as stored.
    static const int ordre[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    QString t = QStringLiteral("{");
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            t += u'-';
        }
        t += QLatin1Char(hex[o[ordre[i]] >> 4]);
        t += QLatin1Char(hex[o[ordre[i]] & 0xF]);
    }
    return t + u'}';
}

}  // namespace acces
