#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "app/Form1.h"
#include "commun/Variables.h"
#include "store/Connexion.h"
#include "support/Dossier.h"
#include "support/FauxMessages.h"
#include "support/Fenetres.h"

using store::Valeur;
using test::enfant;

namespace {

using Genre = test::FauxMessages::Message::Genre;

// The FICHES TECHNIQUES tab of a main window on a fresh folder.
class OngletTech : public ::testing::Test {
protected:
    void SetUp() override {
        vars.dossier = d.chemin();
        vars.VilleDefaut = QStringLiteral("PARIS");
        vars.CpDefaut = QStringLiteral("75001");
        cn = d.creerBase();
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{QStringLiteral("Code"), QStringLiteral("A1")},
                       {QStringLiteral("Nom"), QStringLiteral("DUPONT")},
                       {QStringLiteral("Prénom"), QStringLiteral("Marie")}});
    }

    void fiche(qint64 numero, const Valeur& famille, const Valeur& memo) {
        test::inserer(cn, QStringLiteral("FTEC"),
                      {{QStringLiteral("Numéro"), Valeur::entier(numero)},
                       {QStringLiteral("Code_Client"), QStringLiteral("A1")},
                       {QStringLiteral("Date"), QStringLiteral("2005-03-15 10:30:00")},
                       {QStringLiteral("Tech"), QStringLiteral("Julie %1").arg(numero)},
                       {QStringLiteral("Serv"), QStringLiteral("Couleur")},
                       {QStringLiteral("Divers1"), QStringLiteral("d1")},
                       {QStringLiteral("Divers2"), QStringLiteral("d2")},
                       {QStringLiteral("Famille"), famille},
                       {QStringLiteral("Mémo"), memo}});
    }

    Valeur famille(qint64 numero) {
        store::Instruction i(cn,
                             QStringLiteral("SELECT \"Famille\" FROM FTEC WHERE \"Numéro\" = ?"));
        i.lier(1, numero);
        EXPECT_TRUE(i.pas());
        return i.colonne(0);
    }

    // The window, on its sheet tab.
    void ouvrir() {
        f = std::make_unique<app::Form1>(vars, messages);
        f->show();
        enfant<QTabWidget>(f.get(), "SSTab1")->setCurrentIndex(1);
        cliTech = enfant<QTreeWidget>(f.get(), "ListCliTech");
        memos = enfant<QTreeWidget>(f.get(), "ListMemo");
        txtFamille = enfant<QLineEdit>(f.get(), "txtFamille");
        bouton = enfant<QPushButton>(f.get(), "BtnModifFam");
        combo = enfant<QComboBox>(f.get(), "comboFam");
    }
    void analyser() {
        QTest::mouseClick(enfant<QPushButton>(f.get(), "btnAnalyseRTF"), Qt::LeftButton);
    }

    static QStringList ligne(const QTreeWidgetItem* l) {
        QStringList t;
        for (int c = 0; c < 5; ++c) {
            t << l->text(c);
        }
        return t;
    }
    static QStringList numeros(const QTreeWidget* liste) {
        QStringList t;
        for (int i = 0; i < liste->topLevelItemCount(); ++i) {
            t << liste->topLevelItem(i)->text(0);
        }
        return t;
    }
    static void cliquer(QTreeWidget* liste, const QString& numero) {
        const auto trouvees = liste->findItems(numero, Qt::MatchExactly, 0);
        ASSERT_FALSE(trouvees.isEmpty()) << numero.toStdString();
        liste->scrollToItem(trouvees.first());
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {},
                          liste->visualItemRect(trouvees.first()).center());
    }
    // Picks a family in the open drop-down list, as the mouse does.
    void choisir(const QString& nom) {
        QAbstractItemView* vue = combo->view();
        ASSERT_TRUE(test::attendreQue([vue] { return vue->isVisible(); }));
        const QModelIndex i = combo->model()->index(combo->findText(nom), 0);
        vue->scrollTo(i);
        // A release right after the opening is taken for the opening click.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, vue->visualRect(i).center());
        ASSERT_TRUE(test::attendreQue([vue] { return !vue->isVisible(); }));
        EXPECT_EQ(combo->currentText(), nom);
    }
    static bool rouge(const QWidget* w) {
        return w->palette().color(QPalette::Base) == QColor(255, 0, 0) &&
               w->palette().color(QPalette::Text) == QColor(255, 255, 255);
    }
    // Black on white once open (closed, it looks closed).
    static bool blanc(const QWidget* w) {
        return w->palette().color(QPalette::Active, QPalette::Base) == QColor(255, 255, 255) &&
               w->palette().color(QPalette::Active, QPalette::Text) == QColor(0, 0, 0);
    }

    test::Dossier d;
    store::Connexion cn;
    commun::Variables vars;
    test::FauxMessages messages;
    std::unique_ptr<app::Form1> f;
    QTreeWidget* cliTech = nullptr;
    QTreeWidget* memos = nullptr;
    QLineEdit* txtFamille = nullptr;
    QPushButton* bouton = nullptr;
    QComboBox* combo = nullptr;
};

const QString kMemo501 = QString(500, u'a') + u'b';

TEST_F(OngletTech, AnalyseListeEtChargeLesPremieresLignes) {
    fiche(1, QStringLiteral("Coupe"), QStringLiteral("court"));
    fiche(2, Valeur(), kMemo501 + QStringLiteral("  "));
    fiche(3, QStringLiteral(""), QStringLiteral("x"));
    fiche(4, QStringLiteral("  "), QString(600, u'c'));
    ouvrir();
    EXPECT_FALSE(enfant<QGroupBox>(f.get(), "Frame3")->isEnabled());
    analyser();

    EXPECT_TRUE(messages.messages().empty()) << messages.dernier().toStdString();
    EXPECT_EQ(vars.NbTech, 4);
    const QStringList entetes = {QStringLiteral("Auto"), QStringLiteral("Numéro Client"),
                                 QStringLiteral("Nom"), QStringLiteral("ErrFamille"),
                                 QStringLiteral("ErrMemo")};
    EXPECT_EQ(ligne(cliTech->headerItem()), entetes);
    EXPECT_EQ(ligne(memos->headerItem()), entetes);
    ASSERT_EQ(cliTech->topLevelItemCount(), 2);
    EXPECT_EQ(ligne(cliTech->topLevelItem(0)), QStringList({"2", "A1", "DUPONT Marie", "x", ""}));
    EXPECT_EQ(ligne(cliTech->topLevelItem(1)), QStringList({"3", "A1", "DUPONT Marie", "x", ""}));
    ASSERT_EQ(memos->topLevelItemCount(), 2);
    EXPECT_EQ(ligne(memos->topLevelItem(0)), QStringList({"2", "A1", "DUPONT Marie", "", "x"}));
    EXPECT_EQ(ligne(memos->topLevelItem(1)), QStringList({"4", "A1", "DUPONT Marie", "", "x"}));
    EXPECT_EQ(enfant<QLabel>(f.get(), "lblListeTechErr")->text(),
              QStringLiteral("Liste des techniques avec erreurs ( 2 / 4 )"));
    EXPECT_TRUE(enfant<QLabel>(f.get(), "lblAttenteRTF")->isHidden());
    EXPECT_TRUE(enfant<QLabel>(f.get(), "lblNbCliTech")->text().isEmpty());
    EXPECT_TRUE(enfant<QGroupBox>(f.get(), "Frame3")->isEnabled());

    // The first sheet without family is in the panel, its family red.
    EXPECT_TRUE(cliTech->topLevelItem(0)->isSelected());
    EXPECT_TRUE(enfant<QLabel>(f.get(), "lbDateCreat")->text().startsWith("15/03/2005"));
    EXPECT_EQ(enfant<QLineEdit>(f.get(), "txtTech")->text(), QStringLiteral("Julie 2"));
    EXPECT_EQ(enfant<QLineEdit>(f.get(), "txtService")->text(), QStringLiteral("Couleur"));
    EXPECT_EQ(enfant<QLineEdit>(f.get(), "txtDivers1")->text(), QStringLiteral("d1"));
    EXPECT_EQ(enfant<QLineEdit>(f.get(), "txtDivers2")->text(), QStringLiteral("d2"));
    EXPECT_TRUE(txtFamille->text().isEmpty());
    EXPECT_TRUE(rouge(txtFamille));
    EXPECT_TRUE(bouton->isEnabled());
    EXPECT_EQ(bouton->text(), QStringLiteral("M"));
    EXPECT_TRUE(combo->isHidden());

    // The first long memo, tidied, split after its 500th character; the
    // memo list ends with the focus.
    EXPECT_TRUE(memos->topLevelItem(0)->isSelected());
    EXPECT_EQ(enfant<QPlainTextEdit>(f.get(), "txtmemo")->toPlainText(), QString(500, u'a'));
    EXPECT_EQ(enfant<QPlainTextEdit>(f.get(), "txtmemo1")->toPlainText(), QStringLiteral("b"));
    EXPECT_EQ(f->focusWidget(), memos);
    // Shown to be read and scrolled, not changed.
    for (const char* nom : {"txtmemo", "txtmemo1"}) {
        auto* zone = enfant<QPlainTextEdit>(f.get(), nom);
        EXPECT_TRUE(zone->isEnabled() && zone->isReadOnly()) << nom;
    }

    // A second run: the same rows, not twice as many.
    analyser();
    EXPECT_EQ(numeros(cliTech), QStringList({"2", "3"}));
    EXPECT_EQ(numeros(memos), QStringList({"2", "4"}));
}

TEST_F(OngletTech, SansFicheSansFamilleLeMessageEtLeMemo) {
    fiche(1, QStringLiteral("Soin"), kMemo501);
    ouvrir();
    analyser();
    EXPECT_EQ(messages.textes(),
              QStringList({QStringLiteral("Votre fichier technique ne comporte pas d'erreur.")}));
    EXPECT_EQ(messages.messages().front().genre, Genre::Information);
    EXPECT_FALSE(enfant<QGroupBox>(f.get(), "Frame3")->isEnabled());
    EXPECT_EQ(enfant<QPlainTextEdit>(f.get(), "txtmemo1")->toPlainText(), QStringLiteral("b"));

    // A memo shortened since the analysis shows whole, without a stale rest.
    cn.executer(QStringLiteral("UPDATE FTEC SET \"Mémo\" = 'court'"));
    cliquer(memos, QStringLiteral("1"));
    EXPECT_EQ(enfant<QPlainTextEdit>(f.get(), "txtmemo")->toPlainText(), QStringLiteral("court"));
    EXPECT_TRUE(enfant<QPlainTextEdit>(f.get(), "txtmemo1")->toPlainText().isEmpty());
}

TEST_F(OngletTech, TableVide) {
    ouvrir();
    analyser();
    EXPECT_EQ(enfant<QLabel>(f.get(), "lblListeTechErr")->text(),
              QStringLiteral("Liste des techniques avec erreurs ( 0 / 0 )"));
    EXPECT_EQ(messages.textes(),
              QStringList({QStringLiteral("Votre fichier technique ne comporte pas d'erreur.")}));
    EXPECT_FALSE(enfant<QGroupBox>(f.get(), "Frame3")->isEnabled());
}

TEST_F(OngletTech, FamilleCorrigeeDeBoutEnBout) {
    fiche(1, Valeur(), kMemo501);
    fiche(2, QStringLiteral(""), QStringLiteral("x"));
    ouvrir();
    analyser();
    ASSERT_EQ(numeros(cliTech), QStringList({"1", "2"}));

    QTest::mouseClick(bouton, Qt::LeftButton);
    EXPECT_EQ(bouton->text(), QStringLiteral("C"));
    EXPECT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->currentText(), QStringLiteral("Balayage"));
    EXPECT_EQ(f->focusWidget(), combo);
    choisir(QStringLiteral("Coloration"));
    QTest::mouseClick(bouton, Qt::LeftButton);

    EXPECT_TRUE(messages.messages().empty()) << messages.dernier().toStdString();
    EXPECT_EQ(famille(1), Valeur(QStringLiteral("Coloration")));
    EXPECT_EQ(numeros(cliTech), QStringList({"2"}));
    // Still too long: the memo list keeps it.
    EXPECT_EQ(numeros(memos), QStringList({"1"}));
    EXPECT_EQ(bouton->text(), QStringLiteral("M"));
    EXPECT_TRUE(combo->isHidden());
    // The list selects the next row, which the panel then shows.
    ASSERT_TRUE(cliTech->topLevelItem(0)->isSelected());
    EXPECT_EQ(enfant<QLineEdit>(f.get(), "txtTech")->text(), QStringLiteral("Julie 2"));
    EXPECT_TRUE(rouge(txtFamille));
    EXPECT_TRUE(bouton->isEnabled());
}

TEST_F(OngletTech, DerniereCorrectionVideLePanneau) {
    fiche(1, Valeur(), QStringLiteral("x"));
    ouvrir();
    analyser();
    QTest::mouseClick(bouton, Qt::LeftButton);
    choisir(QStringLiteral("Balayage"));
    QTest::mouseClick(bouton, Qt::LeftButton);

    EXPECT_EQ(famille(1), Valeur(QStringLiteral("Balayage")));
    EXPECT_EQ(cliTech->topLevelItemCount(), 0);
    EXPECT_EQ(messages.textes(),
              QStringList({QStringLiteral("Votre fichier technique ne comporte plus d'erreur.")}));
    EXPECT_EQ(messages.messages().back().genre, Genre::Information);
    EXPECT_TRUE(txtFamille->text().isEmpty());
    EXPECT_TRUE(blanc(txtFamille));
    EXPECT_FALSE(txtFamille->isEnabled());
    EXPECT_FALSE(bouton->isEnabled());
    EXPECT_TRUE(enfant<QLabel>(f.get(), "lbDateCreat")->text().isEmpty());
    for (const char* nom : {"txtTech", "txtService", "txtDivers1", "txtDivers2"}) {
        EXPECT_TRUE(enfant<QLineEdit>(f.get(), nom)->text().isEmpty()) << nom;
    }
    // Every text box of the window, on any tab.
    for (const char* nom : {"txtmemo", "txtmemo1"}) {
        EXPECT_FALSE(enfant<QWidget>(f.get(), nom)->isEnabled()) << nom;
    }
}

TEST_F(OngletTech, LeClavierDansLesListesChargeLaFicheQueLOnCorrige) {
    fiche(1, Valeur(), kMemo501);
    fiche(2, Valeur(), QString(600, u'c'));
    ouvrir();
    analyser();
    QTest::keyClick(memos, Qt::Key_Down);
    EXPECT_EQ(enfant<QPlainTextEdit>(f.get(), "txtmemo")->toPlainText(), QString(500, u'c'));
    QTest::keyClick(cliTech, Qt::Key_Down);
    EXPECT_EQ(enfant<QLineEdit>(f.get(), "txtTech")->text(), QStringLiteral("Julie 2"));
    // The family goes to the sheet shown.
    QTest::mouseClick(bouton, Qt::LeftButton);
    choisir(QStringLiteral("Coloration"));
    QTest::mouseClick(bouton, Qt::LeftButton);
    EXPECT_EQ(famille(2), Valeur(QStringLiteral("Coloration")));
    EXPECT_TRUE(famille(1).estNull());
    EXPECT_EQ(numeros(cliTech), QStringList({"1"}));
}

TEST_F(OngletTech, UneAutreLigneAbandonneLeChoix) {
    fiche(1, Valeur(), QStringLiteral("x"));
    fiche(2, Valeur(), QStringLiteral("y"));
    ouvrir();
    analyser();
    QTest::mouseClick(bouton, Qt::LeftButton);
    ASSERT_TRUE(test::attendreQue([this] { return combo->view()->isVisible(); }));
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    ASSERT_TRUE(test::attendreQue([this] { return !combo->view()->isVisible(); }));
    EXPECT_EQ(bouton->text(), QStringLiteral("C"));

    cliquer(cliTech, QStringLiteral("2"));
    EXPECT_EQ(bouton->text(), QStringLiteral("M"));
    EXPECT_TRUE(combo->isHidden());
    EXPECT_EQ(enfant<QLineEdit>(f.get(), "txtTech")->text(), QStringLiteral("Julie 2"));
    EXPECT_TRUE(famille(1).estNull());
    EXPECT_TRUE(famille(2).estNull());
    EXPECT_EQ(numeros(cliTech), QStringList({"1", "2"}));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(OngletTech, EchecsDeLEnregistrement) {
    // A family column that takes only numbers: the typed value is refused.
    cn.executer(QStringLiteral(
        "DROP TABLE FTEC; CREATE TABLE FTEC (\"Numéro\" INTEGER PRIMARY KEY, \"Code_Client\" "
        "TEXT, \"Date\" TEXT, \"Tech\" TEXT, \"Serv\" TEXT, \"Divers1\" TEXT, \"Divers2\" TEXT, "
        "\"Famille\" INTEGER, \"Mémo\" TEXT) STRICT"));
    fiche(1, Valeur(), QStringLiteral("x"));
    fiche(2, Valeur(), QStringLiteral("y"));
    ouvrir();
    analyser();
    QTest::mouseClick(bouton, Qt::LeftButton);
    choisir(QStringLiteral("Coloration"));
    QTest::mouseClick(bouton, Qt::LeftButton);
    EXPECT_EQ(messages.textes(), QStringList({QStringLiteral("La saisie n'est pas un nombre!")}));
    EXPECT_EQ(messages.messages().back().genre, Genre::Exclamation);
    EXPECT_EQ(bouton->text(), QStringLiteral("M"));
    EXPECT_FALSE(txtFamille->isEnabled());
    EXPECT_EQ(numeros(cliTech), QStringList({"1", "2"}));

    // Any other failure is told too, and the list keeps its row.
    messages.vider();
    cliquer(cliTech, QStringLiteral("2"));
    QTest::mouseClick(bouton, Qt::LeftButton);
    choisir(QStringLiteral("Soin"));
    cn.executer(QStringLiteral("DELETE FROM FTEC WHERE \"Numéro\" = 2"));
    QTest::mouseClick(bouton, Qt::LeftButton);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages().back().genre, Genre::Exclamation);
    EXPECT_TRUE(messages.dernier().startsWith(QStringLiteral("La famille n'a pas été enregistrée")))
        << messages.dernier().toStdString();
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("2")))
        << messages.dernier().toStdString();
    EXPECT_EQ(numeros(cliTech), QStringList({"1", "2"}));
}

TEST_F(OngletTech, EchecDeLAnalyseDitEtListesGardees) {
    fiche(1, Valeur(), QStringLiteral("x"));
    ouvrir();
    analyser();
    ASSERT_EQ(numeros(cliTech), QStringList({"1"}));
    messages.vider();

    // The database gone: told, with its name; the lists keep their rows.
    ASSERT_TRUE(QFile::rename(d.chemin(QStringLiteral("BdClient.mdb")),
                              d.chemin(QStringLiteral("ailleurs.mdb"))));
    analyser();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages().back().genre, Genre::Exclamation);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("bdclient.mdb"), Qt::CaseInsensitive))
        << messages.dernier().toStdString();
    EXPECT_EQ(numeros(cliTech), QStringList({"1"}));
    EXPECT_TRUE(enfant<QLabel>(f.get(), "lblAttenteRTF")->isHidden());
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.mdb")));
}

}  // namespace
