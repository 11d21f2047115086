#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>

#include "access/Conversion.h"
#include "access/DialogueConversion.h"
#include "store/Connexion.h"
#include "support/Dossier.h"
#include "support/FauxMessages.h"
#include "support/Fenetres.h"
#include "support/Jet.h"

using test::FauxMessages;

namespace {

const QString kBd = QStringLiteral("BdClient.mdb");
// The dialogs keep guillemets with their words: the blanks inside « » below
// are non-breaking spaces.

class Demarrage : public ::testing::Test {
protected:
    test::Dossier d;
    FauxMessages messages;
};

TEST_F(Demarrage, SansBaseAccessRienNeSeMontre) {
    d.creerBase();
    EXPECT_EQ(acces::convertirAuDemarrage(d.chemin(), messages), acces::Suite::Continuer);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Demarrage, QuestionPuisConversion) {
    test::placer(d, QStringLiteral("synthetic_salon_jet4.mdb"), kBd);
    messages.repondre(true);
    EXPECT_EQ(acces::convertirAuDemarrage(d.chemin(), messages), acces::Suite::Continuer);
    ASSERT_EQ(messages.messages().size(), 2u);
    const auto& question = messages.messages()[0];
    for (const char* morceau : {"« BdClient.mdb » est une base Microsoft Access (Jet 4)",
                                "copie convertie", "« BdClient.access.mdb »", "Non quitte"}) {
        EXPECT_TRUE(question.texte.contains(QString::fromUtf8(morceau)))
            << morceau << "\n"
            << question.texte.toStdString();
    }
    const auto& fin = messages.messages()[1];
    EXPECT_TRUE(fin.texte.contains(QStringLiteral("4 table(s), 189 ligne(s)")))
        << fin.texte.toStdString();
    EXPECT_FALSE(store::estFichierAccess(d.chemin(kBd)));
    EXPECT_TRUE(store::estFichierAccess(d.chemin(QStringLiteral("BdClient.access.mdb"))));
}

TEST_F(Demarrage, NonQuitteSansRienToucher) {
    test::placer(d, QStringLiteral("synthetic_salon_jet4.mdb"), kBd);
    const auto avant = test::etatDossier(d.chemin());
    messages.repondre(false);
    EXPECT_EQ(acces::convertirAuDemarrage(d.chemin(), messages), acces::Suite::Abandon);
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(test::etatDossier(d.chemin()), avant);
}

TEST_F(Demarrage, FichierVerrouSignaleDAbord) {
    test::placer(d, QStringLiteral("synthetic_salon_jet4.mdb"), kBd);
    d.ecrire(QStringLiteral("bdclient.LDB"), "");
    messages.repondre(false);
    acces::convertirAuDemarrage(d.chemin(), messages);
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_TRUE(messages.messages()[0].texte.contains(QStringLiteral("« bdclient.LDB »")));
    EXPECT_TRUE(messages.messages()[0].texte.contains(QStringLiteral("semble ouvert")));
    EXPECT_EQ(messages.messages()[1].genre, FauxMessages::Message::Genre::Question);
}

TEST_F(Demarrage, DeuxBasesUneQuestion) {
    test::placer(d, QStringLiteral("synthetic_salon_jet4.mdb"), kBd);
    test::placer(d, QStringLiteral("delTestV2000.mdb"), QStringLiteral("communes.mdb"));
    messages.repondre(true);
    EXPECT_EQ(acces::convertirAuDemarrage(d.chemin(), messages), acces::Suite::Continuer);
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_TRUE(messages.messages()[0].texte.contains(
        QStringLiteral("« BdClient.access.mdb » et « communes.access.mdb »")))
        << messages.messages()[0].texte.toStdString();
    EXPECT_TRUE(
        messages.messages()[1].texte.contains(QStringLiteral("« communes.mdb » : 1 table(s)")))
        << messages.messages()[1].texte.toStdString();
    EXPECT_TRUE(acces::fichiersAccess(d.chemin()).empty());
}

TEST_F(Demarrage, EchecSignaleEtDossierIntact) {
    QFile source(test::fichierJet(QStringLiteral("synthetic_salon_jet4.mdb")));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    d.ecrire(kBd, source.read(4096));
    const auto avant = test::etatDossier(d.chemin());
    messages.repondre(true);
    EXPECT_EQ(acces::convertirAuDemarrage(d.chemin(), messages), acces::Suite::Echec);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("« Compacter et réparer »")));
    EXPECT_EQ(test::etatDossier(d.chemin()), avant);
}

TEST_F(Demarrage, ProgressionTableParTable) {
    test::placer(d, QStringLiteral("synthetic_salon_jet4.mdb"), kBd);
    const acces::FichierAccess fichier = acces::decrire(d.chemin(kBd));
    acces::DialogueConversion dialogue(fichier);
    dialogue.show();
    EXPECT_TRUE(test::enfant<QLabel>(&dialogue, "lblFichier")->text().contains(kBd));
    acces::convertir(fichier, {}, dialogue);
    auto* tables = test::enfant<QTableWidget>(&dialogue, "tblTables");
    ASSERT_EQ(tables->rowCount(), 4);
    QStringList lignes;
    for (int i = 0; i < tables->rowCount(); ++i) {
        lignes << tables->item(i, 0)->text() + u' ' + tables->item(i, 1)->text();
    }
    EXPECT_EQ(lignes.join(u'|'),
              QStringLiteral("FCLI 32 / 32|FTEC 63 / 63|FCONS 90 / 90|Types variés 4 / 4"));
    EXPECT_EQ(test::enfant<QProgressBar>(&dialogue, "barreProgression")->value(), 1000);
    // Not closed while the conversion runs, closed once it is over.
    dialogue.close();
    EXPECT_TRUE(dialogue.isVisible());
    dialogue.terminer();
    dialogue.close();
    EXPECT_FALSE(dialogue.isVisible());
}

}  // namespace
