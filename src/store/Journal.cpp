#include "store/Journal.h"

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
        return;
    }
    cn.executer(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n"
                               "  \"Numero\" INTEGER PRIMARY KEY,\n"
                               "  \"Quand\" DATETIME,\n"
                               "  \"Lot\" INTEGER,\n"
                               "  \"Operation\" TEXT,\n"
                               "  \"NomTable\" TEXT,\n"
                               "  \"Cle\",\n"
                               "  \"Colonne\" TEXT,\n"
                               "  \"Avant\",\n"
                               "  \"Apres\",\n"
                               "  \"LotAnnule\" INTEGER);\n"
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

const QString kQuand = QStringLiteral("strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')");
const QString kColonnes = QStringLiteral(
    "(\"Quand\", \"Lot\", \"Operation\", \"NomTable\", \"Cle\", \"Colonne\", \"Avant\", "
    "\"Apres\", \"LotAnnule\")");

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
    qint64 lot = 1;
    {
        Instruction i(
            cn, QStringLiteral("SELECT coalesce(max(\"Lot\"), 0) + 1 FROM %1").arg(citer(table())));
        if (i.pas()) {
            lot = i.colonneEntier(0);
        }
    }
    const QString annule = lotAnnule > 0 ? QString::number(lotAnnule) : QStringLiteral("NULL");
    QString sql = QStringLiteral(
                      "CREATE TEMP TABLE IF NOT EXISTS verif_journal_contexte (\"Operation\" "
                      "TEXT, \"Lot\" INTEGER, \"LotAnnule\" INTEGER);\n"
                      "INSERT INTO %1 VALUES (%2, %3, %4);\n")
                      .arg(kContexte, litteral(operation), QString::number(lot), annule);
    for (const TableSuivie& suivie : tablesSuivies()) {
        const QStringList colonnes = cn.colonnes(suivie.table);
        if (colonnes.isEmpty()) {
            continue;
        }
        const QString cle = colonneCle(colonnes, suivie.cle);
        const QString debut = QStringLiteral("INSERT INTO %1 %2 ").arg(citer(table()), kColonnes);
        const QString valeurs = QStringLiteral("%1, %2, %3, %4, OLD.%5")
                                    .arg(kQuand, QString::number(lot), litteral(operation),
                                         litteral(suivie.table), cle);
        // One trigger for every update of the table: the changed columns are
        // recorded in the table's order. The values are compared as stored,
        // the column's type and collation aside ("+" drops the type): "1000"
        // made "01000" or "paris" made "PARIS" is a change.
        QStringList colonnesChangees;
        for (int c = 0; c < colonnes.size(); ++c) {
            colonnesChangees << QStringLiteral("SELECT %1 AS o, %2 AS c, +OLD.%3 AS a, +NEW.%3 AS n")
                                    .arg(c)
                                    .arg(litteral(colonnes[c]), citer(colonnes[c]));
        }
        sql += QStringLiteral(
                   "CREATE TEMP TRIGGER %1 AFTER UPDATE ON main.%2 FOR EACH ROW BEGIN %3SELECT "
                   "%4, c, a, n, %5 FROM (%6) WHERE a IS NOT n COLLATE BINARY ORDER BY o; END;\n")
                   .arg(citer(kPrefixe + suivie.table + QStringLiteral("_modification")),
                        citer(suivie.table), debut, valeurs, annule,
                        colonnesChangees.join(QStringLiteral(" UNION ALL ")));
        sql += QStringLiteral(
                   "CREATE TEMP TRIGGER %1 AFTER DELETE ON main.%2 FOR EACH ROW BEGIN %3VALUES "
                   "(%4, NULL, NULL, NULL, %5); END;\n")
                   .arg(citer(kPrefixe + suivie.table + QStringLiteral("_suppression")),
                        citer(suivie.table), debut, valeurs, annule);
    }
    cn.executer(sql);
    return lot;
}

void desactiver(Connexion& cn) {
    QStringList noms;
    {
        Instruction i(cn, QStringLiteral("SELECT name FROM temp.sqlite_master WHERE type = "
                                         "'trigger' AND substr(name, 1, %1) = ?")
                              .arg(kPrefixe.size()));
        i.lier(1, kPrefixe);
        while (i.pas()) {
            noms << i.colonneTexte(0);
        }
    }
    QString sql;
    for (const QString& nom : noms) {
        sql += QStringLiteral("DROP TRIGGER temp.%1;\n").arg(citer(nom));
    }
    sql += QStringLiteral("DROP TABLE IF EXISTS %1;").arg(kContexte);
    cn.executer(sql);
}

void noter(Connexion& cn, const QString& nomTable, const Valeur& cle, const QString& colonne,
           const Valeur& avant, const Valeur& apres) {
    const bool actif = [&cn] {
        Instruction i(cn, QStringLiteral("SELECT 1 FROM temp.sqlite_master WHERE type = 'table' "
                                         "AND name = 'verif_journal_contexte'"));
        return i.pas();
    }();
    if (!actif) {
        throw ErreurStore(QStringLiteral("Le journal des modifications n'est pas ouvert."));
    }
    Instruction i(cn, QStringLiteral("INSERT INTO %1 %2 SELECT %3, \"Lot\", \"Operation\", ?, ?, "
                                     "?, ?, ?, \"LotAnnule\" FROM %4")
                          .arg(citer(table()), kColonnes, kQuand, kContexte));
    i.lier(1, nomTable).lier(2, cle);
    if (colonne.isEmpty()) {
        i.lier(3, Valeur());
    } else {
        i.lier(3, colonne);
    }
    i.lier(4, avant).lier(5, apres).executer();
}

std::vector<Entree> lire(const Connexion& cn, std::optional<qint64> lot) {
    std::vector<Entree> entrees;
    if (!cn.tableExiste(table())) {
        return entrees;
    }
    Instruction i(cn,
                  QStringLiteral("SELECT \"Numero\", \"Quand\", \"Lot\", \"Operation\", "
                                 "\"NomTable\", \"Cle\", \"Colonne\", \"Avant\", \"Apres\", "
                                 "\"LotAnnule\" FROM %1 %2 ORDER BY \"Numero\"")
                      .arg(citer(table()), lot ? QStringLiteral("WHERE \"Lot\" = ?") : QString()));
    if (lot) {
        i.lier(1, *lot);
    }
    while (i.pas()) {
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
        entrees.push_back(std::move(e));
    }
    return entrees;
}

qint64 dernierLot(const Connexion& cn, const QStringList& operations) {
    if (operations.isEmpty() || !cn.tableExiste(table())) {
        return 0;
    }
    QStringList marques;
    for (qsizetype k = 0; k < operations.size(); ++k) {
        marques << QStringLiteral("?");
    }
    Instruction i(cn, QStringLiteral("SELECT coalesce(max(\"Lot\"), 0) FROM %1 WHERE "
                                     "\"Operation\" IN (%2) AND \"Lot\" NOT IN (SELECT "
                                     "\"LotAnnule\" FROM %1 WHERE \"LotAnnule\" IS NOT NULL)")
                          .arg(citer(table()), marques.join(u',')));
    for (qsizetype k = 0; k < operations.size(); ++k) {
        i.lier(static_cast<int>(k + 1), operations[k]);
    }
    return i.pas() ? i.colonneEntier(0) : 0;
}

}  // namespace store::journal
