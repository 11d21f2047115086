#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <regex>

#include "clients/Regles.h"
#include "commun/Communes.h"
#include "store/Dates.h"
#include "store/Erreur.h"
#include "store/Recordset.h"
#include "support/Dossier.h"

using clients::Drapeau;
using store::Valeur;

namespace {

// A client folder with a tiny towns reference; each case is one client whose
// town and postal code are right and whose other judged columns are Null,
// except the column under test.
class Regles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        d = new test::Dossier;
        cn = new store::Connexion(d->creerBase());
        d->creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")},
                          {QStringLiteral("94240"), QStringLiteral("L'HAY LES ROSES")},
                          {QStringLiteral("01000"), QStringLiteral("BOURG EN BRESSE")}});
        communes = new commun::Communes;
        communes->OuvreCommunes(d->chemin());
    }
    static void TearDownTestSuite() {
        delete communes;
        delete cn;
        delete d;
    }

    // The flags of a client made of these fields over a sound town and code.
    static clients::Evaluation juger(const test::Champs& champs) {
        static int numero = 0;
        test::Champs c{{QStringLiteral("Code"), QStringLiteral("T%1").arg(++numero)},
                       {QStringLiteral("Ville"), QStringLiteral("PARIS")},
                       {QStringLiteral("Code Postal"), QStringLiteral("75001")}};
        for (auto it = champs.begin(); it != champs.end(); ++it) {
            c.insert(it.key(), it.value());
        }
        test::inserer(*cn, QStringLiteral("FCLI"), c);
        store::Recordset rs;
        rs.Open(QStringLiteral("FCLI"), *cn);
        rs.MoveFirst();
        rs.Find(QStringLiteral("Code = '%1'").arg(c.value(QStringLiteral("Code")).texte()));
        EXPECT_FALSE(rs.Eof());
        return clients::AnalyseClient(rs, *communes);
    }

    static test::Dossier* d;
    static store::Connexion* cn;
    static commun::Communes* communes;
};
test::Dossier* Regles::d = nullptr;
store::Connexion* Regles::cn = nullptr;
commun::Communes* Regles::communes = nullptr;

struct Cas {
    const char* colonne;
    Valeur valeur;
    bool erreur;
    const char* pourquoi;
};

Valeur t(const QString& s) {
    return Valeur::texte(s);
}
Valeur t(const char* s) {
    return Valeur::texte(QString::fromUtf8(s));
}

// The flag that judges a column.
Drapeau drapeauDe(const QString& colonne) {
    return static_cast<Drapeau>(clients::colonnesJugees().indexOf(colonne));
}

TEST_F(Regles, ChaqueColonneSelonSaRegle) {
    const QString a50(50, u'a');
    const Cas cas[] = {
        {"Nom", t(a50), false, "50 caractères"},
        {"Nom", t(a50 + u'a'), true, "51 caractères"},
        {"Nom", Valeur(), false, "Null"},
        {"Nom", t(QString(50, QChar(0xE9))), false, "50 lettres accentuées"},
        // A character outside the basic plane counts two, as in UTF-16.
        {"Nom", t(QString(49, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80")), true,
         "49 + 2 unités"},
        {"Prénom", t(a50 + u'a'), true, "51 caractères"},
        {"Adresse", t(a50 + u'a'), true, "51 caractères"},

        {"Cat, Age", t("00"), false, "00"},
        {"Cat, Age", t("10"), false, "10"},
        {"Cat, Age", t(""), false, "vide"},
        {"Cat, Age", t("11"), true, "11"},
        {"Cat, Age", t("5"), true, "un seul chiffre"},
        {"Cat, Age", t("100"), true, "trois chiffres"},
        {"Cat, Age", Valeur::entier(5), true, "le nombre 5 s'écrit 5"},
        {"Mois Nais", t("12"), false, "12"},
        {"Mois Nais", t("13"), true, "13"},
        {"Mois Nais", t("00"), false, "00"},

        {"Tel1", t("0612345678"), false, "dix chiffres"},
        {"Tel1", t("+33612345678"), false, "plus et onze chiffres"},
        {"Tel1", t("061234567"), true, "neuf chiffres"},
        {"Tel1", t("+336123456789"), true, "treize caractères"},
        {"Tel1", t("06 12 34 56 78"), true, "chiffres groupés"},
        {"Tel1", t(""), false, "vide"},
        {"Tel1", t("0612345678\n"), true, "suivi d'un saut de ligne"},
        {"Tel1", t("06123456O8"), true, "lettre O"},
        {"Tel1", t(QString::fromUtf8("٠٦١٢٣٤٥٦٧٨")), true, "chiffres arabes"},
        {"Tel1", Valeur::entier(612345678), true, "nombre de neuf chiffres"},
        {"Tel2", t("12345"), true, "cinq chiffres"},

        {"GenCode", t("3012345678901"), false, "13 chiffres"},
        {"GenCode", t("301234567890"), true, "12 chiffres"},
        {"GenCode", t("30123456789012"), true, "14 chiffres"},
        {"GenCode", t("3abcdefghijkl"), false, "chiffre puis douze lettres"},
        {"GenCode", t("a012345678901"), true, "lettre puis douze chiffres"},

        {"Email", t("jean.dupont@exemple.fr"), false, "adresse simple"},
        {"Email", t("a@bc.de"), false, "parties courtes"},
        {"Email", t("jean@b.fr"), true, "domaine d'un caractère"},
        {"Email", t("-jean@exemple.fr"), true, "commence par un tiret"},
        {"Email", t("jean.@exemple.fr"), true, "finit par un point"},
        {"Email", t("jean@exemple.abcdefghij"), true, "dernière partie de dix lettres"},
        {"Email", t("jean@exemple.abcdefghi"), false, "dernière partie de neuf lettres"},
        {"Email", t("jean@exemple.fr\n"), true, "suivi d'un saut de ligne"},
        {"Email", t(QString(89, u'a') + QStringLiteral("@exemple.fr")), false, "100 caractères"},
        {"Email", t(QString(90, u'a') + QStringLiteral("@exemple.fr")), true, "101 caractères"},
        {"Email", t(""), false, "vide"},
        // Long local parts that fail: no exponential search.
        {"Email", t(QString(60, u'a') + QStringLiteral("-@exemple.fr")), true,
         "tiret avant l'arobase"},
        {"Email", t(QString(5000, u'a')), true, "très long"},

        {"DateNaissance", Valeur::date(0), true, "30/12/1899 à minuit"},
        {"DateNaissance", Valeur::date(45 / 86400.0), true, "30/12/1899 00:00:45"},
        {"DateNaissance", Valeur::date(46 / 86400.0), false, "30/12/1899 00:00:46"},
        {"DateNaissance", Valeur::date(-400), true, "1898"},
        {"DateNaissance", Valeur::date(1), false, "31/12/1899"},
        {"DateNaissance", Valeur(), false, "Null"},
        // Stored by other programs as text or as a number.
        {"DateNaissance", t("1899-12-30"), true, "texte du 30/12/1899"},
        {"DateNaissance", t("1980-05-02"), false, "texte d'un jour"},
        {"DateNaissance", Valeur::entier(0), true, "nombre 0"},
        {"DateNaissance", t("inconnue"), false, "rien d'une date"},

        {"Ville", t(""), true, "vide"},
        {"Ville", t("paris"), false, "casse ignorée"},
        {"Ville", t("L'HAY LES ROSES"), false, "apostrophe"},
        {"Ville", t("PARIS "), true, "blanc final"},
        {"Ville", t("LYON"), true, "absente du référentiel"},
        {"Ville", Valeur(), true, "Null comme vide"},
        {"Code Postal", t("75001"), false, "présent"},
        {"Code Postal", t("7500"), true, "préfixe d'un code"},
        {"Code Postal", t(""), true, "vide"},
        {"Code Postal", t("75'01"), true, "apostrophe"},
    };
    for (const Cas& c : cas) {
        const QString colonne = QString::fromUtf8(c.colonne);
        const clients::Evaluation e = juger({{colonne, c.valeur}});
        const Drapeau d = drapeauDe(colonne);
        ASSERT_GE(d, 0) << c.colonne;
        EXPECT_EQ(e.drapeaux[d], c.erreur) << c.colonne << " : " << c.pourquoi;
        // No other column is touched by this value.
        for (int autre = 0; autre < clients::kNbDrapeaux; ++autre) {
            if (autre != d) {
                EXPECT_FALSE(e.drapeaux[autre]) << c.colonne << " : " << c.pourquoi << " lève "
                                                << clients::nomsDrapeaux()[autre].toStdString();
            }
        }
        EXPECT_EQ(e.enErreur(), c.erreur) << c.colonne << " : " << c.pourquoi;
    }
}

TEST_F(Regles, ClientSansRienQuUneVilleEtUnCodeEstSain) {
    const clients::Evaluation e = juger({});
    EXPECT_FALSE(e.enErreur());
    EXPECT_EQ(e.marques(), QStringList(13, QString()));
    EXPECT_EQ(e.NomClient, QStringLiteral(" "));
}

TEST_F(Regles, NomCodeEtMarquesDansLOrdre) {
    const clients::Evaluation e = juger({{QStringLiteral("Code"), QStringLiteral("A12")},
                                         {QStringLiteral("Nom"), QStringLiteral("DUPONT")},
                                         {QStringLiteral("Prénom"), QStringLiteral("Marie")},
                                         {QStringLiteral("Ville"), QStringLiteral("LYON")},
                                         {QStringLiteral("Tel2"), QStringLiteral("12")},
                                         {QStringLiteral("DateNaissance"), Valeur::date(0)}});
    EXPECT_EQ(e.CodeClient, QStringLiteral("A12"));
    EXPECT_EQ(e.NomClient, QStringLiteral("DUPONT Marie"));
    QStringList attendu(13, QString());
    attendu[clients::ErrVille] = attendu[clients::ErrTel2] = attendu[clients::ErrDateNaissance] =
        QStringLiteral("x");
    EXPECT_EQ(e.marques(), attendu);
    EXPECT_EQ(clients::nomsDrapeaux().first(), QStringLiteral("ErrNom"));
    EXPECT_EQ(clients::nomsDrapeaux().last(), QStringLiteral("ErrDateNaissance"));
}

TEST_F(Regles, UnCodeNumeriqueSeLitCommeTexte) {
    const clients::Evaluation e = juger({{QStringLiteral("Code"), Valeur::entier(1234)},
                                         {QStringLiteral("Prénom"), QStringLiteral("Luc")}});
    EXPECT_EQ(e.CodeClient, QStringLiteral("1234"));
    EXPECT_EQ(e.NomClient, QStringLiteral(" Luc"));
}

TEST(ErrExpression, LeMotifDAdresseEstCeluiDesRegles) {
    // The address pattern is written without the nested repetition of the
    // rules' text; both must accept exactly the same texts. Compared on many
    // short texts made of the characters that matter.
    const std::wregex original(
        LR"(^([0-9a-zA-Z]([-\.\w]*[0-9a-zA-Z])*@([0-9a-zA-Z][-\w]*[0-9a-zA-Z]\.)+[a-zA-Z]{2,9})$)",
        std::regex_constants::ECMAScript | std::regex_constants::icase);
    QRandomGenerator hasard(20240611);
    // Pieces mostly of letters, with the characters that matter.
    auto morceau = [&hasard](int min, int max) {
        static const QString signes = QStringLiteral("Z9-._é @");
        QString m;
        const int n = min + hasard.bounded(max - min + 1);
        for (int k = 0; k < n; ++k) {
            m += hasard.bounded(10) < 7 ? QChar(u'a' + hasard.bounded(3))
                                        : signes[hasard.bounded(signes.size())];
        }
        return m;
    };
    int acceptes = 0;
    for (int i = 0; i < 40000; ++i) {
        QString s = hasard.bounded(2) == 0
                        ? morceau(1, 14)
                        : morceau(1, 5) + u'@' + morceau(1, 4) + u'.' + morceau(0, 3) +
                              (hasard.bounded(2) ? u'.' + morceau(1, 10) : QString());
        const bool attendu = std::regex_search(s.toStdWString(), original);
        acceptes += attendu;
        EXPECT_EQ(clients::ErrExpression(QStringLiteral("Email"), Valeur::texte(s),
                                         clients::motifs::kEmail, 100),
                  !attendu && !s.isEmpty())
            << s.toStdString();
    }
    EXPECT_GT(acceptes, 500);
}

TEST(Nombres, LectureEtRenduDeuxChiffres) {
    const std::pair<const char*, const char*> cas[] = {
        {"5", "05"},    {"12", "12"},     {" 7 ", "07"},  {"0", "00"},      {"5,5", "06"},
        {"4.4", "04"},  {"-3", "-03"},    {"123", "123"}, {"+8", "08"},     {"2,", "02"},
        {",5", "01"},   {"abc", nullptr}, {"", nullptr},  {"1:2", nullptr}, {"1 2", nullptr},
        {"-", nullptr}, {"1e2", nullptr}};
    for (const auto& [texte, rendu] : cas) {
        const auto n = clients::lireNombre(QString::fromLatin1(texte));
        EXPECT_EQ(n.has_value(), rendu != nullptr) << texte;
        if (n && rendu) {
            EXPECT_EQ(clients::formatDeuxChiffres(*n), QString::fromLatin1(rendu)) << texte;
        }
    }
}

TEST(Juge, ColonneManquante) {
    test::Dossier d;
    store::Connexion cn = store::Connexion::creer(d.chemin(QStringLiteral("BdClient.mdb")));
    cn.executerSqlite(QStringLiteral("CREATE TABLE FCLI (Code TEXT, Nom TEXT, \"Prénom\" TEXT)"));
    d.creerCommunes({});
    commun::Communes c;
    c.OuvreCommunes(d.chemin());
    store::Recordset rs;
    rs.Open(QStringLiteral("FCLI"), cn);
    try {
        clients::Juge juge(rs, c);
        FAIL() << "une colonne manquante doit être signalée";
    } catch (const store::ErreurStore& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("« Adresse »")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("FCLI")));
    }
}

}  // namespace
