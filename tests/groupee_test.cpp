#include <gtest/gtest.h>

#include "clients/Analyse.h"
#include "clients/Annulation.h"
#include "clients/Correction.h"
#include "clients/Groupee.h"
#include "communes/IndexCommunes.h"
#include "store/Erreur.h"
#include "store/Journal.h"
#include "support/Lot.h"
#include "support/Salon.h"
#include "tech/AnalyseTech.h"
#include "tech/FicheTech.h"

using clients::Drapeau;
using store::Valeur;

namespace {

// ------------------------------------------------------------ town matching

TEST(Villes, NormalisationEtDistance) {
    const std::pair<const char*, const char*> noms[] = {
        {"Saint-Étienne", "ST ETIENNE"},
        {"ST-ETIENNE", "ST ETIENNE"},
        {"  l'Haÿ--les   Roses ", "L HAY LES ROSES"},
        {"Sainte Foy lès Lyon", "STE FOY LES LYON"},
        {"SAINTES", "SAINTES"},
        {"Œuilly", "OEUILLY"},
        {"L’Isle-d’Abeau", "L ISLE D ABEAU"},
        {" - ", ""},
    };
    for (const auto& [ville, norme] : noms) {
        EXPECT_EQ(communes::normaliserVille(QString::fromUtf8(ville)), QString::fromUtf8(norme));
    }
    const std::tuple<const char*, const char*, int, int> distances[] = {
        {"MARSEILLE", "MARSEILLE", 2, 0},
        {"MARSIELLE", "MARSEILLE", 2, 1},  // a swap is one edit
        {"MRASIELEL", "MARSEILLE", 2, 3},  // beyond: max + 1
        {"LYON", "PARIS", 1, 2},
        {"", "AB", 2, 2},
        {"AB", "", 1, 2},
    };
    for (const auto& [a, b, max, distance] : distances) {
        EXPECT_EQ(communes::distanceBornee(QString::fromLatin1(a), QString::fromLatin1(b), max),
                  distance)
            << a << " / " << b;
    }
    // Long names go beyond the stack rows.
    const QString longue(80, u'A');
    EXPECT_EQ(communes::distanceBornee(longue, longue + u'B', 2), 1);
}

TEST(Villes, IndexDesProches) {
    const communes::IndexCommunes index(
        {{QStringLiteral("42000"), QStringLiteral("SAINT-ETIENNE")},
         {QStringLiteral("42100"), QStringLiteral("SAINT-ETIENNE")},
         {QStringLiteral("13001"), QStringLiteral("MARSEILLE")},
         {QStringLiteral("13007"), QStringLiteral("MARSEILLE 6EME")},
         {QStringLiteral("13007"), QStringLiteral("MARSEILLE")},
         {QStringLiteral("01000"), QStringLiteral("BOURG-EN-BRESSE")}});
    EXPECT_EQ(index.nbVilles(), 4);
    const auto proches = index.proches(QStringLiteral("st etienne"));
    ASSERT_EQ(proches.size(), 1u);
    EXPECT_EQ(proches[0].ville, QStringLiteral("SAINT-ETIENNE"));
    EXPECT_EQ(proches[0].distance, 0);
    EXPECT_EQ(index.proches(QStringLiteral("MARSIELLE")).at(0).ville, QStringLiteral("MARSEILLE"));
    EXPECT_TRUE(index.proches(QStringLiteral("XQZWK")).empty());
    EXPECT_EQ(index.codesDe(QStringLiteral("saint-etienne")),
              (QStringList{QStringLiteral("42000"), QStringLiteral("42100")}));
    EXPECT_EQ(index.villesDe(QStringLiteral("13007")),
              (QStringList{QStringLiteral("MARSEILLE 6EME"), QStringLiteral("MARSEILLE")}));
}

// ------------------------------------------------- over the real reference

// Keeps the clients the analysis lists, as ListCli holds them.
struct Liste : clients::ObservateurAnalyseClients {
    void clientEnErreur(const clients::Evaluation& e, int, int) override {
        clients.push_back({e.CodeClient, e.drapeaux});
    }
    std::vector<clients::ClientListe> clients;
};

class Groupee : public test::Salon {
protected:
    void SetUp() override {
        Salon::SetUp();
        d.copierCommunes();
    }

    // The salon of the suggestion cases: each client's faulty field in a comment.
    void salon() {
        cn.executerSqlite(QStringLiteral(
            "INSERT INTO FCLI (Code, Nom, Ville, \"Code Postal\", Tel1, Email, \"Cat, Age\") "
            "VALUES ('A1', 'NOM A1', 'ST ETIENNE', '42000', NULL, NULL, NULL),"  // SAINT/ST
            "('A2', 'NOM A2', 'ST ETIENNE', '42000', '06 12.34.56.78', NULL, NULL),"
            "('A3', 'NOM A3', 'ST ETIENNE', '42100', NULL, NULL, NULL),"
            "('B1', 'NOM B1', 'MARSIELLE', '13001', NULL, NULL, NULL),"       // misspelt
            "('C1', 'NOM C1', 'BÉZIERS', '34500', NULL, NULL, NULL),"         // an accent
            "('D1', 'NOM D1', 'BOURG-EN-BRESSE', '1000', NULL, NULL, NULL),"  // no leading zero
            "('E1', 'NOM E1', 'XQZWK', '75001', NULL, NULL, NULL),"           // nothing close
            "('F1', 'NOM F1', 'PARIS', '75001', NULL, 'marie dupont@exemple.fr', NULL),"
            "('F2', 'NOM F2', 'PARIS', '75001', NULL, 'marie@exemple,fr', NULL),"
            "('G1', 'NOM G1', 'PARIS', '75001', '06 12', NULL, NULL),"
            "('H1', 'NOM H1', 'PARIS', '75001', NULL, NULL, '11'),"
            "('Z1', 'NOM Z1', 'PARIS', '75001', NULL, NULL, NULL)"));
    }

    std::vector<clients::ClientListe> analyser() {
        Liste liste;
        clients::AnalyseBd(vars, liste);
        return liste.clients;
    }
    QStringList table() {
        return test::lignes(cn, QStringLiteral("SELECT * FROM FCLI ORDER BY rowid"));
    }
    static clients::Remplacement remplacement(Drapeau d, const char* avant, const char* apres) {
        return {d, Valeur::texte(QString::fromUtf8(avant)), QString::fromUtf8(apres)};
    }
};

// The suggestions, by the batch then field by field; a grouped correction
// then shows in the journal.
TEST_F(Groupee, SuggestionsSurLeReferentielEtJournal) {
    salon();
    test::SortieLot s = test::lancerLot(d.chemin(), {QStringLiteral("--journal")});
    EXPECT_EQ(s.code, 0);
    EXPECT_EQ(s.out, QStringLiteral("Le journal des modifications est vide.\n"));
    s = test::lancerLot(d.chemin(), {QStringLiteral("--suggestions")});
    EXPECT_EQ(s.code, 1);
    EXPECT_TRUE(s.err.contains(QStringLiteral("default.txt"))) << s.err.toStdString();

    d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
    s = test::lancerLot(d.chemin(), {QStringLiteral("--suggestions")});
    EXPECT_EQ(s.code, 0) << s.err.toStdString();
    const QStringList lignes = s.out.split(u'\n');
    ASSERT_EQ(lignes.size(), 12) << s.out.toStdString();
    EXPECT_TRUE(lignes[0].startsWith(QStringLiteral("Ville\tST ETIENNE\t3\tSAINT-ETIENNE")));
    EXPECT_EQ(lignes[3], QStringLiteral("Ville\tXQZWK\t1"));
    EXPECT_EQ(lignes[7], QStringLiteral("Tel1\t06 12.34.56.78\t1\t0612345678"));
    EXPECT_EQ(lignes[10], QStringLiteral("10 valeur(s) en erreur chez 11 client(s) en erreur."));

    const auto valeurs = clients::ValeursFautives(vars, analyser());
    // Field by field in the order of the rules, the most held value first;
    // the first suggestion, and how many there are.
    const struct {
        Drapeau champ;
        const char* valeur;
        int nombre;
        const char* premiere;
    } attendu[] = {
        {clients::ErrVille, "ST ETIENNE", 3, "SAINT-ETIENNE"},
        {clients::ErrVille, "BÉZIERS", 1, "BEZIERS"},
        {clients::ErrVille, "MARSIELLE", 1, "MARSEILLE"},
        {clients::ErrVille, "XQZWK", 1, ""},
        {clients::ErrCP, "1000", 1, "01000"},
        {clients::ErrCatAge, "11", 1, ""},
        {clients::ErrTel1, "06 12", 1, ""},
        {clients::ErrTel1, "06 12.34.56.78", 1, "0612345678"},
        {clients::ErrEmail, "marie dupont@exemple.fr", 1, "mariedupont@exemple.fr"},
        {clients::ErrEmail, "marie@exemple,fr", 1, "marie@exemple.fr"},
    };
    ASSERT_EQ(valeurs.size(), std::size(attendu));
    commun::Communes reference;
    reference.OuvreCommunes(d.chemin());
    for (std::size_t k = 0; k < valeurs.size(); ++k) {
        const clients::ValeurFautive& v = valeurs[k];
        SCOPED_TRACE(attendu[k].valeur);
        EXPECT_EQ(v.drapeau, attendu[k].champ);
        EXPECT_EQ(v.texte, QString::fromUtf8(attendu[k].valeur));
        EXPECT_EQ(v.nombre, attendu[k].nombre);
        EXPECT_EQ(v.suggestions.value(0), QString::fromUtf8(attendu[k].premiere));
        EXPECT_LE(v.suggestions.size(), clients::kNbSuggestions);
        // Every suggestion passes the field's rule, and is never the value.
        for (const QString& s : v.suggestions) {
            EXPECT_FALSE(clients::ErrChamp(v.drapeau, Valeur::texte(s), reference))
                << s.toStdString();
            EXPECT_NE(s, v.texte);
        }
    }
    // Only the one holder's town counts: 01000 has two towns, BOURG-EN-BRESSE one code.
    EXPECT_EQ(valeurs[4].suggestions, QStringList{QStringLiteral("01000")});

    // A holder the list does not show is counted all the same; a value that
    // passes now is left out.
    auto liste = analyser();
    std::erase_if(liste, [](const auto& c) { return c.code == QLatin1String("A2"); });
    cn.executerSqlite(QStringLiteral("UPDATE FCLI SET Ville = 'MARSEILLE' WHERE Code = 'B1'"));
    const auto apres = clients::ValeursFautives(vars, liste);
    EXPECT_EQ(apres[0].nombre, 3);
    EXPECT_TRUE(std::none_of(apres.begin(), apres.end(),
                             [](const auto& v) { return v.texte == QLatin1String("MARSIELLE"); }));

    // The analyses tidied nothing here; a grouped correction shows in the journal.
    clients::AppliquerGroupe(vars, {remplacement(clients::ErrCP, "1000", "01000")});
    s = test::lancerLot(d.chemin(), {QStringLiteral("--journal")});
    EXPECT_EQ(s.code, 0);
    const QStringList journal = s.out.split(u'\n');
    ASSERT_EQ(journal.size(), 3) << s.out.toStdString();
    EXPECT_EQ(journal[0].section(u'\t', 2),
              QStringLiteral("Correction groupée\tFCLI\tD1\tCode Postal\t1000\t01000"));
    EXPECT_EQ(journal[1], QStringLiteral("1 modification(s) au journal."));
}

TEST_F(Groupee, VillesDuCodePostalDAbord) {
    // "MARSEILLE 7E" is no town: the towns of the clients' own code come
    // first, the nearest first; PARIS is found for "PARIS 15" although one of
    // its holders has no valid code.
    cn.executerSqlite(QStringLiteral(
        "INSERT INTO FCLI (Code, Ville, \"Code Postal\") VALUES ('M1', 'MARSEILLE 7E', '13007'), "
        "('M2', 'MARSEILLE 7E', '13007'), ('P1', 'PARIS 15', '75015'), ('P2', 'PARIS 15', "
        "'7515')"));
    const auto valeurs = clients::ValeursFautives(vars, analyser());
    ASSERT_GE(valeurs.size(), 2u);
    EXPECT_EQ(valeurs[0].texte, QStringLiteral("MARSEILLE 7E"));
    EXPECT_EQ(valeurs[0].nombre, 2);
    EXPECT_EQ(valeurs[0].suggestions.mid(0, 2),
              (QStringList{QStringLiteral("MARSEILLE"), QStringLiteral("MARSEILLE 6EME")}));
    EXPECT_EQ(valeurs[1].texte, QStringLiteral("PARIS 15"));
    EXPECT_EQ(valeurs[1].suggestions.value(0), QStringLiteral("PARIS"));
}

// Applied: each holder written and nothing else, the holders judged again;
// then undone, the panel's later save first, to the values before.
TEST_F(Groupee, AppliquerEcritChaqueDetenteurPuisAnnuler) {
    salon();
    cn.executerSqlite(
        QStringLiteral("INSERT INTO FCLI (Code, Nom, Ville, \"Code Postal\") VALUES "
                       "('A4', 'NOM A4', 'st etienne', '42000')"));
    analyser();
    EXPECT_FALSE(clients::derniereCorrection(vars).has_value());
    const QStringList avant = table();
    const clients::BilanGroupe bilan = clients::AppliquerGroupe(
        vars, {remplacement(clients::ErrVille, "ST ETIENNE", "SAINT-ETIENNE"),
               remplacement(clients::ErrCatAge, "11", "5")});

    // Letter case counts: A4's "st etienne" is not the same value.
    QStringList attendu = avant;
    for (int k : {0, 1, 2}) {
        attendu[k].replace(QStringLiteral("|ST ETIENNE|"), QStringLiteral("|SAINT-ETIENNE|"));
    }
    attendu[10].replace(QStringLiteral("|11|"), QStringLiteral("|05|"));
    EXPECT_EQ(table(), attendu);
    EXPECT_EQ(test::journal(cn),
              (QStringList{"Correction groupée|FCLI|A1|Ville|ST ETIENNE|SAINT-ETIENNE",
                           "Correction groupée|FCLI|A2|Ville|ST ETIENNE|SAINT-ETIENNE",
                           "Correction groupée|FCLI|A3|Ville|ST ETIENNE|SAINT-ETIENNE",
                           "Correction groupée|FCLI|H1|Cat, Age|11|05"}));
    const auto lots = store::journal::lire(cn);
    EXPECT_TRUE(std::all_of(lots.begin(), lots.end(),
                            [&](const auto& e) { return e.lot == lots.front().lot; }));

    // The holders judged again: A2 keeps its telephone in error.
    ASSERT_EQ(bilan.clients.size(), 4u);
    EXPECT_EQ(bilan.nbClients, 13);
    EXPECT_EQ(bilan.nbCorriges(), 3);
    EXPECT_EQ(bilan.nbEnErreur(), 1);
    for (const clients::Evaluation& e : bilan.clients) {
        EXPECT_FALSE(e.drapeaux[clients::ErrVille]);
        EXPECT_EQ(e.enErreur(), e.CodeClient == QLatin1String("A2")) << e.CodeClient.toStdString();
    }

    clients::enregistrerChamp(vars, QStringLiteral("G1"),
                              {QStringLiteral("Tel1"), QStringLiteral("0612345678"), {}});
    // The panel save is the last correction: undone first.
    auto derniere = clients::derniereCorrection(vars);
    ASSERT_TRUE(derniere.has_value());
    EXPECT_EQ(derniere->operation + u' ' + QString::number(derniere->nbClients),
              QStringLiteral("Correction 1"));
    auto r = clients::AnnulerCorrection(vars, derniere->lot);
    ASSERT_TRUE(r.faite);
    EXPECT_EQ(valeur(QStringLiteral("G1"), QStringLiteral("Tel1")), QStringLiteral("06 12"));
    ASSERT_EQ(r.clients.size(), 1u);
    EXPECT_TRUE(r.clients[0].drapeaux[clients::ErrTel1]);

    derniere = clients::derniereCorrection(vars);
    ASSERT_TRUE(derniere.has_value());
    EXPECT_EQ(derniere->nbClients, 4);
    r = clients::AnnulerCorrection(vars, derniere->lot);
    ASSERT_TRUE(r.faite);
    EXPECT_EQ(table(), avant);
    // The clients come back in error, as the rules judge them.
    EXPECT_EQ(r.clients.size(), 4u);
    EXPECT_TRUE(std::all_of(r.clients.begin(), r.clients.end(),
                            [](const auto& e) { return e.enErreur(); }));
    EXPECT_FALSE(clients::derniereCorrection(vars).has_value());
}

TEST_F(Groupee, UnEchecNeChangeRienUneAnnulationDepasseeEstRefusee) {
    salon();
    analyser();
    QStringList avant = table();
    QStringList journalAvant = test::journal(cn);
    // The town is written first, then the telephone is refused by the database.
    cn.executerSqlite(
        QStringLiteral("CREATE TRIGGER refus BEFORE UPDATE OF Tel1 ON FCLI BEGIN SELECT "
                       "RAISE(ABORT, 'refus'); END"));
    EXPECT_THROW(clients::AppliquerGroupe(
                     vars, {remplacement(clients::ErrVille, "ST ETIENNE", "SAINT-ETIENNE"),
                            remplacement(clients::ErrTel1, "06 12.34.56.78", "0612345678")}),
                 store::ErreurStore);
    EXPECT_EQ(table(), avant);
    EXPECT_EQ(test::journal(cn), journalAvant);

    // A replacement the rules refuse stops everything before any write.
    const struct {
        Drapeau champ;
        const char* avant;
        const char* apres;
        const char* message;
    } refus[] = {
        {clients::ErrVille, "ST ETIENNE", "ST ETIENE", "n'est pas une commune du référentiel"},
        {clients::ErrCP, "1000", "01001", "n'est pas un code postal du référentiel"},
        {clients::ErrTel1, "06 12", "0612", "est encore en erreur"},
        {clients::ErrEmail, "marie@exemple,fr", "", "le remplacement est vide"},
    };
    for (const auto& r : refus) {
        const QString message = test::echec([&] {
            clients::AppliquerGroupe(vars,
                                     {remplacement(clients::ErrVille, "MARSIELLE", "MARSEILLE"),
                                      remplacement(r.champ, r.avant, r.apres)});
        });
        EXPECT_TRUE(message.contains(QString::fromUtf8(r.message))) << message.toStdString();
    }
    cn.executerSqlite(QStringLiteral("DROP TRIGGER refus"));
    EXPECT_EQ(table(), avant);

    // An undo after a later change of one of its values is refused.
    clients::AppliquerGroupe(vars,
                             {remplacement(clients::ErrVille, "ST ETIENNE", "SAINT-ETIENNE")});
    const qint64 groupee = clients::derniereCorrection(vars)->lot;
    // A3's town changed by the panel since, A2's by another program.
    clients::enregistrerChamp(
        vars, QStringLiteral("A3"),
        {QStringLiteral("Code Postal"), QStringLiteral("42100"), QStringLiteral("ST ETIENNE")});
    cn.executerSqlite(QStringLiteral("UPDATE FCLI SET Ville = 'saint-etienne' WHERE Code = 'A2'"));
    avant = table();
    journalAvant = test::journal(cn);

    const auto r = clients::AnnulerCorrection(vars, groupee);
    EXPECT_FALSE(r.faite);
    EXPECT_EQ(r.changes, (QStringList{QStringLiteral("A2 NOM A2"), QStringLiteral("A3 NOM A3")}));
    EXPECT_TRUE(clients::messageRefus(r).contains(QStringLiteral("A3 NOM A3")));
    EXPECT_EQ(table(), avant);
    EXPECT_EQ(test::journal(cn), journalAvant);
}

// ------------------------------------------------------------------ journal

TEST_F(Groupee, LeJournalTientExactementLesModifications) {
    cn.executerSqlite(QStringLiteral(
        "INSERT INTO FCLI (Code, Nom, Ville, \"Code Postal\", Tel1) VALUES ('T1', ' ', 'PARIS', "
        "'75001', ' 0612345678 '), ('T2', 'NOM T2', 'LYON', '69001', NULL);"
        "INSERT INTO FTEC (\"Numéro\", Code_Client, Date, Famille, \"Mémo\") VALUES (5, 'T1', "
        "'2010-01-01 00:00:00', NULL, 'abc  ' || char(13, 10))"));
    // The tidying, twice: the second run changes nothing; a panel's save, then
    // the same text saved again.
    analyser();
    analyser();
    for (int fois = 0; fois < 2; ++fois) {
        clients::enregistrerChamp(vars, QStringLiteral("T1"),
                                  {QStringLiteral("Cat, Age"), QStringLiteral("05"), {}});
    }
    clients::enregistrerChamp(
        vars, QStringLiteral("T2"),
        {QStringLiteral("Code Postal"), QStringLiteral("69002"), QStringLiteral("LYON")});
    tech::EcrireFamille(vars.cheminBd(), QStringLiteral("5"), QStringLiteral("Coupe"));
    tech::PreAnalyseTech(vars.cheminBd());
    EXPECT_EQ(test::journal(cn).join(u'\n'),
              "Rangement des clients|FCLI|T1|Nom| |\n"
              "Rangement des clients|FCLI|T1|Tel1| 0612345678 |0612345678\n"
              "Correction|FCLI|T1|Cat, Age|<Null>|05\n"
              "Code postal et ville|FCLI|T2|Code Postal|69001|69002\n"
              "Choix de la famille|FTEC|5|Famille|<Null>|Coupe\n"
              "Nettoyage des mémos|FTEC|5|Mémo|abc  \r\n|abc  ");
    // One batch per run.
    QSet<qint64> lots;
    for (const auto& e : store::journal::lire(cn)) {
        lots.insert(e.lot);
    }
    EXPECT_EQ(lots.size(), 5);
}

}  // namespace
