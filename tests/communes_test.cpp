#include <gtest/gtest.h>

#include <QDir>

#include "app/Batch.h"
#include "commun/Communes.h"
#include "commun/FiltreChiffres.h"
#include "commun/Variables.h"
#include "communes/FichierDefaut.h"
#include "store/Erreur.h"
#include "support/Dossier.h"

namespace {

class Reference : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dossier = new test::Dossier;
        dossier->copierCommunes();
    }
    static void TearDownTestSuite() { delete dossier; }
    static test::Dossier* dossier;
};
test::Dossier* Reference::dossier = nullptr;

TEST_F(Reference, ExistenceDesCodesEtDesVilles) {
    commun::Communes c;
    c.OuvreCommunes(dossier->chemin());
    struct Cas {
        const char16_t* valeur;
        bool cp;
        bool ville;
    };
    const Cas cas[] = {
        {u"42000", true, false},
        {u"4200", false, false},  // a prefix is not a code
        {u"01000", true, false},
        {u"1000", false, false},
        {u"", false, false},
        {u"SAINT-ETIENNE", false, true},
        {u"saint-etienne", false, true},  // letter case aside
        {u"SAINT ETIENNE", false, false},
        {u"PALMAS D'AVEYRON", false, true},  // the apostrophe is only a character
        {u"X' OR '1'='1", false, false},
    };
    for (const Cas& k : cas) {
        const QString v = QString::fromUtf16(k.valeur);
        SCOPED_TRACE(v.toStdString());
        EXPECT_EQ(c.ExisteCp(v), k.cp);
        EXPECT_EQ(c.ExisteVille(v), k.ville);
    }
}

TEST_F(Reference, VillesDUnPrefixeEtCodeDUneVille) {
    commun::Communes c;
    c.OuvreCommunes(dossier->chemin());
    // The counts and picks of the towns dialog are checked through the dialog.
    EXPECT_TRUE(c.RemplitVilles(QStringLiteral("99")).isEmpty());
    EXPECT_EQ(c.ChercheCpVille(QStringLiteral("SAINT-ETIENNE"), QStringLiteral("421")),
              QStringLiteral("42100"));
    // A town outside the typed prefix leaves the code alone.
    EXPECT_FALSE(c.ChercheCpVille(QStringLiteral("PARIS"), QStringLiteral("42")).has_value());

    c.Fermer();
    EXPECT_FALSE(c.ouverte());
    c.Fermer();  // closing twice is harmless
}

TEST(Communes, ReferenceAbsente) {
    test::Dossier d;
    commun::Communes c;
    EXPECT_TRUE(test::echec([&] { c.OuvreCommunes(d.chemin()); }).contains(u"communes.mdb"));
    EXPECT_FALSE(d.existe(QStringLiteral("communes.mdb")));
}

TEST(FichierDefaut, AllerRetourEnWindows1252) {
    test::Dossier d;
    using Etat = communes::LectureDefaut::Etat;
    EXPECT_EQ(communes::lireDefaut(d.chemin()).etat, Etat::Absent);
    ASSERT_TRUE(
        communes::ecrireDefaut(d.chemin(), {QStringLiteral("ÉVREUX"), QStringLiteral("27000")}));
    EXPECT_EQ(d.lire(QStringLiteral("default.txt")), QByteArray("\xC9VREUX\r\n27000\r\n"));
    const auto lu = communes::lireDefaut(d.chemin());
    ASSERT_EQ(lu.etat, Etat::Lu);
    EXPECT_EQ(lu.valeurs.ville, QStringLiteral("ÉVREUX"));
    EXPECT_EQ(lu.valeurs.codePostal, QStringLiteral("27000"));
    // Once written, never rewritten, unless it holds no valid default.
    communes::ecrireDefaut(d.chemin(), {QStringLiteral("PARIS"), QStringLiteral("75001")});
    EXPECT_EQ(communes::lireDefaut(d.chemin()).valeurs.ville, QStringLiteral("ÉVREUX"));
    communes::ecrireDefaut(d.chemin(), {QStringLiteral("PARIS"), QStringLiteral("75001")}, true);
    EXPECT_EQ(communes::lireDefaut(d.chemin()).valeurs.ville, QStringLiteral("PARIS"));
}

TEST(FichierDefaut, LignesManquantes) {
    const std::pair<QByteArray, const char*> cas[] = {
        {"", "|"},
        {"PARIS", "PARIS|"},
        {"PARIS\n75001", "PARIS|75001"},
        {"PARIS\r\n75001\r\nen trop\r\n", "PARIS|75001"},
    };
    for (const auto& [contenu, attendu] : cas) {
        test::Dossier d;
        d.ecrire(QStringLiteral("Default.TXT"), contenu);
        const auto lu = communes::lireDefaut(d.chemin());
        ASSERT_EQ(lu.etat, communes::LectureDefaut::Etat::Lu);
        EXPECT_EQ(lu.valeurs.ville + u'|' + lu.valeurs.codePostal, QString::fromLatin1(attendu));
    }
}

TEST(Filtres, ChiffresDeuxPointsEtRetourArriere) {
    struct Cas {
        char touche;
        bool chiffres;
        bool plus;
    };
    const Cas cas[] = {{'0', true, true},   {'9', true, true},  {':', true, true},
                       {'\b', true, true},  {'+', false, true}, {'a', false, false},
                       {' ', false, false}, {'/', false, false}};
    for (const Cas& c : cas) {
        int code = c.touche;
        commun::FiltreChiffres(code);
        EXPECT_EQ(code != 1, c.chiffres) << int(c.touche);
        code = c.touche;
        commun::FiltreChiffresPlus(code);
        EXPECT_EQ(code != 1, c.plus) << int(c.touche);
    }
}

TEST(Dossier, NotesCompteesSansEgardALaCasse) {
    test::Dossier d;
    const char* noms[] = {"Cli1.rtf",     "Cli2.RTF",  "Cli3.Rtf", "cli4.rTF", "a.rtf",
                          "b.RTF",        "c.rtf",     "d.rtf",    "e.rtf",    "f.RTF",
                          "Cli5.rtf.bak", "notes.txt", "rtf"};
    for (const char* n : noms) {
        d.ecrire(QString::fromLatin1(n), "x");
    }
    QDir(d.chemin()).mkdir(QStringLiteral("sous.RTF"));
    // Ten notes, and a file named just "rtf", whose name ends in RTF too; the
    // .rtf.bak and the folder are not counted.
    EXPECT_EQ(commun::compterFichiersRtf(d.chemin()), 11);
    EXPECT_EQ(commun::compterFichiersRtf(QDir(d.chemin()).filePath(QStringLiteral("sous.RTF"))), 0);
}

TEST(LigneDeCommande, UsageEtErreurs) {
    using app::batch::analyser;
    using commun::Commande;
    const auto ok =
        analyser({QStringLiteral("--dossier"), QStringLiteral("/tmp/x"), QStringLiteral("--help")});
    ASSERT_TRUE(std::holds_alternative<Commande>(ok));
    EXPECT_EQ(std::get<Commande>(ok).dossier, QStringLiteral("/tmp/x"));
    EXPECT_EQ(std::get<Commande>(ok).verbe, QStringLiteral("--help"));

    const auto fenetres = analyser({QStringLiteral("--dossier"), QStringLiteral("/tmp/x")});
    ASSERT_TRUE(std::holds_alternative<Commande>(fenetres));
    EXPECT_TRUE(std::get<Commande>(fenetres).verbe.isEmpty());

    for (const QStringList& mauvais :
         {QStringList{QStringLiteral("--bidule")},
          QStringList{QStringLiteral("--help"), QStringLiteral("en-trop")},
          QStringList{QStringLiteral("--help"), QStringLiteral("--help")},
          QStringList{QStringLiteral("--oui")}}) {
        EXPECT_TRUE(std::holds_alternative<QString>(analyser(mauvais)))
            << mauvais.join(' ').toStdString();
    }
}

TEST(LigneDeCommande, LignesDeListe) {
    EXPECT_EQ(commun::ligneListe(QStringLiteral("ListBN"),
                                 {QStringLiteral("A12"), QStringLiteral("DUPONT Marie")}),
              QStringLiteral("ListBN\tA12\tDUPONT Marie"));
    EXPECT_EQ(commun::ligneListe(QStringLiteral("L"), {QStringLiteral("a\tb\r\nc"), QString()}),
              QStringLiteral("L\ta\\tb\\r\\nc\t"));
}

}  // namespace
