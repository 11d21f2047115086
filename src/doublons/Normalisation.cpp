#include "doublons/Normalisation.h"

#include <algorithm>

namespace doublons {

namespace {

bool voyelle(QChar c) {
    switch (c.unicode()) {
        case u'A':
        case u'E':
        case u'I':
        case u'O':
        case u'U':
        case u'Y':
            return true;
        default:
            return false;
    }
}

bool chiffre(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The letters of a normalised name, without blanks or digits.
QString lettres(const QString& norme) {
    QString r;
    r.reserve(norme.size());
    for (const QChar c : norme) {
        if (c != u' ' && !chiffre(c)) {
            r += c;
        }
    }
    return r;
}

}  // namespace

QString normaliserNom(const QString& nom) {
    // Decomposing is slow and only matters for letters beyond ASCII.
    const bool ascii =
        std::all_of(nom.begin(), nom.end(), [](QChar c) { return c.unicode() < 0x80; });
    const QString source = ascii ? nom : nom.normalized(QString::NormalizationForm_D);
    QString r;
    r.reserve(source.size());
    bool coupure = false;
    for (const QChar c : source) {
        if (c.category() == QChar::Mark_NonSpacing) {
            continue;
        }
        if (!c.isLetterOrNumber()) {
            coupure = true;
            continue;
        }
        if (coupure && !r.isEmpty()) {
            r += u' ';
        }
        coupure = false;
        if (c == u'\u0152' || c == u'\u0153') {
            r += u"OE";
        } else if (c == u'\u00C6' || c == u'\u00E6') {
            r += u"AE";
        } else if (c == u'\u00DF') {
            r += u"SS";
        } else {
            r += c.toUpper();
        }
    }
    return r;
}

QString normaliserTelephone(const QString& telephone) {
    // The letter O stands for a zero only in a number written without other letters.
    const bool autresLettres = std::any_of(telephone.begin(), telephone.end(), [](QChar c) {
        return c.isLetter() && c != u'O' && c != u'o';
    });
    QString d;
    d.reserve(telephone.size());
    bool plus = false;
    for (const QChar c : telephone) {
        if (chiffre(c)) {
            d += c;
        } else if ((c == u'O' || c == u'o') && !autresLettres) {
            d += u'0';
        } else if (c == u'+' && d.isEmpty()) {
            plus = true;
        }
    }
    if (d.startsWith(QLatin1String("0033"))) {
        d.replace(0, 4, QStringLiteral("0"));
    } else if (d.startsWith(QLatin1String("33")) && (plus || d.size() == 11)) {
        d.replace(0, 2, QStringLiteral("0"));
    }
    // "+33 (0)6 12 34 56 78"
    if (d.startsWith(QLatin1String("00")) && d.size() == 11) {
        d.remove(0, 1);
    }
    if (d.size() == 9 && d[0] != u'0' && !plus) {
        d.prepend(u'0');
    }
    return d.size() < 9 ? QString() : d;
}

QString normaliserEmail(const QString& email) {
    return email.trimmed().toLower();
}

QString clePhonetique(const QString& nom) {
    QString n = lettres(normaliserNom(nom));
    // Final consonants are mostly silent ("PETIT", "DUPOND", "SCHMIDT"), then
    // a final E: "LOUISE" keeps the S that "LOUIS" loses.
    while (n.size() > 2 && QStringView(u"DSTXZ").contains(n.back())) {
        n.chop(1);
    }
    if (n.size() > 2 && n.back() == u'E') {
        n.chop(1);
    }
    const auto a = [&n](qsizetype i) { return i < n.size() ? n[i] : QChar(); };
    // A nasal vowel: the N or M is not followed by a vowel nor doubled.
    const auto nasale = [&](qsizetype i) {
        return (a(i) == u'N' || a(i) == u'M') && !voyelle(a(i + 1)) && a(i + 1) != u'N' &&
               a(i + 1) != u'M';
    };
    const auto devantEIY = [&](qsizetype i) {
        return a(i) == u'E' || a(i) == u'I' || a(i) == u'Y';
    };
    QString r;
    r.reserve(n.size());
    qsizetype i = 0;
    while (i < n.size()) {
        const QChar c = n[i];
        qsizetype pas = 1;
        switch (c.unicode()) {
            case u'A':
                if ((a(i + 1) == u'I' || a(i + 1) == u'Y') && nasale(i + 2)) {
                    r += u'3';  // AIN
                    pas = 3;
                } else if (a(i + 1) == u'I' || a(i + 1) == u'Y') {
                    r += u'E';
                    pas = 2;
                } else if (a(i + 1) == u'U') {
                    r += u'O';
                    pas = 2;
                } else if (nasale(i + 1)) {
                    r += u'1';  // AN, AM
                    pas = 2;
                } else {
                    r += u'A';
                }
                break;
            case u'E':
                if (a(i + 1) == u'A' && a(i + 2) == u'U') {
                    r += u'O';
                    pas = 3;
                } else if (a(i + 1) == u'I' && nasale(i + 2)) {
                    r += u'3';  // EIN
                    pas = 3;
                } else if (a(i + 1) == u'I' || a(i + 1) == u'U') {
                    r += u'E';
                    pas = 2;
                } else if (nasale(i + 1)) {
                    r += u'1';  // EN, EM
                    pas = 2;
                } else {
                    r += u'E';
                }
                break;
            case u'I':
            case u'Y':
                if (nasale(i + 1)) {
                    r += u'3';
                    pas = 2;
                } else {
                    r += u'I';
                }
                break;
            case u'O':
                if (a(i + 1) == u'U') {
                    r += u'U';
                    pas = 2;
                } else if (a(i + 1) == u'I') {
                    r += u'W';
                    pas = 2;
                } else if (nasale(i + 1)) {
                    r += u'2';  // ON, OM
                    pas = 2;
                } else {
                    r += u'O';
                }
                break;
            case u'U':
                if (nasale(i + 1)) {
                    r += u'3';
                    pas = 2;
                } else {
                    r += u'U';
                }
                break;
            case u'C':
                if (a(i + 1) == u'H') {
                    // CHRISTINE, CHLOE sound K.
                    r += a(i + 2) == u'R' || a(i + 2) == u'L' ? u'K' : u'X';
                    pas = 2;
                } else if (a(i + 1) == u'K') {
                    r += u'K';
                    pas = 2;
                } else {
                    r += devantEIY(i + 1) ? u'S' : u'K';
                }
                break;
            case u'G':
                if (a(i + 1) == u'U' && devantEIY(i + 2)) {
                    r += u'G';
                    pas = 2;
                } else if (a(i + 1) == u'N') {
                    r += u"NI";
                    pas = 2;
                } else {
                    r += devantEIY(i + 1) ? u'J' : u'G';
                }
                break;
            case u'H':
                break;
            case u'P':
                if (a(i + 1) == u'H') {
                    r += u'F';
                    pas = 2;
                } else {
                    r += u'P';
                }
                break;
            case u'Q':
                r += u'K';
                pas = a(i + 1) == u'U' ? 2 : 1;
                break;
            case u'S':
                if (a(i + 1) == u'C' && a(i + 2) == u'H') {
                    r += u'X';
                    pas = 3;
                } else if (a(i + 1) == u'H') {
                    r += u'X';
                    pas = 2;
                } else if (a(i + 1) == u'C' && devantEIY(i + 2)) {
                    r += u'S';
                    pas = 2;
                } else {
                    r += u'S';
                }
                break;
            case u'W':
                r += u'V';
                break;
            case u'X':
                r += u"KS";
                break;
            case u'Z':
                r += u'S';
                break;
            default:
                r += c;
                break;
        }
        i += pas;
    }
    // Doubled sounds count once.
    QString k;
    k.reserve(r.size());
    for (const QChar c : r) {
        if (k.isEmpty() || k.back() != c) {
            k += c;
        }
    }
    return k;
}

}  // namespace doublons
