#include "store/Dates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace store::dates {

namespace {

const qint64 kJourZero = QDate(1899, 12, 30).toJulianDay();
constexpr int kSecondesParJour = 86400;

int chiffres(QStringView t, qsizetype debut, qsizetype n, bool& ok) {
    int v = 0;
    for (qsizetype i = debut; i < debut + n; ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9') {
            ok = false;
            return 0;
        }
        v = v * 10 + (c - u'0');
    }
    return v;
}

// A short date as the locale writes it. Where the locale's short form has a
// two-digit year ("M/d/yy"), a four-digit year is read too, and two digits
// fall between 1930 and 2029 as Windows reads them (Qt alone gives 19xx).
QDate lireDateCourte(const QString& texte, const QLocale& locale) {
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const bool anneeCourte =
        format.contains(QLatin1String("yy")) && !format.contains(QLatin1String("yyyy"));
    QDate date = locale.toDate(texte, format);
    if (!anneeCourte) {
        return date;
    }
    if (date.isValid()) {
        return date.year() < 1930 ? date.addYears(100) : date;
    }
    QString longue = format;
    longue.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return locale.toDate(texte, longue);
}

// "15/03/2024", "5/3/2024", then optionally " 10:00" or " 10:00:00".
std::optional<double> lireFrancaise(QStringView t) {
    const qsizetype b1 = t.indexOf(u'/');
    const qsizetype b2 = b1 < 0 ? -1 : t.indexOf(u'/', b1 + 1);
    if (b1 < 1 || b1 > 2 || b2 - b1 < 2 || b2 - b1 > 3 || t.size() < b2 + 5) {
        return std::nullopt;
    }
    bool ok = true;
    const int jour = chiffres(t, 0, b1, ok);
    const int mois = chiffres(t, b1 + 1, b2 - b1 - 1, ok);
    const int annee = chiffres(t, b2 + 1, 4, ok);
    const QStringView reste = t.mid(b2 + 5);
    int h = 0;
    int m = 0;
    int s = 0;
    if (!reste.isEmpty()) {
        if ((reste.size() != 6 && reste.size() != 9) || reste[0] != u' ' || reste[3] != u':' ||
            (reste.size() == 9 && reste[6] != u':')) {
            return std::nullopt;
        }
        h = chiffres(reste, 1, 2, ok);
        m = chiffres(reste, 4, 2, ok);
        s = reste.size() == 9 ? chiffres(reste, 7, 2, ok) : 0;
    }
    const QDate date(annee, mois, jour);
    const QTime heure(h, m, s);
    if (!ok || !date.isValid() || !heure.isValid()) {
        return std::nullopt;
    }
    return serie(date, heure);
}

// A number written out: an optional sign, digits, an optional fraction.
std::optional<double> lireNombre(QStringView t) {
    qsizetype i = t.startsWith(u'-') || t.startsWith(u'+') ? 1 : 0;
    qsizetype nbChiffres = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= u'0' && t[i] <= u'9') {
            ++nbChiffres;
        } else if (t[i] == u'.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    bool ok = false;
    const double v = nbChiffres > 0 ? t.toDouble(&ok) : 0.0;
    return ok ? std::optional<double>(v) : std::nullopt;
}

}  // namespace

double serie(const QDate& date, const QTime& heure) {
    const qint64 jours = date.toJulianDay() - kJourZero;
    const double fraction = heure.isValid() ? heure.msecsSinceStartOfDay() / 86400000.0 : 0.0;
    return jours >= 0 ? jours + fraction : jours - fraction;
}

double serie(const QDateTime& dateHeure) {
    return serie(dateHeure.date(), dateHeure.time());
}

QDateTime depuisSerie(double s) {
    double jours = std::trunc(s);
    double fraction = std::fabs(s - jours);
    qint64 secondes = std::llround(fraction * kSecondesParJour);
    if (secondes >= kSecondesParJour) {
        secondes -= kSecondesParJour;
        jours += 1;
    }
    const QDate date = QDate::fromJulianDay(kJourZero + static_cast<qint64>(jours));
    // A wall-clock date and time, not an instant: in local time, the hour that
    // a change to summer time skips would not exist.
    return QDateTime(date, QTime(0, 0).addSecs(static_cast<int>(secondes)), Qt::UTC);
}

std::optional<double> lireIso(QStringView t) {
    t = t.trimmed();
    if (t.size() != 10 && t.size() != 16 && t.size() != 19) {
        return std::nullopt;
    }
    bool ok = true;
    const int annee = chiffres(t, 0, 4, ok);
    const int mois = chiffres(t, 5, 2, ok);
    const int jour = chiffres(t, 8, 2, ok);
    if (!ok || t[4] != u'-' || t[7] != u'-') {
        return std::nullopt;
    }
    int h = 0;
    int m = 0;
    int s = 0;
    if (t.size() > 10) {
        if ((t[10] != u' ' && t[10] != u'T') || t[13] != u':') {
            return std::nullopt;
        }
        h = chiffres(t, 11, 2, ok);
        m = chiffres(t, 14, 2, ok);
        if (t.size() == 19) {
            if (t[16] != u':') {
                return std::nullopt;
            }
            s = chiffres(t, 17, 2, ok);
        }
    }
    const QDate date(annee, mois, jour);
    const QTime heure(h, m, s);
    if (!ok || !date.isValid() || !heure.isValid()) {
        return std::nullopt;
    }
    return serie(date, heure);
}

QString texteIso(double s) {
    const QDateTime dh = depuisSerie(s);
    int annee = 0;
    int mois = 0;
    int jour = 0;
    dh.date().getDate(&annee, &mois, &jour);
    if (annee < 1 || annee > 9999) {
        return dh.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    // Written by hand: every date stored goes through here, and the format
    // engine costs more than the rest of a row.
    const int secondes = dh.time().msecsSinceStartOfDay() / 1000;
    char t[24];
    std::snprintf(t, sizeof t, "%04d-%02d-%02d %02d:%02d:%02d", annee, mois, jour, secondes / 3600,
                  secondes / 60 % 60, secondes % 60);
    return QString::fromLatin1(t, 19);
}

QString texteLocal(double s, const QLocale& locale) {
    const QDateTime dh = depuisSerie(s);
    QString texte = locale.toString(dh.date(), QLocale::ShortFormat);
    if (dh.time() != QTime(0, 0)) {
        texte += u' ' + dh.time().toString(QStringLiteral("HH:mm:ss"));
    }
    return texte;
}

std::optional<double> lireLocal(const QString& texte, const QLocale& locale) {
    const QString t = texte.trimmed();
    if (t.isEmpty()) {
        return std::nullopt;
    }
    QDate date = lireDateCourte(t, locale);
    if (!date.isValid()) {
        // A date followed by its time.
        const int blanc = t.indexOf(u' ');
        const QString partieDate = blanc < 0 ? t : t.left(blanc);
        date = lireDateCourte(partieDate, locale);
        if (!date.isValid()) {
            return std::nullopt;
        }
        if (blanc >= 0) {
            QTime heure = QTime::fromString(t.mid(blanc + 1).trimmed(), QStringLiteral("HH:mm:ss"));
            if (!heure.isValid()) {
                heure = QTime::fromString(t.mid(blanc + 1).trimmed(), QStringLiteral("HH:mm"));
            }
            if (!heure.isValid()) {
                return std::nullopt;
            }
            return serie(date, heure);
        }
    }
    return serie(date);
}

std::optional<double> serieValide(double s) {
    static const double kPremiere = serie(QDate(100, 1, 1));
    static const double kDerniere = serie(QDate(9999, 12, 31), QTime(23, 59, 59));
    // Negated, so that NaN is refused too.
    if (!(s >= kPremiere && s <= kDerniere)) {
        return std::nullopt;
    }
    return s;
}

std::optional<double> lireStockee(QStringView t) {
    t = t.trimmed();
    // Fractions of a second, as SQLite itself may write them, are dropped.
    if (t.size() > 20 && t[19] == u'.' && t[4] == u'-' &&
        std::all_of(t.begin() + 20, t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        t = t.left(19);
    }
    if (auto s = lireIso(t)) {
        return s;
    }
    if (auto s = lireFrancaise(t)) {
        return s;
    }
    if (const auto n = lireNombre(t)) {
        return serieValide(*n);
    }
    return std::nullopt;
}

}  // namespace store::dates
