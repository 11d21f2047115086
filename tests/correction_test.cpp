#include <gtest/gtest.h>

#include <QFile>

#include "clients/Correction.h"
#include "store/Erreur.h"
#include "support/Salon.h"

namespace {

const char* const kCodes[] = {"A12", "a12", "0123", "O'BRIEN", "12", "É1"};

class Correction : public test::Salon {
protected:
    void SetUp() override {
        Salon::SetUp();
        d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")},
                         {QStringLiteral("69001"), QStringLiteral("LYON")}});
        for (const char* code : kCodes) {
            client({{QStringLiteral("Code"), QString::fromUtf8(code)},
                    {QStringLiteral("Nom"), QStringLiteral("NOM ") + QString::fromUtf8(code)},
                    {QStringLiteral("Ville"), QStringLiteral("PARIS")},
                    {QStringLiteral("Code Postal"), QStringLiteral("75001")},
                    {QStringLiteral("Tel1"), QStringLiteral("123")},
                    {QStringLiteral("Cat, Age"), QStringLiteral("11")}});
        }
    }
    // Every client, one line each.
    QStringList table() { return test::lignes(cn, QStringLiteral("SELECT * FROM FCLI")); }
};

// Whatever its first character, a code finds its own client and no other.
TEST_F(Correction, ChaqueCodeRetrouveSonClient) {
    for (const char* code : kCodes) {
        const auto fiche = clients::chargerClient(vars, QString::fromUtf8(code));
        ASSERT_TRUE(fiche.has_value()) << code;
        EXPECT_EQ(fiche->texte(QStringLiteral("Nom")),
                  QStringLiteral("NOM ") + QString::fromUtf8(code));
        EXPECT_TRUE(fiche->nuls.value(QStringLiteral("Prénom")));
        EXPECT_FALSE(fiche->nuls.value(QStringLiteral("Nom")));
    }
    EXPECT_EQ(vars.NbCli, 6);
    // "123" is not "0123", nor "012" a prefix of it.
    EXPECT_FALSE(clients::chargerClient(vars, QStringLiteral("123")).has_value());
    EXPECT_FALSE(clients::chargerClient(vars, QStringLiteral("012")).has_value());
}

// A save changes its column only (the postal code carries its town), then the
// client is judged again.
TEST_F(Correction, UnEnregistrementNeChangeQueSaColonne) {
    QStringList attendu = table();
    auto e = clients::enregistrerChamp(vars, QStringLiteral("a12"),
                                       {QStringLiteral("Tel1"), QStringLiteral("0612345678"), {}});
    ASSERT_TRUE(e.has_value());
    attendu[1].replace(QStringLiteral("|123|"), QStringLiteral("|0612345678|"));
    EXPECT_EQ(table(), attendu);
    EXPECT_FALSE(e->evaluation.drapeaux[clients::ErrTel1]);
    EXPECT_TRUE(e->evaluation.drapeaux[clients::ErrCatAge]);
    EXPECT_EQ(e->evaluation.CodeClient, QStringLiteral("a12"));
    EXPECT_TRUE(vars.cnCommunes.ouverte());
    EXPECT_EQ(e->nbClients, 6);
    e = clients::enregistrerChamp(vars, QStringLiteral("a12"),
                                  {QStringLiteral("Cat, Age"), QStringLiteral("05"), {}});
    ASSERT_TRUE(e.has_value());
    EXPECT_FALSE(e->evaluation.enErreur());

    attendu = table();
    e = clients::enregistrerChamp(
        vars, QStringLiteral("O'BRIEN"),
        {QStringLiteral("Code Postal"), QStringLiteral("69001"), QStringLiteral("LYON")});
    ASSERT_TRUE(e.has_value());
    attendu[3].replace(QStringLiteral("|PARIS|75001|"), QStringLiteral("|LYON|69001|"));
    EXPECT_EQ(table(), attendu);
    EXPECT_FALSE(e->evaluation.drapeaux[clients::ErrVille] ||
                 e->evaluation.drapeaux[clients::ErrCP]);
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
