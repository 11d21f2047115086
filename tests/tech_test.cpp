#include <gtest/gtest.h>

#include "app/Batch.h"
#include "store/Connexion.h"
#include "store/Erreur.h"
#include "store/Schema.h"
#include "support/Dossier.h"
#include "support/Lot.h"
#include "tech/AnalyseTech.h"
#include "tech/FicheTech.h"

namespace {

using store::Valeur;

// Every row a run reports, as the batch mode prints it.
class Lignes : public tech::ObservateurAnalyseFiches {
public:
    void debut(qint32 total) override {
        ++debuts;
        this->total = total;
    }
    void progression(qint32 n, qint32 t) override {
        EXPECT_EQ(n, ++dernier);
        EXPECT_EQ(t, total);
    }
    void ligne(tech::Liste liste, const tech::LigneTech& l) override {
        lignes << commun::ligneListe(tech::nomListe(liste), tech::colonnes(liste, l));
    }
    QStringList lignes;
    int debuts = 0;
    qint32 total = -1;
    qint32 dernier = 0;
};

const QString kEmoji = QString::fromUtf16(u"\U0001F487");

TEST(Nettoyage, BlancsPuisRetoursALaLigneUneFoisChacun) {
    const std::pair<const char16_t*, const char16_t*> cas[] = {
        {u"text  \r\n", u"text  "},  // the blanks before the line break stay
        {u"text\r\n  ", u"text"},   {u"abc \r\n", u"abc "}, {u"a\r\n\r\n\r\n", u"a"},
        {u"a\r\n \r\n", u"a\r\n "},  // the loops do not alternate
        {u"a\n\r", u"a\n\r"},        // only CR LF pairs
        {u"a\r", u"a\r"},           {u"   ", u""},          {u"", u""},
        {u" a b ", u" a b"},
    };
    for (const auto& [avant, apres] : cas) {
        EXPECT_EQ(tech::nettoyerMemo(QString::fromUtf16(avant)), QString::fromUtf16(apres));
    }
}

// The family rule; the memo's length is judged through the runs below.
TEST(Regles, Famille) {
    EXPECT_TRUE(tech::ErrFamille(Valeur()));
    EXPECT_TRUE(tech::ErrFamille(QStringLiteral("")));
    EXPECT_FALSE(tech::ErrFamille(QStringLiteral("   ")));
    EXPECT_FALSE(tech::ErrFamille(QStringLiteral("Pas une famille du salon")));
}

class Analyse : public ::testing::Test {
protected:
    void SetUp() override { cn = d.creerBase(); }
    QString base() const { return d.chemin(QStringLiteral("BdClient.mdb")); }
    void fiche(qint64 numero, const QString& code, const Valeur& famille, const Valeur& memo) {
        test::inserer(cn, QStringLiteral("FTEC"),
                      {{QStringLiteral("Numéro"), Valeur::entier(numero)},
                       {QStringLiteral("Code_Client"), code},
                       {QStringLiteral("Famille"), famille},
                       {QStringLiteral("Mémo"), memo}});
    }
    test::Dossier d;
    store::Connexion cn;
};

// The memos are tidied where they are stored, Null left Null, in a database
// that stores its text as UTF-8 or as UTF-16; lengths count characters.
TEST_F(Analyse, NettoyageEtLongueurEnUtf8CommeEnUtf16) {
    const std::tuple<qint64, Valeur, Valeur> cas[] = {
        {1, QStringLiteral("text  \r\n"), QStringLiteral("text  ")},
        {3, Valeur(), Valeur()},
        {4, QStringLiteral("   "), QStringLiteral("")},  // empty text, not Null
        {6, QStringLiteral("a\0b \r\n"), QStringLiteral("a\0b ")},
        {7, QStringLiteral("a\r\n\0"), QStringLiteral("a\r\n\0")},
        {8, QString(500, u'a') + QStringLiteral("\r\n"), QString(500, u'a')},
        {9, QString(501, u'a'), QString(501, u'a')},
        {10, kEmoji.repeated(250), kEmoji.repeated(250)},
        {11, kEmoji.repeated(250) + u'a', kEmoji.repeated(250) + u'a'},
    };
    test::Dossier seize;
    store::Connexion cn16 = store::Connexion::creer(seize.chemin(QStringLiteral("BdClient.mdb")));
    cn16.executerSqlite(QStringLiteral("PRAGMA encoding = 'UTF-16le'"));
    store::schema::creerTablesClients(cn16);
    for (store::Connexion* c : {&cn, &cn16}) {
        for (const auto& [numero, avant, apres] : cas) {
            test::inserer(*c, QStringLiteral("FTEC"),
                          {{QStringLiteral("Numéro"), Valeur::entier(numero)},
                           {QStringLiteral("Famille"), QStringLiteral("Soin")},
                           {QStringLiteral("Mémo"), avant}});
        }
    }
    for (const QString& chemin : {base(), seize.chemin(QStringLiteral("BdClient.mdb"))}) {
        SCOPED_TRACE(chemin.toStdString());
        Lignes l;
        tech::AnalyseTech(chemin, l);
        EXPECT_EQ(l.lignes, QStringList({QStringLiteral("ListMemo\t9\t\t\t\tx"),
                                         QStringLiteral("ListMemo\t11\t\t\t\tx")}));
        store::Connexion lu(chemin);
        for (const auto& [numero, avant, apres] : cas) {
            store::Instruction i(lu,
                                 QStringLiteral("SELECT \"Mémo\" FROM FTEC WHERE \"Numéro\" = ?"));
            i.lier(1, numero);
            ASSERT_TRUE(i.avancer());
            EXPECT_EQ(i.colonne(0), apres) << numero;
        }
    }
}

TEST_F(Analyse, ListesEnOrdreDeLaTableAvecLeurClient) {
    cn.executerSqlite(QStringLiteral(
        "INSERT INTO FCLI (Code, Nom, \"Prénom\") VALUES ('A1', 'DUPONT', 'Marie'), ('D''A2', "
        "'L''HERMITE', 'Anne'), ('A3', 'SEUL', NULL), ('a3', 'PETIT', 'Léa')"));
    const QString a500(500, u'a');
    fiche(10, QStringLiteral("A1"), QStringLiteral("Coloration"), a500);
    fiche(11, QStringLiteral("A1"), Valeur(), a500 + u'a');                      // both errors
    fiche(12, QStringLiteral("D'A2"), QStringLiteral(""), QStringLiteral("x"));  // apostrophe
    fiche(13, QStringLiteral("ZZ9"), Valeur(), Valeur());                        // unknown client
    fiche(14, QStringLiteral("A3"), QStringLiteral("  "),
          a500.left(499) + QStringLiteral("  \r\n"));
    fiche(15, QStringLiteral("a1"), Valeur(), a500 + QStringLiteral("\r\n"));
    fiche(16, QStringLiteral("A1"), QStringLiteral("Soin"), QString(300, QChar(u'é')));
    fiche(17, QStringLiteral("A1"), QStringLiteral("Soin"), kEmoji.repeated(251));
    fiche(18, QStringLiteral("A1"), QStringLiteral("Soin"), QString(u'\0') + a500);
    fiche(19, QStringLiteral("Inconnu"), QStringLiteral("Soin"), QString(600, u'a'));
    fiche(20, QStringLiteral("a3"), Valeur(), Valeur());  // not A3: written so

    Lignes l;
    EXPECT_EQ(tech::AnalyseTech(base(), l), 11);
    EXPECT_EQ(l.debuts, 1);
    EXPECT_EQ(l.dernier, 11);
    const QStringList attendu = {
        QStringLiteral("ListCliTech\t11\tA1\tDUPONT Marie\tx\t"),
        QStringLiteral("ListMemo\t11\tA1\tDUPONT Marie\t\tx"),
        QStringLiteral("ListCliTech\t12\tD'A2\tL'HERMITE Anne\tx\t"),
        QStringLiteral("ListCliTech\t13\t\t\tx\t"),
        // 499 characters and two blanks once the line break has gone.
        QStringLiteral("ListMemo\t14\tA3\tSEUL \t\tx"),
        QStringLiteral("ListCliTech\t15\tA1\tDUPONT Marie\tx\t"),
        QStringLiteral("ListMemo\t17\tA1\tDUPONT Marie\t\tx"),
        QStringLiteral("ListMemo\t18\tA1\tDUPONT Marie\t\tx"),
        QStringLiteral("ListMemo\t19\t\t\t\tx"),
        QStringLiteral("ListCliTech\t20\ta3\tPETIT Léa\tx\t"),
    };
    EXPECT_EQ(l.lignes, attendu);

    // A second run lists the same rows, not twice as many. Its tidying takes
    // off the blanks that the first one uncovered, so sheet 14 has left.
    Lignes deuxieme;
    EXPECT_EQ(tech::AnalyseTech(base(), deuxieme), 11);
    QStringList sans14 = attendu;
    sans14.removeAt(4);
    EXPECT_EQ(deuxieme.lignes, sans14);
}

TEST_F(Analyse, EchecsDuStoreDits) {
    // No client table, which the sheets in error need: refused before the
    // memos are tidied.
    cn.executerSqlite(QStringLiteral("DROP TABLE FCLI"));
    fiche(1, QStringLiteral("A1"), QStringLiteral("Soin"), QStringLiteral("x "));
    Lignes l;
    EXPECT_TRUE(test::echec([&] { tech::AnalyseTech(base(), l); }).contains(u"FCLI"));
    EXPECT_EQ(l.debuts, 0);
    EXPECT_EQ(test::lignes(cn, QStringLiteral("SELECT \"Mémo\" FROM FTEC")),
              QStringList{QStringLiteral("x ")});
    test::Dossier vide;
    EXPECT_TRUE(test::echec([&] {
                    tech::AnalyseTech(vide.chemin(QStringLiteral("bdclient.mdb")), l);
                }).contains(u"bdclient.mdb"));
    EXPECT_FALSE(vide.existe(QStringLiteral("bdclient.mdb")));
}

TEST_F(Analyse, FicheLueEtFamilleEcrite) {
    cn.executerSqlite(
        QStringLiteral("INSERT INTO FTEC (\"Numéro\", Date, Tech, \"Mémo\") VALUES (7, "
                       "'2005-03-15 10:30:00', 'Julie', 'note')"));
    const tech::FicheTech f = tech::LireFiche(base(), QStringLiteral("7"));
    EXPECT_TRUE(f.Date.estDate());
    EXPECT_EQ(f.Tech, Valeur(QStringLiteral("Julie")));
    EXPECT_TRUE(f.Famille.estNull());
    EXPECT_EQ(f.Memo, Valeur(QStringLiteral("note")));
    // The empty text is refused as no number, then a family written.
    EXPECT_TRUE(tech::EcrireFamille(base(), QStringLiteral("7"), QStringLiteral("")));
    EXPECT_FALSE(tech::EcrireFamille(base(), QStringLiteral("7"), QStringLiteral("Coloration")));
    EXPECT_EQ(test::lignes(cn, QStringLiteral("SELECT Famille FROM FTEC")),
              QStringList{QStringLiteral("Coloration")});
    for (const char* numero : {"8", "7 OR 1=1", ""}) {
        EXPECT_THROW(tech::LireFiche(base(), QString::fromLatin1(numero)), store::ErreurStore)
            << numero;
    }
}

TEST_F(Analyse, VerbeBatch) {
    const auto lancer = [](const QString& dossier) {
        return test::lancerLot(dossier, {QStringLiteral("--analyse-techniques")});
    };
    // An empty table.
    test::SortieLot s = lancer(d.chemin());
    EXPECT_EQ(s.out, QStringLiteral("Liste des techniques avec erreurs ( 0 / 0 )\n"
                                    "Votre fichier technique ne comporte pas d'erreur.\n"));
    cn.executerSqlite(
        QStringLiteral("INSERT INTO FCLI (Code, Nom, \"Prénom\") VALUES ('A1', 'DUPONT', "
                       "'Marie')"));
    fiche(1, QStringLiteral("A1"), QStringLiteral("Soin"), QString(501, u'a'));
    fiche(2, QStringLiteral("A1"), Valeur(), QStringLiteral("x"));
    fiche(3, QStringLiteral("A1"), QStringLiteral(""), QString(700, u'a'));
    s = lancer(d.chemin());
    EXPECT_EQ(s.code, commun::kFait) << s.err.toStdString();
    EXPECT_EQ(s.out, QStringLiteral("ListCliTech\t2\tA1\tDUPONT Marie\tx\t\n"
                                    "ListCliTech\t3\tA1\tDUPONT Marie\tx\t\n"
                                    "ListMemo\t1\tA1\tDUPONT Marie\t\tx\n"
                                    "ListMemo\t3\tA1\tDUPONT Marie\t\tx\n"
                                    "Liste des techniques avec erreurs ( 2 / 3 )\n"));
    // Only memos too long: the window's message follows the caption.
    cn.executerSqlite(QStringLiteral("UPDATE FTEC SET \"Famille\" = 'Soin'"));
    s = lancer(d.chemin());
    EXPECT_TRUE(
        s.out.endsWith(QStringLiteral("Liste des techniques avec erreurs ( 0 / 3 )\n"
                                      "Votre fichier technique ne comporte pas d'erreur.\n")))
        << s.out.toStdString();

    test::Dossier vide;
    s = lancer(vide.chemin());
    EXPECT_EQ(s.code, commun::kEchec);
    EXPECT_TRUE(s.out.isEmpty());
    EXPECT_TRUE(s.err.contains(QStringLiteral("bdclient.mdb"), Qt::CaseInsensitive))
        << s.err.toStdString();
}

}  // namespace
