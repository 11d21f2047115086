#include <gtest/gtest.h>

#include <QDir>

#include "app/Batch.h"
#include "commun/Variables.h"
#include "platform/Locale.h"
#include "purge/AnnulationPurge.h"
#include "purge/Purge.h"
#include "purge/VerbesPurge.h"
#include "purge_donnees.h"
#include "store/Erreur.h"
#include "store/Jet.h"
#include "store/Journal.h"
#include "support/Lot.h"

using purge::Mode;
using store::Valeur;
using test::colonne;

namespace {

const QLocale kFrancais(QLocale::French, QLocale::France);

// Counts the calls, to check that a deletion always ends its panel.
class Panneau : public purge::ObservateurPurge {
public:
    void suppressionCommencee() override { ++commencees; }
    void suppressionTerminee() override { ++terminees; }
    int commencees = 0;
    int terminees = 0;
};

class Purge : public ::testing::Test {
protected:
    void SetUp() override {
        platform::fixerLocaleTravail(kFrancais);
        cn = d.creerBase();
        test::remplirPurge(cn);
        vars.dossier = d.chemin();
    }
    void TearDown() override { platform::oublierLocaleTravail(); }

    QStringList clients() { return colonne(cn, QStringLiteral("FCLI"), QStringLiteral("Code")); }
    QStringList fiches() { return colonne(cn, QStringLiteral("FTEC"), QStringLiteral("Numéro")); }

    test::Dossier d;
    store::Connexion cn;
    commun::Variables vars;
    Panneau panneau;
};

// Clients gone before the date and sheets dated before it; a count alone
// deletes nothing and notes nothing; a purge keeps in the journal the rows it
// deleted, whole, the date it was given and its count.
TEST_F(Purge, ClientsPartisAvantLaDateEtFichesDateesAvant) {
    const QString jour = QStringLiteral("15/03/2005");
    EXPECT_EQ(purge::PurgeClients(vars, jour, Mode::Lecture, panneau), 3);
    EXPECT_EQ(vars.CheminBd, d.chemin(QStringLiteral("BdClient.mdb")));
    EXPECT_EQ(panneau.commencees, 0);
    EXPECT_TRUE(store::journal::lire(cn).empty());
    EXPECT_EQ(purge::PurgeClients(vars, jour, Mode::Purge, panneau), 3);
    EXPECT_EQ(clients(), QStringList({"B1", "C1", "C2", "D1", "E1"}));
    // Their visits and sheets stay; nothing is left to purge at that date.
    EXPECT_EQ(test::nombre(cn, QStringLiteral("SELECT count(*) FROM FCONS")), 11);
    EXPECT_EQ(fiches().size(), 7);
    EXPECT_EQ(purge::PurgeClients(vars, jour, Mode::Lecture, panneau), 0);

    EXPECT_EQ(purge::PurgeTech(vars, jour, Mode::Lecture, panneau), 3);
    EXPECT_EQ(purge::PurgeTech(vars, jour, Mode::Purge, panneau), 3);
    // On the day, after it, or without a date: kept.
    EXPECT_EQ(fiches(), QStringList({"3", "4", "5", "6"}));
    EXPECT_EQ(std::make_pair(panneau.commencees, panneau.terminees), std::make_pair(2, 2));
    QStringList notes;
    int cles = 0;
    for (const store::journal::Entree& e : store::journal::lire(cn)) {
        if (e.colonne == store::journal::kColonnesSupprimees) {
            EXPECT_TRUE(e.apres.texte().startsWith(QStringLiteral("rowid,\"Numéro\",")));
        } else if (e.cle.estNull()) {
            notes << QStringList{e.operation, e.table, e.colonne, e.apres.texte()}.join(u'|');
        } else {
            EXPECT_TRUE(e.colonne.isEmpty());
            // The rowid and every column.
            EXPECT_EQ(e.avant.texte().count(u',') + 1, e.table == u"FCLI" ? 24 : 10);
            ++cles;
        }
    }
    EXPECT_EQ(cles, 6);
    EXPECT_EQ(notes, QStringList(
                         {QStringLiteral("Purge des clients|FCLI|Date limite|2005-03-15 00:00:00"),
                          QStringLiteral("Purge des clients|FCLI|Lignes supprimées|3"),
                          QStringLiteral("Purge des fiches techniques|FTEC|Date limite|"
                                         "2005-03-15 00:00:00"),
                          QStringLiteral("Purge des fiches techniques|FTEC|Lignes supprimées|3")}));
}

// Dates stored as other programs store them are read as dates.
TEST_F(Purge, DatesSousToutesLeursFormes) {
    const Valeur dates[] = {// 14 March 2005, before the date: F0 to F4 go.
                            u"14/03/2005 10:00:00", u"14/03/2005", Valeur::reel(38425.5),
                            Valeur::entier(38425), u"2005-03-14",
                            // 16 March, or no date: G5 to G10 stay.
                            u"16/03/2005 10:00:00", u"16/03/2005", Valeur::reel(38427.5),
                            Valeur::entier(38427), u"2005-03-16", u"  "};
    QStringList restent = {"B1", "C1", "C2", "D1", "E1"};
    QStringList fichesRestent = {"3", "4", "5", "6"};
    for (int k = 0; k < 11; ++k) {
        const QString c = (k < 5 ? QStringLiteral("F") : QStringLiteral("G")) + QString::number(k);
        test::inserer(cn, QStringLiteral("FCLI"), {{QStringLiteral("Code"), c}});
        test::inserer(
            cn, QStringLiteral("FCONS"),
            {{QStringLiteral("CODE_CLIENT"), c}, {QStringLiteral("DATE_VISITE"), dates[k]}});
        test::inserer(cn, QStringLiteral("FTEC"),
                      {{QStringLiteral("Numéro"), Valeur::entier(100 + k)},
                       {QStringLiteral("Date"), dates[k]}});
        if (k >= 5) {
            restent << c;
            fichesRestent << QString::number(100 + k);
        }
    }
    const QString jour = QStringLiteral("15/03/2005");
    EXPECT_EQ(purge::PurgeClients(vars, jour, Mode::Lecture, panneau), 3 + 5);
    EXPECT_EQ(purge::PurgeTech(vars, jour, Mode::Purge, panneau), 3 + 5);
    EXPECT_EQ(purge::PurgeClients(vars, jour, Mode::Purge, panneau), 3 + 5);
    EXPECT_EQ(clients(), restent);
    EXPECT_EQ(fiches(), fichesRestent);
}

// A stored value that is not a date could be of any day: the count and the
// purge stop before anything is deleted, saying how many and showing one.
TEST_F(Purge, CeQuiNEstPasUneDateArreteTout) {
    struct Cas {
        bool clients;
        std::vector<Valeur> valeurs;
        const char* message;
    };
    const Cas cas[] = {
        {true,
         {u"31/02/2005"},
         "une date de visite (FCONS.DATE_VISITE) ne se lit pas comme une date : « 31/02/2005 »"},
        {true,
         {u"demain", Valeur::entier(612345678)},
         "3 dates de visite (FCONS.DATE_VISITE) ne se lisent pas comme des dates, par exemple "
         "« 31/02/2005 »"},
        {false,
         {Valeur::octets("\x01\x02")},
         "une date de fiche technique (FTEC.Date) ne se lit pas comme une date : « (données "
         "binaires) »"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.message);
        for (const Valeur& v : c.valeurs) {
            test::inserer(
                cn, c.clients ? QStringLiteral("FCONS") : QStringLiteral("FTEC"),
                {{c.clients ? QStringLiteral("DATE_VISITE") : QStringLiteral("Date"), v}});
        }
        for (const Mode mode : {Mode::Lecture, Mode::Purge}) {
            const QString message = test::echec([&] {
                (c.clients ? purge::PurgeClients : purge::PurgeTech)(
                    vars, QStringLiteral("15/03/2005"), mode, panneau);
            });
            EXPECT_TRUE(message.contains(QString::fromUtf8(c.message))) << message.toStdString();
        }
    }
    EXPECT_EQ(clients().size(), 8);
    EXPECT_EQ(fiches().size(), 7 + 1);
    EXPECT_TRUE(store::journal::lire(cn).empty());
}

// Day and month never swapped, the date labels in other locales read back;
// a date unreadable or to come refused.
TEST_F(Purge, JourEtMoisJamaisInversesDatesRefusees) {
    const std::tuple<const char*, QDate, const char*, qint64, qint64> cas[] = {
        // Locale, day, its label, then the clients and sheets counted.
        {"fr_FR", QDate(2005, 3, 4), "04/03/2005", 2, 2},  // A2 and a3; sheets 2 and 7
        {"fr_FR", QDate(2005, 4, 3), "03/04/2005", 6, 6},  // all but D1 and E1
        // Month first, and four digits where the short form has two.
        {"en_US", QDate(2005, 4, 3), "4/3/2005", 6, 6},
        {"de_DE", QDate(2005, 3, 4), "04.03.2005", 2, 2},
        {"ja_JP", QDate(2005, 3, 4), "2005/03/04", 2, 2},
    };
    for (const auto& [nom, jour, texte, nbClients, nbFiches] : cas) {
        SCOPED_TRACE(texte);
        const QLocale locale(QString::fromLatin1(nom));
        platform::fixerLocaleTravail(locale);
        EXPECT_EQ(purge::texteDate(jour, locale), QString::fromLatin1(texte));
        EXPECT_EQ(purge::PurgeClients(vars, QString::fromLatin1(texte), Mode::Lecture, panneau),
                  nbClients);
        EXPECT_EQ(purge::PurgeTech(vars, QString::fromLatin1(texte), Mode::Lecture, panneau),
                  nbFiches);
    }
    // Unreadable, and a day to come, which would take every client who ever came.
    platform::fixerLocaleTravail(kFrancais);
    const QDate aujourdhui = QDate::currentDate();
    const QString demain = purge::texteDate(aujourdhui.addDays(1), kFrancais);
    for (const QString& texte : {QString(), QStringLiteral("31/02/2005"),
                                 QStringLiteral("2005-03-15"), QStringLiteral("demain"), demain}) {
        SCOPED_TRACE(texte.toStdString());
        EXPECT_THROW(purge::PurgeClients(vars, texte, Mode::Purge, panneau), store::ErreurStore);
        EXPECT_THROW(purge::PurgeTech(vars, texte, Mode::Lecture, panneau), store::ErreurStore);
    }
    EXPECT_EQ(clients().size(), 8);
    EXPECT_EQ(fiches().size(), 7);
    EXPECT_EQ(panneau.commencees, panneau.terminees);
    // Today itself is a day past enough.
    EXPECT_EQ(
        purge::PurgeTech(vars, purge::texteDate(aujourdhui, kFrancais), Mode::Lecture, panneau), 6);
}

// Every deleted row is kept whole in the journal: undoing the last purge, then
// the one before, puts the database back to the bit, rowids included (and a
// text that is not UTF-8, as other programs leave some).
TEST_F(Purge, AnnulerLesPurgesRemetLaBaseALIdentique) {
    cn.executerSqlite(QStringLiteral(
        "UPDATE FCLI SET Nom = 'l''an' || char(10) || 'dernier', Points = 0.1, Leader = "
        "9007199254740993, \"Date Création\" = x'00ff', \"Cat, Age\" = '05', \"Prénom\" = "
        "CAST(x'e9' AS TEXT) WHERE Code = 'A2';"
        "DELETE FROM FCLI WHERE Code = 'C2'"));  // a gap in the rowids
    const QString base = d.chemin(QStringLiteral("BdClient.mdb"));
    const QByteArray avant = test::vidage(base);
    ASSERT_TRUE(avant.contains("INSERT INTO FCLI")) << avant.toStdString();
    EXPECT_FALSE(purge::dernierePurge(vars).has_value());

    EXPECT_EQ(purge::PurgeClients(vars, QStringLiteral("15/03/2005"), Mode::Purge, panneau), 3);
    EXPECT_EQ(purge::PurgeTech(vars, QStringLiteral("01/01/2000"), Mode::Purge, panneau), 0);
    EXPECT_EQ(purge::PurgeTech(vars, QStringLiteral("15/03/2005"), Mode::Purge, panneau), 3);
    test::inserer(cn, QStringLiteral("FCLI"), {{QStringLiteral("Code"), u"N1"}});

    const std::pair<const char*, const char*> cas[] = {
        {"Purge des fiches techniques du %1, date choisie 15/03/2005, 3 fiche(s) technique(s)) ?",
         "Purge annulée : 3 fiche(s) technique(s) remise(s) dans le fichier des fiches "
         "techniques."},
        // The purge that deleted nothing is passed over.
        {"Purge des clients du %1, date choisie 15/03/2005, 3 client(s)) ?",
         "Purge annulée : 3 client(s) remis dans le fichier clients."},
    };
    for (const auto& [question, message] : cas) {
        SCOPED_TRACE(message);
        const auto p = purge::dernierePurge(vars);
        ASSERT_TRUE(p.has_value());
        const QString quand = store::dates::texteLocal(*store::dates::lireIso(p->quand), kFrancais);
        EXPECT_EQ(
            purge::questionAnnulationPurge(*p),
            QStringLiteral("Annuler la dernière purge (") + QString::fromUtf8(question).arg(quand));
        const purge::ResultatAnnulationPurge r = purge::AnnulerPurge(vars, p->lot);
        EXPECT_TRUE(r.faite) << r.refus.toStdString();
        EXPECT_EQ(purge::messagePurgeAnnulee(r), QString::fromUtf8(message));
    }
    EXPECT_FALSE(purge::dernierePurge(vars).has_value());
    cn.executerSqlite(QStringLiteral("DELETE FROM FCLI WHERE Code = 'N1'"));
    EXPECT_EQ(test::vidage(base), avant);
}

// An undo that cannot put everything back exactly puts nothing back.
TEST_F(Purge, AnnulationRefuseeRienNeBouge) {
    ASSERT_EQ(purge::PurgeClients(vars, QStringLiteral("15/03/2005"), Mode::Purge, panneau), 3);
    const qint64 lot = purge::dernierePurge(vars)->lot;
    const QString journal = store::citer(store::journal::table());
    struct Cas {
        const char* avant;  // SQL run before the undo, and `apres` after it
        const char* apres;
        const char* refus;  // nullptr: a store error
    };
    const Cas cas[] = {
        {"INSERT INTO FCLI (Code) VALUES ('a2')", "DELETE FROM FCLI WHERE Code = 'a2'",
         "le fichier a reçu depuis des clients de même code ou de même numéro que ceux-ci.\r\nA2"},
        {"INSERT INTO FCLI (\"Numéro\", Code) VALUES (2, 'N2')",
         "DELETE FROM FCLI WHERE Code = 'N2'", "même numéro que ceux-ci.\r\nA2"},
        // A journal of an earlier version, then a damaged one.
        {"CREATE TABLE sauve AS SELECT * FROM %1; UPDATE %1 SET \"Avant\" = NULL WHERE \"Cle\" "
         "= 'A2'",
         "DELETE FROM %1; INSERT INTO %1 SELECT * FROM sauve; DROP TABLE sauve",
         "le journal n'en garde que les codes"},
        {"CREATE TABLE sauve AS SELECT * FROM %1; UPDATE %1 SET \"Avant\" = '2,2); DROP TABLE "
         "FTEC; --' WHERE \"Cle\" = 'A2'",
         "DELETE FROM %1; INSERT INTO %1 SELECT * FROM sauve; DROP TABLE sauve", nullptr},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.avant);
        cn.executerSqlite(QString::fromUtf8(c.avant).arg(journal));
        const QByteArray etat = test::vidage(d.chemin(QStringLiteral("BdClient.mdb")));
        if (c.refus) {
            const purge::ResultatAnnulationPurge r = purge::AnnulerPurge(vars, lot);
            EXPECT_FALSE(r.faite);
            EXPECT_TRUE(r.refus.contains(QString::fromUtf8(c.refus))) << r.refus.toStdString();
        } else {
            EXPECT_THROW(purge::AnnulerPurge(vars, lot), store::ErreurStore);
        }
        EXPECT_EQ(test::vidage(d.chemin(QStringLiteral("BdClient.mdb"))), etat);
        cn.executerSqlite(QString::fromUtf8(c.apres).arg(journal));
    }
    EXPECT_TRUE(purge::AnnulerPurge(vars, lot).faite);
    EXPECT_EQ(clients().size(), 8);
}

TEST_F(Purge, EchecEnCoursDeSuppressionOuBaseVerrouillee) {
    // The third row to go is refused: the two before it must come back.
    cn.executerSqlite(
        QStringLiteral("CREATE TRIGGER refus_cli BEFORE DELETE ON FCLI WHEN old.Code = 'a3' "
                       "BEGIN SELECT RAISE(ABORT, 'refus'); END;"
                       "CREATE TRIGGER refus_tec BEFORE DELETE ON FTEC WHEN old.\"Numéro\" = 7 "
                       "BEGIN SELECT RAISE(ABORT, 'refus'); END;"));
    EXPECT_THROW(purge::PurgeClients(vars, QStringLiteral("15/03/2005"), Mode::Purge, panneau),
                 store::ErreurStore);
    EXPECT_THROW(purge::PurgeTech(vars, QStringLiteral("15/03/2005"), Mode::Purge, panneau),
                 store::ErreurStore);
    EXPECT_EQ(clients().size(), 8);
    EXPECT_EQ(fiches().size(), 7);
    EXPECT_EQ(panneau.commencees, 2);
    EXPECT_EQ(panneau.terminees, 2);

    // A database locked by another program.
    store::Connexion autre(d.chemin(QStringLiteral("BdClient.mdb")));
    autre.executerSqlite(QStringLiteral("BEGIN EXCLUSIVE"));
    EXPECT_TRUE(test::echec([&] {
                    purge::PurgeClients(vars, QStringLiteral("15/03/2005"), Mode::Purge, panneau);
                }).contains(QStringLiteral("verrouillée")));
    EXPECT_EQ(panneau.terminees, 3);
    autre.executerSqlite(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(clients().size(), 8);
}

// Counting over a whole salon's visits must go through the index on the
// visits' client code, never a scan of FCONS per client.
TEST_F(Purge, ComptageParLIndexDesVisites) {
    const QString sql =
        store::jet::traduire(purge::sqlPurgeClients(QStringLiteral("15/03/2005"), Mode::Lecture));
    const QStringList etapes = test::lignes(cn, QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    const QString texte = etapes.join(u'\n');
    EXPECT_EQ(etapes.filter(QStringLiteral("USING INDEX FCONS_CODE_CLIENT")).size(), 2)
        << texte.toStdString();
    EXPECT_TRUE(etapes.filter(QStringLiteral("SCAN FCONS")).isEmpty()) << texte.toStdString();
}

// ------------------------------------------------------------------ batch mode

TEST_F(Purge, LotCompteSansOuiEtSupprimeAvecOui) {
    struct Cas {
        QStringList arguments;
        const char* sortie;
        int clients;
        int fiches;
    };
    const Cas cas[] = {
        {{"--purge-clients", "15/03/2005"}, "3\n", 8, 7},
        {{"--purge-techniques", "2005-03-15"}, "3\n", 8, 7},
        {{"--purge-techniques", "4/3/2005"}, "2\n", 8, 7},
        {{"--purge-techniques", "2005-03-15", "--oui"}, "3\nPurge effecuée.\n", 8, 4},
        {{"--oui", "--purge-clients", "15/03/2005"}, "3\nPurge effecuée.\n", 5, 4},
        {{"--purge-clients", "15/03/2005", "--oui"}, "0\nPurge effecuée.\n", 5, 4},
        {{"--annuler-purge"}, "Purge annulée : 3 client(s) remis dans le fichier clients.\n", 8, 4},
        {{"--annuler-purge"},
         "Purge annulée : 3 fiche(s) technique(s) remise(s) dans le fichier des fiches "
         "techniques.\n",
         8,
         7},
        {{"--annuler-purge"}, "Aucune purge à annuler.\n", 8, 7},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const test::SortieLot r = test::lancerLot(d.chemin(), c.arguments);
        EXPECT_EQ(r.code, commun::kFait) << r.err.toStdString();
        EXPECT_EQ(r.out, QString::fromUtf8(c.sortie));
        EXPECT_EQ(r.err, QString());
        EXPECT_EQ(clients().size(), c.clients);
        EXPECT_EQ(fiches().size(), c.fiches);
    }
}

TEST_F(Purge, LotMauvaisUsageEtEchecs) {
    struct Cas {
        QStringList arguments;
        int code;
        const char* message;  // part of the error output
    };
    const Cas cas[] = {
        {{"--purge-clients"}, commun::kUsage, "--purge-clients DATE [--oui]"},
        {{"--purge-clients", "31/02/2005", "--oui"}, commun::kUsage, "n'est pas une date"},
        {{"--purge-techniques", "15-03-2005"}, commun::kUsage, "JJ/MM/AAAA ou AAAA-MM-JJ"},
        {{"--purge-clients", "15/03/2005", "16/03/2005"}, commun::kUsage, "Argument inconnu"},
        {{"--purge-clients", QDate::currentDate().addDays(1).toString(u"dd/MM/yyyy"), "--oui"},
         commun::kEchec,
         "est après aujourd'hui"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const test::SortieLot r = test::lancerLot(d.chemin(), c.arguments);
        EXPECT_EQ(r.code, c.code);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        EXPECT_EQ(r.out, QString());
    }
    EXPECT_EQ(clients().size(), 8);

    // A folder without a database: a clear message, nothing created.
    test::Dossier vide;
    const test::SortieLot r =
        test::lancerLot(vide.chemin(), {"--purge-clients", "15/03/2005", "--oui"});
    EXPECT_EQ(r.code, commun::kEchec);
    EXPECT_TRUE(r.err.contains(QStringLiteral("introuvable"))) << r.err.toStdString();
    EXPECT_EQ(r.out, QString());
    EXPECT_FALSE(vide.existe(QStringLiteral("bdclient.mdb")));
}

}  // namespace
