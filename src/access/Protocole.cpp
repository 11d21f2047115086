#include "access/Protocole.h"

namespace acces::protocole {

namespace {

QString echapper(QString t) {
    return t.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\t', QStringLiteral("\\t"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\r', QStringLiteral("\\r"));
}

QString retablir(QStringView t) {
    QString r;
    r.reserve(t.size());
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] != u'\\' || i + 1 == t.size()) {
            r += t[i];
            continue;
        }
        const QChar c = t[++i];
        r += c == u't' ? QChar(u'\t') : c == u'n' ? QChar(u'\n') : c == u'r' ? QChar(u'\r') : c;
    }
    return r;
}

}  // namespace

QString ligne(const QString& mot, const QStringList& champs) {
    QString l = mot;
    for (const QString& c : champs) {
        l += u'\t' + echapper(c);
    }
    return l + u'\n';
}

Message lire(QStringView ligne) {
    while (!ligne.isEmpty() && (ligne.back() == u'\n' || ligne.back() == u'\r')) {
        ligne.chop(1);
    }
    Message m;
    const auto morceaux = ligne.split(u'\t');
    if (morceaux.isEmpty()) {
        return m;
    }
    m.mot = morceaux.front().toString();
    for (qsizetype i = 1; i < morceaux.size(); ++i) {
        m.champs << retablir(morceaux[i]);
    }
    return m;
}

qint64 dureeMax(qint64 octets) {
    // A minute, and a second a megabyte: sound files go at tens of megabytes a second.
    return 60 + octets / (1 << 20);
}

}  // namespace acces::protocole
