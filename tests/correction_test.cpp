#include <gtest/gtest.h>
#include <QFile>

#include "clients/Correction.h"
#include "commun/Variables.h"
#include "store/Erreur.h"
#include "store/Recordset.h"
#include "support/Dossier.h"

using store::Valeur;

namespace {

class Correction : public ::testing::Test {
protected:
    void SetUp() override {
        cn = d.creerBase();
        d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")},
                         {QStringLiteral("69001"), QStringLiteral("LYON")}});
        vars.dossier = d.chemin();
        for (const char* code : {"A12", "a12", "0123", "O'BRIEN", "12"}) {
            test::inserer(
                cn, QStringLiteral("FCLI"),
                {{QStringLiteral("Code"), QString::fromUtf8(code)},
                 {QStringLiteral("Nom"), QStringLiteral("NOM ") + QString::fromUtf8(code)},
                 {QStringLiteral("Ville"), QStringLiteral("PARIS")},
                 {QStringLiteral("Code Postal"), QStringLiteral("75001")},
                 {QStringLiteral("Tel1"), QStringLiteral("123")},
                 {QStringLiteral("Cat, Age"), QStringLiteral("11")}});
        }
    }

    // Every column of a client, as text with Null told apart (codes compared
    // with their letter case).
    QStringList ligne(const QString& code) {
        store::Recordset rs;
        rs.Open(QStringLiteral("select * from FCLI where Code = '%1' COLLATE BINARY")
                    .arg(store::doublerApostrophes(code)),
                cn);
        QStringList t;
        for (int i = 0; !rs.Eof() && i < rs.NbChamps(); ++i) {
            const Valeur v = rs.Champ(i);
            t << (v.estNull() ? QStringLiteral("<Null>") : v.texte());
        }
        return t;
    }

    test::Dossier d;
    store::Connexion cn;
    commun::Variables vars;
};

TEST_F(Correction, CritereSelonLaPremiereLettre) {
    EXPECT_EQ(clients::critereClient(QStringLiteral("A12")), QStringLiteral("Code = 'A12'"));
    EXPECT_EQ(clients::critereClient(QStringLiteral("a12")), QStringLiteral("Code = a12"));
    EXPECT_EQ(clients::critereClient(QStringLiteral("0123")), QStringLiteral("Code = 0123"));
    EXPECT_EQ(clients::critereClient(QStringLiteral("É1")), QStringLiteral("Code = É1"));
    EXPECT_EQ(clients::critereClient(QStringLiteral("O'BRIEN")),
              QStringLiteral("Code = 'O''BRIEN'"));
}

TEST_F(Correction, ChaqueCodeRetrouveSonClient) {
    for (const char* code : {"A12", "a12", "0123", "O'BRIEN", "12"}) {
        const auto fiche = clients::chargerClient(vars, QString::fromUtf8(code));
        ASSERT_TRUE(fiche.has_value()) << code;
        EXPECT_EQ(fiche->texte(QStringLiteral("Nom")),
                  QStringLiteral("NOM ") + QString::fromUtf8(code));
        EXPECT_TRUE(fiche->nuls.value(QStringLiteral("Prénom")));
        EXPECT_FALSE(fiche->nuls.value(QStringLiteral("Nom")));
        EXPECT_EQ(fiche->texte(QStringLiteral("Prénom")), QString());
    }
    EXPECT_EQ(vars.NbCli, 5);
    // "123" is not "0123", nor "012" a prefix of it.
    EXPECT_FALSE(clients::chargerClient(vars, QStringLiteral("123")).has_value());
    EXPECT_FALSE(clients::chargerClient(vars, QStringLiteral("012")).has_value());
}

TEST_F(Correction, UnEnregistrementNeChangeQueSaColonne) {
    const QStringList avant = ligne(QStringLiteral("a12"));
    const auto e = clients::enregistrerChamp(
        vars, QStringLiteral("a12"), {QStringLiteral("Tel1"), QStringLiteral("0612345678"), {}});
    ASSERT_TRUE(e.has_value());
    QStringList attendu = avant;
    attendu[11] = QStringLiteral("0612345678");
    EXPECT_EQ(ligne(QStringLiteral("a12")), attendu);
    // The other clients are as they were.
    EXPECT_EQ(ligne(QStringLiteral("A12"))[11], QStringLiteral("123"));
    // The re-check: the telephone passes now, the age category still fails.
    EXPECT_FALSE(e->evaluation.drapeaux[clients::ErrTel1]);
    EXPECT_TRUE(e->evaluation.drapeaux[clients::ErrCatAge]);
    EXPECT_TRUE(e->evaluation.enErreur());
    EXPECT_EQ(e->evaluation.CodeClient, QStringLiteral("a12"));
    EXPECT_TRUE(vars.cnCommunes.ouverte());
    EXPECT_EQ(e->nbClients, 5);

    const auto fin = clients::enregistrerChamp(
        vars, QStringLiteral("a12"), {QStringLiteral("Cat, Age"), QStringLiteral("05"), {}});
    ASSERT_TRUE(fin.has_value());
    EXPECT_FALSE(fin->evaluation.enErreur());
}

TEST_F(Correction, LeCodePostalEmporteLaVille) {
    const QStringList avant = ligne(QStringLiteral("O'BRIEN"));
    const auto e = clients::enregistrerChamp(
        vars, QStringLiteral("O'BRIEN"),
        {QStringLiteral("Code Postal"), QStringLiteral("69001"), QStringLiteral("LYON")});
    ASSERT_TRUE(e.has_value());
    QStringList attendu = avant;
    attendu[6] = QStringLiteral("LYON");
    attendu[7] = QStringLiteral("69001");
    EXPECT_EQ(ligne(QStringLiteral("O'BRIEN")), attendu);
    EXPECT_FALSE(e->evaluation.drapeaux[clients::ErrVille]);
    EXPECT_FALSE(e->evaluation.drapeaux[clients::ErrCP]);
}

TEST_F(Correction, ClientDisparuOuBaseAbsente) {
    EXPECT_FALSE(clients::enregistrerChamp(vars, QStringLiteral("ZZ"),
                                           {QStringLiteral("Tel1"), QStringLiteral("1"), {}})
                     .has_value());
    cn.Close();
    QFile::remove(d.chemin(QStringLiteral("BdClient.mdb")));
    EXPECT_THROW(clients::chargerClient(vars, QStringLiteral("A12")), store::ErreurStore);
    EXPECT_THROW(clients::enregistrerChamp(vars, QStringLiteral("A12"),
                                           {QStringLiteral("Tel1"), QStringLiteral("1"), {}}),
                 store::ErreurStore);
}

TEST(Legendes, LongueurEtDeuxChiffres) {
    EXPECT_EQ(clients::legendeLongueur(QStringLiteral("Nom"), QStringLiteral("DUPONT")),
              QStringLiteral("Nom     { 6 }"));
    EXPECT_EQ(clients::legendeLongueur(QStringLiteral("Prénom"), std::nullopt),
              QStringLiteral("Prénom     {  }"));
    EXPECT_EQ(clients::legendeLongueur(QStringLiteral("Tel1"), QString()),
              QStringLiteral("Tel1     { 0 }"));
    EXPECT_EQ(clients::renduDeuxChiffres(QStringLiteral("5")), QStringLiteral("05"));
    EXPECT_EQ(clients::renduDeuxChiffres(QStringLiteral("11")), QStringLiteral("11"));
    EXPECT_EQ(clients::renduDeuxChiffres(QString()), QString());
    EXPECT_FALSE(clients::renduDeuxChiffres(QStringLiteral("1:")).has_value());
}

}  // namespace
