#include <gtest/gtest.h>

#include <QTextStream>

#include "app/Batch.h"
#include "store/Connexion.h"
#include "store/Erreur.h"
#include "store/Recordset.h"
#include "store/Schema.h"
#include "support/Dossier.h"
#include "support/Lot.h"
#include "tech/AnalyseTech.h"
#include "tech/FicheTech.h"

// Readable texts in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

using store::Valeur;
using tech::Liste;

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
    void ligne(Liste liste, const tech::LigneTech& l) override {
        lignes << commun::ligneListe(tech::nomListe(liste), tech::colonnes(liste, l));
    }
    QStringList lignes;
    int debuts = 0;
    qint32 total = -1;
    qint32 dernier = 0;
};

QString fois(int n, QChar c = u'a') {
    return QString(n, c);
}

class Analyse : public ::testing::Test {
protected:
    void SetUp() override { cn = d.creerBase(); }
    QString base() const { return d.chemin(QStringLiteral("BdClient.mdb")); }
    void client(const QString& code, const Valeur& nom, const Valeur& prenom) {
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{QStringLiteral("Code"), code},
                       {QStringLiteral("Nom"), nom},
                       {QStringLiteral("Prénom"), prenom}});
    }
    void fiche(qint64 numero, const QString& code, const Valeur& famille, const Valeur& memo) {
        test::inserer(cn, QStringLiteral("FTEC"),
                      {{QStringLiteral("Numéro"), Valeur::entier(numero)},
                       {QStringLiteral("Code_Client"), code},
                       {QStringLiteral("Famille"), famille},
                       {QStringLiteral("Mémo"), memo}});
    }
    Valeur memo(qint64 numero) {
        store::Instruction i(cn, QStringLiteral("SELECT \"Mémo\" FROM FTEC WHERE \"Numéro\" = ?"));
        i.lier(1, numero);
        EXPECT_TRUE(i.pas());
        return i.colonne(0);
    }
    test::Dossier d;
    store::Connexion cn;
};

TEST(Nettoyage, BlancsPuisRetoursALaLigneUneFoisChacun) {
    const struct {
        const char16_t* avant;
        const char16_t* apres;
    } cas[] = {
        {u"text  \r\n", u"text  "},  // the blanks before the line break stay
        {u"text\r\n  ", u"text"},   {u"abc \r\n", u"abc "}, {u"a\r\n\r\n\r\n", u"a"},
        {u"a\r\n \r\n", u"a\r\n "},  // the loops do not alternate
        {u"a\n\r", u"a\n\r"},        // only CR LF pairs
        {u"a\r", u"a\r"},           {u"   ", u""},          {u"", u""},
        {u" a b ", u" a b"},
    };
    for (const auto& c : cas) {
        EXPECT_EQ(tech::nettoyerMemo(QString::fromUtf16(c.avant)), QString::fromUtf16(c.apres))
            << QString::fromUtf16(c.avant).toStdString();
    }
}

TEST(Regles, FamilleEtLongueurDuMemo) {
    // Characters outside the basic plane count twice, as UTF-16 units.
    const QString emoji = QString::fromUtf16(u"\U0001F487");
    const struct {
        Valeur valeur;
        bool errFamille;
        bool errMemo;
    } cas[] = {
        {Valeur(), true, false},
        {QStringLiteral(""), true, false},
        {QStringLiteral("   "), false, false},
        {QStringLiteral("Coloration"), false, false},
        {QStringLiteral("Pas une famille du salon"), false, false},
        {fois(500), false, false},
        {fois(501), false, true},
        {emoji.repeated(250), false, false},
        {emoji.repeated(250) + u'a', false, true},
    };
    for (const auto& c : cas) {
        EXPECT_EQ(tech::ErrFamille(c.valeur), c.errFamille)
            << c.valeur.texte().left(20).toStdString();
        EXPECT_EQ(tech::ErrMemo(c.valeur), c.errMemo) << c.valeur.texte().size();
    }
}

TEST(Regles, LegendeEtMemoCoupe) {
    EXPECT_EQ(tech::legendeListeTech(12, 340),
              QStringLiteral("Liste des techniques avec erreurs ( 12 / 340 )"));
    const auto [debut, suite] = tech::couperMemo(fois(500) + u'b');
    EXPECT_EQ(debut, fois(500));
    EXPECT_EQ(suite, QStringLiteral("b"));
    EXPECT_EQ(tech::couperMemo(fois(500)), std::make_pair(fois(500), QString()));
}

TEST_F(Analyse, NettoyageEcritLesMemosEtLaisseNull) {
    const struct {
        qint64 numero;
        Valeur avant;
        Valeur apres;
    } cas[] = {
        {1, QStringLiteral("text  \r\n"), QStringLiteral("text  ")},
        {2, QStringLiteral("text\r\n  "), QStringLiteral("text")},
        {3, Valeur(), Valeur()},
        {4, QStringLiteral("   "), QStringLiteral("")},  // empty text, not Null
        {5, QStringLiteral("{\\rtf1 x}"), QStringLiteral("{\\rtf1 x}")},
        {6, QStringLiteral("a\0b \r\n"), QStringLiteral("a\0b ")},
        {7, QStringLiteral("a\r\n\0"), QStringLiteral("a\r\n\0")},
    };
    // The same in a database that stores its text as UTF-16.
    test::Dossier seize;
    store::Connexion cn16 = store::Connexion::creer(seize.chemin(QStringLiteral("BdClient.mdb")));
    cn16.executer(QStringLiteral("PRAGMA encoding = 'UTF-16le'"));
    store::schema::creerTablesClients(cn16);
    for (store::Connexion* c : {&cn, &cn16}) {
        for (const auto& k : cas) {
            test::inserer(*c, QStringLiteral("FTEC"),
                          {{QStringLiteral("Numéro"), Valeur::entier(k.numero)},
                           {QStringLiteral("Mémo"), k.avant}});
        }
    }
    for (const QString& chemin : {base(), seize.chemin(QStringLiteral("BdClient.mdb"))}) {
        tech::PreAnalyseTech(chemin);
        store::Connexion lu(chemin);
        for (const auto& k : cas) {
            store::Instruction i(lu,
                                 QStringLiteral("SELECT \"Mémo\" FROM FTEC WHERE \"Numéro\" = ?"));
            i.lier(1, k.numero);
            ASSERT_TRUE(i.pas());
            EXPECT_EQ(i.colonne(0), k.apres) << k.numero << " " << chemin.toStdString();
        }
    }
}

TEST_F(Analyse, ListesEnOrdreDeLaTableAvecLeurClient) {
    client(QStringLiteral("A1"), QStringLiteral("DUPONT"), QStringLiteral("Marie"));
    client(QStringLiteral("D'A2"), QStringLiteral("L'HERMITE"), QStringLiteral("Anne"));
    client(QStringLiteral("A3"), QStringLiteral("SEUL"), Valeur());
    client(QStringLiteral("a3"), QStringLiteral("PETIT"), QStringLiteral("Léa"));
    const QString accents = QString(300, QChar(u'é'));  // 600 bytes, 300 characters
    const QString emoji = QString::fromUtf16(u"\U0001F487").repeated(251);
    fiche(10, QStringLiteral("A1"), QStringLiteral("Coloration"), fois(500));
    fiche(11, QStringLiteral("A1"), Valeur(), fois(501));                        // both errors
    fiche(12, QStringLiteral("D'A2"), QStringLiteral(""), QStringLiteral("x"));  // apostrophe
    fiche(13, QStringLiteral("ZZ9"), Valeur(), Valeur());                        // unknown client
    fiche(14, QStringLiteral("A3"), QStringLiteral("  "), fois(499) + QStringLiteral("  \r\n"));
    fiche(15, QStringLiteral("a1"), Valeur(), fois(500) + QStringLiteral("\r\n"));
    fiche(16, QStringLiteral("A1"), QStringLiteral("Soin"), accents);
    fiche(17, QStringLiteral("A1"), QStringLiteral("Soin"), emoji);
    fiche(18, QStringLiteral("A1"), QStringLiteral("Soin"), QString(u'\0') + fois(500));
    fiche(19, QStringLiteral("Inconnu"), QStringLiteral("Soin"), fois(600));
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
    EXPECT_EQ(memo(14), fois(499));
}

TEST(AnalyseUtf16, LongueurEnCaracteres) {
    test::Dossier d;
    store::Connexion cn = store::Connexion::creer(d.chemin(QStringLiteral("BdClient.mdb")));
    cn.executer(QStringLiteral("PRAGMA encoding = 'UTF-16le'"));
    store::schema::creerTablesClients(cn);
    const QString emoji = QString::fromUtf16(u"\U0001F487");
    const std::pair<qint64, QString> memos[] = {{1, QString(300, u'a')},
                                                {2, QString(500, u'a')},
                                                {3, QString(501, u'a')},
                                                {4, emoji.repeated(250)},
                                                {5, emoji.repeated(250) + u'a'}};
    for (const auto& [numero, memo] : memos) {
        test::inserer(cn, QStringLiteral("FTEC"),
                      {{QStringLiteral("Numéro"), Valeur::entier(numero)},
                       {QStringLiteral("Famille"), QStringLiteral("Soin")},
                       {QStringLiteral("Mémo"), memo}});
    }
    Lignes l;
    tech::AnalyseTech(d.chemin(QStringLiteral("BdClient.mdb")), l);
    EXPECT_EQ(l.lignes, QStringList({QStringLiteral("ListMemo\t3\t\t\t\tx"),
                                     QStringLiteral("ListMemo\t5\t\t\t\tx")}));
}

TEST_F(Analyse, TableVide) {
    Lignes l;
    EXPECT_EQ(tech::AnalyseTech(base(), l), 0);
    EXPECT_EQ(l.debuts, 1);
    EXPECT_TRUE(l.lignes.isEmpty());
}

TEST_F(Analyse, EchecsDuStoreDits) {
    // No client table, which the sheets in error need: refused before the
    // memos are tidied.
    cn.executer(QStringLiteral("DROP TABLE FCLI"));
    fiche(1, QStringLiteral("A1"), QStringLiteral("Soin"), QStringLiteral("x "));
    fiche(2, QStringLiteral("A1"), Valeur(), QStringLiteral("x"));
    Lignes l;
    try {
        tech::AnalyseTech(base(), l);
        ADD_FAILURE() << "pas d'échec";
    } catch (const store::ErreurStore& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("FCLI"))) << e.message().toStdString();
    }
    EXPECT_EQ(l.debuts, 0);
    EXPECT_EQ(memo(1), Valeur(QStringLiteral("x ")));

    test::Dossier vide;
    try {
        tech::AnalyseTech(vide.chemin(QStringLiteral("bdclient.mdb")), l);
        ADD_FAILURE() << "pas d'échec";
    } catch (const store::ErreurStore& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("bdclient.mdb")))
            << e.message().toStdString();
    }
    EXPECT_FALSE(vide.existe(QStringLiteral("bdclient.mdb")));
}

TEST_F(Analyse, FicheLueEtFamilleEcrite) {
    test::inserer(cn, QStringLiteral("FTEC"),
                  {{QStringLiteral("Numéro"), Valeur::entier(7)},
                   {QStringLiteral("Date"), QStringLiteral("2005-03-15 10:30:00")},
                   {QStringLiteral("Tech"), QStringLiteral("Julie")},
                   {QStringLiteral("Mémo"), QStringLiteral("note")}});
    const tech::FicheTech f = tech::LireFiche(base(), QStringLiteral("7"));
    EXPECT_TRUE(f.Date.estDate());
    EXPECT_EQ(f.Tech, Valeur(QStringLiteral("Julie")));
    EXPECT_TRUE(f.Famille.estNull());
    EXPECT_EQ(f.Memo, Valeur(QStringLiteral("note")));

    EXPECT_TRUE(tech::EcrireFamille(base(), QStringLiteral("7"), QStringLiteral("")));
    EXPECT_FALSE(tech::EcrireFamille(base(), QStringLiteral("7"), QStringLiteral("Coloration")));
    store::Recordset rs;
    rs.Open(QStringLiteral("select * from FTEC WHERE Numéro = 7"), cn);
    EXPECT_EQ(rs.Champ(QStringLiteral("Famille")), Valeur(QStringLiteral("Coloration")));

    for (const char* numero : {"8", "7 OR 1=1", ""}) {
        EXPECT_THROW(tech::LireFiche(base(), QString::fromLatin1(numero)), store::ErreurStore)
            << numero;
    }
}

// The batch verb, as a script sees it.
using Sortie = test::SortieLot;
Sortie lancer(const QString& dossier) {
    return test::lancerLot(dossier, {QStringLiteral("--analyse-techniques")});
}

TEST_F(Analyse, VerbeBatch) {
    client(QStringLiteral("A1"), QStringLiteral("DUPONT"), QStringLiteral("Marie"));
    fiche(1, QStringLiteral("A1"), QStringLiteral("Soin"), fois(501));
    fiche(2, QStringLiteral("A1"), Valeur(), QStringLiteral("x"));
    fiche(3, QStringLiteral("A1"), QStringLiteral(""), fois(700));
    Sortie s = lancer(d.chemin());
    EXPECT_EQ(s.code, commun::kFait) << s.err.toStdString();
    EXPECT_EQ(s.out, QStringLiteral("ListCliTech\t2\tA1\tDUPONT Marie\tx\t\n"
                                    "ListCliTech\t3\tA1\tDUPONT Marie\tx\t\n"
                                    "ListMemo\t1\tA1\tDUPONT Marie\t\tx\n"
                                    "ListMemo\t3\tA1\tDUPONT Marie\t\tx\n"
                                    "Liste des techniques avec erreurs ( 2 / 3 )\n"));

    // Only memos too long: the window's message follows the caption.
    cn.executer(QStringLiteral("UPDATE FTEC SET \"Famille\" = 'Soin'"));
    s = lancer(d.chemin());
    EXPECT_EQ(s.code, commun::kFait);
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
