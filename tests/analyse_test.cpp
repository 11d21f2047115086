#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <QThread>
#include <optional>

#include "app/Batch.h"
#include "clients/Analyse.h"
#include "clients/AnalysesNotees.h"
#include "clients/Annulation.h"
#include "commun/Variables.h"
#include "platform/ErreurFichier.h"
#include "store/Dates.h"
#include "store/Erreur.h"
#include "store/Journal.h"
#include "store/Recordset.h"
#include "support/Dossier.h"
#include "support/Jet.h"
#include "support/Lot.h"

using store::Valeur;

namespace {

const QString kDefautVille = QStringLiteral("MONTPELLIER");
const QString kDefautCp = QStringLiteral("34000");

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

// An RTF note whose plain text is `texte` (letters and blanks only), written
// as a rich-text control saves it.
QByteArray noteRtf(const QString& texte) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fswiss\\fcharset0 "
           "Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 " +
           texte.toLatin1() + "\\par\r\n}\r\n";
}

class Analyse : public ::testing::Test {
protected:
    void SetUp() override {
        cn = d.creerBase();
        vars.dossier = d.chemin();
        vars.VilleDefaut = kDefautVille;
        vars.CpDefaut = kDefautCp;
    }

    void client(const test::Champs& champs) { test::inserer(cn, QStringLiteral("FCLI"), champs); }

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

    int compter(const QString& sql) {
        store::Instruction i(cn, sql);
        return i.pas() ? static_cast<int>(i.colonneEntier(0)) : -1;
    }

    test::Dossier d;
    store::Connexion cn;
    commun::Variables vars;
    Journal journal;
};

// ------------------------------------------------------------------ tidying

TEST_F(Analyse, RangementChampParChamp) {
    d.creerCommunes({});
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
        {"Prénom", t(" "), t("")},
        {"Adresse", t(" "), t("")},
        {"Adresse2", t(" "), t("")},
        {"Nom", Valeur(), Valeur()},
        {"Tel1", t(" O6 12 34 56 78 "), t("06 12 34 56 78")},
        {"Tel2", t("o612345678"), t("o612345678")},
        {"Tel2", t("\t0612345678"), t("\t0612345678")},
        {"Cat, Age", t(" 7"), t("07")},
        {"Cat, Age", t("12"), t("12")},
        {"Cat, Age", t(" 5,5 "), t("06")},
        {"Cat, Age", t("abc"), t("abc")},
        {"Cat, Age", Valeur::entier(3), t("03")},
        {"Cat, Age", Valeur(), Valeur()},
        {"Mois Nais", t(" ab "), t("ab")},
        {"Mois Nais", t("123"), t("123")},
        {"Mois Nais", t(""), t("")},
        {"Email", t("  a@b.fr "), t("a@b.fr")},
        {"Email", t("O@b.fr"), t("O@b.fr")},
        {"GenCode", t(" 3O12345678901 "), t("3012345678901")},
        {"DateNaissance", Valeur::date(0), Valeur::date(1)},
        {"DateNaissance", Valeur::date(-1000.5), Valeur::date(1)},
        {"DateNaissance", Valeur::date(2), Valeur::date(2)},
        {"DateNaissance", Valeur::date(30000.75), Valeur::date(30000.75)},
        {"DateNaissance", Valeur(), Valeur()},
        {"DateNaissance", t(" inconnue "), t("inconnue")},
    };
    int n = 0;
    for (const Cas& c : cas) {
        client({{QStringLiteral("Code"), QStringLiteral("R%1").arg(++n)},
                {QString::fromUtf8(c.colonne), c.avant},
                {QStringLiteral("Ville"), QStringLiteral("PARIS")},
                {QStringLiteral("Code Postal"), QStringLiteral("75001")}});
    }
    clients::PreAnalyseCli(vars, journal);
    n = 0;
    for (const Cas& c : cas) {
        EXPECT_EQ(champ(QStringLiteral("R%1").arg(++n), QString::fromUtf8(c.colonne)), c.apres)
            << c.colonne << " « " << c.avant.texte().toStdString() << " »";
    }
}

TEST_F(Analyse, VilleParDefautSeulementSansVilleNiCode) {
    d.creerCommunes({});
    struct Cas {
        Valeur cp, ville;
        const char* cpApres;
        const char* villeApres;
    };
    const Cas cas[] = {
        {Valeur(), Valeur(), "34000", "MONTPELLIER"},
        {Valeur::texte(QString()), Valeur::texte(QString()), "34000", "MONTPELLIER"},
        // The trimming comes first: blanks alone are nothing.
        {Valeur::texte(QStringLiteral("  ")), Valeur::texte(QStringLiteral(" ")), "34000",
         "MONTPELLIER"},
        {Valeur(), Valeur::texte(QStringLiteral(" LYON ")), "", "LYON"},
        {Valeur::texte(QStringLiteral(" 69OO1")), Valeur(), "69001", ""},
        {Valeur::texte(QStringLiteral("O")), Valeur::texte(QString()), "0", ""},
    };
    int n = 0;
    for (const Cas& c : cas) {
        client({{QStringLiteral("Code"), QStringLiteral("V%1").arg(++n)},
                {QStringLiteral("Code Postal"), c.cp},
                {QStringLiteral("Ville"), c.ville}});
    }
    clients::PreAnalyseCli(vars, journal);
    n = 0;
    for (const Cas& c : cas) {
        const QString code = QStringLiteral("V%1").arg(++n);
        EXPECT_EQ(champ(code, QStringLiteral("Code Postal")),
                  Valeur::texte(QString::fromUtf8(c.cpApres)))
            << n;
        EXPECT_EQ(champ(code, QStringLiteral("Ville")),
                  Valeur::texte(QString::fromUtf8(c.villeApres)))
            << n;
    }
}

TEST_F(Analyse, UneEcritureParClientChangeEtAucuneSinon) {
    d.creerCommunes({});
    // Every update of a row leaves a line here.
    cn.executer(
        QStringLiteral("CREATE TABLE ecritures (code TEXT);"
                       "CREATE TRIGGER trace AFTER UPDATE ON FCLI BEGIN INSERT INTO ecritures "
                       "VALUES (new.Code); END;"));
    clientSain(QStringLiteral("S1"));
    client({{QStringLiteral("Code"), QStringLiteral("C1")},
            {QStringLiteral("Nom"), QStringLiteral(" ")},
            {QStringLiteral("Tel1"), QStringLiteral(" O612345678")},
            {QStringLiteral("Cat, Age"), QStringLiteral("7")},
            {QStringLiteral("DateNaissance"), Valeur::date(0)}});
    clientSain(QStringLiteral("S2"));
    clients::PreAnalyseCli(vars, journal);
    store::Instruction i(cn, QStringLiteral("SELECT code FROM ecritures"));
    QStringList ecrits;
    while (i.pas()) {
        ecrits << i.colonneTexte(0);
    }
    EXPECT_EQ(ecrits, QStringList{QStringLiteral("C1")});
}

// ------------------------------------------------------------------ backup

TEST_F(Analyse, SauvegardeFaiteUneFoisEtJamaisRemplacee) {
    d.copierCommunes();
    client({{QStringLiteral("Code"), QStringLiteral("A1")},
            {QStringLiteral("Nom"), QStringLiteral(" ")}});
    cn.Close();
    const QByteArray origine = d.lire(QStringLiteral("BdClient.mdb"));

    clients::AnalyseBd(vars, journal);
    ASSERT_TRUE(d.existe(QStringLiteral("BdClient.sav")));
    // The database as it was before the run changed anything.
    EXPECT_EQ(d.lire(QStringLiteral("BdClient.sav")), origine);
    EXPECT_NE(d.lire(QStringLiteral("BdClient.mdb")), origine);
    {
        store::Connexion sav(d.chemin(QStringLiteral("BdClient.sav")));
        store::Recordset rs;
        rs.Open(QStringLiteral("FCLI"), sav);
        rs.MoveFirst();
        EXPECT_EQ(rs.Champ(QStringLiteral("Nom")), Valeur::texte(QStringLiteral(" ")));
    }
    // Nothing else is left in the folder: no temporary copy.
    EXPECT_EQ(QDir(d.chemin()).entryList(QDir::Files),
              (QStringList{QStringLiteral("BdClient.mdb"), QStringLiteral("BdClient.sav"),
                           QStringLiteral("communes.mdb")}));

    const QByteArray sauvegarde = d.lire(QStringLiteral("BdClient.sav"));
    cn = store::Connexion(d.chemin(QStringLiteral("BdClient.mdb")));
    client({{QStringLiteral("Code"), QStringLiteral("A2")}});
    cn.Close();
    clients::AnalyseBd(vars, journal);
    EXPECT_EQ(d.lire(QStringLiteral("BdClient.sav")), sauvegarde);
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
        EXPECT_TRUE(e.message().contains(QStringLiteral("BdClient.sav")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Impossible de créer la sauvegarde")));
    }
    EXPECT_EQ(champ(QStringLiteral("A1"), QStringLiteral("Nom")),
              Valeur::texte(QStringLiteral(" ")));
    EXPECT_TRUE(journal.etapes.isEmpty());
    EXPECT_EQ(QDir(d.chemin()).entryList(QDir::Files).size(), 2);
}

// ------------------------------------------------------------------ notes

TEST_F(Analyse, NotesDe500Et501Caracteres) {
    d.creerCommunes({});
    for (const char* code : {"N500", "N501", "SANS", "Plat", "n7"}) {
        clientSain(QString::fromLatin1(code));
    }
    d.ecrire(QStringLiteral("CliN500.RTF"), noteRtf(QString(500, u'a')));
    d.ecrire(QStringLiteral("CliN501.RTF"), noteRtf(QString(500, u'a') + u'z'));
    // A note that is not RTF is plain Windows-1252 text, its line ends CR LF.
    d.ecrire(QStringLiteral("CliPlat.RTF"), QByteArray(499, 'p') + "\n\xE9");
    // Names are matched without regard to letter case.
    d.ecrire(QStringLiteral("cliN7.rtf"), noteRtf(QString(300, u'b') + u' ' + QString(300, u'c')));
    vars.NbFichiersRTF = commun::compterFichiersRtf(d.chemin());

    EXPECT_EQ(clients::PreAnalyseCli(vars, journal), 3);
    ASSERT_EQ(journal.notes.size(), 3u);
    EXPECT_EQ(journal.notes[0].code, QStringLiteral("N501"));
    EXPECT_EQ(journal.notes[0].nom, QStringLiteral("DURAND Anne"));
    EXPECT_EQ(journal.notes[0].garde, QString(500, u'a'));
    EXPECT_EQ(journal.notes[0].perdu, QStringLiteral("z"));
    EXPECT_EQ(journal.notes[1].code, QStringLiteral("Plat"));
    // A line break counts two characters; here the 500th is its CR.
    EXPECT_EQ(journal.notes[1].perdu, QStringLiteral("\né"));
    EXPECT_EQ(journal.notes[2].code, QStringLiteral("n7"));
    EXPECT_EQ(journal.notes[2].perdu, QString(101, u'c'));
    EXPECT_EQ(clients::legendeNotes(journal.notes[2].nbLongues, journal.notes[2].nbFichiersRtf),
              QStringLiteral("3 / 4"));
}

TEST_F(Analyse, TroisNotesLonguesSur120Fichiers) {
    d.creerCommunes({});
    for (int i = 1; i <= 120; ++i) {
        clientSain(QString::number(i));
        const bool longue = i == 17 || i == 60 || i == 99;
        d.ecrire(QStringLiteral("Cli%1.RTF").arg(i), noteRtf(QString(longue ? 600 + i : 40, u'n')));
    }
    vars.NbFichiersRTF = commun::compterFichiersRtf(d.chemin());
    clients::PreAnalyseCli(vars, journal);
    ASSERT_EQ(journal.notes.size(), 3u);
    QStringList codes;
    for (const auto& l : journal.notes) {
        codes << l.code;
    }
    EXPECT_EQ(codes,
              (QStringList{QStringLiteral("17"), QStringLiteral("60"), QStringLiteral("99")}));
    EXPECT_EQ(
        clients::legendeNotes(journal.notes.back().nbLongues, journal.notes.back().nbFichiersRtf),
        QStringLiteral("3 / 120"));
    EXPECT_EQ(journal.notes.back().perdu.size(), 199);
}

// ------------------------------------------------------------------ the run

TEST_F(Analyse, LeRunListeLesClientsEnErreurDansLOrdre) {
    d.copierCommunes();
    clientSain(QStringLiteral("A1"));
    client({{QStringLiteral("Code"), QStringLiteral("B2")},
            {QStringLiteral("Nom"), QStringLiteral("MARTIN")},
            {QStringLiteral("Prénom"), QStringLiteral("Léa")},
            {QStringLiteral("Ville"), QStringLiteral("PARIS")},
            {QStringLiteral("Code Postal"), QStringLiteral("75001")},
            {QStringLiteral("Email"), QStringLiteral("lea@@x.fr")},
            {QStringLiteral("Cat, Age"), QStringLiteral("11")}});
    // Tidied first, then judged: " O6…" is a good number once tidied.
    client({{QStringLiteral("Code"), QStringLiteral("C3")},
            {QStringLiteral("Ville"), QStringLiteral(" paris ")},
            {QStringLiteral("Code Postal"), QStringLiteral("75OO1")},
            {QStringLiteral("Tel1"), QStringLiteral(" O612345678 ")}});
    // Neither town nor code: the default town, which is in the reference.
    client({{QStringLiteral("Code"), QStringLiteral("4")},
            {QStringLiteral("Nom"), QStringLiteral("LEGRAND")}});
    client({{QStringLiteral("Code"), QStringLiteral("d5")},
            {QStringLiteral("Ville"), QStringLiteral("VILLE INCONNUE")},
            {QStringLiteral("Code Postal"), QStringLiteral("99999")},
            {QStringLiteral("DateNaissance"), QStringLiteral("1899-12-30")}});
    cn.Close();

    const clients::BilanAnalyse bilan = clients::AnalyseBd(vars, journal);
    EXPECT_EQ(bilan.NbCli, 5);
    EXPECT_EQ(bilan.NbCliErr, 2);
    EXPECT_EQ(vars.NbCli, 5);
    EXPECT_EQ(vars.NbCliErr, 2);
    EXPECT_EQ(journal.etapes,
              (QStringList{QStringLiteral("rangement 5"), QStringLiteral("jugement 5"),
                           QStringLiteral("Liste des clients avec erreur (1 / 5)"),
                           QStringLiteral("Liste des clients avec erreur (2 / 5)")}));
    ASSERT_EQ(journal.erreurs.size(), 2u);
    EXPECT_EQ(journal.erreurs[0].CodeClient, QStringLiteral("B2"));
    EXPECT_EQ(journal.erreurs[0].NomClient, QStringLiteral("MARTIN Léa"));
    QStringList marques(13, QString());
    marques[clients::ErrCatAge] = marques[clients::ErrEmail] = QStringLiteral("x");
    EXPECT_EQ(journal.erreurs[0].marques(), marques);
    EXPECT_EQ(journal.erreurs[1].CodeClient, QStringLiteral("d5"));
    EXPECT_EQ(journal.erreurs[1].NomClient, QStringLiteral(" "));
    marques = QStringList(13, QString());
    // The birth date was tidied to 31 December 1899, which passes.
    marques[clients::ErrVille] = marques[clients::ErrCP] = QStringLiteral("x");
    EXPECT_EQ(journal.erreurs[1].marques(), marques);
    ASSERT_EQ(journal.progressions.size(), 5u);
    EXPECT_EQ(journal.progressions.front(), std::make_pair(1, 5));
    EXPECT_EQ(journal.progressions.back(), std::make_pair(5, 5));
    // The last client judged stays known, and the towns reference stays open.
    EXPECT_EQ(vars.CodeClient, QStringLiteral("d5"));
    EXPECT_TRUE(vars.cnCommunes.ouverte());
    EXPECT_EQ(clients::legendeListe(bilan.NbCliErr, bilan.NbCli),
              QStringLiteral("Liste des clients avec erreur (2 / 5)"));
    EXPECT_EQ(clients::legendeProgression(15, 230), QStringLiteral("15 / 230"));
}

// Each run notes what it found in the journal, apart from the changes: the
// undo has nothing to undo, and the tidying alone shows as changes.
TEST_F(Analyse, ChaqueRunNoteSonBilan) {
    d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")}});
    clientSain(QStringLiteral("A1"));
    client({{QStringLiteral("Code"), QStringLiteral("B2")},
            {QStringLiteral("Ville"), QStringLiteral("PARSI")},
            {QStringLiteral("Code Postal"), QStringLiteral("75001")},
            {QStringLiteral("Email"), QStringLiteral("b2@")}});
    client({{QStringLiteral("Code"), QStringLiteral("C3")},
            {QStringLiteral("Ville"), QStringLiteral("PARSI")},
            {QStringLiteral("Code Postal"), QStringLiteral("75001")},
            {QStringLiteral("Tel1"), QStringLiteral("0612345678 ")}});
    const clients::BilanAnalyse premier = clients::AnalyseBd(vars, journal);
    cn.executer(QStringLiteral("UPDATE FCLI SET Ville = 'PARIS' WHERE Code = 'C3'"));
    const clients::BilanAnalyse second = clients::AnalyseBd(vars, journal);

    std::array<int, clients::kNbDrapeaux> attendus{};
    attendus[clients::ErrVille] = 2;
    attendus[clients::ErrEmail] = 1;
    EXPECT_EQ(premier.erreursParChamp, attendus);
    const auto analyses = clients::analysesNotees(cn);
    ASSERT_EQ(analyses.size(), 2u);
    EXPECT_EQ(analyses[0].quand.size(), 19);
    EXPECT_EQ(analyses[0].bilan.NbCli, 3);
    EXPECT_EQ(analyses[0].bilan.NbCliErr, 2);
    EXPECT_EQ(analyses[0].bilan.erreursParChamp, attendus);
    attendus[clients::ErrVille] = 1;
    EXPECT_EQ(second.erreursParChamp, attendus);
    EXPECT_EQ(analyses[1].bilan.NbCliErr, 1);
    EXPECT_EQ(analyses[1].bilan.erreursParChamp, attendus);

    // The only change is the tidying's.
    const auto changes = store::journal::lire(cn);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].operation, clients::operations::kRangement);
    EXPECT_EQ(changes[0].colonne, QStringLiteral("Tel1"));
    EXPECT_FALSE(clients::derniereCorrection(vars).has_value());
}

TEST_F(Analyse, TableVide) {
    d.creerCommunes({});
    cn.Close();
    const QByteArray avant = d.lire(QStringLiteral("BdClient.mdb"));
    const clients::BilanAnalyse bilan = clients::AnalyseBd(vars, journal);
    EXPECT_EQ(bilan.NbCli, 0);
    EXPECT_EQ(bilan.NbCliErr, 0);
    EXPECT_TRUE(journal.notes.empty());
    EXPECT_TRUE(journal.progressions.empty());
    EXPECT_EQ(journal.etapes,
              (QStringList{QStringLiteral("rangement 0"), QStringLiteral("jugement 0")}));
    // Only the town column's type was set.
    store::Connexion lu(d.chemin(QStringLiteral("BdClient.mdb")));
    EXPECT_EQ(lu.typesColonnes(QStringLiteral("FCLI"))[6], QStringLiteral("TEXT(50)"));
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
    clientSain(QStringLiteral("L2"));
    clients::AnalyseBd(vars, journal);
    EXPECT_EQ(cn.typesColonnes(QStringLiteral("FCLI"))[6], QStringLiteral("TEXT(50)"));
    EXPECT_EQ(cn.colonnes(QStringLiteral("FCLI")).size(), 23);
    EXPECT_EQ(champ(QStringLiteral("L1"), QStringLiteral("Ville")), Valeur::texte(longue));
    ASSERT_EQ(journal.erreurs.size(), 1u);
    EXPECT_TRUE(journal.erreurs[0].drapeaux[clients::ErrVille]);
}

TEST_F(Analyse, ColonneNommeeAutrementLaisseeTelleQuelle) {
    cn.Close();
    QFile::remove(d.chemin(QStringLiteral("BdClient.mdb")));
    cn = store::Connexion::creer(d.chemin(QStringLiteral("BdClient.mdb")));
    cn.executer(QStringLiteral("CREATE TABLE FCLI (Code TEXT, VILLE INTEGER)"));
    clients::VerifColonneVille(vars);
    EXPECT_EQ(cn.typesColonnes(QStringLiteral("FCLI")),
              QStringList{QStringLiteral("TEXT")} << QStringLiteral("INTEGER"));
}

TEST_F(Analyse, QuaranteMilleClientsComptesJuste) {
    d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")}});
    const int total = 40000;
    {
        store::Transaction t(cn);
        store::Instruction i(cn,
                             QStringLiteral("INSERT INTO FCLI (Code, Ville, \"Code Postal\", Tel1) "
                                            "VALUES (?, 'PARIS', '75001', ?)"));
        for (int k = 1; k <= total; ++k) {
            i.reinitialiser();
            // One client in seven has a short telephone number.
            i.lier(1, QString::number(k)).lier(2, k % 7 == 0 ? QStringLiteral("123") : QString());
            i.executer();
        }
        t.valider();
    }
    cn.Close();
    const clients::BilanAnalyse bilan = clients::AnalyseBd(vars, journal);
    EXPECT_EQ(bilan.NbCli, total);
    EXPECT_EQ(bilan.NbCliErr, total / 7);
    EXPECT_EQ(journal.erreurs.back().CodeClient, QString::number(total / 7 * 7));
    EXPECT_EQ(journal.etapes.last(),
              QStringLiteral("Liste des clients avec erreur (5714 / 40000)"));
    EXPECT_EQ(journal.progressions.back(), std::make_pair(total, total));
    EXPECT_EQ(journal.nbRanges, total);
}

TEST_F(Analyse, ErreursDeLaBase) {
    d.creerCommunes({});
    cn.Close();
    // No FCLI table.
    {
        QFile::remove(d.chemin(QStringLiteral("BdClient.mdb")));
        store::Connexion::creer(d.chemin(QStringLiteral("BdClient.mdb")))
            .executer(QStringLiteral("CREATE TABLE AUTRE (x)"));
        try {
            clients::AnalyseBd(vars, journal);
            FAIL();
        } catch (const store::ErreurStore& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("FCLI"))) << e.message().toStdString();
        }
    }
    // No database at all: never created.
    QFile::remove(d.chemin(QStringLiteral("BdClient.mdb")));
    QFile::remove(d.chemin(QStringLiteral("BdClient.sav")));
    try {
        clients::AnalyseBd(vars, journal);
        FAIL();
    } catch (const store::ErreurStore& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("BdClient.mdb")))
            << e.message().toStdString();
    }
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.mdb")));
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.sav")));
}

TEST_F(Analyse, ReferenceDesCommunesAbsente) {
    clientSain(QStringLiteral("A1"));
    cn.Close();
    try {
        clients::AnalyseBd(vars, journal);
        FAIL();
    } catch (const store::ErreurStore& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("communes.mdb")))
            << e.message().toStdString();
    }
}

// ------------------------------------------------------------------ batch mode

using Sortie = test::SortieLot;

Sortie lancer(const QString& dossier, const QStringList& arguments) {
    return test::lancerLot(dossier, arguments);
}

TEST_F(Analyse, LotAnalyseClients) {
    d.copierCommunes();
    clientSain(QStringLiteral("A1"));
    client({{QStringLiteral("Code"), QStringLiteral("A12")},
            {QStringLiteral("Nom"), QStringLiteral("DUPONT")},
            {QStringLiteral("Prénom"), QStringLiteral("Marie")},
            {QStringLiteral("Ville"), QStringLiteral("PARIS")},
            {QStringLiteral("Code Postal"), QStringLiteral("75001")},
            {QStringLiteral("Tel2"), QStringLiteral("06\t12")}});
    d.ecrire(QStringLiteral("CliA1.RTF"), noteRtf(QString(510, u'x')));
    cn.Close();

    Sortie s = lancer(d.chemin(), {QStringLiteral("--analyse-clients")});
    EXPECT_EQ(s.code, 1);
    EXPECT_TRUE(s.err.contains(QStringLiteral("default.txt"))) << s.err.toStdString();
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.sav")));

    d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
    s = lancer(d.chemin(), {QStringLiteral("--analyse-clients")});
    EXPECT_EQ(s.code, 0) << s.err.toStdString();
    EXPECT_TRUE(s.err.isEmpty());
    EXPECT_EQ(s.out.split(u'\n'),
              (QStringList{QStringLiteral("ListBN\tA1\tDURAND Anne"),
                           QStringLiteral("ListCli\tA12\tDUPONT Marie\t\t\t\t\t\t\t\t\t\tx\t\t\t"),
                           QStringLiteral("Analyse terminée."),
                           QStringLiteral("Liste des clients avec erreur (1 / 2)"), QString()}));
}

TEST_F(Analyse, LotSansErreurEtEnEchec) {
    d.copierCommunes();
    clientSain(QStringLiteral("A1"));
    cn.Close();
    d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
    Sortie s = lancer(d.chemin(), {QStringLiteral("--analyse-clients")});
    EXPECT_EQ(s.code, 0);
    EXPECT_TRUE(
        s.out.endsWith(QStringLiteral("Liste des clients avec erreur (0 / 1)\n"
                                      "Votre fichier clients ne comporte pas d'erreur.\n")))
        << s.out.toStdString();

    QFile::remove(d.chemin(QStringLiteral("communes.mdb")));
    s = lancer(d.chemin(), {QStringLiteral("--analyse-clients")});
    EXPECT_EQ(s.code, 1);
    EXPECT_TRUE(s.err.contains(QStringLiteral("communes.mdb"))) << s.err.toStdString();
}

// The same tables as another tool declares them: text without COLLATE NOCASE,
// the indexes rebuilt for that.
void sansNocase(const QString& base) {
    store::Connexion(base).executer(
        QStringLiteral("PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql = replace(sql, "
                       "' COLLATE NOCASE', '') WHERE type = 'table'; PRAGMA writable_schema=OFF;"));
    store::Connexion(base).executer(QStringLiteral("REINDEX"));
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
        const char* const clients[][3] = {{"A1", "PARIS", "75001"},
                                          {"A2", "ÉVRY", "91000"},
                                          {"A3", "AJACCIO", "2a004"},
                                          {"A4", "l'isle-adam", "95290"},
                                          {"A5", "PARSI", "75001"}};
        for (const auto& [code, ville, cp] : clients) {
            test::inserer(cn, QStringLiteral("FCLI"),
                          {{QStringLiteral("Code"), QString::fromUtf8(code)},
                           {QStringLiteral("Nom"), QStringLiteral("NOM")},
                           {QStringLiteral("Ville"), QString::fromUtf8(ville)},
                           {QStringLiteral("Code Postal"), QString::fromUtf8(cp)}});
        }
        // A sheet and an old visit of clients written in another letter case.
        test::inserer(cn, QStringLiteral("FTEC"),
                      {{QStringLiteral("Numéro"), Valeur::entier(1)},
                       {QStringLiteral("Code_Client"), QStringLiteral("a1")}});
        test::inserer(cn, QStringLiteral("FCONS"),
                      {{QStringLiteral("CODE_CLIENT"), QStringLiteral("a2")},
                       {QStringLiteral("DATE_VISITE"), QStringLiteral("2001-01-01 00:00:00")}});
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
            const Sortie s = lancer(d.chemin(), verbe);
            sorties[autreOutil] << s.out + s.err;
        }
    }
    EXPECT_EQ(sorties[1].join(u'\n').toStdString(), sorties[0].join(u'\n').toStdString());
    EXPECT_TRUE(sorties[0][0].startsWith(QStringLiteral("ListCli\tA5\t")))
        << sorties[0][0].toStdString();
    EXPECT_TRUE(sorties[0][0].contains(QStringLiteral("(1 / 5)")));
    EXPECT_TRUE(sorties[0][1].startsWith(QStringLiteral("ListCliTech\t1\tA1\tNOM \tx\t\n")))
        << sorties[0][1].toStdString();
    EXPECT_TRUE(sorties[0][2].startsWith(QStringLiteral("1\n"))) << sorties[0][2].toStdString();
}

TEST_F(Analyse, LotTexteNote) {
    d.ecrire(QStringLiteral("Cli7.rtf"),
             "{\\rtf1\\ansi\\ansicpg1252 Couleur \\'e9t\\'e9\\par Rendez-vous\\par}");
    Sortie s = lancer(d.chemin(), {QStringLiteral("--texte-note"), QStringLiteral("CLI7.RTF")});
    EXPECT_EQ(s.code, 0) << s.err.toStdString();
    EXPECT_EQ(s.out, QStringLiteral("Couleur été\r\nRendez-vous"));
    s = lancer(d.chemin(), {QStringLiteral("--texte-note"), d.chemin(QStringLiteral("Cli7.rtf"))});
    EXPECT_EQ(s.out, QStringLiteral("Couleur été\r\nRendez-vous"));
    s = lancer(d.chemin(), {QStringLiteral("--texte-note"), QStringLiteral("Cli8.RTF")});
    EXPECT_EQ(s.code, 1);
    EXPECT_TRUE(s.err.contains(QStringLiteral("Cli8.RTF"))) << s.err.toStdString();
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
    x.creerBase().executer(QStringLiteral("DROP TABLE FCLI"));
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
        const Sortie s = lancer(d.chemin(), {QStringLiteral("--analyse-clients")});
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
        {"--analyse-techniques", "BdClient.mdb", nullptr, "", "« BdClient.mdb » est vide"},
        {"--suggestions", "BdClient.mdb", nullptr, "", "« BdClient.mdb » est vide"},
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
        {
            // Work for every run: a client and a memo to tidy, a visit to purge.
            store::Connexion cn = x.creerBase();
            cn.executer(QStringLiteral(
                "INSERT INTO FCLI (Code, Nom) VALUES ('A1', ' '); INSERT INTO FTEC (\"Numéro\", "
                "\"Mémo\") VALUES (1, 'x '); INSERT INTO FCONS (CODE_CLIENT, DATE_VISITE) VALUES "
                "('A1', '2001-01-01')"));
        }
        const QString fichier = x.chemin(QString::fromLatin1(c.fichier));
        if (c.sql) {
            store::Connexion(fichier).executer(QString::fromUtf8(c.sql));
        } else if (!c.contenu.isNull()) {
            x.ecrire(QString::fromLatin1(c.fichier), c.contenu);
        }
        const auto avant = test::etatDossier(x.chemin());
        std::optional<test::Protection> protection;
        QStringList verbes{QString::fromLatin1(c.verbe)};
        if (c.contenu.isNull() && !c.sql) {
            protection.emplace(fichier);
            if (!protection->active()) {
                GTEST_SKIP() << "ni permissions ni attribut immuable ici";
            }
            verbes << QStringLiteral("--purge-clients");
        }
        for (const QString& verbe : verbes) {
            QStringList arguments{verbe};
            if (verbe == QLatin1String("--purge-clients")) {
                arguments << QStringLiteral("01/01/2020") << QStringLiteral("--oui");
            }
            const Sortie s = lancer(x.chemin(), arguments);
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
                     {QStringLiteral("75001"), QStringLiteral("PARIS")}});
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
        {QByteArray(), "c'est un dossier, pas un fichier. Renommez-le"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.contenu.toStdString());
        cn.executer(QStringLiteral("UPDATE FCLI SET Ville = NULL, \"Code Postal\" = NULL"));
        QFile::remove(d.chemin(QStringLiteral("default.txt")));
        if (c.contenu.isNull()) {
            QDir(d.chemin()).mkdir(QStringLiteral("default.txt"));
        } else {
            d.ecrire(QStringLiteral("default.txt"), c.contenu);
        }
        const Sortie s = lancer(d.chemin(), {QStringLiteral("--analyse-clients")});
        EXPECT_EQ(s.code, c.message ? 1 : 0) << s.err.toStdString();
        EXPECT_TRUE(!c.message || s.err.contains(QString::fromUtf8(c.message)))
            << s.err.toStdString();
        EXPECT_EQ(champ(QStringLiteral("S1"), QStringLiteral("Ville")),
                  c.message ? Valeur() : Valeur::texte(QStringLiteral("SAINT-ÉTIENNE")));
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
    cn.Close();
    d.ecrire(QStringLiteral("Cli1.RTF"), noteRtf(QString(600, u'a')));
    ASSERT_EQ(mkfifo(QFile::encodeName(d.chemin(QStringLiteral("Cli2.RTF"))).constData(), 0600), 0);
    ASSERT_TRUE(
        QFile::link(d.chemin(QStringLiteral("ailleurs")), d.chemin(QStringLiteral("Cli3.RTF"))));
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
    };
    for (const auto& c : cas) {
        QProcess p;
        p.start(QStringLiteral(VERIF_BIN_DIR "/verifclients"),
                QStringList{QStringLiteral("--dossier"), d.chemin()} + c.arguments);
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "bloqué sur une note : " << c.arguments.join(u' ').toStdString();
            continue;
        }
        EXPECT_EQ(p.exitCode(), c.code);
        const QString sortie =
            QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        for (const QString& attendu : c.attendus) {
            EXPECT_TRUE(sortie.contains(attendu)) << sortie.toStdString();
        }
    }
}

// ------------------------------------------------------------------ killed mid-pass

TEST_F(Analyse, ProcessusTueEnPleinPassage) {
    d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")}});
    d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
    const int total = 40000;
    {
        store::Transaction t(cn);
        store::Instruction i(
            cn, QStringLiteral("INSERT INTO FCLI (Code, Nom, Tel1, \"Code Postal\", Ville) "
                               "VALUES (?, ' ', ' O612345678 ', ' 75OO1', 'PARIS ')"));
        for (int k = 1; k <= total; ++k) {
            i.reinitialiser();
            i.lier(1, QString::number(k)).executer();
        }
        t.valider();
    }
    cn.Close();

    QProcess enfant;
    enfant.setProgram(QStringLiteral(VERIF_BIN_DIR "/verifclients"));
    enfant.setArguments(
        {QStringLiteral("--dossier"), d.chemin(), QStringLiteral("--analyse-clients")});
    enfant.setStandardOutputFile(QProcess::nullDevice());
    enfant.start();
    ASSERT_TRUE(enfant.waitForStarted());
    // Killed as soon as the first tidied records are on disk.
    bool tue = false;
    for (int essai = 0; essai < 20000 && !tue; ++essai) {
        try {
            store::Connexion lecture(d.chemin(QStringLiteral("BdClient.mdb")),
                                     store::Connexion::Acces::Lecture);
            store::Instruction i(lecture,
                                 QStringLiteral("SELECT count(*) FROM FCLI WHERE Nom = ''"));
            if (i.pas() && i.colonneEntier(0) > 0) {
                enfant.kill();
                tue = true;
            }
        } catch (const store::ErreurStore&) {
            // The table is being rebuilt or locked: look again.
        }
        if (!tue) {
            QThread::msleep(1);
        }
    }
    ASSERT_TRUE(tue) << "le passage n'a jamais commencé";
    enfant.waitForFinished();
    EXPECT_EQ(enfant.exitStatus(), QProcess::CrashExit);

    store::Connexion apres(d.chemin(QStringLiteral("BdClient.mdb")));
    store::Instruction controle(apres, QStringLiteral("PRAGMA integrity_check"));
    ASSERT_TRUE(controle.pas());
    EXPECT_EQ(controle.colonneTexte(0), QStringLiteral("ok"));
    int ranges = 0;
    int intacts = 0;
    store::Instruction i(apres,
                         QStringLiteral("SELECT Nom, Tel1, \"Code Postal\", Ville FROM FCLI"));
    while (i.pas()) {
        const QStringList v{i.colonneTexte(0), i.colonneTexte(1), i.colonneTexte(2),
                            i.colonneTexte(3)};
        if (v == QStringList{QString(), QStringLiteral("0612345678"), QStringLiteral("75001"),
                             QStringLiteral("PARIS")}) {
            ++ranges;
        } else if (v == QStringList{QStringLiteral(" "), QStringLiteral(" O612345678 "),
                                    QStringLiteral(" 75OO1"), QStringLiteral("PARIS ")}) {
            ++intacts;
        } else {
            ADD_FAILURE() << "enregistrement à moitié rangé : " << v.join(u'|').toStdString();
        }
    }
    EXPECT_EQ(ranges + intacts, total);
    EXPECT_GT(ranges, 0);
    EXPECT_GT(intacts, 0) << "tué trop tard : le passage était fini";
    // The backup was whole before the pass began.
    store::Connexion sav(d.chemin(QStringLiteral("BdClient.sav")));
    store::Instruction n(sav, QStringLiteral("SELECT count(*) FROM FCLI WHERE Nom = ' '"));
    ASSERT_TRUE(n.pas());
    EXPECT_EQ(n.colonneEntier(0), total);
}

}  // namespace
