#pragma once

#include <QStringList>

#include "store/Connexion.h"
#include "store/Dates.h"
#include "support/Dossier.h"

namespace test {

// A day and time "YYYY-MM-DD HH:MM:SS" as a date value; nullptr is Null.
inline store::Valeur jour(const char* iso) {
    return iso ? store::Valeur::date(*store::dates::lireIso(QString::fromLatin1(iso)))
               : store::Valeur();
}

// Clients, visits and sheets around 15 March 2005. Before that day and never
// since: A1, A2 and a3 (its visits are written "A3"). Kept: B1 (came back
// after), C1 and C2 (only on the day itself), D1 (never came), E1 (one visit
// without a date). Sheets dated before: numbers 1, 2 (both A1's) and 7.
inline void remplirPurge(store::Connexion& cn) {
    store::Transaction t(cn);
    for (const char* code : {"A1", "A2", "a3", "B1", "C1", "C2", "D1", "E1"}) {
        inserer(cn, QStringLiteral("FCLI"), {{QStringLiteral("Code"), QString::fromLatin1(code)}});
    }
    const std::pair<const char*, const char*> visites[] = {
        {"A1", "2004-06-01 09:00:00"}, {"A1", "2005-03-14 23:59:59"},
        {"A2", "2003-01-10 10:00:00"}, {"A3", "2004-02-02 10:00:00"},
        {"B1", "2004-01-01 10:00:00"}, {"B1", "2005-03-16 10:00:00"},
        {"C1", "2005-03-15 00:00:00"}, {"C2", "2005-03-15 10:30:00"},
        {"E1", "2004-05-05 10:00:00"}, {"E1", nullptr},
        {"Z9", "2001-01-01 10:00:00"}};  // a visit of no known client
    for (const auto& [code, date] : visites) {
        inserer(cn, QStringLiteral("FCONS"),
                {{QStringLiteral("CODE_CLIENT"), QString::fromLatin1(code)},
                 {QStringLiteral("DATE_VISITE"), jour(date)}});
    }
    const std::pair<const char*, const char*> fiches[] = {
        {"A1", "2005-03-14 00:00:00"}, {"A1", "2004-01-01 00:00:00"}, {"B1", "2005-03-15 00:00:00"},
        {"B1", "2005-03-15 11:00:00"}, {"C1", "2005-03-16 00:00:00"}, {"D1", nullptr},
        {"Z9", "2000-01-01 00:00:00"}};
    qint64 numero = 0;
    for (const auto& [code, date] : fiches) {
        inserer(cn, QStringLiteral("FTEC"),
                {{QStringLiteral("Numéro"), store::Valeur::entier(++numero)},
                 {QStringLiteral("Code_Client"), QString::fromLatin1(code)},
                 {QStringLiteral("Date"), jour(date)}});
    }
    t.valider();
}

// One column of a table, in row order, as text.
inline QStringList colonne(store::Connexion& cn, const QString& table, const QString& nom) {
    return lignes(cn, QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                          .arg(store::citer(nom), store::citer(table)));
}

}  // namespace test
