#include <gtest/gtest.h>

#include "store/Connexion.h"
#include "store/Erreur.h"
#include "store/Journal.h"
#include "store/Recordset.h"
#include "support/Dossier.h"

using store::Valeur;
namespace journal = store::journal;

namespace {

using test::texte;

// The changes as the tests read them back: operation and batch, table, key,
// column, before, after.
std::string lignes(const store::Connexion& cn) {
    QStringList l;
    for (const journal::Entree& e : journal::lire(cn)) {
        l << QStringLiteral("%1 %2|%3|%4|%5|%6|%7")
                 .arg(e.operation)
                 .arg(e.lot)
                 .arg(e.table, texte(e.cle), e.colonne, texte(e.avant), texte(e.apres));
    }
    return l.join(u'\n').toStdString();
}

std::string joindre(const QStringList& l) {
    return l.join(u'\n').toStdString();
}

class Journal : public ::testing::Test {
protected:
    void SetUp() override {
        cn = d.creerBase();
        cn.executerSqlite(QStringLiteral(
            "INSERT INTO FCLI (Code, Ville, Tel1) VALUES ('A12', 'paris', '06 12'), ('a12', "
            "'LYON', NULL); INSERT INTO FTEC (\"Numéro\", Code_Client) VALUES (7, 'A12')"));
    }

    test::Dossier d;
    store::Connexion cn;
};

TEST_F(Journal, CreeALaDemandeVideSansContexte) {
    EXPECT_FALSE(cn.tableExiste(journal::table()));
    EXPECT_TRUE(journal::lire(cn).empty());
    EXPECT_EQ(journal::dernierLot(cn, {QStringLiteral("Correction")}), 0);
    // Without a context nothing is recorded, and the table is not even made.
    cn.executerSqlite(QStringLiteral("UPDATE FCLI SET Tel1 = '0612' WHERE Code = 'A12'"));
    EXPECT_FALSE(cn.tableExiste(journal::table()));
    EXPECT_THROW(journal::noter(cn, QStringLiteral("FCLI"), {}, {}, {}, {}), store::ErreurStore);
}

TEST_F(Journal, SeulesLesVraiesModifications) {
    EXPECT_EQ(journal::activer(cn, QStringLiteral("L'essai")), 1);
    EXPECT_TRUE(cn.tableExiste(journal::table()));
    // SQL text, case by case: what it does to the clients and what is recorded.
    const struct {
        const char* sql;
        QStringList attendu;
    } cas[] = {
        {"UPDATE FCLI SET Ville = Ville, Tel1 = Tel1", {}},
        {"UPDATE FCLI SET Ville = 'PARIS' WHERE Code = 'A12' COLLATE BINARY",
         {QStringLiteral("L'essai 1|FCLI|A12|Ville|paris|PARIS")}},
        {"UPDATE FCLI SET Tel1 = '' WHERE Code = 'a12' COLLATE BINARY",
         {QStringLiteral("L'essai 1|FCLI|a12|Tel1|<Null>|")}},
        // Stored as text, "0612" is not "612" whatever the column's type.
        {"UPDATE FTEC SET \"Numéro\" = 7, Divers1 = '0612'",
         {QStringLiteral("L'essai 1|FTEC|7|Divers1|<Null>|0612")}},
        {"UPDATE FTEC SET Divers1 = '612'", {QStringLiteral("L'essai 1|FTEC|7|Divers1|0612|612")}},
        {"UPDATE FCLI SET Nom = 'O''BRIEN' WHERE Code = 'a12' COLLATE BINARY",
         {QStringLiteral("L'essai 1|FCLI|a12|Nom|<Null>|O'BRIEN")}},
    };
    QStringList attendu;
    for (const auto& c : cas) {
        cn.executerSqlite(QString::fromUtf8(c.sql));
        attendu += c.attendu;
        EXPECT_EQ(lignes(cn), joindre(attendu)) << c.sql;
    }
}

TEST_F(Journal, RecordsetEtTransaction) {
    journal::activer(cn, QStringLiteral("Panneau"));
    store::Recordset rs;
    rs.Open(QStringLiteral("FCLI"), cn);
    rs.MoveFirst();
    rs.EcrireChamp(QStringLiteral("Ville"), QStringLiteral("paris"));
    rs.Update();
    EXPECT_EQ(lignes(cn), "");

    {
        // A change that is not committed leaves no record either.
        store::Transaction t(cn);
        rs.EcrireChamp(QStringLiteral("Tel1"), QStringLiteral("0612345678"));
        rs.Update();
        EXPECT_EQ(lignes(cn), "Panneau 1|FCLI|A12|Tel1|06 12|0612345678");
    }
    EXPECT_EQ(lignes(cn), "");

    rs.Open(QStringLiteral("FCLI"), cn);
    rs.MoveFirst();
    rs.EcrireChamp(QStringLiteral("Tel1"), QStringLiteral("0612345678"));
    rs.EcrireChamp(QStringLiteral("Cat, Age"), QStringLiteral("05"));
    rs.Update();
    EXPECT_EQ(lignes(cn),
              "Panneau 1|FCLI|A12|Cat, Age|<Null>|05\nPanneau 1|FCLI|A12|Tel1|06 12|0612345678");
}

TEST_F(Journal, SuppressionsEtComptes) {
    const qint64 lot = journal::activer(cn, QStringLiteral("Purge"));
    cn.executerSqlite(QStringLiteral("DELETE FROM FTEC; DELETE FROM FCLI WHERE Ville = 'paris'"));
    EXPECT_EQ(cn.lignesModifiees(), 1);
    journal::noter(cn, QStringLiteral("FCLI"), {}, QStringLiteral("Lignes supprimées"), {},
                   Valeur::entier(1));
    // A deleted row is kept whole: its rowid, then its columns.
    EXPECT_EQ(lignes(cn),
              "Purge 1|FTEC|7||7,7,'A12',NULL,NULL,NULL,NULL,NULL,NULL,NULL|<Null>\n"
              "Purge 1|FCLI|A12||1,1,'A12',NULL,NULL,NULL,NULL,'paris',NULL,NULL,NULL,NULL,'06 "
              "12',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL|<Null>\n"
              "Purge 1|FCLI|<Null>|Lignes supprimées|<Null>|1");
    const auto entrees = journal::lire(cn, lot);
    ASSERT_EQ(entrees.size(), 3u);
    EXPECT_EQ(entrees[0].quand.size(), 19) << entrees[0].quand.toStdString();
    EXPECT_EQ(entrees[0].lotAnnule, 0);
}

TEST_F(Journal, LotsSuccessifsEtAnnulations) {
    EXPECT_EQ(journal::activer(cn, QStringLiteral("Correction")), 1);
    cn.executerSqlite(
        QStringLiteral("UPDATE FCLI SET Tel1 = '1' WHERE Code = 'A12' COLLATE BINARY"));
    EXPECT_EQ(journal::activer(cn, QStringLiteral("Rangement")), 2);
    cn.executerSqlite(
        QStringLiteral("UPDATE FCLI SET Tel1 = '2' WHERE Code = 'A12' COLLATE BINARY"));
    EXPECT_EQ(journal::activer(cn, QStringLiteral("Correction")), 3);
    cn.executerSqlite(
        QStringLiteral("UPDATE FCLI SET Tel1 = '3' WHERE Code = 'A12' COLLATE BINARY"));
    const QStringList corrections{QStringLiteral("Correction")};
    EXPECT_EQ(journal::dernierLot(cn, corrections), 3);

    EXPECT_EQ(journal::activer(cn, QStringLiteral("Annulation"), 3), 4);
    cn.executerSqlite(
        QStringLiteral("UPDATE FCLI SET Tel1 = '2' WHERE Code = 'A12' COLLATE BINARY"));
    EXPECT_EQ(journal::lire(cn, 4).at(0).lotAnnule, 3);
    EXPECT_EQ(journal::dernierLot(cn, corrections), 1);

    // Stopped, then on a fresh connection: nothing more is recorded.
    journal::desactiver(cn);
    cn.executerSqlite(
        QStringLiteral("UPDATE FCLI SET Tel1 = '4' WHERE Code = 'A12' COLLATE BINARY"));
    store::Connexion autre(d.chemin(QStringLiteral("BdClient.mdb")));
    autre.executerSqlite(
        QStringLiteral("UPDATE FCLI SET Tel1 = '5' WHERE Code = 'A12' COLLATE BINARY"));
    EXPECT_EQ(journal::lire(cn).size(), 4u);
}

TEST_F(Journal, JournalSansLeRangDesColonnes) {
    cn.executerSqlite(QStringLiteral(
        "CREATE TABLE VerifClients_journal (\"Numero\" INTEGER PRIMARY KEY, \"Quand\" DATETIME, "
        "\"Lot\" INTEGER, \"Operation\" TEXT, \"NomTable\" TEXT, \"Cle\", \"Colonne\" TEXT, "
        "\"Avant\", \"Apres\", \"LotAnnule\" INTEGER)"));
    cn.executerSqlite(QStringLiteral(
        "INSERT INTO VerifClients_journal (\"Quand\", \"Lot\", \"Operation\", \"NomTable\", "
        "\"Cle\", \"Colonne\", \"Avant\", \"Apres\") VALUES ('2025-01-02 03:04:05', 1, "
        "'Ancien', 'FCLI', 'A12', 'Tel1', '06 12', '0612')"));
    // Read as it is, without writing: the report and --journal open it so.
    {
        const store::Connexion lecture(d.chemin(QStringLiteral("BdClient.mdb")),
                                       store::Connexion::Acces::Lecture);
        EXPECT_EQ(lignes(lecture), "Ancien 1|FCLI|A12|Tel1|06 12|0612");
    }
    journal::activer(cn, QStringLiteral("Essai"));
    cn.executerSqlite(
        QStringLiteral("UPDATE FCLI SET Tel1 = '06' WHERE Code = 'A12' COLLATE BINARY"));
    EXPECT_EQ(lignes(cn), "Ancien 1|FCLI|A12|Tel1|06 12|0612\nEssai 2|FCLI|A12|Tel1|06 12|06");
}

// The figures of a run are kept apart from the changes: their own batch, no
// table, never read as changes nor undone, and the context left alone.
TEST_F(Journal, BilansAPartDesModifications) {
    EXPECT_EQ(journal::noterBilan(cn, QStringLiteral("Analyse"), {}), 0);
    EXPECT_FALSE(cn.tableExiste(journal::table()));

    EXPECT_EQ(journal::activer(cn, QStringLiteral("Correction")), 1);
    cn.executerSqlite(
        QStringLiteral("UPDATE FCLI SET Tel1 = '1' WHERE Code = 'A12' COLLATE BINARY"));
    EXPECT_EQ(journal::noterBilan(cn, QStringLiteral("Analyse"),
                                  {{QStringLiteral("Clients jugés"), Valeur::entier(2)},
                                   {QStringLiteral("Ville"), Valeur::entier(1)},
                                   {QStringLiteral("L'autre"), QStringLiteral("texte")}}),
              2);
    // Still under the correction's batch.
    cn.executerSqlite(
        QStringLiteral("UPDATE FCLI SET Tel1 = '2' WHERE Code = 'A12' COLLATE BINARY"));
    EXPECT_EQ(lignes(cn), "Correction 1|FCLI|A12|Tel1|06 12|1\nCorrection 1|FCLI|A12|Tel1|1|2");
    EXPECT_TRUE(journal::lire(cn, 2).empty());
    EXPECT_EQ(journal::dernierLot(cn, {QStringLiteral("Correction"), QStringLiteral("Analyse")}),
              1);

    // Inside a transaction that is given up, nothing stays.
    {
        store::Transaction t(cn);
        EXPECT_EQ(journal::noterBilan(cn, QStringLiteral("Analyse"),
                                      {{QStringLiteral("Clients jugés"), Valeur::entier(9)}}),
                  3);
    }
    EXPECT_EQ(journal::noterBilan(cn, QStringLiteral("Analyse"),
                                  {{QStringLiteral("Clients jugés"), Valeur::entier(3)}}),
              3);
    EXPECT_EQ(journal::noterBilan(cn, QStringLiteral("Autre"),
                                  {{QStringLiteral("Clients jugés"), Valeur::entier(4)}}),
              4);

    QStringList bilans;
    for (const journal::Entree& e : journal::lireBilans(cn, QStringLiteral("Analyse"))) {
        bilans << QStringLiteral("%1 %2|%3|%4|%5|%6")
                      .arg(e.lot)
                      .arg(e.table, texte(e.cle), e.colonne, texte(e.avant), texte(e.apres));
        EXPECT_EQ(e.quand.size(), 19) << e.quand.toStdString();
    }
    EXPECT_EQ(joindre(bilans), joindre({QStringLiteral("2 |<Null>|Clients jugés|<Null>|2"),
                                        QStringLiteral("2 |<Null>|Ville|<Null>|1"),
                                        QStringLiteral("2 |<Null>|L'autre|<Null>|texte"),
                                        QStringLiteral("3 |<Null>|Clients jugés|<Null>|3")}));
}

}  // namespace
