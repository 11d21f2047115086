#include "access/lecteur/LecteurMdb.h"

// glib before mdbtools.h: the latter includes it inside extern "C", where its
// C++ parts do not compile.
#include <glib.h>
#include <mdbtools.h>

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstring>

#include "access/Erreur.h"

namespace acces {

namespace {

// Jet stores dates from 1 January 100 to 31 December 9999.
constexpr double kPremierJour = -657434.0;
constexpr double kDernierJour = 2958466.0;

// Memo and OLE values longer than the row hold a 12-byte header: length and
// flags, then where the data lies.
constexpr int kEnteteLval = 12;
constexpr quint32 kEnLigne = 0x80000000;
constexpr quint32 kUnePage = 0x40000000;
constexpr quint32 kMasqueLongueur = 0x3FFFFFFF;

[[noreturn]] void endommage(const QString& detail) {
    throw ErreurAccess(detail, ErreurAccess::Genre::Endommage);
}

MdbColumn* colonne(MdbTableDef* t, unsigned i) {
    return static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
}

Genre genreDe(const MdbColumn* c, const QString& table) {
    switch (c->col_type) {
        case MDB_BOOL:
            return Genre::OuiNon;
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
        case MDB_COMPLEX:
            return Genre::Entier;
        case MDB_MONEY:
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_NUMERIC:
            return Genre::Reel;
        case MDB_DATETIME:
            return Genre::Date;
        case MDB_BINARY:
        case MDB_OLE:
            return Genre::Octets;
        case MDB_TEXT:
            return Genre::Texte;
        case MDB_MEMO:
            return Genre::Memo;
        case MDB_REPID:
            return Genre::Guid;
        default:
            endommage(QStringLiteral("la colonne « %1 » de la table « %2 » a un type inconnu (%3)")
                          .arg(QString::fromUtf8(c->name), table)
                          .arg(c->col_type));
    }
}

// Stored size of the fixed-width types.
int tailleFixe(int type) {
    switch (type) {
        case MDB_BYTE:
            return 1;
        case MDB_INT:
            return 2;
        case MDB_LONGINT:
        case MDB_COMPLEX:
        case MDB_FLOAT:
            return 4;
        case MDB_MONEY:
        case MDB_DOUBLE:
        case MDB_DATETIME:
            return 8;
        case MDB_REPID:
            return 16;
        case MDB_NUMERIC:
            return 17;
        default:
            return -1;
    }
}

}  // namespace

struct LecteurMdb::Etat {
    explicit Etat(const QString& nom) : page(nom) {}
    ~Etat() {
        if (mdb) {
            mdb_close(mdb);
        }
    }

    QString texte(const uchar* o, qsizetype n, qint64& remplaces) const {
        return unicode ? texteUnicode(o, n, remplaces) : page.decoder(o, n, remplaces);
    }
    const QByteArray& lireLval(const uchar* entete, int taille, const char* colonne);
    store::Valeur valeur(const MdbColumn* col, const MdbField& f, qint64& remplaces);

    PageCode page;
    MdbHandle* mdb = nullptr;
    bool unicode = true;
    QByteArray lval;  // one Memo or OLE value, reused from row to row
};

// A Memo or OLE value longer than its row: inline after its header, on one
// other page, or on a chain of pages.
const QByteArray& LecteurMdb::Etat::lireLval(const uchar* entete, int taille, const char* colonne) {
    const auto echec = [&](const QString& detail) {
        endommage(QStringLiteral("une valeur de la colonne « %1 » %2")
                      .arg(QString::fromUtf8(colonne), detail));
    };
    lval.resize(0);
    if (taille < kEnteteLval) {
        echec(QStringLiteral("est tronquée"));
    }
    const quint32 mot = qFromLittleEndian<quint32>(entete);
    const qint64 longueur = mot & kMasqueLongueur;
    if (mot & kEnLigne) {
        lval.append(reinterpret_cast<const char*>(entete) + kEnteteLval,
                    std::min<qint64>(longueur, taille - kEnteteLval));
    } else {
        int pgLigne = qFromLittleEndian<qint32>(entete + 4);
        const bool unePage = mot & kUnePage;
        if (!unePage && (mot & 0xC0000000) != 0) {
            echec(QStringLiteral("a un en-tête inconnu"));
        }
        lval.reserve(longueur);
        // Each page of a chain starts with the next one's address, 0 at the end.
        while (lval.size() < longueur) {
            void* page = nullptr;
            int debut = 0;
            size_t n = 0;
            if (pgLigne == 0 || mdb_find_pg_row(mdb, pgLigne, &page, &debut, &n) != 0 ||
                debut + n > static_cast<size_t>(mdb->fmt->pg_size) || (!unePage && n < 4)) {
                break;
            }
            // A page of long values says so in its header: anything else means
            // the address is wrong and the bytes are not ours.
            const auto* entetePage = static_cast<const uchar*>(page);
            if (entetePage[0] != MDB_PAGE_DATA || std::memcmp(entetePage + 4, "LVAL", 4) != 0) {
                echec(QStringLiteral("pointe hors de ses pages"));
            }
            const char* o = static_cast<const char*>(page) + debut;
            if (!unePage) {
                pgLigne = qFromLittleEndian<qint32>(o);
                o += 4;
                n -= 4;
            }
            lval.append(o, std::min<qint64>(static_cast<qint64>(n), longueur - lval.size()));
            if (unePage) {
                break;
            }
        }
    }
    if (lval.size() != longueur) {
        echec(QStringLiteral("est incomplète (%1 octets sur %2)").arg(lval.size()).arg(longueur));
    }
    return lval;
}

// One value of the current row, from its stored bytes.
store::Valeur LecteurMdb::Etat::valeur(const MdbColumn* col, const MdbField& f, qint64& remplaces) {
    // Yes/No lives in the null bits: set is Yes.
    if (col->col_type == MDB_BOOL) {
        return store::Valeur::entier(f.is_null ? 0 : 1);
    }
    if (f.is_null) {
        return {};
    }
    const auto* o = static_cast<const uchar*>(mdb->pg_buf) + f.start;
    const int fixe = tailleFixe(col->col_type);
    if (f.siz < 0 || f.start < 0 || f.start + f.siz > mdb->fmt->pg_size ||
        (fixe > 0 && f.siz != fixe)) {
        endommage(QStringLiteral("une valeur de la colonne « %1 » déborde de sa ligne")
                      .arg(QString::fromUtf8(col->name)));
    }
    switch (col->col_type) {
        case MDB_BYTE:
            return store::Valeur::entier(o[0]);
        case MDB_INT:
            return store::Valeur::entier(qFromLittleEndian<qint16>(o));
        case MDB_LONGINT:
        case MDB_COMPLEX:
            return store::Valeur::entier(qFromLittleEndian<qint32>(o));
        case MDB_MONEY:
            return store::Valeur::reel(monnaie(qFromLittleEndian<qint64>(o)));
        case MDB_FLOAT:
            return store::Valeur::reel(reelSimple(qFromLittleEndian<float>(o)));
        case MDB_DOUBLE:
            return store::Valeur::reel(qFromLittleEndian<double>(o));
        case MDB_NUMERIC:
            // libmdb swaps the names of precision and scale; the scale is the
            // smaller of the two.
            return store::Valeur::reel(decimal(o, std::min(col->col_prec, col->col_scale)));
        case MDB_DATETIME: {
            const double serie = qFromLittleEndian<double>(o);
            if (!std::isfinite(serie) || serie < kPremierJour || serie >= kDernierJour) {
                endommage(QStringLiteral("une date de la colonne « %1 » est impossible")
                              .arg(QString::fromUtf8(col->name)));
            }
            return store::Valeur::date(serie);
        }
        case MDB_REPID:
            return store::Valeur::texte(guid(o));
        case MDB_BINARY:
            return store::Valeur::octets(QByteArray(reinterpret_cast<const char*>(o), f.siz));
        case MDB_TEXT:
            return store::Valeur::texte(texte(o, f.siz, remplaces));
        case MDB_MEMO: {
            if (f.siz == 0) {
                return store::Valeur::texte(QString());
            }
            const QByteArray& d = lireLval(o, f.siz, col->name);
            return store::Valeur::texte(
                texte(reinterpret_cast<const uchar*>(d.constData()), d.size(), remplaces));
        }
        case MDB_OLE:
            return store::Valeur::octets(f.siz == 0 ? QByteArray() : lireLval(o, f.siz, col->name));
        default:
            return {};
    }
}

LecteurMdb::LecteurMdb(const QString& chemin, const QString& pageCode)
    : m(std::make_unique<Etat>(pageCode)) {
    qputenv("MDB_JET3_CHARSET", m->page.nom().toLatin1());
    qunsetenv("MDB_ICONV");
    m->mdb = mdb_open(QFile::encodeName(chemin).constData(), MDB_NOFLAGS);
    if (!m->mdb) {
        endommage(QStringLiteral("ce n'est pas une base Access lisible"));
    }
    m->unicode = m->mdb->f->jet_version != MDB_VER_JET3;
    if (!mdb_read_catalog(m->mdb, MDB_TABLE)) {
        endommage(QStringLiteral("la liste de ses tables est illisible"));
    }
    verifierCatalogue();
    for (unsigned i = 0; i < m->mdb->num_catalog; ++i) {
        auto* entree = static_cast<MdbCatalogEntry*>(g_ptr_array_index(m->mdb->catalog, i));
        // System tables (MSys…) and Access's hidden ones stay behind.
        if (entree->object_type != MDB_TABLE || !mdb_is_user_table(entree)) {
            continue;
        }
        const QString nom = QString::fromUtf8(entree->object_name);
        MdbTableDef* def = mdb_read_table(entree);
        if (!def) {
            endommage(QStringLiteral("la définition de la table « %1 » est illisible").arg(nom));
        }
        m_tables.push_back({nom, def->num_rows, {}, def});
        if (!mdb_read_columns(def)) {
            endommage(QStringLiteral("les colonnes de la table « %1 » sont illisibles").arg(nom));
        }
        TableMdb& t = m_tables.back();
        for (unsigned c = 0; c < def->num_cols; ++c) {
            const MdbColumn* col = colonne(def, c);
            const Genre genre = genreDe(col, nom);
            // Jet 4 counts a Text column's width in bytes of UCS-2.
            const int taille =
                genre == Genre::Texte && m->unicode ? col->col_size / 2 : col->col_size;
            t.colonnes.push_back({QString::fromUtf8(col->name), genre, taille});
        }
    }
}

// libmdb lists the tables from the rows of the catalogue (MSysObjects) that it
// can read, and silently skips a page it cannot: the catalogue's own count of
// its rows tells whether a table may be missing from the list.
void LecteurMdb::verifierCatalogue() {
    MdbCatalogEntry catalogue{};
    catalogue.mdb = m->mdb;
    catalogue.object_type = MDB_TABLE;
    catalogue.table_pg = 2;
    std::strcpy(catalogue.object_name, "MSysObjects");
    MdbTableDef* def = mdb_read_table(&catalogue);
    if (!def) {
        endommage(QStringLiteral("la liste de ses tables est illisible"));
    }
    qint64 lues = 0;
    if (mdb_read_columns(def)) {
        mdb_rewind_table(def);
        while (mdb_fetch_row(def)) {
            ++lues;
        }
    }
    const qint64 attendues = def->num_rows;
    mdb_free_tabledef(def);
    if (lues != attendues) {
        endommage(QStringLiteral("la liste de ses tables est incomplète (%1 entrées lues sur %2)")
                      .arg(lues)
                      .arg(attendues));
    }
}

LecteurMdb::~LecteurMdb() {
    for (TableMdb& t : m_tables) {
        mdb_free_tabledef(static_cast<MdbTableDef*>(t.definition));
    }
}

QString LecteurMdb::versionJet() const {
    switch (m->mdb->f->jet_version) {
        case MDB_VER_JET3:
            return QStringLiteral("Jet 3");
        case MDB_VER_JET4:
            return QStringLiteral("Jet 4");
        default:
            return QStringLiteral("ACE %1").arg(m->mdb->f->jet_version);
    }
}

QString LecteurMdb::pageCode() const {
    return m->unicode ? QStringLiteral("UCS-2") : m->page.nom();
}

QString LecteurMdb::versionLibmdb() {
    return QString::fromLatin1(mdb_get_version());
}

qint64 LecteurMdb::lire(const TableMdb& table, const Ligne& ligne, qint64& remplaces) {
    auto* def = static_cast<MdbTableDef*>(table.definition);
    MdbHandle* mdb = m->mdb;
    std::vector<MdbField> champs(def->num_cols);
    std::vector<store::Valeur> valeurs(def->num_cols);
    qint64 lues = 0;
    mdb_rewind_table(def);
    while (mdb_fetch_row(def)) {
        int debut = 0;
        size_t taille = 0;
        // libmdb has just read this row on the current page; crack it again to
        // learn what it keeps to itself: which values are Null.
        if (mdb_find_row(mdb, static_cast<int>(def->cur_row) - 1, &debut, &taille) != 0 ||
            mdb_crack_row(def, debut & 0x1FFF, taille, champs.data()) < 0) {
            endommage(QStringLiteral("une ligne de la table « %1 » est illisible").arg(table.nom));
        }
        for (const MdbField& f : champs) {
            valeurs[static_cast<size_t>(f.colnum)] =
                m->valeur(colonne(def, static_cast<unsigned>(f.colnum)), f, remplaces);
        }
        ligne(valeurs);
        ++lues;
    }
    return lues;
}

}  // namespace acces
