#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "store/Valeur.h"

namespace store {
class Connexion;
}

namespace store::journal {

// The table of every change the program makes to the client database. It is
// created on first use, in that database.
const QString& table();

// The tables whose changes are recorded, with the column that names a row.
struct TableSuivie {
    QString table;
    QString cle;  // "Code" for FCLI, "Numéro" for FTEC
};
const std::vector<TableSuivie>& tablesSuivies();

// One recorded change.
struct Entree {
    qint64 numero = 0;
    QString quand;   // start of the run, "YYYY-MM-DD HH:MM:SS", local time
    qint64 lot = 0;  // one run of one operation
    QString operation;
    QString table;
    Valeur cle;
    QString colonne;  // empty for a deleted row and for a count
    Valeur avant;
    Valeur apres;
    qint64 lotAnnule = 0;  // the batch an undo put back, 0 otherwise
};

// From now on every change this connection makes to FCLI or FTEC is recorded,
// one row per changed column, by the very statement that makes the change:
// a change and its record are stored together or not at all. A value written
// over the same value records nothing (letter case counts); a deleted row is
// recorded with its key, and whole in `avant`: its rowid then each column's
// value as an SQL literal ("12,'A1',NULL,4.5"), exact to the bit, in the
// order that noterColonnes() records. Replaces the connection's earlier
// context and returns the batch number of this run.
qint64 activer(Connexion& cn, const QString& operation, qint64 lotAnnule = 0);
// Stops recording on this connection.
void desactiver(Connexion& cn);
// A row written by the caller under the connection's context, for what no
// column change tells (the count of a purge). Without a context, throws
// store::ErreurStore.
void noter(Connexion& cn, const QString& table, const Valeur& cle, const QString& colonne,
           const Valeur& avant, const Valeur& apres);

// Records, in the batch, the order of the values of the rows it deletes from
// the table (`apres`: "rowid,\"Numéro\",…" under the column kColonnesSupprimees), so
// that remettre() can put them back even if the table changed its columns.
inline const QString kColonnesSupprimees = QStringLiteral("Colonnes des lignes supprimées");
void noterColonnes(Connexion& cn, const QString& table);

// A row that a batch deleted, as the journal keeps it.
struct LigneSupprimee {
    QString table;
    Valeur cle;
    QString colonnes;  // as noterColonnes noted them; empty when it did not
    QByteArray valeurs;  // the literals as stored (UTF-8); empty when kept by its key only
};
// The rows batch `lot` deleted, in the order it deleted them.
std::vector<LigneSupprimee> lignesSupprimees(const Connexion& cn, qint64 lot);
// The rowid a row kept whole had; nothing for a row kept by its key only or
// damaged.
std::optional<qint64> rowidSupprime(const LigneSupprimee& ligne);
// Puts the rows back as they were, rowids included and in their order, each
// literal read as SQLite reads it: call it inside a transaction. A row not
// kept whole, or whose values do not match its columns, throws
// store::ErreurStore before anything is written; a rowid taken since throws
// when its turn comes.
void remettre(Connexion& cn, const std::vector<LigneSupprimee>& lignes);

// A figure of a run that changes nothing in the tables (what an analysis
// found): its name and its value.
struct Chiffre {
    QString nom;
    Valeur valeur;
};
// Records the figures of one run as a batch of their own, with no table, in
// one statement: they are never read as changes (lire and the undo leave them
// out). Works inside a transaction or not, and leaves the connection's context
// as it is. Returns the batch number (0, nothing written, without figures).
qint64 noterBilan(Connexion& cn, const QString& operation, const std::vector<Chiffre>& chiffres);
// The figures recorded by noterBilan under that operation, in order: the
// name in `colonne`, the value in `apres`.
std::vector<Entree> lireBilans(const Connexion& cn, const QString& operation);

// Every change in order, or those of one batch; none when the table is absent.
// The figures of noterBilan are not changes and are left out.
std::vector<Entree> lire(const Connexion& cn, std::optional<qint64> lot = std::nullopt);
// The latest batch of changes of one of these operations that no later batch
// undid; 0 when there is none.
qint64 dernierLot(const Connexion& cn, const QStringList& operations);

}  // namespace store::journal
