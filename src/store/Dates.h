#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>

namespace store::dates {

// Dates are day serials: days counted from 30 December 1899 at midnight, the time
// of day as a fraction. Before that day the whole part counts back and the
// fraction still counts forward (-1.25 is 29 December 1899 at 06:00).

double serie(const QDate& date, const QTime& heure = QTime(0, 0));
double serie(const QDateTime& dateHeure);
// The date and time of day as written, in a UTC QDateTime (no zone to shift them).
QDateTime depuisSerie(double serie);

// Stored form "YYYY-MM-DD HH:MM:SS"; "YYYY-MM-DD", "YYYY-MM-DD HH:MM" and a "T"
// between date and time are read too.
std::optional<double> lireIso(QStringView texte);
QString texteIso(double serie);

// Default text form: the locale's short date, then the time of day unless it is
// midnight.
QString texteLocal(double serie, const QLocale& locale);

// A date typed or shown in the locale's short form ("15/03/2005" in French),
// possibly followed by a time. Never swaps day and month. Where the short form
// has a two-digit year, four digits are read too and two fall in 1930-2029.
std::optional<double> lireLocal(const QString& texte, const QLocale& locale);

// A day serial that stands for a date of the years 100 to 9999, the dates a
// database of the salon can hold; nothing for any other number.
std::optional<double> serieValide(double serie);

// A date as this program or another one stored it as text: our form and the
// variants lireIso reads (with fractions of a second too), the French form
// "15/03/2024" with or without its time ("10:00" or "10:00:00"), or a day
// serial written out ("45366.5"). Day before month, whatever the locale.
std::optional<double> lireStockee(QStringView texte);

}  // namespace store::dates
