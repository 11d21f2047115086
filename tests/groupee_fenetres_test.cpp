#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "clients/FenetreGroupee.h"
#include "clients/OngletClients.h"
#include "clients/PanneauClient.h"
#include "support/Fenetres.h"

using test::enfant;

namespace {

// Four clients over the real towns reference: A1 and A2 in ST ETIENNE, A2's
// telephone 06 12.34.56.78, B1 in MARSIELLE, Z1 sound; analysed in the window.
class CorrectionGroupee : public test::Fenetre {
protected:
    void SetUp() override {
        Fenetre::SetUp();
        d.copierCommunes();
        cn.executerSqlite(QStringLiteral(
            "INSERT INTO FCLI (Code, Nom, Ville, \"Code Postal\", Tel1) VALUES "
            "('A1', 'NOM A1', 'ST ETIENNE', '42000', ''), ('A2', 'NOM A2', 'ST ETIENNE', '42000', "
            "'06 12.34.56.78'), ('B1', 'NOM B1', 'MARSIELLE', '13001', ''), ('Z1', 'NOM Z1', "
            "'PARIS', '75001', '')"));
        ouvrir();
    }
    void analyser() {
        cliquer("btnAnalyseBd");
        ASSERT_EQ(messages.textes(), QStringList{QStringLiteral("Analyse terminée.")});
        messages.vider();
    }
    // Opens the grouped correction, acts in it while it shows, then closes it.
    void dansFenetre(const std::function<void(clients::FenetreGroupee&)>& action) {
        EXPECT_TRUE(test::dansDialogue<clients::FenetreGroupee>(
            [this] { cliquer("btnCorrectionGroupee"); }, action));
    }
    static void cliquerDans(QWidget& f, const char* bouton) {
        QTest::mouseClick(enfant<QPushButton>(&f, bouton), Qt::LeftButton);
    }
    // ListCli rows: code, then the marks of the town and the first telephone.
    QStringList listeClients() {
        QStringList l;
        for (const QString& ligne : test::lignes(w<QTreeWidget>("ListCli"), 11)) {
            const QStringList c = ligne.split(u'|');
            l << c[0] + u' ' + (c[6].isEmpty() ? QStringLiteral("-") : c[6]) +
                     (c[10].isEmpty() ? QStringLiteral("-") : c[10]);
        }
        return l;
    }
    QString legende() { return w<QLabel>("lblListeCliErr")->text(); }
};

const QStringList kTroisEnErreur = {QStringLiteral("A1 x-"), QStringLiteral("A2 xx"),
                                    QStringLiteral("B1 x-")};

TEST_F(CorrectionGroupee, LesValeursEtLeursSuggestions) {
    auto* groupee = w<QPushButton>("btnCorrectionGroupee");
    EXPECT_FALSE(groupee->isEnabled() || w<QPushButton>("btnAnnulerCorrection")->isEnabled());
    analyser();
    EXPECT_TRUE(groupee->isEnabled() && w<QPushButton>("btnAnnulerCorrection")->isEnabled());
    // Locked with the list while the postal code panel is open.
    cliquer("BtnModifCP");
    EXPECT_FALSE(groupee->isEnabled());
    cliquer("BtnFermer");
    cliquer("btnAnnulerCorrection");
    EXPECT_EQ(messages.textes(), QStringList{QStringLiteral("Aucune correction à annuler.")});
    messages.vider();

    dansFenetre([&](clients::FenetreGroupee& f) {
        auto* liste = enfant<QTreeWidget>(&f, "ListValeurs");
        EXPECT_EQ(test::lignes(liste, 4), (QStringList{QStringLiteral("Ville|ST ETIENNE|2|"),
                                                       QStringLiteral("Ville|MARSIELLE|1|"),
                                                       QStringLiteral("Tel1|06 12.34.56.78|1|")}));
        EXPECT_TRUE(liste->topLevelItem(0)->text(4).startsWith(QStringLiteral("SAINT-ETIENNE")));
        EXPECT_EQ(liste->topLevelItem(2)->text(4), QStringLiteral("0612345678"));
        EXPECT_FALSE(enfant<QPushButton>(&f, "btnAppliquer")->isEnabled());

        // The filter on one field.
        auto* champ = enfant<QComboBox>(&f, "cboChamp");
        EXPECT_EQ(champ->itemText(0), QStringLiteral("Tous les champs (3 valeurs)"));
        champ->setCurrentIndex(champ->findData(static_cast<int>(clients::ErrTel1)));
        EXPECT_TRUE(liste->topLevelItem(0)->isHidden());
        EXPECT_FALSE(liste->topLevelItem(2)->isHidden());
        champ->setCurrentIndex(0);

        // A suggestion taken, then left again.
        liste->setCurrentItem(liste->topLevelItem(1));
        cliquerDans(f, "btnPrendreSuggestion");
        EXPECT_EQ(liste->topLevelItem(1)->text(3), QStringLiteral("MARSEILLE"));
        EXPECT_EQ(enfant<QLabel>(&f, "lblChoix")->text(),
                  QStringLiteral("1 correction(s) choisie(s) : 1 modification(s) dans le "
                                 "fichier clients."));
        cliquerDans(f, "btnNePasChanger");
        EXPECT_EQ(liste->topLevelItem(1)->text(3), QString());

        // A replacement the rules refuse shows white on red, with its reason.
        QTreeWidgetItem* ville = liste->topLevelItem(0);
        ville->setText(3, QStringLiteral("ST ETIENE"));
        EXPECT_EQ(ville->background(3).color(), QColor(255, 0, 0));
        EXPECT_TRUE(ville->toolTip(3).contains(QStringLiteral("n'est pas une commune")));
        liste->topLevelItem(2)->setText(3, QStringLiteral("0612345678"));
        EXPECT_NE(liste->topLevelItem(2)->background(3).color(), QColor(255, 0, 0));
        cliquerDans(f, "btnAppliquer");
    });
    // Nothing was written.
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.dernier().startsWith(QStringLiteral("Rien n'a été enregistré")));
    EXPECT_EQ(valeur(QStringLiteral("A2"), QStringLiteral("Tel1")),
              QStringLiteral("06 12.34.56.78"));
    EXPECT_EQ(listeClients(), kTroisEnErreur);
}

TEST_F(CorrectionGroupee, AppliquerRenouvelleLaListe) {
    analyser();
    dansFenetre([&](clients::FenetreGroupee& f) {
        auto* liste = enfant<QTreeWidget>(&f, "ListValeurs");
        liste->setCurrentItem(liste->topLevelItem(0));
        cliquerDans(f, "btnPrendreSuggestion");
        cliquerDans(f, "btnAppliquer");
        // The applied value is gone from the window, the others stay.
        EXPECT_EQ(test::lignes(liste, 2), (QStringList{QStringLiteral("Ville|MARSIELLE"),
                                                       QStringLiteral("Tel1|06 12.34.56.78")}));
    });
    EXPECT_EQ(messages.textes(),
              (QStringList{QStringLiteral("Remplacer 1 valeur(s) en erreur ? Cela fait 2 "
                                          "modification(s) dans le fichier clients."),
                           QStringLiteral("Correction groupée enregistrée : 2 client(s) "
                                          "modifié(s).\r\n1 client(s) corrigé(s), 1 client(s) "
                                          "encore en erreur pour un autre champ.")}));
    EXPECT_EQ(test::lignes(cn, QStringLiteral("SELECT Ville FROM FCLI")),
              (QStringList{"SAINT-ETIENNE", "SAINT-ETIENNE", "MARSIELLE", "PARIS"}));
    // A1 left the list, A2 keeps its telephone mark only.
    EXPECT_EQ(listeClients(), (QStringList{QStringLiteral("A2 -x"), QStringLiteral("B1 x-")}));
    EXPECT_EQ(legende(), QStringLiteral("Liste des clients avec erreur (2 / 4)"));
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("NOM A2"));
}

TEST_F(CorrectionGroupee, ToutCorrigerPuisAnnuler) {
    analyser();
    const QStringList avant = test::lignes(cn, QStringLiteral("SELECT * FROM FCLI"));
    dansFenetre([&](clients::FenetreGroupee& f) {
        cliquerDans(f, "btnToutesSuggestions");
        cliquerDans(f, "btnAppliquer");
        EXPECT_EQ(enfant<QTreeWidget>(&f, "ListValeurs")->topLevelItemCount(), 0);
    });
    EXPECT_EQ(messages.dernier(),
              QStringLiteral("Votre fichier clients ne comporte plus d'erreur."));
    EXPECT_TRUE(listeClients().isEmpty());
    EXPECT_FALSE(w<QPushButton>("btnCorrectionGroupee")->isEnabled());
    messages.vider();

    // The undo puts the three clients back, judged by the rules.
    cliquer("btnAnnulerCorrection");
    ASSERT_EQ(messages.messages().size(), 2u) << messages.textes().join(u'\n').toStdString();
    EXPECT_TRUE(messages.messages()[0].texte.startsWith(
        QStringLiteral("Annuler la dernière correction (Correction groupée du ")));
    EXPECT_EQ(messages.dernier(),
              QStringLiteral("Correction annulée : 3 client(s) remis comme avant."));
    EXPECT_EQ(test::lignes(cn, QStringLiteral("SELECT * FROM FCLI")), avant);
    QStringList l = listeClients();
    l.sort();
    EXPECT_EQ(l, kTroisEnErreur);
    EXPECT_EQ(legende(), QStringLiteral("Liste des clients avec erreur (3 / 4)"));
    EXPECT_TRUE(w<QPushButton>("btnCorrectionGroupee")->isEnabled());
}

TEST_F(CorrectionGroupee, AnnulerUneSaisieDuPanneauOuRefuser) {
    analyser();
    // A2 is loaded second; its telephone saved in the panel.
    test::cliquerLigne(w<QTreeWidget>("ListCli"), QStringLiteral("A2"));
    cliquer("BtnModifTel1");
    w<QLineEdit>("txtTel1")->setText(QStringLiteral("0612345678"));
    cliquer("BtnModifTel1");
    EXPECT_EQ(listeClients(), (QStringList{QStringLiteral("A1 x-"), QStringLiteral("A2 x-"),
                                           QStringLiteral("B1 x-")}));
    messages.vider();

    // Refused while another program has changed it since.
    cn.executerSqlite(QStringLiteral("UPDATE FCLI SET Tel1 = '0611111111' WHERE Code = 'A2'"));
    cliquer("btnAnnulerCorrection");
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("A2 NOM A2")));
    EXPECT_EQ(valeur(QStringLiteral("A2"), QStringLiteral("Tel1")), QStringLiteral("0611111111"));

    // Asked again once the value is back: No keeps it, Yes undoes it and the
    // row gets its mark again.
    cn.executerSqlite(QStringLiteral("UPDATE FCLI SET Tel1 = '0612345678' WHERE Code = 'A2'"));
    messages.vider();
    messages.repondre(false);
    cliquer("btnAnnulerCorrection");
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(valeur(QStringLiteral("A2"), QStringLiteral("Tel1")), QStringLiteral("0612345678"));
    cliquer("btnAnnulerCorrection");
    EXPECT_EQ(valeur(QStringLiteral("A2"), QStringLiteral("Tel1")),
              QStringLiteral("06 12.34.56.78"));
    EXPECT_EQ(listeClients(), kTroisEnErreur);
    EXPECT_EQ(w<QLineEdit>("txtTel1")->text(), QStringLiteral("06 12.34.56.78"));
}

}  // namespace
