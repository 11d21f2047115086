#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QTimer>
#include <deque>
#include <functional>

#include "app/ChoixDossier.h"
#include "support/Dossier.h"
#include "support/FauxMessages.h"

namespace {

// Answers each folder dialog in turn: a folder to choose, or cancel when empty.
// Records the folder each dialog offered.
class Reponses {
public:
    explicit Reponses(std::deque<QString> choix) : m_choix(std::move(choix)) {
        QObject::connect(&m_minuteur, &QTimer::timeout, [this] { repondre(); });
        m_minuteur.start(0);
    }
    QStringList offerts;

private:
    void repondre() {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d || d->property("repondu").toBool()) {
            return;
        }
        d->setProperty("repondu", true);
        offerts << QDir(d->directory()).absolutePath();
        const QString choix = m_choix.empty() ? QString() : m_choix.front();
        if (!m_choix.empty()) {
            m_choix.pop_front();
        }
        if (choix.isEmpty()) {
            d->reject();
        } else {
            d->setDirectory(choix);
            static_cast<QDialog*>(d)->accept();
        }
    }
    std::deque<QString> m_choix;
    QTimer m_minuteur;
};

class ChoixDossier : public ::testing::Test {
protected:
    void SetUp() override {
        salon.creerBase();
        salon.copierCommunes();
        vide.ecrire(QStringLiteral("notes.txt"), "x");
        sansCommunes.creerBase();
        reference.copierCommunes();
    }
    QStringList fichiers(const test::Dossier& d) const {
        return QDir(d.chemin()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    std::optional<QString> choisir(std::deque<QString> choix) {
        reponses = std::make_unique<Reponses>(std::move(choix));
        return app::choisirDossierSalon(messages, reglages, reference.chemin("communes.mdb"));
    }
    test::Dossier salon, vide, sansCommunes, reference, config;
    QSettings reglages{config.chemin("verifclients.ini"), QSettings::IniFormat};
    test::FauxMessages messages;
    std::unique_ptr<Reponses> reponses;
};

TEST_F(ChoixDossier, LeDernierDossierChoisiEstProposeLaFoisSuivante) {
    EXPECT_EQ(choisir({salon.chemin()}), salon.chemin());
    EXPECT_TRUE(messages.textes().isEmpty());
    EXPECT_EQ(reglages.value(app::kCleDossier).toString(), salon.chemin());

    EXPECT_EQ(choisir({salon.chemin()}), salon.chemin());
    EXPECT_EQ(reponses->offerts, QStringList{salon.chemin()});
}

TEST_F(ChoixDossier, UnDossierSansBaseEstRefuseEtLeDialogueRevient) {
    EXPECT_EQ(choisir({vide.chemin(), salon.chemin()}), salon.chemin());
    EXPECT_EQ(messages.textes(),
              QStringList{QStringLiteral("La base de données « BdClient.mdb » est introuvable "
                                         "dans le dossier « %1 ».")
                              .arg(vide.chemin())});
    // Offered again where the user was.
    EXPECT_EQ(reponses->offerts.value(1), vide.chemin());
    EXPECT_EQ(fichiers(vide), QStringList{QStringLiteral("notes.txt")});
}

TEST_F(ChoixDossier, AbandonnerNeToucheARien) {
    reglages.setValue(app::kCleDossier, salon.chemin());
    EXPECT_EQ(choisir({vide.chemin(), QString()}), std::nullopt);
    EXPECT_EQ(choisir({QString()}), std::nullopt);
    EXPECT_EQ(fichiers(vide), QStringList{QStringLiteral("notes.txt")});
    EXPECT_EQ(reglages.value(app::kCleDossier).toString(), salon.chemin());
}

TEST_F(ChoixDossier, LaReferenceInstalleeEstCopieeApresLAvoirDit) {
    EXPECT_EQ(choisir({sansCommunes.chemin()}), sansCommunes.chemin());
    ASSERT_EQ(messages.textes().size(), 1);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("une copie")));
    EXPECT_EQ(sansCommunes.lire(QStringLiteral("communes.mdb")),
              reference.lire(QStringLiteral("communes.mdb")));
}

}  // namespace
