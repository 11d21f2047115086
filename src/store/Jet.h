#pragma once

#include <QString>
#include <optional>

namespace store {
class Connexion;
}

namespace store::jet {

// The system's SQL texts are written in the Jet dialect; this is the one place
// that turns them into SQLite. String literals are never altered.
//   #03/15/2005#, #03,15,2005#   month/day/year -> '2005-03-15 00:00:00'
//   DELETE FCLI.* FROM …         -> DELETE FROM …
//   DELETE * FROM …              -> DELETE FROM …
// A date literal that is not a date is an error.
QString traduire(const QString& sqlJet);

// A query for a recordset, translated.
struct Lecture {
    QString sql;    // SQLite text
    QString table;  // the table whose rows can be written back, empty for a read-only result
};
// nullopt for a statement that does not read (DELETE, UPDATE, INSERT, ALTER).
// A plain SELECT on one table (no DISTINCT, join, union or grouping) reads
// each row's id first, so that its rows can be written back by it.
std::optional<Lecture> traduireLecture(const QString& sqlJet, const Connexion& cn);

// An identifier without the brackets or double quotes around it.
QString sansCrochets(QString nom);

// "ALTER TABLE T ALTER COLUMN C Text(n)": SQLite cannot change a column's type,
// so the table is rebuilt (same column order, every row, every value).
struct ModifColonne {
    QString table;
    QString colonne;
    QString type;  // SQLite declared type, "TEXT(50)"
};
std::optional<ModifColonne> lireModifColonne(const QString& sqlJet);
void modifierColonne(Connexion& cn, const ModifColonne& modif);

}  // namespace store::jet
