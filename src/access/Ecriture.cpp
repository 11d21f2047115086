#include "access/Ecriture.h"

#include "access/Erreur.h"

namespace acces {

namespace {

// The columns the salon's runs look records up by: indexed in the new file as
// the system's own databases are, whatever the Access file had.
struct Cle {
    const char16_t* table;
    const char16_t* colonne;
};
constexpr Cle kCles[] = {
    {u"FCLI", u"Code"},         {u"FTEC", u"Numéro"},         {u"FTEC", u"Code_Client"},
    {u"FCONS", u"CODE_CLIENT"}, {u"communes", u"CodePostal"}, {u"communes", u"Commune"},
};

}  // namespace

QString typeSqlite(const Colonne& c) {
    switch (c.genre) {
        case Genre::Texte:
            return QStringLiteral("TEXT(%1) COLLATE NOCASE").arg(c.taille);
        case Genre::Memo:
            return QStringLiteral("TEXT COLLATE NOCASE");
        case Genre::Guid:
            return QStringLiteral("TEXT(38) COLLATE NOCASE");
        case Genre::Entier:
        case Genre::OuiNon:
            return QStringLiteral("INTEGER");
        case Genre::Reel:
            return QStringLiteral("REAL");
        case Genre::Date:
            return QStringLiteral("DATETIME");
        case Genre::Octets:
            return QStringLiteral("BLOB");
    }
    return QStringLiteral("BLOB");
}

const QString& EcritureSqlite::tableImport() {
    static const QString nom = QStringLiteral("_import_access");
    return nom;
}

EcritureSqlite::EcritureSqlite(const QString& chemin) : m_cn(store::Connexion::creer(chemin)) {
    // The whole file is written in one transaction: a large page cache keeps
    // SQLite from spilling it to disk before the commit.
    m_cn.executerSqlite(QStringLiteral("PRAGMA cache_size = -131072"));
    m_transaction.emplace(m_cn);
}

EcritureSqlite::~EcritureSqlite() {
    // The statement goes before the transaction rolls back, the connection last.
    m_insertion.reset();
    m_transaction.reset();
}

void EcritureSqlite::commencerTable(const QString& nom, const std::vector<Colonne>& colonnes) {
    if (nom.compare(tableImport(), Qt::CaseInsensitive) == 0 ||
        m_tables.contains(nom, Qt::CaseInsensitive)) {
        throw ErreurAccess(
            QStringLiteral("Deux tables portent le nom « %1 » (la casse mise à part).").arg(nom));
    }
    if (colonnes.empty()) {
        throw ErreurAccess(QStringLiteral("La table « %1 » n'a aucune colonne.").arg(nom),
                           ErreurAccess::Genre::Endommage);
    }
    QStringList definitions;
    QStringList marques;
    m_colonnes.clear();
    for (const Colonne& c : colonnes) {
        definitions << store::citer(c.nom) + u' ' + typeSqlite(c);
        marques << QStringLiteral("?");
        m_colonnes << c.nom;
    }
    m_cn.executerSqlite(QStringLiteral("CREATE TABLE %1 (\n  %2\n)")
                            .arg(store::citer(nom), definitions.join(QStringLiteral(",\n  "))));
    m_insertion.reset();
    m_insertion.emplace(
        m_cn,
        QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(store::citer(nom), marques.join(u',')));
    m_table = nom;
    m_tables << nom;
}

void EcritureSqlite::ajouter(const std::vector<store::Valeur>& valeurs) {
    store::Instruction& i = *m_insertion;
    i.reinitialiser();
    for (size_t n = 0; n < valeurs.size(); ++n) {
        i.lier(static_cast<int>(n) + 1, valeurs[n]);
    }
    i.executer();
}

qint64 EcritureSqlite::terminerTable() {
    m_insertion.reset();
    for (const Cle& cle : kCles) {
        const QString colonne = QString::fromUtf16(cle.colonne);
        if (m_table.compare(QString::fromUtf16(cle.table), Qt::CaseInsensitive) != 0) {
            continue;
        }
        for (const QString& c : m_colonnes) {
            if (c.compare(colonne, Qt::CaseInsensitive) == 0) {
                m_cn.executerSqlite(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                                        .arg(store::citer(m_table + u'_' + c),
                                             store::citer(m_table), store::citer(c)));
            }
        }
    }
    store::Instruction compte(m_cn,
                              QStringLiteral("SELECT COUNT(*) FROM %1").arg(store::citer(m_table)));
    compte.avancer();
    return compte.colonneEntier(0);
}

void EcritureSqlite::enregistrerOrigine(const Origine& o,
                                        const std::vector<TableImportee>& tables) {
    m_cn.executerSqlite(QStringLiteral(R"(CREATE TABLE %1 (
  "Source" TEXT COLLATE NOCASE,
  "Taille" INTEGER,
  "SHA256" TEXT COLLATE NOCASE,
  "Version Jet" TEXT COLLATE NOCASE,
  "Page de code" TEXT COLLATE NOCASE,
  "Version libmdb" TEXT COLLATE NOCASE,
  "Date" DATETIME,
  "Table" TEXT COLLATE NOCASE,
  "Lignes" INTEGER,
  "Caractères remplacés" INTEGER
))")
                            .arg(store::citer(tableImport())));
    store::Instruction i(m_cn, QStringLiteral("INSERT INTO %1 VALUES (?,?,?,?,?,?,?,?,?,?)")
                                   .arg(store::citer(tableImport())));
    // One row per table; a file without tables still records its origin.
    std::vector<TableImportee> lignes = tables;
    if (lignes.empty()) {
        lignes.push_back({});
    }
    for (const TableImportee& t : lignes) {
        i.reinitialiser();
        i.lier(1, o.source).lier(2, o.taille).lier(3, o.sha256).lier(4, o.versionJet);
        i.lier(5, o.pageCode).lier(6, o.versionLibmdb).lier(7, store::Valeur::date(o.date));
        if (t.nom.isEmpty()) {
            i.lier(8, store::Valeur()).lier(9, store::Valeur()).lier(10, store::Valeur());
        } else {
            i.lier(8, t.nom).lier(9, t.lignes).lier(10, t.remplaces);
        }
        i.executer();
    }
}

void EcritureSqlite::valider() {
    m_insertion.reset();
    m_transaction->valider();
    m_transaction.reset();
}

}  // namespace acces
