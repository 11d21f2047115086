#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

#include "support/Fenetres.h"

namespace {

class Onglet : public test::Fenetre {
protected:
    void SetUp() override {
        Fenetre::SetUp();
        d.copierCommunes();
    }
    // Five clients, B2 and 44 in error; three notes, two of them long.
    void cinqClients() {
        cn.executerSqlite(QStringLiteral(
            "INSERT INTO FCLI (Code, Nom, \"Prénom\", Adresse, Ville, \"Code Postal\", \"Cat, "
            "Age\", Email, Tel1) VALUES "
            "('A1', 'DURAND', 'Anne', NULL, 'LYON', '69001', NULL, NULL, NULL),"
            "('B2', 'MARTIN', 'Léa', '3 rue des Lilas', 'LYON', '69001', '11', 'lea@@x.fr', NULL),"
            "('3', 'PETIT', 'Anne', NULL, 'LYON', '69001', NULL, NULL, NULL),"
            "('44', 'ROUX', NULL, NULL, 'NULLE PART', '69001', NULL, NULL, '0612'),"
            "('c5', 'BLANC', 'Anne', NULL, 'LYON', '69001', NULL, NULL, NULL)"));
        d.ecrire(QStringLiteral("CliA1.RTF"), test::noteRtf(QByteArray(500, 'a') + 'z'));
        d.ecrire(QStringLiteral("Cli3.RTF"), test::noteRtf(QByteArray(500, 'a')));
        d.ecrire(QStringLiteral("cli44.rtf"), test::noteRtf(QByteArray(619, 'a') + 'z'));
    }
    void analyser() {
        if (!form) {
            ouvrir();
        }
        cliquer("btnAnalyseBd");
    }
    QString legende() { return w<QLabel>("lblListeCliErr")->text(); }
};

// Back and text colours of a box in one state (open, closed).
std::pair<QColor, QColor> couleurs(const QWidget* zone, QPalette::ColorGroup etat) {
    return {zone->palette().color(etat, QPalette::Base),
            zone->palette().color(etat, QPalette::Text)};
}

TEST_F(Onglet, AnalyseAvecErreurs) {
    cinqClients();
    ouvrir();
    const auto ferme = couleurs(w<QLineEdit>("TxtVille"), QPalette::Disabled);
    // The window while the closing message shows: the run's progress, and
    // nothing to click.
    QString progression;
    bool actif = true;
    messages.pendant = [&] {
        progression = w<QLabel>("lblNbCli")->text();
        actif = form->isEnabled() || w<QPushButton>("btnAnalyseBd")->isEnabled();
    };
    analyser();
    EXPECT_EQ(messages.textes(), QStringList{QStringLiteral("Analyse terminée.")});
    EXPECT_EQ(progression, QStringLiteral("5 / 5"));
    EXPECT_FALSE(actif);
    EXPECT_TRUE(form->isEnabled() && w<QPushButton>("btnAnalyseBd")->isEnabled());
    EXPECT_TRUE(w<QLabel>("lblAttente")->isHidden() && w<QProgressBar>("Barre")->isHidden());
    EXPECT_EQ(legende(), QStringLiteral("Liste des clients avec erreur (2 / 5)"));
    EXPECT_TRUE(d.existe(QStringLiteral("BdClient.sav")));

    QStringList b2(13, QString()), c44(13, QString());
    b2[6] = b2[11] = c44[4] = c44[8] = QStringLiteral("x");
    EXPECT_EQ(test::lignes(w<QTreeWidget>("ListCli"), 15),
              (QStringList{QStringLiteral("B2|MARTIN Léa|") + b2.join(u'|'),
                           QStringLiteral("44|ROUX |") + c44.join(u'|')}));
    EXPECT_TRUE(w<QTreeWidget>("ListCli")->topLevelItem(0)->isSelected());
    EXPECT_TRUE(w<QPushButton>("btnDoublons")->isEnabled());

    // The first listed client is in the panel (its values: the panel's tests).
    // A field in error is white on
    // red, closed or open; a correct one black on white when open, and
    // closed it looks as closed boxes did before.
    EXPECT_TRUE(w<QGroupBox>("Frame1")->isEnabled());
    const std::pair<QColor, QColor> rouge{QColor(255, 0, 0), QColor(255, 255, 255)};
    EXPECT_EQ(couleurs(w<QLineEdit>("txtCatAge"), QPalette::Disabled), rouge);
    EXPECT_EQ(couleurs(w<QLineEdit>("txtCatAge"), QPalette::Active), rouge);
    EXPECT_EQ(couleurs(w<QLineEdit>("TxtVille"), QPalette::Active),
              std::pair(QColor(255, 255, 255), QColor(0, 0, 0)));
    EXPECT_EQ(couleurs(w<QLineEdit>("TxtVille"), QPalette::Disabled), ferme);
    EXPECT_NE(ferme, couleurs(w<QLineEdit>("TxtVille"), QPalette::Active));

    // The long notes, the last one shown.
    EXPECT_EQ(test::lignes(w<QTreeWidget>("ListBN"), 2),
              (QStringList{QStringLiteral("A1|DURAND Anne"), QStringLiteral("44|ROUX ")}));
    EXPECT_EQ(w<QLabel>("lblNbRTFbad")->text(), QStringLiteral("2 / 3"));
    EXPECT_EQ(w<QLabel>("lbltxtBN1")->text(), QString(500, u'a'));
    EXPECT_EQ(w<QLabel>("lbltxtBN2")->text(), QString(119, u'a') + u'z');

    // A second run starts afresh.
    cn.executerSqlite(
        QStringLiteral("UPDATE FCLI SET \"Cat, Age\" = '10', Email = NULL WHERE Code = 'B2'"));
    messages.vider();
    analyser();
    EXPECT_EQ(messages.textes(), QStringList{QStringLiteral("Analyse terminée.")});
    EXPECT_EQ(test::lignes(w<QTreeWidget>("ListCli")), QStringList{QStringLiteral("44")});
    EXPECT_EQ(legende(), QStringLiteral("Liste des clients avec erreur (1 / 5)"));
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("ROUX"));
}

TEST_F(Onglet, AnalyseSansErreur) {
    cn.executerSqlite(
        QStringLiteral("INSERT INTO FCLI (Code, Ville, \"Code Postal\") VALUES ('A1', "
                       "'LYON', '69001'), ('A2', 'LYON', '69001')"));
    ouvrir();
    w<QLabel>("lblNbRTFbad")->setText(QStringLiteral("avant"));
    analyser();
    EXPECT_EQ(messages.textes(),
              (QStringList{QStringLiteral("Analyse terminée."),
                           QStringLiteral("Votre fichier clients ne comporte pas d'erreur.")}));
    EXPECT_EQ(legende(), QStringLiteral("Liste des clients avec erreur (0 / 2)"));
    EXPECT_EQ(w<QTreeWidget>("ListCli")->topLevelItemCount(), 0);
    EXPECT_FALSE(w<QLabel>("lblcache")->isHidden());
    EXPECT_FALSE(w<QGroupBox>("Frame1")->isEnabled());
    // No long note: the caption of before stays.
    EXPECT_EQ(w<QLabel>("lblNbRTFbad")->text(), QStringLiteral("avant"));
}

// A run that lacks the towns reference stops before any change and leaves the
// database free; then a note that cannot be read is named, the run going on.
TEST_F(Onglet, EchecAvantToutChangementPuisNoteIllisibleDite) {
    cn.executerSqlite(
        QStringLiteral("INSERT INTO FCLI (Code, Nom, Ville, \"Code Postal\") VALUES "
                       "('00', ' ', 'LYON', '69001')"));
    cinqClients();
    QFile::remove(d.chemin(QStringLiteral("Cli3.RTF")));
    ASSERT_TRUE(QFile::link(d.chemin(QStringLiteral("ailleurs.rtf")),
                            d.chemin(QStringLiteral("Cli3.RTF"))));
    const QString communes = d.chemin(QStringLiteral("communes.mdb"));
    ASSERT_TRUE(QFile::rename(communes, communes + QStringLiteral(".loin")));
    analyser();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("communes.mdb")));
    EXPECT_TRUE(form->isEnabled() && w<QPushButton>("btnAnalyseBd")->isEnabled());
    cn.executerSqlite(QStringLiteral("BEGIN EXCLUSIVE; COMMIT;"));
    EXPECT_EQ(valeur(QStringLiteral("00"), QStringLiteral("Nom")), QStringLiteral(" "));
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.sav")));

    ASSERT_TRUE(QFile::rename(communes + QStringLiteral(".loin"), communes));
    messages.vider();
    analyser();
    EXPECT_EQ(messages.textes(),
              (QStringList{QStringLiteral("Analyse terminée."),
                           QStringLiteral("Note illisible : « Cli3.RTF » (client 3, PETIT Anne) : "
                                          "lien vers un fichier introuvable.")}));
    EXPECT_EQ(w<QTreeWidget>("ListCli")->topLevelItemCount(), 2);
}

TEST_F(Onglet, PasDeFermetureEnPleineAnalyse) {
    cinqClients();
    ouvrir();
    // A close request that arrives while the run lets events through.
    QTimer::singleShot(0, form.get(), [this] { form->close(); });
    analyser();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(vars.cnCommunes.ouverte());
    EXPECT_EQ(messages.textes(), QStringList{QStringLiteral("Analyse terminée.")});
    // Afterwards the window closes as usual.
    EXPECT_TRUE(form->close());
}

}  // namespace
