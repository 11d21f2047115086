#pragma once

#include <QString>
#include <QStringList>
#include <vector>

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

// A table a run needs, with the columns it reads (names compared without
// regard to letter case, accents included).
struct TableRequise {
    QString table;
    QStringList colonnes;
};
// What a run needs of a database, checked before its first change and without
// writing anything: the file is an SQLite database, not an empty file, with
// each table and its columns; with `ecriture`, the file and its folder can be
// written. Throws store::ErreurStore naming the first thing that is missing.
void verifier(const QString& chemin, const std::vector<TableRequise>& tables, bool ecriture);

}  // namespace store::schema
