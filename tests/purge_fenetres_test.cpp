#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/Form1.h"
#include "commun/Variables.h"
#include "platform/Locale.h"
#include "purge_donnees.h"
#include "support/FauxMessages.h"
#include "support/Fenetres.h"

using test::colonne;
using test::enfant;
using Genre = test::FauxMessages::Message::Genre;

namespace {

const QString kQuestionClients =
    QStringLiteral(" Voulez-vous vraiment supprimmer les %1 clients de votre fichier clients ?");
const QString kQuestionFiches = QStringLiteral(
    " Voulez-vous vraiment supprimmer les %1 Fiches de votre fichier fiches techniques?");

// A mouse click on a day of the calendar, as the user does it.
void cliquerJour(QCalendarWidget* cal, const QDate& date) {
    cal->setCurrentPage(date.year(), date.month());
    auto* vue = cal->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(vue, nullptr);
    const QAbstractItemModel* modele = vue->model();
    // The grid also shows the end of the month before (days 23 and up) and the
    // start of the month after (days up to 14).
    QModelIndex cellule;
    for (int l = 0; l < modele->rowCount(); ++l) {
        for (int c = 0; c < modele->columnCount(); ++c) {
            const QModelIndex i = modele->index(l, c);
            if (modele->data(i).toInt() == date.day() && (!cellule.isValid() || date.day() > 14)) {
                cellule = i;
            }
        }
    }
    ASSERT_TRUE(cellule.isValid());
    QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, vue->visualRect(cellule).center());
    ASSERT_EQ(cal->selectedDate(), date);
}

class OngletPurge : public ::testing::Test {
protected:
    void SetUp() override {
        platform::fixerLocaleTravail(QLocale(QLocale::French, QLocale::France));
        cn = d.creerBase();
        test::remplirPurge(cn);
        vars.dossier = d.chemin();
        f = std::make_unique<app::Form1>(vars, messages);
        f->show();
        onglets = enfant<QTabWidget>(f.get(), "SSTab1");
        onglets->setCurrentIndex(2);
        calCli = enfant<QCalendarWidget>(f.get(), "CalCli");
        calTech = enfant<QCalendarWidget>(f.get(), "CalTech");
        dateCli = enfant<QLabel>(f.get(), "lblPurgeCli");
        dateTech = enfant<QLabel>(f.get(), "lblPurgeTech");
        nbCli = enfant<QLabel>(f.get(), "lblNbCliPurge");
        nbTech = enfant<QLabel>(f.get(), "lblNbTechPurge");
        btnCli = enfant<QPushButton>(f.get(), "BtnPurgeCli");
        btnTech = enfant<QPushButton>(f.get(), "btnPurgeTech");
        frame5 = enfant<QWidget>(f.get(), "Frame5");
    }
    void TearDown() override {
        f.reset();
        platform::oublierLocaleTravail();
    }

    QStringList clients() { return colonne(cn, QStringLiteral("FCLI"), QStringLiteral("Code")); }
    QStringList fiches() { return colonne(cn, QStringLiteral("FTEC"), QStringLiteral("Numéro")); }

    test::Dossier d;
    store::Connexion cn;
    commun::Variables vars;
    test::FauxMessages messages;
    std::unique_ptr<app::Form1> f;
    QTabWidget* onglets = nullptr;
    QCalendarWidget* calCli = nullptr;
    QCalendarWidget* calTech = nullptr;
    QLabel* dateCli = nullptr;
    QLabel* dateTech = nullptr;
    QLabel* nbCli = nullptr;
    QLabel* nbTech = nullptr;
    QPushButton* btnCli = nullptr;
    QPushButton* btnTech = nullptr;
    QWidget* frame5 = nullptr;
};

TEST_F(OngletPurge, UnJourCliqueDonneLaDateEtLeCompte) {
    EXPECT_EQ(dateCli->text(), QString());
    EXPECT_EQ(nbCli->text(), QString());
    EXPECT_FALSE(btnCli->isEnabled());
    EXPECT_FALSE(btnTech->isEnabled());

    cliquerJour(calCli, QDate(2005, 3, 15));
    EXPECT_EQ(dateCli->text(), QStringLiteral("15/03/2005"));
    EXPECT_EQ(nbCli->text(), QStringLiteral("3"));
    EXPECT_TRUE(btnCli->isEnabled());
    // The other half has not moved.
    EXPECT_EQ(dateTech->text(), QString());
    EXPECT_EQ(nbTech->text(), QString());
    EXPECT_FALSE(btnTech->isEnabled());

    cliquerJour(calTech, QDate(2005, 3, 16));
    EXPECT_EQ(dateTech->text(), QStringLiteral("16/03/2005"));
    EXPECT_EQ(nbTech->text(), QStringLiteral("5"));
    EXPECT_TRUE(btnTech->isEnabled());
    EXPECT_EQ(nbCli->text(), QStringLiteral("3"));
    EXPECT_TRUE(messages.messages().empty()) << messages.textes().join(u'\n').toStdString();
    EXPECT_EQ(clients().size(), 8);
}

TEST_F(OngletPurge, JourEtMoisSelonLaLocaleFrancaise) {
    struct Cas {
        QDate jour;
        const char* texte;
        const char* clients;
        const char* fiches;
    };
    const Cas cas[] = {
        {QDate(2005, 4, 3), "03/04/2005", "6", "6"},
        {QDate(2005, 3, 4), "04/03/2005", "2", "2"},
        {QDate(2005, 3, 15), "15/03/2005", "3", "3"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.texte);
        cliquerJour(calCli, c.jour);
        cliquerJour(calTech, c.jour);
        EXPECT_EQ(dateCli->text(), QString::fromLatin1(c.texte));
        EXPECT_EQ(dateTech->text(), QString::fromLatin1(c.texte));
        EXPECT_EQ(nbCli->text(), QString::fromLatin1(c.clients));
        EXPECT_EQ(nbTech->text(), QString::fromLatin1(c.fiches));
    }
}

TEST_F(OngletPurge, NonNeSupprimeRienEtGardeTout) {
    cliquerJour(calCli, QDate(2005, 3, 15));
    cliquerJour(calTech, QDate(2005, 3, 15));
    messages.repondre(false);
    messages.repondre(false);
    QTest::mouseClick(btnCli, Qt::LeftButton);
    QTest::mouseClick(btnTech, Qt::LeftButton);
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[0].genre, Genre::Question);
    EXPECT_EQ(messages.messages()[0].texte, kQuestionClients.arg(3));
    EXPECT_EQ(messages.messages()[1].texte, kQuestionFiches.arg(3));
    EXPECT_EQ(clients().size(), 8);
    EXPECT_EQ(fiches().size(), 7);
    EXPECT_EQ(dateCli->text(), QStringLiteral("15/03/2005"));
    EXPECT_EQ(nbCli->text(), QStringLiteral("3"));
    EXPECT_TRUE(btnCli->isEnabled());
    EXPECT_EQ(dateTech->text(), QStringLiteral("15/03/2005"));
    EXPECT_EQ(nbTech->text(), QStringLiteral("3"));
    EXPECT_TRUE(btnTech->isEnabled());
    EXPECT_TRUE(frame5->isHidden());
}

TEST_F(OngletPurge, PurgeClientsPuisMoitieRemiseAZero) {
    cliquerJour(calCli, QDate(2005, 3, 15));
    cliquerJour(calTech, QDate(2005, 3, 16));

    // What the window shows while the deletion runs.
    bool panneauVu = false;
    QString texteVu;
    QTimer::singleShot(0, f.get(), [&] {
        panneauVu = frame5->isVisible();
        texteVu = enfant<QLabel>(frame5, "Label24")->text();
    });
    QTest::mouseClick(btnCli, Qt::LeftButton);
    EXPECT_TRUE(panneauVu);
    EXPECT_EQ(texteVu, QStringLiteral("Purge en cours"));
    EXPECT_TRUE(frame5->isHidden());

    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[0].texte, kQuestionClients.arg(3));
    EXPECT_EQ(messages.messages()[1].genre, Genre::Information);
    EXPECT_EQ(messages.messages()[1].texte, QStringLiteral("Purge effecuée."));
    EXPECT_EQ(clients(), QStringList({"B1", "C1", "C2", "D1", "E1"}));
    EXPECT_EQ(fiches().size(), 7);

    EXPECT_EQ(dateCli->text(), QString());
    EXPECT_EQ(nbCli->text(), QString());
    EXPECT_FALSE(btnCli->isEnabled());
    // The sheet half keeps its date and count.
    EXPECT_EQ(dateTech->text(), QStringLiteral("16/03/2005"));
    EXPECT_EQ(nbTech->text(), QStringLiteral("5"));
    EXPECT_TRUE(btnTech->isEnabled());
}

TEST_F(OngletPurge, PurgeFichesPuisMoitieRemiseAZero) {
    cliquerJour(calTech, QDate(2005, 3, 15));
    cliquerJour(calCli, QDate(2005, 3, 16));
    EXPECT_EQ(nbCli->text(), QStringLiteral("5"));
    QTest::mouseClick(btnTech, Qt::LeftButton);
    EXPECT_EQ(messages.textes(),
              QStringList({kQuestionFiches.arg(3), QStringLiteral("Purge effecuée.")}));
    EXPECT_EQ(fiches(), QStringList({"3", "4", "5", "6"}));
    EXPECT_EQ(clients().size(), 8);
    EXPECT_EQ(dateTech->text(), QString());
    EXPECT_EQ(nbTech->text(), QString());
    EXPECT_FALSE(btnTech->isEnabled());
    EXPECT_EQ(dateCli->text(), QStringLiteral("16/03/2005"));
    EXPECT_EQ(nbCli->text(), QStringLiteral("5"));
    EXPECT_TRUE(btnCli->isEnabled());

    // A new day counts what is left.
    cliquerJour(calTech, QDate(2005, 3, 16));
    EXPECT_EQ(nbTech->text(), QStringLiteral("2"));
    EXPECT_TRUE(btnTech->isEnabled());
}

TEST_F(OngletPurge, OngletReselectionneRemetLesCalendriers) {
    cliquerJour(calCli, QDate(2005, 3, 15));
    cliquerJour(calTech, QDate(2006, 7, 20));
    onglets->setCurrentIndex(0);
    onglets->setCurrentIndex(2);
    EXPECT_EQ(calCli->selectedDate(), QDate(2005, 1, 1));
    EXPECT_EQ(calTech->selectedDate(), QDate(2005, 1, 1));
    EXPECT_EQ(dateCli->text(), QStringLiteral("15/03/2005"));
    EXPECT_EQ(nbCli->text(), QStringLiteral("3"));
    EXPECT_EQ(dateTech->text(), QStringLiteral("20/07/2006"));
    EXPECT_EQ(nbTech->text(), QStringLiteral("6"));
    EXPECT_TRUE(btnCli->isEnabled());
    EXPECT_TRUE(btnTech->isEnabled());
    EXPECT_TRUE(frame5->isHidden());
    EXPECT_EQ(frame5->geometry(), QRect(27, 77, 577, 347));
}

TEST_F(OngletPurge, EchecDeLaSuppressionRienDePerdu) {
    cliquerJour(calCli, QDate(2005, 3, 15));
    cn.executer(
        QStringLiteral("CREATE TRIGGER refus BEFORE DELETE ON FCLI WHEN old.Code = 'a3' "
                       "BEGIN SELECT RAISE(ABORT, 'refus'); END;"));
    QTest::mouseClick(btnCli, Qt::LeftButton);
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[1].genre, Genre::Exclamation);
    EXPECT_TRUE(messages.messages()[1].texte.contains(QStringLiteral("BdClient.mdb")))
        << messages.dernier().toStdString();
    EXPECT_EQ(clients().size(), 8);
    EXPECT_TRUE(frame5->isHidden());
    // Another try stays possible.
    EXPECT_EQ(dateCli->text(), QStringLiteral("15/03/2005"));
    EXPECT_EQ(nbCli->text(), QStringLiteral("3"));
    EXPECT_TRUE(btnCli->isEnabled());
    EXPECT_TRUE(f->isEnabled());
}

TEST_F(OngletPurge, BaseAbsenteAuComptage) {
    cn.Close();
    ASSERT_TRUE(QFile::remove(d.chemin(QStringLiteral("BdClient.mdb"))));
    cliquerJour(calTech, QDate(2005, 3, 15));
    EXPECT_EQ(messages.textes().size(), 1);
    EXPECT_EQ(messages.messages().at(0).genre, Genre::Exclamation);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("introuvable")))
        << messages.dernier().toStdString();
    EXPECT_EQ(dateTech->text(), QStringLiteral("15/03/2005"));
    EXPECT_EQ(nbTech->text(), QString());
    // Nothing counted, nothing to confirm.
    EXPECT_FALSE(btnTech->isEnabled());
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.mdb")));
}

// A day to come would take every client who ever came: refused at the count.
TEST_F(OngletPurge, JourAVenirRefuse) {
    cliquerJour(calTech, QDate::currentDate().addDays(1));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].genre, Genre::Exclamation);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("est après aujourd'hui")))
        << messages.dernier().toStdString();
    EXPECT_EQ(nbTech->text(), QString());
    EXPECT_FALSE(btnTech->isEnabled());
}

// The undo of the last purge lies clear of every control of the tab, the
// panel of the deletion included; it says what came back and counts again.
TEST_F(OngletPurge, AnnulerLaDernierePurge) {
    auto* annuler = enfant<QPushButton>(f.get(), "btnAnnulerPurge");
    EXPECT_EQ(annuler->text(), QStringLiteral("Annuler la dernière purge"));
    for (const QWidget* w :
         annuler->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(w == annuler || !w->geometry().intersects(annuler->geometry()))
            << w->objectName().toStdString();
    }
    QTest::mouseClick(annuler, Qt::LeftButton);
    EXPECT_EQ(messages.textes(), QStringList({"Aucune purge à annuler."}));

    cliquerJour(calCli, QDate(2005, 3, 15));
    QTest::mouseClick(btnCli, Qt::LeftButton);
    cliquerJour(calCli, QDate(2005, 3, 15));
    EXPECT_EQ(nbCli->text(), QStringLiteral("0"));
    messages.repondre(false);
    QTest::mouseClick(annuler, Qt::LeftButton);
    EXPECT_EQ(clients().size(), 5);
    QTest::mouseClick(annuler, Qt::LeftButton);
    const QStringList textes = messages.textes();
    ASSERT_EQ(textes.size(), 6);
    EXPECT_TRUE(
        textes[3].startsWith(QStringLiteral("Annuler la dernière purge (Purge des clients")))
        << textes[3].toStdString();
    EXPECT_EQ(textes[3], textes[4]);
    EXPECT_EQ(textes[5],
              QStringLiteral("Purge annulée : 3 client(s) remis dans le fichier clients."));
    EXPECT_EQ(clients().size(), 8);
    EXPECT_EQ(nbCli->text(), QStringLiteral("3"));
}

}  // namespace
