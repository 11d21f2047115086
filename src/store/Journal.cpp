#include "store/Journal.h"

#include <algorithm>
#include <functional>
#include <numeric>

#include <QByteArrayView>
#include <QHash>
#include <map>
#include <tuple>

#include "store/Connexion.h"
#include "store/Erreur.h"

namespace store::journal {

namespace {

// The connection's context lives in its temporary schema, as its triggers do:
// both go when the connection closes.
const QString kContexte = QStringLiteral("temp.verif_journal_contexte");
const QString kPrefixe = QStringLiteral("verif_journal_");

QString litteral(const QString& texte) {
    return u'\'' + doublerApostrophes(texte) + u'\'';
}

void creerTable(Connexion& cn) {
    if (cn.tableExiste(table())) {
        // A journal begun before the rank of the columns was kept.
        if (!cn.colonnes(table()).contains(QStringLiteral("Rang"), Qt::CaseInsensitive)) {
            cn.executerSqlite(
                QStringLiteral("ALTER TABLE %1 ADD COLUMN \"Rang\" INTEGER").arg(citer(table())));
        }
        return;
    }
    cn.executerSqlite(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n"
                                     "  \"Numero\" INTEGER PRIMARY KEY,\n"
                                     "  \"Quand\" DATETIME,\n"
                                     "  \"Lot\" INTEGER,\n"
                                     "  \"Operation\" TEXT,\n"
                                     "  \"NomTable\" TEXT,\n"
                                     "  \"Cle\",\n"
                                     "  \"Colonne\" TEXT,\n"
                                     "  \"Avant\",\n"
                                     "  \"Apres\",\n"
                                     "  \"LotAnnule\" INTEGER,\n"
                                     "  \"Rang\" INTEGER);\n"
                                     "CREATE INDEX IF NOT EXISTS %2 ON %1 (\"Lot\");")
                          .arg(citer(table()), citer(table() + QStringLiteral("_Lot"))));
}

// The column that names a row of the table, as the table spells it; rowid
// when it has none.
QString colonneCle(const QStringList& colonnes, const QString& voulue) {
    for (const QString& c : colonnes) {
        if (c.compare(voulue, Qt::CaseInsensitive) == 0) {
            return citer(c);
        }
    }
    return QStringLiteral("rowid");
}

const QString kColonnes = QStringLiteral(
    "(\"Quand\", \"Lot\", \"Operation\", \"NomTable\", \"Cle\", \"Colonne\", \"Avant\", "
    "\"Apres\", \"LotAnnule\", \"Rang\")");

}  // namespace

const QString& table() {
    static const QString t = QStringLiteral("VerifClients_journal");
    return t;
}

const std::vector<TableSuivie>& tablesSuivies() {
    static const std::vector<TableSuivie> t = {{QStringLiteral("FCLI"), QStringLiteral("Code")},
                                               {QStringLiteral("FTEC"), QStringLiteral("Numéro")}};
    return t;
}

qint64 activer(Connexion& cn, const QString& operation, qint64 lotAnnule) {
    desactiver(cn);
    creerTable(cn);
    // The batch's number and its time, once: every change of the run is
    // dated by the start of the run.
    qint64 lot = 1;
    QString quand;
    {
        Instruction i(cn, QStringLiteral("SELECT coalesce(max(\"Lot\"), 0) + 1, strftime('%Y-%m-%d "
                                         "%H:%M:%S', 'now', 'localtime') FROM %1")
                              .arg(citer(table())));
        if (i.avancer()) {
            lot = i.colonneEntier(0);
            quand = i.colonneTexte(1);
        }
    }
    const QString annule = lotAnnule > 0 ? QString::number(lotAnnule) : QStringLiteral("NULL");
    QString sql =
        QStringLiteral(
            "CREATE TEMP TABLE IF NOT EXISTS verif_journal_contexte (\"Operation\" "
            "TEXT, \"Lot\" INTEGER, \"LotAnnule\" INTEGER, \"Quand\" TEXT);\n"
            "INSERT INTO %1 VALUES (%2, %3, %4, %5);\n")
            .arg(kContexte, litteral(operation), QString::number(lot), annule, litteral(quand));
    for (const TableSuivie& suivie : tablesSuivies()) {
        const QStringList colonnes = cn.colonnes(suivie.table);
        if (colonnes.isEmpty()) {
            continue;
        }
        const QString cle = colonneCle(colonnes, suivie.cle);
        const QString debut =
            QStringLiteral("INSERT INTO %1 %2 VALUES (").arg(citer(table()), kColonnes);
        const QString valeurs = QStringLiteral("%1, %2, %3, %4, OLD.%5")
                                    .arg(litteral(quand), QString::number(lot), litteral(operation),
                                         litteral(suivie.table), cle);
        // A trigger per column fires only when an update sets that column.
        // The values are compared as stored, the column's type and collation
        // aside ("+" drops the type): "1000" made "01000" or "paris" made
        // "PARIS" is a change.
        for (int c = 0; c < colonnes.size(); ++c) {
            sql += QStringLiteral(
                       "CREATE TEMP TRIGGER %1 AFTER UPDATE OF %2 ON main.%3 FOR EACH ROW WHEN "
                       "+OLD.%2 IS NOT +NEW.%2 COLLATE BINARY BEGIN %4%5, %6, OLD.%2, NEW.%2, "
                       "%7, %8); END;\n")
                       .arg(citer(kPrefixe + suivie.table + u'_' + QString::number(c)),
                            citer(colonnes[c]), citer(suivie.table), debut, valeurs,
                            litteral(colonnes[c]), annule, QString::number(c));
        }
        // The deleted row whole: quote() writes every value as the literal
        // that reads back to it exactly (reals to the bit, blobs in hex).
        QStringList ligne{QStringLiteral("quote(OLD.rowid)")};
        for (const QString& c : colonnes) {
            ligne << QStringLiteral("quote(OLD.%1)").arg(citer(c));
        }
        sql += QStringLiteral(
                   "CREATE TEMP TRIGGER %1 AFTER DELETE ON main.%2 FOR EACH ROW BEGIN %3%4, "
                   "NULL, %5, NULL, %6, NULL); END;\n")
                   .arg(citer(kPrefixe + suivie.table + QStringLiteral("_suppression")),
                        citer(suivie.table), debut, valeurs,
                        ligne.join(QStringLiteral(" || ',' || ")), annule);
    }
    cn.executerSqlite(sql);
    return lot;
}

void desactiver(Connexion& cn) {
    QStringList noms;
    {
        Instruction i(cn, QStringLiteral("SELECT name FROM temp.sqlite_master WHERE type = "
                                         "'trigger' AND substr(name, 1, %1) = ?")
                              .arg(kPrefixe.size()));
        i.lier(1, kPrefixe);
        while (i.avancer()) {
            noms << i.colonneTexte(0);
        }
    }
    QString sql;
    for (const QString& nom : noms) {
        sql += QStringLiteral("DROP TRIGGER temp.%1;\n").arg(citer(nom));
    }
    sql += QStringLiteral("DROP TABLE IF EXISTS %1;").arg(kContexte);
    cn.executerSqlite(sql);
}

void noter(Connexion& cn, const QString& nomTable, const Valeur& cle, const QString& colonne,
           const Valeur& avant, const Valeur& apres) {
    const bool actif = [&cn] {
        Instruction i(cn, QStringLiteral("SELECT 1 FROM temp.sqlite_master WHERE type = 'table' "
                                         "AND name = 'verif_journal_contexte'"));
        return i.avancer();
    }();
    if (!actif) {
        throw ErreurStore(QStringLiteral("Le journal des modifications n'est pas ouvert."));
    }
    Instruction i(cn, QStringLiteral("INSERT INTO %1 %2 SELECT %3, \"Lot\", \"Operation\", ?, ?, "
                                     "?, ?, ?, \"LotAnnule\", NULL FROM %4")
                          .arg(citer(table()), kColonnes, QStringLiteral("\"Quand\""), kContexte));
    i.lier(1, nomTable).lier(2, cle);
    if (colonne.isEmpty()) {
        i.lier(3, Valeur());
    } else {
        i.lier(3, colonne);
    }
    i.lier(4, avant).lier(5, apres).executer();
}

namespace {

// The names of the kept columns: "rowid" then the table's, quoted.
QString listeColonnes(const QStringList& colonnes) {
    QStringList noms{QStringLiteral("rowid")};
    for (const QString& c : colonnes) {
        noms << citer(c);
    }
    return noms.join(u',');
}

// The items of a list written by the journal, split at its commas, quotes
// respected: names quoted with ", texts with ' and blobs as X'…'. Nothing
// for a list that is not one.
std::optional<std::vector<QByteArrayView>> decouper(QByteArrayView t, char guillemet) {
    std::vector<QByteArrayView> r;
    const qsizetype n = t.size();
    for (qsizetype i = 0;; ++i) {
        const qsizetype debut = i;
        const bool octets = guillemet == '\'' && i + 1 < n && t[i] == 'X' && t[i + 1] == '\'';
        if (i < n && (t[i] == guillemet || octets)) {
            qsizetype j = i + (octets ? 2 : 1);
            for (;; ++j) {
                if (j >= n) {
                    return std::nullopt;
                }
                if (t[j] == guillemet) {
                    if (j + 1 < n && t[j + 1] == guillemet) {
                        ++j;
                    } else {
                        break;
                    }
                }
            }
            i = j + 1;
        } else {
            while (i < n && t[i] != ',') {
                ++i;
            }
        }
        if (i < n && t[i] != ',') {
            return std::nullopt;
        }
        r.push_back(t.sliced(debut, i - debut));
        if (i >= n) {
            return r;
        }
    }
}

// One literal of quote(): NULL, a whole number, a real, a text, a blob.
enum class Litteral { Null, Entier, Reel, Texte, Octets, Aucun };

Litteral genre(QByteArrayView m) {
    if (m.startsWith('\'')) {
        return Litteral::Texte;
    }
    if (m.startsWith("X'")) {
        const QByteArrayView hex = m.sliced(2, m.size() - 3);
        const bool ok =
            hex.size() % 2 == 0 && std::all_of(hex.begin(), hex.end(), [](char c) {
                return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
            });
        return ok ? Litteral::Octets : Litteral::Aucun;
    }
    if (m == "NULL") {
        return Litteral::Null;
    }
    qsizetype i = m.startsWith('-') ? 1 : 0;
    const auto chiffres = [&] {
        const qsizetype debut = i;
        while (i < m.size() && m[i] >= '0' && m[i] <= '9') {
            ++i;
        }
        return i > debut;
    };
    if (!chiffres()) {
        return Litteral::Aucun;
    }
    bool reel = false;
    if (i < m.size() && m[i] == '.') {
        ++i;
        reel = true;
        if (!chiffres()) {
            return Litteral::Aucun;
        }
    }
    if (i < m.size() && (m[i] == 'e' || m[i] == 'E')) {
        ++i;
        reel = true;
        if (i < m.size() && (m[i] == '-' || m[i] == '+')) {
            ++i;
        }
        if (!chiffres()) {
            return Litteral::Aucun;
        }
    }
    if (i != m.size()) {
        return Litteral::Aucun;
    }
    return reel ? Litteral::Reel : Litteral::Entier;
}

}  // namespace

void noterColonnes(Connexion& cn, const QString& nomTable) {
    noter(cn, nomTable, {}, kColonnesSupprimees, {}, listeColonnes(cn.colonnes(nomTable)));
}

std::vector<LigneSupprimee> lignesSupprimees(const Connexion& cn, qint64 lot) {
    std::vector<LigneSupprimee> lignes;
    if (!cn.tableExiste(table())) {
        return lignes;
    }
    // Read as stored: a text that is not valid UTF-8 must come back as it was.
    Instruction i(cn, QStringLiteral("SELECT \"NomTable\", \"Cle\", \"Colonne\", \"Avant\", "
                                     "\"Apres\" FROM %1 WHERE \"Lot\" = ? AND \"NomTable\" IS NOT "
                                     "NULL AND (\"Colonne\" IS NULL OR \"Colonne\" = ?) ORDER BY "
                                     "\"Numero\"")
                          .arg(citer(table())));
    i.lier(1, lot).lier(2, kColonnesSupprimees);
    QHash<QString, QString> colonnes;
    while (i.avancer()) {
        if (i.colonne(2).estNull()) {
            lignes.push_back({i.colonneTexte(0), i.colonne(1), {}, i.colonneUtf8(3).value_or("")});
        } else if (i.colonne(1).estNull()) {
            colonnes.insert(i.colonneTexte(0), i.colonneTexte(4));
        }
    }
    for (LigneSupprimee& l : lignes) {
        l.colonnes = colonnes.value(l.table);
    }
    return lignes;
}

std::optional<qint64> rowidSupprime(const LigneSupprimee& ligne) {
    const qsizetype virgule = ligne.valeurs.indexOf(',');
    bool ok = false;
    const qint64 rowid = ligne.valeurs.left(virgule).toLongLong(&ok);
    return ok && virgule > 0 ? std::optional<qint64>(rowid) : std::nullopt;
}

void remettre(Connexion& cn, const std::vector<LigneSupprimee>& lignes) {
    const auto abime = [](const LigneSupprimee& l) {
        return ErreurStore(
            QStringLiteral("Le journal ne garde pas entière la ligne « %1 » de la table %2 : "
                           "elle ne peut pas être remise.")
                .arg(l.cle.texte(), l.table));
    };
    // Everything checked first: a damaged journal writes nothing.
    QHash<QString, qsizetype> nbNoms;
    struct Lue {
        const LigneSupprimee* ligne;
        qint64 rowid;
    };
    std::vector<Lue> lues;
    lues.reserve(lignes.size());
    for (const LigneSupprimee& l : lignes) {
        auto noms = nbNoms.constFind(l.colonnes);
        if (noms == nbNoms.constEnd()) {
            const QByteArray utf8 = l.colonnes.toUtf8();
            const auto liste = decouper(utf8, '"');
            const bool ok = liste && std::all_of(liste->begin(), liste->end(), [](auto nom) {
                                return nom == "rowid" || nom.startsWith('"');
                            });
            noms = nbNoms.insert(l.colonnes, ok ? static_cast<qsizetype>(liste->size()) : -1);
        }
        const auto valeurs = decouper(l.valeurs, '\'');
        const auto rowid = rowidSupprime(l);
        if (!valeurs || static_cast<qsizetype>(valeurs->size()) != noms.value() || !rowid ||
            std::any_of(valeurs->begin(), valeurs->end(),
                        [](auto v) { return genre(v) == Litteral::Aucun; })) {
            throw abime(l);
        }
        lues.push_back({&l, *rowid});
    }
    // Back in the order of their rowids, as they lay.
    std::stable_sort(lues.begin(), lues.end(), [](const Lue& a, const Lue& b) {
        return std::tie(a.ligne->table, a.rowid) < std::tie(b.ligne->table, b.rowid);
    });
    // Reals are read by SQLite's own reader of literals, as a dump is.
    Instruction reel(cn, QStringLiteral("SELECT CAST(? AS REAL)"));
    std::map<QString, Instruction> insertions;
    for (const Lue& lue : lues) {
        const LigneSupprimee& l = *lue.ligne;
        const std::vector<QByteArrayView> valeurs = *decouper(l.valeurs, '\'');
        auto it = insertions.find(l.table + u'\x1f' + l.colonnes);
        if (it == insertions.end()) {
            const QStringList marques(static_cast<qsizetype>(valeurs.size()), QStringLiteral("?"));
            it = insertions
                     .emplace(
                         l.table + u'\x1f' + l.colonnes,
                         Instruction(cn, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                             .arg(citer(l.table), l.colonnes, marques.join(u','))))
                     .first;
        }
        Instruction& inserer = it->second;
        inserer.reinitialiser();
        for (std::size_t k = 0; k < valeurs.size(); ++k) {
            const QByteArrayView v = valeurs[k];
            const int n = static_cast<int>(k) + 1;
            switch (genre(v)) {
                case Litteral::Null:
                case Litteral::Aucun:
                    inserer.lier(n, Valeur());
                    break;
                case Litteral::Entier:
                    inserer.lier(n, v.toByteArray().toLongLong());
                    break;
                case Litteral::Reel:
                    reel.reinitialiser();
                    reel.lierUtf8(1, v.toByteArray());
                    reel.avancer();
                    inserer.lier(n, reel.colonne(0));
                    break;
                case Litteral::Texte:
                    inserer.lierUtf8(n, v.sliced(1, v.size() - 2).toByteArray().replace("''", "'"));
                    break;
                case Litteral::Octets:
                    inserer.lier(n, Valeur::octets(QByteArray::fromHex(
                                        v.sliced(2, v.size() - 3).toByteArray())));
                    break;
            }
        }
        inserer.executer();
    }
}

qint64 noterBilan(Connexion& cn, const QString& operation, const std::vector<Chiffre>& chiffres) {
    if (chiffres.empty()) {
        return 0;
    }
    creerTable(cn);
    // The batch number is taken by the statement that writes the rows: two
    // runs at once cannot share it, and the rows go in whole or not at all.
    QStringList valeurs;
    for (std::size_t k = 0; k < chiffres.size(); ++k) {
        valeurs << QStringLiteral("(%1, ?, ?)").arg(k);
    }
    Instruction i(
        cn, QStringLiteral("INSERT INTO %1 %2 SELECT c.quand, c.lot, ?, NULL, NULL, v.column2, "
                           "NULL, v.column3, NULL, NULL FROM (SELECT strftime('%Y-%m-%d %H:%M:%S', "
                           "'now', 'localtime') AS quand, coalesce(max(\"Lot\"), 0) + 1 AS lot "
                           "FROM %1) AS c, (VALUES %3) AS v ORDER BY v.column1")
                .arg(citer(table()), kColonnes, valeurs.join(QStringLiteral(", "))));
    int n = 1;
    i.lier(n++, operation);
    for (const Chiffre& c : chiffres) {
        i.lier(n, c.nom).lier(n + 1, c.valeur);
        n += 2;
    }
    i.executer();
    Instruction lot(cn,
                    QStringLiteral("SELECT coalesce(max(\"Lot\"), 0) FROM %1 WHERE \"Numero\" = "
                                   "last_insert_rowid()")
                        .arg(citer(table())));
    return lot.avancer() ? lot.colonneEntier(0) : 0;
}

namespace {

// The rows that the condition keeps, in order, and the rank of each row's
// column in `rangs` (-1 when unknown).
std::vector<Entree> lireLignes(const Connexion& cn, const QString& condition,
                               const std::function<void(Instruction&)>& lier,
                               std::vector<qint64>& rangs) {
    std::vector<Entree> entrees;
    if (!cn.tableExiste(table())) {
        return entrees;
    }
    // A journal begun before the rank was kept, read without writing: no rank.
    const bool rang = cn.colonnes(table()).contains(QStringLiteral("Rang"), Qt::CaseInsensitive);
    Instruction i(cn, QStringLiteral("SELECT \"Numero\", \"Quand\", \"Lot\", \"Operation\", "
                                     "\"NomTable\", \"Cle\", \"Colonne\", \"Avant\", \"Apres\", "
                                     "\"LotAnnule\", %3 FROM %1 WHERE %2 ORDER BY \"Numero\"")
                          .arg(citer(table()), condition,
                               rang ? QStringLiteral("\"Rang\"") : QStringLiteral("NULL")));
    lier(i);
    while (i.avancer()) {
        Entree e;
        e.numero = i.colonneEntier(0);
        e.quand = i.colonneTexte(1);
        e.lot = i.colonneEntier(2);
        e.operation = i.colonneTexte(3);
        e.table = i.colonneTexte(4);
        e.cle = i.colonne(5);
        e.colonne = i.colonneTexte(6);
        e.avant = i.colonne(7);
        e.apres = i.colonne(8);
        e.lotAnnule = i.colonneEntier(9);
        rangs.push_back(i.colonne(10).estNull() ? -1 : i.colonneEntier(10));
        entrees.push_back(std::move(e));
    }
    return entrees;
}

}  // namespace

std::vector<Entree> lireBilans(const Connexion& cn, const QString& operation) {
    std::vector<qint64> rangs;
    return lireLignes(
        cn, QStringLiteral("\"NomTable\" IS NULL AND \"Operation\" = ?"),
        [&operation](Instruction& i) { i.lier(1, operation); }, rangs);
}

std::vector<Entree> lire(const Connexion& cn, std::optional<qint64> lot) {
    std::vector<qint64> rangs;
    std::vector<Entree> entrees = lireLignes(
        cn,
        QStringLiteral("\"NomTable\" IS NOT NULL") +
            (lot ? QStringLiteral(" AND \"Lot\" = ?") : QString()),
        [lot](Instruction& i) {
            if (lot) {
                i.lier(1, *lot);
            }
        },
        rangs);
    // The columns of one update of one row are recorded in an order of
    // SQLite's own: each run of rows of one row is put in the table's order,
    // the changes of one column keeping theirs.
    std::vector<std::size_t> ordre(entrees.size());
    std::iota(ordre.begin(), ordre.end(), std::size_t{0});
    for (std::size_t debut = 0; debut < entrees.size();) {
        std::size_t fin = debut + 1;
        const Entree& a = entrees[debut];
        while (fin < entrees.size() && rangs[fin] >= 0 && rangs[debut] >= 0 &&
               entrees[fin].lot == a.lot && entrees[fin].table == a.table &&
               entrees[fin].cle == a.cle) {
            ++fin;
        }
        std::stable_sort(ordre.begin() + static_cast<std::ptrdiff_t>(debut),
                         ordre.begin() + static_cast<std::ptrdiff_t>(fin),
                         [&rangs](std::size_t x, std::size_t y) { return rangs[x] < rangs[y]; });
        debut = fin;
    }
    std::vector<Entree> triees;
    triees.reserve(entrees.size());
    for (const std::size_t k : ordre) {
        triees.push_back(std::move(entrees[k]));
    }
    return triees;
}

qint64 dernierLot(const Connexion& cn, const QStringList& operations) {
    if (operations.isEmpty() || !cn.tableExiste(table())) {
        return 0;
    }
    QStringList marques;
    for (qsizetype k = 0; k < operations.size(); ++k) {
        marques << QStringLiteral("?");
    }
    Instruction i(
        cn, QStringLiteral(
                "SELECT coalesce(max(\"Lot\"), 0) FROM %1 WHERE "
                "\"NomTable\" IS NOT NULL AND \"Operation\" IN (%2) AND \"Lot\" NOT IN (SELECT "
                "\"LotAnnule\" FROM %1 WHERE \"LotAnnule\" IS NOT NULL)")
                .arg(citer(table()), marques.join(u',')));
    for (qsizetype k = 0; k < operations.size(); ++k) {
        i.lier(static_cast<int>(k + 1), operations[k]);
    }
    return i.avancer() ? i.colonneEntier(0) : 0;
}

}  // namespace store::journal
