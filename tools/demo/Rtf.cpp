#include "demo/Rtf.h"

#include <QHash>

#include "platform/Cp1252.h"

namespace demo {

namespace {

const char* const kEntetes[] = {
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fswiss\\fcharset0 "
    "Arial;}}\r\n{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n\\pard\\f0\\fs20 ",
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1036{\\fonttbl{\\f0\\fnil\\fcharset0 "
    "Calibri;}}\r\n{\\*\\generator Riched20 10.0.22621}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang12 ",
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans "
    "Serif;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs17 ",
};

// The escape of a character beyond ASCII, worked out once per character.
const QString& escapeHorsAscii(QChar c) {
    static QHash<char16_t, QString> cache;
    auto it = cache.find(c.unicode());
    if (it == cache.end()) {
        const QByteArray octet = platform::versCp1252(QString(c));
        const QString e = octet == "?"
                              ? QStringLiteral("\\u%1?").arg(static_cast<qint16>(c.unicode()))
                              : QStringLiteral("\\'%1").arg(static_cast<unsigned char>(octet.at(0)),
                                                            2, 16, QChar(u'0'));
        it = cache.insert(c.unicode(), e);
    }
    return *it;
}

void echapper(QString& sortie, const QString& texte, bool euroUnicode) {
    for (const QChar c : texte) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            sortie += u'\\';
            sortie += c;
        } else if (u < 0x80) {
            sortie += c;
        } else if (u == 0x20AC && euroUnicode) {
            sortie += QLatin1String("\\u8364?");
        } else {
            sortie += escapeHorsAscii(c);
        }
    }
}

}  // namespace

int longueurTexte(const QList<Paragraphe>& paragraphes) {
    qsizetype n = 0;
    for (const Paragraphe& p : paragraphes) {
        n += p.gras.size() + p.texte.size() + 2;  // label separator or line break
    }
    return static_cast<int>(n);
}

StyleRtf styleAuHasard(Hasard& h) {
    StyleRtf s;
    s.version = h.chance(0.6) ? 0 : h.entre(1, 2);
    s.euroUnicode = h.chance(0.3);
    return s;
}

QString rtfRichEdit(const QList<Paragraphe>& paragraphes, const StyleRtf& style) {
    const bool euroUnicode = style.euroUnicode;
    QString r = QString::fromLatin1(kEntetes[style.version]);
    r.reserve(r.size() + longueurTexte(paragraphes) + 64);
    for (const Paragraphe& p : paragraphes) {
        if (!p.gras.isEmpty()) {
            r += QLatin1String("\\b ");
            echapper(r, p.gras, euroUnicode);
            r += p.tabulation ? QLatin1String("\\b0\\tab ") : QLatin1String("\\b0  : ");
        } else if (p.tabulation) {
            r += QLatin1String("\\tab ");
        }
        echapper(r, p.texte, euroUnicode);
        r += QLatin1String("\\par\r\n");
    }
    r += u'}';
    return r;
}

}  // namespace demo
