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
