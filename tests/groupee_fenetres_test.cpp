#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "app/Form1.h"
#include "clients/FenetreGroupee.h"
#include "clients/OngletClients.h"
#include "clients/PanneauClient.h"
#include "commun/Variables.h"
#include "store/Connexion.h"
#include "store/Journal.h"
#include "support/Dossier.h"
#include "support/FauxMessages.h"
#include "support/Fenetres.h"

using test::enfant;
using Genre = test::FauxMessages::Message::Genre;

namespace {

// Four clients over the real towns reference:
//   A1 NOM A1  town ST ETIENNE
//   A2 NOM A2  town ST ETIENNE, telephone 06 12.34.56.78
//   B1 NOM B1  town MARSIELLE
//   Z1 NOM Z1  sound
class CorrectionGroupee : public ::testing::Test {
protected:
    void SetUp() override {
        d.copierCommunes();
        store::Connexion cn = d.creerBase();
        vars.dossier = d.chemin();
        vars.VilleDefaut = QStringLiteral("PARIS");
        vars.CpDefaut = QStringLiteral("75001");
        const struct {
            const char* code;
            const char* ville;
            const char* cp;
            const char* tel;
        } clients[] = {{"A1", "ST ETIENNE", "42000", ""},
                       {"A2", "ST ETIENNE", "42000", "06 12.34.56.78"},
                       {"B1", "MARSIELLE", "13001", ""},
                       {"Z1", "PARIS", "75001", ""}};
        for (const auto& c : clients) {
            test::inserer(
                cn, QStringLiteral("FCLI"),
                {{QStringLiteral("Code"), QString::fromUtf8(c.code)},
                 {QStringLiteral("Nom"), QStringLiteral("NOM ") + QString::fromUtf8(c.code)},
                 {QStringLiteral("Ville"), QString::fromUtf8(c.ville)},
                 {QStringLiteral("Code Postal"), QString::fromUtf8(c.cp)},
                 {QStringLiteral("Tel1"), QString::fromUtf8(c.tel)}});
        }
        cn.Close();
        form = std::make_unique<app::Form1>(vars, messages);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    template <class T>
    T* w(const char* nom) {
        return enfant<T>(form.get(), nom);
    }
    void cliquer(const char* bouton) { QTest::mouseClick(w<QPushButton>(bouton), Qt::LeftButton); }
    void analyser() {
        cliquer("btnAnalyseBd");
        ASSERT_EQ(messages.textes(), QStringList{QStringLiteral("Analyse terminée.")});
        messages.vider();
    }

    // Opens the grouped correction, acts in it while it shows, then closes it.
    void dansFenetre(const std::function<void(clients::FenetreGroupee&)>& action) {
        bool vue = false;
        QTimer guet;
        QObject::connect(&guet, &QTimer::timeout, [&] {
            auto* f = qobject_cast<clients::FenetreGroupee*>(QApplication::activeModalWidget());
            if (f && f->isVisible() && !vue) {
                vue = true;
                action(*f);
                f->accept();
            }
        });
        guet.start(10);
        cliquer("btnCorrectionGroupee");
        EXPECT_TRUE(vue) << "la correction groupée ne s'est pas ouverte";
    }

    // The rows of a tree: its columns joined by "|".
    static QStringList lignes(QTreeWidget* liste, int nbColonnes) {
        QStringList l;
        for (int i = 0; i < liste->topLevelItemCount(); ++i) {
            QStringList c;
            for (int k = 0; k < nbColonnes; ++k) {
                c << liste->topLevelItem(i)->text(k);
            }
            l << c.join(u'|');
        }
        return l;
    }
    // ListCli rows: code, then the marks of the town and the first telephone.
    QStringList listeClients() {
        QStringList l;
        auto* liste = w<QTreeWidget>("ListCli");
        for (int i = 0; i < liste->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* r = liste->topLevelItem(i);
            const auto marque = [r](int c) {
                return r->text(c).isEmpty() ? QStringLiteral("-") : r->text(c);
            };
            l << QStringLiteral("%1 %2%3").arg(r->text(0), marque(6), marque(10));
        }
        return l;
    }
    QString valeur(const char* code, const char* colonne) {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        store::Instruction i(cn, QStringLiteral("SELECT %1 FROM FCLI WHERE Code = ?")
                                     .arg(store::citer(QString::fromUtf8(colonne))));
        i.lier(1, QString::fromUtf8(code));
        return i.pas() ? i.colonneTexte(0) : QStringLiteral("<absent>");
    }
    static QTreeWidgetItem* ligne(clients::FenetreGroupee& f, const QString& valeur) {
        auto* liste = enfant<QTreeWidget>(&f, "ListValeurs");
        for (int i = 0; i < liste->topLevelItemCount(); ++i) {
            if (liste->topLevelItem(i)->text(1) == valeur) {
                return liste->topLevelItem(i);
            }
        }
        ADD_FAILURE() << "valeur absente : " << valeur.toStdString();
        return nullptr;
    }

    test::Dossier d;
    commun::Variables vars;
    test::FauxMessages messages;
    std::unique_ptr<app::Form1> form;
};

TEST_F(CorrectionGroupee, BoutonsSelonLAnalyseEtLePanneauCodePostal) {
    auto* groupee = w<QPushButton>("btnCorrectionGroupee");
    auto* annuler = w<QPushButton>("btnAnnulerCorrection");
    EXPECT_FALSE(groupee->isEnabled());
    EXPECT_FALSE(annuler->isEnabled());
    analyser();
    EXPECT_TRUE(groupee->isEnabled());
    EXPECT_TRUE(annuler->isEnabled());
    // Locked with the list while the postal code panel is open.
    cliquer("BtnModifCP");
    EXPECT_FALSE(groupee->isEnabled());
    cliquer("BtnFermer");
    EXPECT_TRUE(groupee->isEnabled());

    cliquer("btnAnnulerCorrection");
    EXPECT_EQ(messages.textes(), QStringList{QStringLiteral("Aucune correction à annuler.")});
}

TEST_F(CorrectionGroupee, LesValeursEtLeursSuggestions) {
    analyser();
    dansFenetre([&](clients::FenetreGroupee& f) {
        auto* liste = enfant<QTreeWidget>(&f, "ListValeurs");
        const QStringList l = lignes(liste, 4);
        EXPECT_EQ(l, (QStringList{QStringLiteral("Ville|ST ETIENNE|2|"),
                                  QStringLiteral("Ville|MARSIELLE|1|"),
                                  QStringLiteral("Tel1|06 12.34.56.78|1|")}))
            << l.join(u'\n').toStdString();
        EXPECT_TRUE(liste->topLevelItem(0)->text(4).startsWith(QStringLiteral("SAINT-ETIENNE")));
        EXPECT_EQ(liste->topLevelItem(2)->text(4), QStringLiteral("0612345678"));
        EXPECT_EQ(enfant<QLabel>(&f, "lblChoix")->text(),
                  QStringLiteral("Aucune correction choisie."));
        EXPECT_FALSE(enfant<QPushButton>(&f, "btnAppliquer")->isEnabled());

        // The filter on one field.
        auto* champ = enfant<QComboBox>(&f, "cboChamp");
        EXPECT_EQ(champ->itemText(0), QStringLiteral("Tous les champs (3 valeurs)"));
        champ->setCurrentIndex(champ->findData(static_cast<int>(clients::ErrTel1)));
        EXPECT_TRUE(liste->topLevelItem(0)->isHidden());
        EXPECT_FALSE(liste->topLevelItem(2)->isHidden());
        champ->setCurrentIndex(0);
        EXPECT_FALSE(liste->topLevelItem(0)->isHidden());

        // A suggestion taken, then left again.
        liste->setCurrentItem(liste->topLevelItem(1));
        QTest::mouseClick(enfant<QPushButton>(&f, "btnPrendreSuggestion"), Qt::LeftButton);
        EXPECT_EQ(liste->topLevelItem(1)->text(3), QStringLiteral("MARSEILLE"));
        EXPECT_EQ(enfant<QLabel>(&f, "lblChoix")->text(),
                  QStringLiteral("1 correction(s) choisie(s) : 1 modification(s) dans le "
                                 "fichier clients."));
        QTest::mouseClick(enfant<QPushButton>(&f, "btnNePasChanger"), Qt::LeftButton);
        EXPECT_EQ(liste->topLevelItem(1)->text(3), QString());
    });
    EXPECT_TRUE(messages.textes().isEmpty()) << messages.textes().join(u'\n').toStdString();
}

TEST_F(CorrectionGroupee, AppliquerRenouvelleLaListe) {
    analyser();
    EXPECT_EQ(listeClients(), (QStringList{QStringLiteral("A1 x-"), QStringLiteral("A2 xx"),
                                           QStringLiteral("B1 x-")}));
    dansFenetre([&](clients::FenetreGroupee& f) {
        auto* liste = enfant<QTreeWidget>(&f, "ListValeurs");
        liste->setCurrentItem(ligne(f, QStringLiteral("ST ETIENNE")));
        QTest::mouseClick(enfant<QPushButton>(&f, "btnPrendreSuggestion"), Qt::LeftButton);
        QTest::mouseClick(enfant<QPushButton>(&f, "btnAppliquer"), Qt::LeftButton);
        // The applied value is gone from the window, the others stay.
        EXPECT_EQ(lignes(liste, 2), (QStringList{QStringLiteral("Ville|MARSIELLE"),
                                                 QStringLiteral("Tel1|06 12.34.56.78")}));
    });
    ASSERT_EQ(messages.messages().size(), 2u) << messages.textes().join(u'\n').toStdString();
    EXPECT_EQ(messages.messages()[0].genre, Genre::Question);
    EXPECT_EQ(messages.messages()[0].texte,
              QStringLiteral("Remplacer 1 valeur(s) en erreur ? Cela fait 2 modification(s) dans "
                             "le fichier clients."));
    EXPECT_EQ(messages.messages()[1].texte,
              QStringLiteral("Correction groupée enregistrée : 2 client(s) modifié(s).\r\n"
                             "1 client(s) corrigé(s), 1 client(s) encore en erreur pour un "
                             "autre champ."));
    EXPECT_EQ(valeur("A1", "Ville"), QStringLiteral("SAINT-ETIENNE"));
    EXPECT_EQ(valeur("A2", "Ville"), QStringLiteral("SAINT-ETIENNE"));
    EXPECT_EQ(valeur("B1", "Ville"), QStringLiteral("MARSIELLE"));
    // A1 left the list, A2 keeps its telephone mark only.
    EXPECT_EQ(listeClients(), (QStringList{QStringLiteral("A2 -x"), QStringLiteral("B1 x-")}));
    EXPECT_EQ(w<QLabel>("lblListeCliErr")->text(),
              QStringLiteral("Liste des clients avec erreur (2 / 4)"));
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("NOM A2"));
}

TEST_F(CorrectionGroupee, UnRemplacementRefuseNEcritRien) {
    analyser();
    dansFenetre([&](clients::FenetreGroupee& f) {
        QTreeWidgetItem* ville = ligne(f, QStringLiteral("ST ETIENNE"));
        ville->setText(3, QStringLiteral("ST ETIENE"));
        // White on red, the reason on hovering.
        EXPECT_EQ(ville->background(3).color(), QColor(255, 0, 0));
        EXPECT_TRUE(ville->toolTip(3).contains(QStringLiteral("n'est pas une commune")));
        QTreeWidgetItem* tel = ligne(f, QStringLiteral("06 12.34.56.78"));
        tel->setText(3, QStringLiteral("0612345678"));
        EXPECT_NE(tel->background(3).color(), QColor(255, 0, 0));
        QTest::mouseClick(enfant<QPushButton>(&f, "btnAppliquer"), Qt::LeftButton);
    });
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].genre, Genre::Exclamation);
    EXPECT_TRUE(messages.dernier().startsWith(QStringLiteral("Rien n'a été enregistré")))
        << messages.dernier().toStdString();
    EXPECT_EQ(valeur("A2", "Tel1"), QStringLiteral("06 12.34.56.78"));
    EXPECT_EQ(valeur("A1", "Ville"), QStringLiteral("ST ETIENNE"));
}

TEST_F(CorrectionGroupee, ToutCorrigerPuisAnnuler) {
    analyser();
    dansFenetre([&](clients::FenetreGroupee& f) {
        QTest::mouseClick(enfant<QPushButton>(&f, "btnToutesSuggestions"), Qt::LeftButton);
        QTest::mouseClick(enfant<QPushButton>(&f, "btnAppliquer"), Qt::LeftButton);
        EXPECT_EQ(enfant<QTreeWidget>(&f, "ListValeurs")->topLevelItemCount(), 0);
    });
    EXPECT_EQ(messages.dernier(),
              QStringLiteral("Votre fichier clients ne comporte plus d'erreur."));
    EXPECT_TRUE(listeClients().isEmpty());
    EXPECT_EQ(w<QLabel>("lblListeCliErr")->text(),
              QStringLiteral("Liste des clients avec erreur (0 / 4)"));
    EXPECT_FALSE(w<QPushButton>("btnCorrectionGroupee")->isEnabled());
    EXPECT_TRUE(w<QPushButton>("btnAnnulerCorrection")->isEnabled());
    messages.vider();

    // The undo puts the three clients back, judged by the rules.
    cliquer("btnAnnulerCorrection");
    ASSERT_EQ(messages.messages().size(), 2u) << messages.textes().join(u'\n').toStdString();
    EXPECT_EQ(messages.messages()[0].genre, Genre::Question);
    EXPECT_TRUE(messages.messages()[0].texte.startsWith(
        QStringLiteral("Annuler la dernière correction (Correction groupée du ")));
    EXPECT_EQ(messages.dernier(),
              QStringLiteral("Correction annulée : 3 client(s) remis comme avant."));
    EXPECT_EQ(valeur("A1", "Ville"), QStringLiteral("ST ETIENNE"));
    EXPECT_EQ(valeur("A2", "Tel1"), QStringLiteral("06 12.34.56.78"));
    QStringList l = listeClients();
    l.sort();
    EXPECT_EQ(l, (QStringList{QStringLiteral("A1 x-"), QStringLiteral("A2 xx"),
                              QStringLiteral("B1 x-")}));
    EXPECT_EQ(w<QLabel>("lblListeCliErr")->text(),
              QStringLiteral("Liste des clients avec erreur (3 / 4)"));
    EXPECT_TRUE(w<QGroupBox>("Frame1")->isEnabled());
    EXPECT_TRUE(w<QPushButton>("btnCorrectionGroupee")->isEnabled());
    EXPECT_FALSE(w<QLabel>("lblNom")->text().isEmpty());

    // Nothing is left to undo afterwards.
    messages.vider();
    cliquer("btnAnnulerCorrection");
    EXPECT_EQ(messages.textes(), QStringList{QStringLiteral("Aucune correction à annuler.")});
}

TEST_F(CorrectionGroupee, AnnulerUneSaisieDuPanneauOuRefuser) {
    analyser();
    // A2 is loaded second; its telephone saved in the panel.
    auto* liste = w<QTreeWidget>("ListCli");
    liste->setCurrentItem(liste->topLevelItem(1));
    form->ongletClients().panneau().ListCli_ItemClick();
    cliquer("BtnModifTel1");
    w<QLineEdit>("txtTel1")->setText(QStringLiteral("0612345678"));
    cliquer("BtnModifTel1");
    EXPECT_EQ(valeur("A2", "Tel1"), QStringLiteral("0612345678"));
    EXPECT_EQ(listeClients(), (QStringList{QStringLiteral("A1 x-"), QStringLiteral("A2 x-"),
                                           QStringLiteral("B1 x-")}));
    messages.vider();

    // Refused while another program has changed it since.
    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        cn.executer(QStringLiteral("UPDATE FCLI SET Tel1 = '0611111111' WHERE Code = 'A2'"));
    }
    messages.repondre(true);
    cliquer("btnAnnulerCorrection");
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[1].genre, Genre::Exclamation);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("A2 NOM A2")))
        << messages.dernier().toStdString();
    EXPECT_EQ(valeur("A2", "Tel1"), QStringLiteral("0611111111"));

    // Done once the value is back: the row gets its mark again.
    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        cn.executer(QStringLiteral("UPDATE FCLI SET Tel1 = '0612345678' WHERE Code = 'A2'"));
    }
    messages.vider();
    messages.repondre(false);
    cliquer("btnAnnulerCorrection");
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(valeur("A2", "Tel1"), QStringLiteral("0612345678"));
    cliquer("btnAnnulerCorrection");
    EXPECT_EQ(valeur("A2", "Tel1"), QStringLiteral("06 12.34.56.78"));
    EXPECT_EQ(listeClients(), (QStringList{QStringLiteral("A1 x-"), QStringLiteral("A2 xx"),
                                           QStringLiteral("B1 x-")}));
    EXPECT_EQ(w<QLineEdit>("txtTel1")->text(), QStringLiteral("06 12.34.56.78"));
}

}  // namespace
