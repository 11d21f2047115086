#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <functional>
#include <optional>

#include "clients/Analyse.h"
#include "clients/AnalysesNotees.h"
#include "clients/Annulation.h"
#include "platform/ErreurFichier.h"
#include "store/Erreur.h"
#include "store/Journal.h"
#include "store/Recordset.h"
#include "support/Jet.h"
#include "support/Lot.h"
#include "support/Salon.h"

using store::Valeur;
using test::noteRtf;

namespace {

// What the run reported, in order.
struct Journal : clients::ObservateurAnalyseClients {
    QStringList etapes;
    std::vector<clients::NoteLongue> notes;
    std::vector<clients::Evaluation> erreurs;
    std::vector<std::pair<int, int>> progressions;
    int nbRanges = 0;

    void debutRangement(int n) override { etapes << QStringLiteral("rangement %1").arg(n); }
    void rangement(int, int) override { ++nbRanges; }
    void noteTropLongue(const clients::NoteLongue& l) override { notes.push_back(l); }
    void debut(int n) override { etapes << QStringLiteral("jugement %1").arg(n); }
    void progression(int n, int total) override { progressions.emplace_back(n, total); }
    void clientEnErreur(const clients::Evaluation& e, int nb, int total) override {
        erreurs.push_back(e);
        etapes << clients::legendeListe(nb, total);
    }
};

class Analyse : public test::Salon {
protected:
    // A client that no rule faults.
    void clientSain(const QString& code) {
        client({{QStringLiteral("Code"), code},
                {QStringLiteral("Nom"), QStringLiteral("DURAND")},
                {QStringLiteral("Prénom"), QStringLiteral("Anne")},
                {QStringLiteral("Ville"), QStringLiteral("PARIS")},
                {QStringLiteral("Code Postal"), QStringLiteral("75001")}});
    }
    Valeur champ(const QString& code, const QString& colonne) {
        store::Recordset rs;
        rs.Open(QStringLiteral("select * from FCLI where Code = '%1'").arg(code), cn);
        EXPECT_FALSE(rs.Eof()) << code.toStdString();
        return rs.Eof() ? Valeur() : rs.Champ(colonne);
    }
    Journal journal;
};

// ------------------------------------------------------------------ tidying

// Each field tidied by its rule, and one write for a client that changes,
// none for one that does not.
TEST_F(Analyse, RangementChampParChamp) {
    d.creerCommunes({});
    cn.executerSqlite(
        QStringLiteral("CREATE TABLE ecritures (code TEXT);"
                       "CREATE TRIGGER trace AFTER UPDATE ON FCLI BEGIN INSERT INTO ecritures "
                       "VALUES (new.Code); END;"));
    struct Cas {
        const char* colonne;
        Valeur avant;
        Valeur apres;
    };
    auto t = [](const char* s) { return Valeur::texte(QString::fromUtf8(s)); };
    const Cas cas[] = {
        {"Nom", t(" "), t("")},
        {"Nom", t("  "), t("  ")},
        {"Nom", t(" DUPONT "), t(" DUPONT ")},
        {"Tel1", t(" O6 12 34 56 78 "), t("06 12 34 56 78")},
        {"Tel2", t("o612345678"), t("o612345678")},
        {"Tel2", t("\t0612345678"), t("\t0612345678")},
        {"Cat, Age", t(" 7"), t("07")},
        {"Cat, Age", t(" 5,5 "), t("06")},
        {"Cat, Age", t("abc"), t("abc")},
        {"Cat, Age", Valeur::entier(3), t("03")},
        {"Mois Nais", t(" ab "), t("ab")},
        {"Email", t("  a@b.fr "), t("a@b.fr")},
        {"Email", t("O@b.fr"), t("O@b.fr")},
        {"GenCode", t(" 3O12345678901 "), t("3012345678901")},
        {"DateNaissance", Valeur::date(0), Valeur::date(1)},
        {"DateNaissance", Valeur::date(-1000.5), Valeur::date(1)},
        {"DateNaissance", Valeur::date(2), Valeur::date(2)},
        {"DateNaissance", t(" inconnue "), t("inconnue")},
        // The default town only without town and code; blanks alone are nothing.
        {"Ville", Valeur(), t("PARIS")},
        {"Ville", t("  "), t("PARIS")},
        {"Code Postal", t(" "), t("75001")},
    };
    int n = 0;
    for (const Cas& c : cas) {
        test::Champs champs{{QStringLiteral("Code"), QStringLiteral("R%1").arg(++n)},
                            {QStringLiteral("Ville"), QStringLiteral("PARIS")},
                            {QStringLiteral("Code Postal"), QStringLiteral("75001")}};
        if (QByteArray(c.colonne).startsWith("Ville") || QByteArray(c.colonne) == "Code Postal") {
            champs[QStringLiteral("Ville")] = champs[QStringLiteral("Code Postal")] = Valeur();
        }
        champs[QString::fromUtf8(c.colonne)] = c.avant;
        client(champs);
    }
    // Town or code alone: the other stays empty.
    client({{QStringLiteral("Code"), QStringLiteral("V1")},
            {QStringLiteral("Ville"), QStringLiteral(" LYON ")}});
    client({{QStringLiteral("Code"), QStringLiteral("V2")},
            {QStringLiteral("Code Postal"), QStringLiteral(" 69OO1")}});
    clients::PreAnalyseCli(vars, journal);
    n = 0;
    QStringList ecrits;
    for (const Cas& c : cas) {
        const QString code = QStringLiteral("R%1").arg(++n);
        EXPECT_EQ(champ(code, QString::fromUtf8(c.colonne)), c.apres)
            << c.colonne << " « " << c.avant.texte().toStdString() << " »";
        if (!(c.avant == c.apres)) {
            ecrits << code;
        }
    }
    EXPECT_EQ(test::lignes(cn, QStringLiteral("SELECT code FROM ecritures")),
              ecrits << QStringLiteral("V1") << QStringLiteral("V2"));
    EXPECT_EQ(valeur(QStringLiteral("V1"), QStringLiteral("Code Postal")) + u'|' +
                  valeur(QStringLiteral("V1"), QStringLiteral("Ville")),
              QStringLiteral("|LYON"));
    EXPECT_EQ(valeur(QStringLiteral("V2"), QStringLiteral("Code Postal")) + u'|' +
                  valeur(QStringLiteral("V2"), QStringLiteral("Ville")),
              QStringLiteral("69001|"));
}

// ------------------------------------------------------------------ backup

TEST_F(Analyse, SauvegardeFaiteUneFoisEtJamaisRemplacee) {
    d.copierCommunes();
    client({{QStringLiteral("Code"), QStringLiteral("A1")},
            {QStringLiteral("Nom"), QStringLiteral(" ")}});
    cn.Close();
    const QByteArray origine = d.lire(QStringLiteral("BdClient.mdb"));
    clients::AnalyseBd(vars, journal);
    // The database as it was before the run changed anything, and no
    // temporary copy left.
    EXPECT_EQ(d.lire(QStringLiteral("BdClient.sav")), origine);
    EXPECT_NE(d.lire(QStringLiteral("BdClient.mdb")), origine);
    EXPECT_EQ(QDir(d.chemin()).entryList(QDir::Files),
              (QStringList{QStringLiteral("BdClient.mdb"), QStringLiteral("BdClient.sav"),
                           QStringLiteral("communes.mdb")}));
    cn = store::Connexion(d.chemin(QStringLiteral("BdClient.mdb")));
    client({{QStringLiteral("Code"), QStringLiteral("A2")}});
    clients::AnalyseBd(vars, journal);
    EXPECT_EQ(d.lire(QStringLiteral("BdClient.sav")), origine);
}

TEST_F(Analyse, SauvegardeImpossibleRienNEstTouche) {
    d.creerCommunes({});
    client({{QStringLiteral("Code"), QStringLiteral("A1")},
            {QStringLiteral("Nom"), QStringLiteral(" ")}});
    // A folder under the backup's name: the copy cannot take its place.
    QDir(d.chemin()).mkdir(QStringLiteral("BdClient.sav"));
    try {
        clients::AnalyseBd(vars, journal);
        FAIL() << "la sauvegarde impossible doit arrêter l'analyse";
    } catch (const platform::ErreurFichier& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Impossible de créer la sauvegarde")) &&
                    e.message().contains(QStringLiteral("BdClient.sav")))
            << e.message().toStdString();
    }
    EXPECT_EQ(valeur(QStringLiteral("A1"), QStringLiteral("Nom")), QStringLiteral(" "));
    EXPECT_TRUE(journal.etapes.isEmpty());
    EXPECT_EQ(QDir(d.chemin()).entryList(QDir::Files).size(), 2);
}

// ------------------------------------------------------------------ notes

TEST_F(Analyse, NotesDePlusDe500Caracteres) {
    d.creerCommunes({});
    for (const char* code : {"N500", "N501", "SANS", "Plat", "n7"}) {
        clientSain(QString::fromLatin1(code));
    }
    d.ecrire(QStringLiteral("CliN500.RTF"), noteRtf(QByteArray(500, 'a')));
    d.ecrire(QStringLiteral("CliN501.RTF"), noteRtf(QByteArray(500, 'a') + 'z'));
    // A note that is not RTF is plain Windows-1252 text, its line ends CR LF.
    d.ecrire(QStringLiteral("CliPlat.RTF"), QByteArray(499, 'p') + "\n\xE9");
    // Names are matched without regard to letter case.
    d.ecrire(QStringLiteral("cliN7.rtf"),
             noteRtf(QByteArray(300, 'b') + ' ' + QByteArray(300, 'c')));
    vars.NbFichiersRTF = commun::compterFichiersRtf(d.chemin());

    EXPECT_EQ(clients::PreAnalyseCli(vars, journal), 3);
    ASSERT_EQ(journal.notes.size(), 3u);
    EXPECT_EQ(journal.notes[0].code + u' ' + journal.notes[0].nom,
              QStringLiteral("N501 DURAND Anne"));
    EXPECT_EQ(journal.notes[0].garde, QString(500, u'a'));
    EXPECT_EQ(journal.notes[0].perdu, QStringLiteral("z"));
    // A line break counts two characters; here the 500th is its CR.
    EXPECT_EQ(journal.notes[1].code, QStringLiteral("Plat"));
    EXPECT_EQ(journal.notes[1].perdu, QStringLiteral("\né"));
    EXPECT_EQ(journal.notes[2].code, QStringLiteral("n7"));
    EXPECT_EQ(journal.notes[2].perdu, QString(101, u'c'));
    EXPECT_EQ(clients::legendeNotes(journal.notes[2].nbLongues, journal.notes[2].nbFichiersRtf),
              QStringLiteral("3 / 4"));
}

// ------------------------------------------------------------------ the run

TEST_F(Analyse, LeRunListeLesClientsEnErreurDansLOrdre) {
    d.copierCommunes();
    // C3 is tidied first, then judged: " O6…" is a good number once tidied;
    // 4 gets the default town, which is in the reference.
    cn.executerSqlite(QStringLiteral(
        "INSERT INTO FCLI (Code, Nom, \"Prénom\", Ville, \"Code Postal\", Email, \"Cat, Age\", "
        "Tel1, DateNaissance) VALUES "
        "('A1', 'DURAND', 'Anne', 'PARIS', '75001', NULL, NULL, NULL, NULL),"
        "('B2', 'MARTIN', 'Léa', 'PARIS', '75001', 'lea@@x.fr', '11', NULL, NULL),"
        "('C3', NULL, NULL, ' paris ', '75OO1', NULL, NULL, ' O612345678 ', NULL),"
        "('4', 'LEGRAND', NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
        "('d5', NULL, NULL, 'VILLE INCONNUE', '99999', NULL, NULL, NULL, '1899-12-30')"));

    const clients::BilanAnalyse bilan = clients::AnalyseBd(vars, journal);
    EXPECT_EQ(std::make_pair(bilan.NbCli, bilan.NbCliErr), std::make_pair(5, 2));
    EXPECT_EQ(std::make_pair(vars.NbCli, vars.NbCliErr), std::make_pair(5, 2));
    EXPECT_EQ(journal.etapes,
              (QStringList{QStringLiteral("rangement 5"), QStringLiteral("jugement 5"),
                           QStringLiteral("Liste des clients avec erreur (1 / 5)"),
                           QStringLiteral("Liste des clients avec erreur (2 / 5)")}));
    ASSERT_EQ(journal.erreurs.size(), 2u);
    EXPECT_EQ(journal.erreurs[0].NomClient, QStringLiteral("MARTIN Léa"));
    QStringList marques(13, QString());
    marques[clients::ErrCatAge] = marques[clients::ErrEmail] = QStringLiteral("x");
    EXPECT_EQ(journal.erreurs[0].marques(), marques);
    EXPECT_EQ(journal.erreurs[1].CodeClient, QStringLiteral("d5"));
    marques = QStringList(13, QString());
    // The birth date was tidied to 31 December 1899, which passes.
    marques[clients::ErrVille] = marques[clients::ErrCP] = QStringLiteral("x");
    EXPECT_EQ(journal.erreurs[1].marques(), marques);
    EXPECT_EQ(journal.progressions.front(), std::make_pair(1, 5));
    EXPECT_EQ(journal.progressions.back(), std::make_pair(5, 5));
    // The last client judged stays known, and the towns reference stays open.
    EXPECT_EQ(vars.CodeClient, QStringLiteral("d5"));
    EXPECT_TRUE(vars.cnCommunes.ouverte());
}

// Each run notes what it found in the journal, apart from the changes: the
// undo has nothing to undo, and the tidying alone shows as changes.
TEST_F(Analyse, ChaqueRunNoteSonBilan) {
    d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")}});
    cn.executerSqlite(QStringLiteral(
        "INSERT INTO FCLI (Code, Ville, \"Code Postal\", Email, Tel1) VALUES "
        "('A1', 'PARIS', '75001', NULL, NULL), ('B2', 'PARSI', '75001', 'b2@', NULL), "
        "('C3', 'PARSI', '75001', NULL, '0612345678 ')"));
    const clients::BilanAnalyse premier = clients::AnalyseBd(vars, journal);
    cn.executerSqlite(QStringLiteral("UPDATE FCLI SET Ville = 'PARIS' WHERE Code = 'C3'"));
    const clients::BilanAnalyse second = clients::AnalyseBd(vars, journal);

    std::array<int, clients::kNbDrapeaux> attendus{};
    attendus[clients::ErrVille] = 2;
    attendus[clients::ErrEmail] = 1;
    EXPECT_EQ(premier.erreursParChamp, attendus);
    const auto analyses = clients::analysesNotees(cn);
    ASSERT_EQ(analyses.size(), 2u);
    EXPECT_EQ(std::make_pair(analyses[0].bilan.NbCli, analyses[0].bilan.NbCliErr),
              std::make_pair(3, 2));
    EXPECT_EQ(analyses[0].bilan.erreursParChamp, attendus);
    attendus[clients::ErrVille] = 1;
    EXPECT_EQ(second.erreursParChamp, attendus);
    EXPECT_EQ(analyses[1].bilan.erreursParChamp, attendus);
    EXPECT_EQ(
        test::journal(cn),
        QStringList{QStringLiteral("Rangement des clients|FCLI|C3|Tel1|0612345678 |0612345678")});
    EXPECT_FALSE(clients::derniereCorrection(vars).has_value());
}

TEST_F(Analyse, TableVide) {
    d.creerCommunes({});
    cn.Close();
    const QByteArray avant = d.lire(QStringLiteral("BdClient.mdb"));
    const clients::BilanAnalyse bilan = clients::AnalyseBd(vars, journal);
    EXPECT_EQ(std::make_pair(bilan.NbCli, bilan.NbCliErr), std::make_pair(0, 0));
    EXPECT_TRUE(journal.progressions.empty());
    EXPECT_EQ(journal.etapes,
              (QStringList{QStringLiteral("rangement 0"), QStringLiteral("jugement 0")}));
    EXPECT_EQ(d.lire(QStringLiteral("BdClient.sav")), avant);
}

TEST_F(Analyse, ColonneVilleEnTexte50SansRienCouper) {
    d.copierCommunes();
    const QString longue =
        QStringLiteral("SAINT REMY EN BOUZEMONT SAINT GENEST ET ISSON DU GRAND LAC");
    ASSERT_GT(longue.size(), 50);
    client({{QStringLiteral("Code"), QStringLiteral("L1")},
            {QStringLiteral("Ville"), longue},
            {QStringLiteral("Code Postal"), QStringLiteral("51290")}});
    clients::AnalyseBd(vars, journal);
    EXPECT_EQ(cn.typesColonnes(QStringLiteral("FCLI"))[6], QStringLiteral("TEXT(50)"));
    EXPECT_EQ(valeur(QStringLiteral("L1"), QStringLiteral("Ville")), longue);
    ASSERT_EQ(journal.erreurs.size(), 1u);
    EXPECT_TRUE(journal.erreurs[0].drapeaux[clients::ErrVille]);

    // A column named otherwise is left as it is.
    test::Dossier x;
    store::Connexion autre = store::Connexion::creer(x.chemin(QStringLiteral("BdClient.mdb")));
    autre.executerSqlite(QStringLiteral("CREATE TABLE FCLI (Code TEXT, VILLE INTEGER)"));
    vars.dossier = x.chemin();
    clients::VerifColonneVille(vars);
    EXPECT_EQ(autre.typesColonnes(QStringLiteral("FCLI")),
              (QStringList{QStringLiteral("TEXT"), QStringLiteral("INTEGER")}));
}

// A folder the run cannot work on says why, and nothing is created.
TEST_F(Analyse, ErreursDitesSansRienCreer) {
    const struct {
        const char* cas;
        std::function<void(const test::Dossier&)> preparer;
        const char* message;
    } cas[] = {
        {"sans table FCLI",
         [](const test::Dossier& x) {
             x.creerCommunes({});
             store::Connexion::creer(x.chemin(QStringLiteral("BdClient.mdb")))
                 .executerSqlite(QStringLiteral("CREATE TABLE AUTRE (x)"));
         },
         "FCLI"},
        {"sans base", [](const test::Dossier& x) { x.creerCommunes({}); }, "BdClient.mdb"},
        {"sans référentiel", [](const test::Dossier& x) { x.creerBase(); }, "communes.mdb"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.cas);
        test::Dossier x;
        c.preparer(x);
        const QStringList avant = QDir(x.chemin()).entryList(QDir::Files);
        vars.dossier = x.chemin();
        try {
            clients::AnalyseBd(vars, journal);
            ADD_FAILURE() << "pas d'erreur";
        } catch (const store::ErreurStore& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.message)))
                << e.message().toStdString();
        }
        EXPECT_EQ(QDir(x.chemin()).entryList(QDir::Files), avant);
    }
}

// A run killed in the middle of its tidying, as a kill or a power cut would
// stop it: the database opens, every record is tidied or untouched, the
// backup is whole, and the next run goes through. Counters are wider than 16
// bits: 40,000 clients, one in seven in error.
TEST_F(Analyse, TueEnPleinRangementPuisRepris) {
    d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")}});
    const int total = 40000;
    {
        store::Transaction t(cn);
        store::Instruction i(
            cn, QStringLiteral("INSERT INTO FCLI (Code, Nom, Tel1, \"Code Postal\", Ville) "
                               "VALUES (?, ' ', ?, ' 75OO1', 'PARIS ')"));
        for (int k = 1; k <= total; ++k) {
            i.reinitialiser();
            i.lier(1, QString::number(k))
                .lier(2, k % 7 == 0 ? QStringLiteral(" 123") : QStringLiteral(" O612345678 "))
                .executer();
        }
        t.valider();
    }
    cn.Close();

    // The run goes on in a child process that kills itself at its middle record.
    const pid_t enfant = ::fork();
    if (enfant == 0) {
        struct Tueur : clients::ObservateurAnalyseClients {
            void rangement(int n, int total) override {
                if (n == total / 2) {
                    ::kill(::getpid(), SIGKILL);
                }
            }
        } tueur;
        try {
            clients::AnalyseBd(vars, tueur);
        } catch (...) {
        }
        ::_exit(0);
    }
    int statut = 0;
    ASSERT_EQ(::waitpid(enfant, &statut, 0), enfant);
    ASSERT_TRUE(WIFSIGNALED(statut) && WTERMSIG(statut) == SIGKILL) << statut;

    cn = store::Connexion(d.chemin(QStringLiteral("BdClient.mdb")));
    EXPECT_EQ(test::lignes(cn, QStringLiteral("PRAGMA integrity_check")),
              QStringList{QStringLiteral("ok")});
    const QStringList etats = test::lignes(
        cn, QStringLiteral("SELECT CASE WHEN Nom = '' AND Tel1 IN ('0612345678', '123') AND "
                           "\"Code Postal\" = '75001' AND Ville = 'PARIS' THEN 'rangé' WHEN Nom "
                           "= ' ' AND Tel1 IN (' O612345678 ', ' 123') AND \"Code Postal\" = ' "
                           "75OO1' AND Ville = 'PARIS ' THEN 'intact' ELSE 'à moitié' END, "
                           "count(*) FROM FCLI GROUP BY 1 ORDER BY 1"));
    ASSERT_EQ(etats.size(), 2) << etats.join(u' ').toStdString();
    EXPECT_TRUE(etats[0].startsWith(QStringLiteral("intact|")));
    EXPECT_TRUE(etats[1].startsWith(QStringLiteral("rangé|")));
    EXPECT_EQ(test::nombre(store::Connexion(d.chemin(QStringLiteral("BdClient.sav"))),
                           QStringLiteral("SELECT count(*) FROM FCLI WHERE Nom = ' '")),
              total);

    const clients::BilanAnalyse bilan = clients::AnalyseBd(vars, journal);
    EXPECT_EQ(std::make_pair(bilan.NbCli, bilan.NbCliErr), std::make_pair(total, total / 7));
    EXPECT_EQ(journal.erreurs.back().CodeClient, QString::number(total / 7 * 7));
    EXPECT_EQ(journal.etapes.last(),
              QStringLiteral("Liste des clients avec erreur (5714 / 40000)"));
    EXPECT_EQ(journal.progressions.back(), std::make_pair(total, total));
    EXPECT_EQ(journal.nbRanges, total);
    EXPECT_EQ(test::nombre(cn, QStringLiteral("SELECT count(*) FROM FCLI WHERE Nom = ''")), total);
}

// ------------------------------------------------------------------ batch mode

using test::lancerLot;
using Sortie = test::SortieLot;

TEST_F(Analyse, LotAnalyseClients) {
    d.copierCommunes();
    cn.executerSqlite(QStringLiteral(
        "INSERT INTO FCLI (Code, Nom, \"Prénom\", Ville, \"Code Postal\", Tel2) VALUES "
        "('A1', 'DURAND', 'Anne', 'PARIS', '75001', NULL), "
        "('A12', 'DUPONT', 'Marie', 'PARIS', '75001', '06' || char(9) || '12')"));
    d.ecrire(QStringLiteral("CliA1.RTF"), noteRtf(QByteArray(510, 'x')));

    // Without default.txt: the report's and the suggestions' tests, which share the check.
    d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
    Sortie s = lancerLot(d.chemin(), {QStringLiteral("--analyse-clients")});
    EXPECT_EQ(s.code, 0) << s.err.toStdString();
    EXPECT_EQ(s.err, QString());
    EXPECT_EQ(s.out, QStringLiteral("ListBN\tA1\tDURAND Anne\n"
                                    "ListCli\tA12\tDUPONT Marie\t\t\t\t\t\t\t\t\t\tx\t\t\t\n"
                                    "Analyse terminée.\n"
                                    "Liste des clients avec erreur (1 / 2)\n"));

    cn.executerSqlite(QStringLiteral("DELETE FROM FCLI WHERE Code = 'A12'"));
    s = lancerLot(d.chemin(), {QStringLiteral("--analyse-clients")});
    EXPECT_TRUE(
        s.out.endsWith(QStringLiteral("Liste des clients avec erreur (0 / 1)\n"
                                      "Votre fichier clients ne comporte pas d'erreur.\n")))
        << s.out.toStdString();
}

// The same tables as another tool declares them: text without COLLATE NOCASE,
// the indexes rebuilt for that.
void sansNocase(const QString& base) {
    store::Connexion(base).executerSqlite(
        QStringLiteral("PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql = replace(sql, "
                       "' COLLATE NOCASE', '') WHERE type = 'table'; PRAGMA writable_schema=OFF;"));
    store::Connexion(base).executerSqlite(QStringLiteral("REINDEX"));
}

TEST(Casse, LesTextesSeComparentSansLaCasseQuelQueSoitLeSchema) {
    QStringList sorties[2];
    for (const bool autreOutil : {false, true}) {
        test::Dossier d;
        d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("Paris")},
                         {QStringLiteral("91000"), QStringLiteral("Évry")},
                         {QStringLiteral("2A004"), QStringLiteral("Ajaccio")},
                         {QStringLiteral("95290"), QStringLiteral("L'Isle-Adam")}});
        store::Connexion cn = d.creerBase();
        // The last client's town is the only one in error; a sheet and an old
        // visit of clients written in another letter case.
        cn.executerSqlite(QStringLiteral(
            "INSERT INTO FCLI (Code, Nom, Ville, \"Code Postal\") VALUES ('A1', 'NOM', 'PARIS', "
            "'75001'), ('A2', 'NOM', 'ÉVRY', '91000'), ('A3', 'NOM', 'AJACCIO', '2a004'), ('A4', "
            "'NOM', 'l''isle-adam', '95290'), ('A5', 'NOM', 'PARSI', '75001');"
            "INSERT INTO FTEC (\"Numéro\", Code_Client) VALUES (1, 'a1');"
            "INSERT INTO FCONS (CODE_CLIENT, DATE_VISITE) VALUES ('a2', '2001-01-01 00:00:00')"));
        cn.Close();
        d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
        if (autreOutil) {
            sansNocase(d.chemin(QStringLiteral("BdClient.mdb")));
            sansNocase(d.chemin(QStringLiteral("communes.mdb")));
        }
        for (const QStringList& verbe :
             {QStringList{QStringLiteral("--analyse-clients")},
              QStringList{QStringLiteral("--analyse-techniques")},
              QStringList{QStringLiteral("--purge-clients"), QStringLiteral("01/01/2010")}}) {
            const Sortie s = lancerLot(d.chemin(), verbe);
            sorties[autreOutil] << s.out + s.err;
        }
    }
    EXPECT_EQ(sorties[1], sorties[0]);
    EXPECT_TRUE(sorties[0][0].startsWith(QStringLiteral("ListCli\tA5\t")));
    EXPECT_TRUE(sorties[0][0].contains(QStringLiteral("(1 / 5)")));
    EXPECT_TRUE(sorties[0][1].startsWith(QStringLiteral("ListCliTech\t1\tA1\tNOM \tx\t\n")));
    EXPECT_TRUE(sorties[0][2].startsWith(QStringLiteral("1\n")));
}

// A BdClient.sav that is no backup (left by a run on an empty database, or
// any other file) is kept under another name, and the real backup is made.
TEST_F(Analyse, LotSauvegardeQuiNEnEstPasUne) {
    d.copierCommunes();
    d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
    clientSain(QStringLiteral("A1"));
    cn.Close();
    test::Dossier x;
    x.creerBase(QStringLiteral("vraie.sav"));
    x.creerBase().executerSqlite(QStringLiteral("DROP TABLE FCLI"));
    const struct {
        const char* nom;
        QByteArray contenu;
        const char* gardeSous;  // nullptr: a backup, kept as it is
    } cas[] = {
        {"BdClient.sav", "", "BdClient.invalide.sav"},
        {"BdClient.sav", "pas une base", "BdClient.invalide-2.sav"},
        {"BdClient.sav", x.lire(QStringLiteral("BdClient.mdb")), "BdClient.invalide-3.sav"},
        {"bdclient.SAV", x.lire(QStringLiteral("vraie.sav")), nullptr},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.contenu.left(20).toStdString());
        QFile::remove(d.chemin(QStringLiteral("BdClient.sav")));
        d.ecrire(QString::fromLatin1(c.nom), c.contenu);
        const QByteArray base = d.lire(QStringLiteral("BdClient.mdb"));
        const Sortie s = lancerLot(d.chemin(), {QStringLiteral("--analyse-clients")});
        EXPECT_EQ(s.code, 0) << s.err.toStdString();
        if (!c.gardeSous) {
            EXPECT_EQ(d.lire(QString::fromLatin1(c.nom)), c.contenu);
            EXPECT_FALSE(QDir(d.chemin()).entryList().contains(QStringLiteral("BdClient.sav")));
            continue;
        }
        EXPECT_EQ(d.lire(QString::fromLatin1(c.gardeSous)), c.contenu);
        EXPECT_EQ(d.lire(QStringLiteral("BdClient.sav")), base);
        EXPECT_TRUE(s.out.contains(QString::fromLatin1(c.gardeSous))) << s.out.toStdString();
    }
}

// A run that lacks something checks it before its first change: nothing in
// the folder is written, not the tidying, the journal table or the backup.
// A protected folder or database is named as the cause.
TEST_F(Analyse, LotRienNEstEcritQuandIlManqueQuelqueChose) {
    const struct {
        const char* verbe;
        const char* fichier;
        const char* sql;     // run on the file; nullptr: `contenu` written in its place
        QByteArray contenu;  // null: the file protected, run as --purge-clients too
        const char* message;
    } cas[] = {
        {"--analyse-clients", "communes.mdb", "DROP TABLE communes", {}, "table « communes »"},
        {"--analyse-clients", "BdClient.mdb", "ALTER TABLE FCLI DROP GenCode", {}, "« GenCode »"},
        {"--analyse-techniques", "BdClient.mdb", "ALTER TABLE FTEC DROP \"Mémo\"", {}, "« Mémo »"},
        {"--analyse-clients", "BdClient.mdb", nullptr, "", "« BdClient.mdb » est vide"},
        {"--journal", "BdClient.mdb", nullptr, "", "« BdClient.mdb » est vide"},
        {"--analyse-clients", "BdClient.mdb", nullptr, "bonjour", "n'est pas une base de données"},
        {"--analyse-clients", "default.txt", nullptr, "PARIS\r\n42000\r\n", "default.txt"},
        {"--analyse-clients", "BdClient.mdb", nullptr, QByteArray(), "est en lecture seule"},
        {"--analyse-techniques", ".", nullptr, QByteArray(), "Le dossier « "},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.verbe) + " " + c.message);
        test::Dossier x;
        x.copierCommunes();
        x.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
        // Work for every run: a client and a memo to tidy, a visit to purge.
        x.creerBase().executerSqlite(QStringLiteral(
            "INSERT INTO FCLI (Code, Nom) VALUES ('A1', ' '); INSERT INTO FTEC (\"Numéro\", "
            "\"Mémo\") VALUES (1, 'x '); INSERT INTO FCONS (CODE_CLIENT, DATE_VISITE) VALUES "
            "('A1', '2001-01-01')"));
        const QString fichier = x.chemin(QString::fromLatin1(c.fichier));
        if (c.sql) {
            store::Connexion(fichier).executerSqlite(QString::fromUtf8(c.sql));
        } else if (!c.contenu.isNull()) {
            x.ecrire(QString::fromLatin1(c.fichier), c.contenu);
        }
        const auto avant = test::etatDossier(x.chemin());
        std::optional<test::Protection> protection;
        QList<QStringList> lancements{{QString::fromLatin1(c.verbe)}};
        if (c.contenu.isNull() && !c.sql) {
            protection.emplace(fichier);
            if (!protection->active()) {
                GTEST_SKIP() << "ni permissions ni attribut immuable ici";
            }
            lancements << QStringList{QStringLiteral("--purge-clients"),
                                      QStringLiteral("01/01/2020"), QStringLiteral("--oui")};
        }
        for (const QStringList& arguments : lancements) {
            const Sortie s = lancerLot(x.chemin(), arguments);
            EXPECT_EQ(s.code, 1);
            EXPECT_TRUE(s.err.contains(QString::fromUtf8(c.message))) << s.err.toStdString();
            EXPECT_EQ(test::etatDossier(x.chemin()), avant);
        }
    }
}

// default.txt is UTF-8 when it reads as UTF-8, Windows-1252 otherwise, and
// gives a default only when its town and postal code are a pair of the
// reference; otherwise the batch stops and says how to mend it.
TEST_F(Analyse, LotDefaultTxtLuEtVerifie) {
    d.creerCommunes({{QStringLiteral("42000"), QStringLiteral("SAINT-ÉTIENNE")},
                     {QStringLiteral("75001"), QStringLiteral("PARIS")},
                     {QStringLiteral("27000"), QStringLiteral("EVREUX")}});
    client({{QStringLiteral("Code"), QStringLiteral("S1")}});
    const struct {
        QByteArray contenu;   // null: a folder named default.txt
        const char* message;  // nullptr: taken
    } cas[] = {
        {"\xEF\xBB\xBFSAINT-\xC3\x89TIENNE\r\n42000\r\n", nullptr},
        {"SAINT-\xC3\x89TIENNE\n 42000 ", nullptr},
        {"SAINT-\xC9TIENNE\r\n42000\r\n", nullptr},
        {"", "la ville (première ligne) est vide. Il doit"},
        {"PARIS\r\n", "le code postal (seconde ligne) est vide. Il doit"},
        {"PARIS\r\n42000\r\n", "le code postal « 42000 » n'est pas celui de « PARIS »"},
        {QByteArray("\x00\x01\xFF\xFE\x80zz\r\n42000", 14), "n'est pas dans le référentiel"},
        // The reference's own spelling is given.
        {"\xC3\x89VREUX\r\n27000\r\n",
         "la ville « ÉVREUX » n'est pas dans le référentiel des communes, qui l'écrit « EVREUX »"},
        {QByteArray(), "c'est un dossier, pas un fichier. Renommez-le"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.contenu.toStdString());
        cn.executerSqlite(QStringLiteral("UPDATE FCLI SET Ville = NULL, \"Code Postal\" = NULL"));
        QFile::remove(d.chemin(QStringLiteral("default.txt")));
        if (c.contenu.isNull()) {
            QDir(d.chemin()).mkdir(QStringLiteral("default.txt"));
        } else {
            d.ecrire(QStringLiteral("default.txt"), c.contenu);
        }
        const Sortie s = lancerLot(d.chemin(), {QStringLiteral("--analyse-clients")});
        EXPECT_EQ(s.code, c.message ? 1 : 0) << s.err.toStdString();
        EXPECT_TRUE(!c.message || s.err.contains(QString::fromUtf8(c.message)))
            << s.err.toStdString();
        EXPECT_EQ(valeur(QStringLiteral("S1"), QStringLiteral("Ville")),
                  c.message ? QStringLiteral("<Null>") : QStringLiteral("SAINT-ÉTIENNE"));
    }
}

// A note that is not a regular file (a pipe would block the reading for ever)
// or cannot be read is told, and the run goes on. Run as a program, so that
// a blocked reading fails the test rather than holding it.
TEST_F(Analyse, NotesIllisiblesDitesSansBloquer) {
    d.copierCommunes();
    d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
    for (const char* code : {"1", "2", "3"}) {
        clientSain(QString::fromLatin1(code));
    }
    d.ecrire(QStringLiteral("Cli1.RTF"), noteRtf(QByteArray(600, 'a')));
    ASSERT_EQ(mkfifo(QFile::encodeName(d.chemin(QStringLiteral("Cli2.RTF"))).constData(), 0600), 0);
    ASSERT_TRUE(
        QFile::link(d.chemin(QStringLiteral("ailleurs")), d.chemin(QStringLiteral("Cli3.RTF"))));
    d.ecrire(QStringLiteral("Cli7.rtf"),
             "{\\rtf1\\ansi\\ansicpg1252 Couleur \\'e9t\\'e9\\par Rendez-vous\\par}");
    const struct {
        QStringList arguments;
        int code;
        QStringList attendus;
    } cas[] = {
        {{QStringLiteral("--analyse-clients")},
         0,
         {QStringLiteral("ListBN\t1\tDURAND Anne"),
          QStringLiteral("Note illisible : « Cli2.RTF » (client 2, DURAND Anne) : ce n'est pas un "
                         "fichier ordinaire"),
          QStringLiteral("« Cli3.RTF » (client 3, DURAND Anne) : lien vers un fichier introuvable"),
          QStringLiteral("Liste des clients avec erreur (0 / 3)")}},
        {{QStringLiteral("--texte-note"), QStringLiteral("Cli2.RTF")},
         1,
         {QStringLiteral("« Cli2.RTF » : ce n'est pas un fichier ordinaire")}},
        // A note's text, its name found whatever its letter case; a missing one.
        {{QStringLiteral("--texte-note"), QStringLiteral("CLI7.RTF")},
         0,
         {QStringLiteral("Couleur été\r\nRendez-vous")}},
        {{QStringLiteral("--texte-note"), QStringLiteral("Cli8.RTF")},
         1,
         {QStringLiteral("Cli8.RTF")}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Sortie s = test::lancerProgramme(d.chemin(), c.arguments);
        EXPECT_EQ(s.code, c.code);
        for (const QString& attendu : c.attendus) {
            EXPECT_TRUE((s.out + s.err).contains(attendu)) << (s.out + s.err).toStdString();
        }
    }
}

}  // namespace
