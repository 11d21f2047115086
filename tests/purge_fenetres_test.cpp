#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include "platform/Locale.h"
#include "purge_donnees.h"
#include "support/Fenetres.h"

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

// The PURGE tab over the clients, visits and sheets of remplirPurge.
class OngletPurge : public test::Fenetre {
protected:
    void SetUp() override {
        Fenetre::SetUp();
        platform::fixerLocaleTravail(QLocale(QLocale::French, QLocale::France));
        test::remplirPurge(cn);
        ouvrir();
        w<QTabWidget>("SSTab1")->setCurrentIndex(2);
    }
    void TearDown() override {
        form.reset();
        platform::oublierLocaleTravail();
    }

    QStringList clients() {
        return test::colonne(cn, QStringLiteral("FCLI"), QStringLiteral("Code"));
    }
    QStringList fiches() {
        return test::colonne(cn, QStringLiteral("FTEC"), QStringLiteral("Numéro"));
    }
    void jour(bool cli, const QDate& date) {
        cliquerJour(w<QCalendarWidget>(cli ? "CalCli" : "CalTech"), date);
    }
    // A half of the tab: its date, its count and whether its button is enabled.
    QString moitie(bool cli) {
        return QStringList{w<QLabel>(cli ? "lblPurgeCli" : "lblPurgeTech")->text(),
                           w<QLabel>(cli ? "lblNbCliPurge" : "lblNbTechPurge")->text(),
                           w<QPushButton>(cli ? "BtnPurgeCli" : "btnPurgeTech")->isEnabled()
                               ? QStringLiteral("actif")
                               : QStringLiteral("inactif")}
            .join(u' ');
    }
};

// Each half counts for its own day, read in the French way, the other half
// left as it is.
TEST_F(OngletPurge, UnJourCliqueDonneLaDateEtLeCompte) {
    EXPECT_EQ(moitie(true), QStringLiteral("  inactif"));
    jour(true, QDate(2005, 4, 3));
    EXPECT_EQ(moitie(false), QStringLiteral("  inactif"));
    const std::pair<QDate, const char*> cas[] = {
        {QDate(2005, 4, 3), "03/04/2005 6 actif"},
        {QDate(2005, 3, 4), "04/03/2005 2 actif"},
        {QDate(2005, 3, 15), "15/03/2005 3 actif"},
    };
    for (const auto& [date, attendu] : cas) {
        SCOPED_TRACE(attendu);
        jour(true, date);
        jour(false, date);
        EXPECT_EQ(moitie(true), QString::fromLatin1(attendu));
        EXPECT_EQ(moitie(false), QString::fromLatin1(attendu));
    }
    jour(false, QDate(2005, 3, 16));
    EXPECT_EQ(moitie(false), QStringLiteral("16/03/2005 5 actif"));
    EXPECT_EQ(moitie(true), QStringLiteral("15/03/2005 3 actif"));
    EXPECT_TRUE(messages.messages().empty()) << messages.textes().join(u'\n').toStdString();
    EXPECT_EQ(clients().size(), 8);
}

// "Non" deletes nothing and keeps the half as it is. A purge shows its panel
// while it deletes, says so, and resets its half; the other half keeps its
// date and count.
TEST_F(OngletPurge, NonPuisPurgeEtMoitieRemiseAZero) {
    for (const bool cli : {true, false}) {
        SCOPED_TRACE(cli);
        jour(cli, QDate(2005, 3, 15));
        jour(!cli, QDate(2005, 3, 16));
        const QString autre = moitie(!cli);
        messages.repondre(false);
        cliquer(cli ? "BtnPurgeCli" : "btnPurgeTech");
        EXPECT_EQ(moitie(cli), QStringLiteral("15/03/2005 3 actif"));
        EXPECT_EQ(clients().size() + fiches().size(), cli ? 15 : 12);
        bool panneauVu = false;
        QTimer::singleShot(0, form.get(), [&] {
            panneauVu = w<QWidget>("Frame5")->isVisible() &&
                        w<QLabel>("Label24")->text() == QLatin1String("Purge en cours");
        });
        messages.vider();
        cliquer(cli ? "BtnPurgeCli" : "btnPurgeTech");
        EXPECT_TRUE(panneauVu);
        EXPECT_TRUE(w<QWidget>("Frame5")->isHidden());
        EXPECT_EQ(messages.textes(), QStringList({(cli ? kQuestionClients : kQuestionFiches).arg(3),
                                                  QStringLiteral("Purge effecuée.")}));
        EXPECT_EQ(moitie(cli), QStringLiteral("  inactif"));
        EXPECT_EQ(moitie(!cli), autre);
    }
    EXPECT_EQ(clients(), QStringList({"B1", "C1", "C2", "D1", "E1"}));
    EXPECT_EQ(fiches(), QStringList({"3", "4", "5", "6"}));
    // A new day counts what is left.
    jour(false, QDate(2005, 3, 16));
    EXPECT_EQ(moitie(false), QStringLiteral("16/03/2005 2 actif"));
}

TEST_F(OngletPurge, OngletReselectionneRemetLesCalendriers) {
    jour(true, QDate(2005, 3, 15));
    jour(false, QDate(2006, 7, 20));
    w<QTabWidget>("SSTab1")->setCurrentIndex(0);
    w<QTabWidget>("SSTab1")->setCurrentIndex(2);
    EXPECT_EQ(w<QCalendarWidget>("CalCli")->selectedDate(), QDate(2005, 1, 1));
    EXPECT_EQ(w<QCalendarWidget>("CalTech")->selectedDate(), QDate(2005, 1, 1));
    EXPECT_EQ(moitie(true), QStringLiteral("15/03/2005 3 actif"));
    EXPECT_EQ(moitie(false), QStringLiteral("20/07/2006 6 actif"));
}

TEST_F(OngletPurge, EchecDeLaSuppressionRienDePerdu) {
    jour(true, QDate(2005, 3, 15));
    cn.executerSqlite(
        QStringLiteral("CREATE TRIGGER refus BEFORE DELETE ON FCLI WHEN old.Code = 'a3' "
                       "BEGIN SELECT RAISE(ABORT, 'refus'); END;"));
    cliquer("BtnPurgeCli");
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("BdClient.mdb")));
    EXPECT_EQ(clients().size(), 8);
    EXPECT_TRUE(w<QWidget>("Frame5")->isHidden());
    // Another try stays possible.
    EXPECT_EQ(moitie(true), QStringLiteral("15/03/2005 3 actif"));
    EXPECT_TRUE(form->isEnabled());
}

// A count that cannot be made is told, and leaves nothing to confirm: a day to
// come would take every client who ever came.
TEST_F(OngletPurge, ComptageRefuse) {
    const QDate demain = QDate::currentDate().addDays(1);
    const std::tuple<QDate, const char*, bool> cas[] = {
        {demain, "est après aujourd'hui", false},
        {QDate(2005, 3, 15), "introuvable", true},  // the database gone
    };
    for (const auto& [date, message, sansBase] : cas) {
        SCOPED_TRACE(message);
        if (sansBase) {
            cn.Close();
            ASSERT_TRUE(QFile::remove(d.chemin(QStringLiteral("BdClient.mdb"))));
        }
        messages.vider();
        jour(false, date);
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].genre, Genre::Exclamation);
        EXPECT_TRUE(messages.dernier().contains(QString::fromUtf8(message)))
            << messages.dernier().toStdString();
        EXPECT_TRUE(moitie(false).endsWith(QStringLiteral("  inactif")));
    }
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.mdb")));
}

// The undo of the last purge says what came back and counts again.
TEST_F(OngletPurge, AnnulerLaDernierePurge) {
    cliquer("btnAnnulerPurge");
    EXPECT_EQ(messages.textes(), QStringList({"Aucune purge à annuler."}));
    jour(true, QDate(2005, 3, 15));
    cliquer("BtnPurgeCli");
    jour(true, QDate(2005, 3, 15));
    EXPECT_EQ(moitie(true), QStringLiteral("15/03/2005 0 actif"));
    messages.vider();
    messages.repondre(false);
    cliquer("btnAnnulerPurge");
    EXPECT_EQ(clients().size(), 5);
    cliquer("btnAnnulerPurge");
    const QStringList textes = messages.textes();
    ASSERT_EQ(textes.size(), 3);
    EXPECT_TRUE(
        textes[0].startsWith(QStringLiteral("Annuler la dernière purge (Purge des clients")))
        << textes[0].toStdString();
    EXPECT_EQ(textes[1], textes[0]);
    EXPECT_EQ(textes[2],
              QStringLiteral("Purge annulée : 3 client(s) remis dans le fichier clients."));
    EXPECT_EQ(clients().size(), 8);
    EXPECT_EQ(moitie(true), QStringLiteral("15/03/2005 3 actif"));
}

}  // namespace
