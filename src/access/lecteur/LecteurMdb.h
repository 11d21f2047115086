#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "access/Ecriture.h"
#include "access/Valeurs.h"
#include "store/Valeur.h"

namespace acces {

// One user table of the Access file, columns in their stored order.
struct TableMdb {
    QString nom;
    qint64 lignes = 0;  // as the table's definition counts them
    std::vector<Colonne> colonnes;
    void* definition = nullptr;  // libmdb's MdbTableDef, owned by the reader
};

// Reads an Access file through libmdb, but takes every value from its stored
// bytes. Throws ErreurAccess (Endommage when the file does not hold together).
class LecteurMdb {
public:
    // The Jet 3 code page must be known before the file is opened: libmdb reads
    // the table and column names with it.
    LecteurMdb(const QString& chemin, const QString& pageCode);
    ~LecteurMdb();
    LecteurMdb(const LecteurMdb&) = delete;
    LecteurMdb& operator=(const LecteurMdb&) = delete;

    QString versionJet() const;
    // "UCS-2" for Jet 4 and later, the code page for Jet 3.
    QString pageCode() const;
    static QString versionLibmdb();

    std::vector<TableMdb>& tables() { return m_tables; }

    using Ligne = std::function<void(const std::vector<store::Valeur>&)>;
    // Every live row of the table, in the file's order; gives the rows read.
    qint64 lire(const TableMdb& table, const Ligne& ligne, qint64& remplaces);

private:
    void verifierCatalogue();

    struct Etat;
    std::unique_ptr<Etat> m;
    std::vector<TableMdb> m_tables;
};

}  // namespace acces
