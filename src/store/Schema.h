#pragma once

#include <QString>
#include <QStringList>

namespace store {
class Connexion;
}

namespace store::schema {

// The client database's tables, columns in the order that the exports read them
// by position.
const QStringList& colonnesFCLI();  // 23 columns, "Numéro" … "Email"
const QStringList& colonnesFTEC();  // 9 columns, "Numéro" … "Mémo"
const QStringList& colonnesFCONS();  // "CODE_CLIENT", "DATE_VISITE"

// Creates FCLI, FTEC and FCONS in an empty database, as the salon application
// lays them out (text compared without regard to letter case, dates as text
// "YYYY-MM-DD HH:MM:SS" in DATETIME columns). For tools and tests.
void creerTablesClients(Connexion& cn);

// The towns reference: table communes (CodePostal, Commune), both indexed.
void creerTableCommunes(Connexion& cn);

}  // namespace store::schema
