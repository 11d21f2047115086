#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "store/Connexion.h"
#include "store/Valeur.h"

namespace acces {

// What a column of an Access table becomes in the SQLite file.
enum class Genre {
    Texte,   // Text(n): TEXT(n) COLLATE NOCASE, as Jet compares text
    Memo,    // TEXT COLLATE NOCASE
    Entier,  // Byte, Integer, Long: INTEGER
    Reel,    // Currency, Single, Double, Decimal: REAL
    Date,    // DATETIME, "YYYY-MM-DD HH:MM:SS"
    OuiNon,  // INTEGER 0/1
    Octets,  // Binary, OLE: BLOB
    Guid,    // Replication ID: its "{…}" text
};

struct Colonne {
    QString nom;
    Genre genre = Genre::Texte;
    int taille = 0;  // characters, for Text
};

// The declared SQLite type of a column.
QString typeSqlite(const Colonne& colonne);

struct TableImportee {
    QString nom;
    qint64 lignes = 0;
    qint64 remplaces = 0;
};

// What the new file records about its origin, in its table _import_access.
struct Origine {
    QString source;  // the original's name, "BdClient.mdb"
    qint64 taille = 0;
    QString sha256;
    QString versionJet;
    QString pageCode;
    QString versionLibmdb;
    double date = 0.0;  // day serial
};

// Writes the converted database: a new SQLite file filled in one transaction,
// committed only by valider(). Anything short of that leaves no data in it.
class EcritureSqlite {
public:
    static const QString& tableImport();  // "_import_access"

    explicit EcritureSqlite(const QString& chemin);
    ~EcritureSqlite();

    void commencerTable(const QString& nom, const std::vector<Colonne>& colonnes);
    void ajouter(const std::vector<store::Valeur>& valeurs);
    // Indexes the salon's key columns; gives the table's COUNT(*).
    qint64 terminerTable();

    void enregistrerOrigine(const Origine& origine, const std::vector<TableImportee>& tables);
    void valider();

private:
    store::Connexion m_cn;
    std::optional<store::Transaction> m_transaction;
    std::optional<store::Instruction> m_insertion;
    QString m_table;
    QStringList m_colonnes;
    QStringList m_tables;
};

}  // namespace acces
