#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>

#include "support/Fenetres.h"

using store::Valeur;
using Genre = test::FauxMessages::Message::Genre;

namespace {

const QString kMemo501 = QString(500, u'a') + u'b';

// The FICHES TECHNIQUES tab over sheets of client A1, DUPONT Marie.
class OngletTech : public test::Fenetre {
protected:
    void SetUp() override {
        Fenetre::SetUp();
        cn.executerSqlite(QStringLiteral(
            "INSERT INTO FCLI (Code, Nom, \"Prénom\") VALUES ('A1', 'DUPONT', 'Marie')"));
    }
    void fiche(qint64 numero, const Valeur& famille, const Valeur& memo) {
        test::inserer(cn, QStringLiteral("FTEC"),
                      {{QStringLiteral("Numéro"), Valeur::entier(numero)},
                       {QStringLiteral("Code_Client"), QStringLiteral("A1")},
                       {QStringLiteral("Date"), QStringLiteral("2005-03-15 10:30:00")},
                       {QStringLiteral("Tech"), QStringLiteral("Julie %1").arg(numero)},
                       {QStringLiteral("Famille"), famille},
                       {QStringLiteral("Mémo"), memo}});
    }
    QString famille(int numero) {
        return test::lignes(
                   cn, QStringLiteral("SELECT Famille FROM FTEC WHERE \"Numéro\" = %1").arg(numero))
            .value(0);
    }
    // The window on its sheet tab, the analysis run.
    void analyser() {
        if (!form) {
            ouvrir();
            w<QTabWidget>("SSTab1")->setCurrentIndex(1);
        }
        cliquer("btnAnalyseRTF");
    }
    QStringList sansFamille() { return test::lignes(w<QTreeWidget>("ListCliTech")); }
    QStringList memos() { return test::lignes(w<QTreeWidget>("ListMemo")); }
    QString tech() { return w<QLineEdit>("txtTech")->text(); }
    // Opens the family list, picks a family with the keyboard, and saves.
    void corrigerFamille(const QString& nom) {
        cliquer("BtnModifFam");
        choisir(nom);
        cliquer("BtnModifFam");
    }
    // Picks a family in the open list, with the keyboard.
    void choisir(const QString& nom) {
        auto* combo = w<QComboBox>("comboFam");
        QAbstractItemView* vue = combo->view();
        ASSERT_TRUE(test::attendreQue([vue] { return vue->isVisible(); }));
        vue->setCurrentIndex(combo->model()->index(combo->findText(nom), 0));
        QTest::keyClick(vue, Qt::Key_Return);
        ASSERT_FALSE(vue->isVisible());
        EXPECT_EQ(combo->currentText(), nom);
    }
    bool rouge(const char* nom) {
        const QPalette p = w<QWidget>(nom)->palette();
        return p.color(QPalette::Base) == QColor(255, 0, 0) &&
               p.color(QPalette::Text) == QColor(255, 255, 255);
    }
};

TEST_F(OngletTech, AnalyseListeEtChargeLesPremieresLignes) {
    fiche(1, QStringLiteral("Coupe"), QStringLiteral("court"));
    fiche(2, Valeur(), kMemo501 + QStringLiteral("  "));
    fiche(3, QStringLiteral(""), QStringLiteral("x"));
    fiche(4, QStringLiteral("  "), QString(600, u'c'));
    analyser();
    EXPECT_TRUE(messages.messages().empty()) << messages.dernier().toStdString();
    EXPECT_EQ(vars.NbTech, 4);
    EXPECT_EQ(test::lignes(w<QTreeWidget>("ListCliTech"), 5),
              QStringList({"2|A1|DUPONT Marie|x|", "3|A1|DUPONT Marie|x|"}));
    EXPECT_EQ(test::lignes(w<QTreeWidget>("ListMemo"), 5),
              QStringList({"2|A1|DUPONT Marie||x", "4|A1|DUPONT Marie||x"}));
    EXPECT_EQ(w<QLabel>("lblListeTechErr")->text(),
              QStringLiteral("Liste des techniques avec erreurs ( 2 / 4 )"));
    EXPECT_TRUE(w<QGroupBox>("Frame3")->isEnabled());

    // The first sheet without family is in the panel, its family red.
    EXPECT_TRUE(w<QLabel>("lbDateCreat")->text().startsWith(QStringLiteral("15/03/2005")));
    EXPECT_EQ(tech(), QStringLiteral("Julie 2"));
    EXPECT_TRUE(rouge("txtFamille"));
    EXPECT_TRUE(w<QPushButton>("BtnModifFam")->isEnabled());
    EXPECT_TRUE(w<QComboBox>("comboFam")->isHidden());
    // The first long memo, tidied, split after its 500th character, shown to
    // be read, not changed; the memo list ends with the focus.
    EXPECT_EQ(w<QPlainTextEdit>("txtmemo")->toPlainText(), QString(500, u'a'));
    EXPECT_EQ(w<QPlainTextEdit>("txtmemo1")->toPlainText(), QStringLiteral("b"));
    EXPECT_TRUE(w<QPlainTextEdit>("txtmemo")->isReadOnly());
    EXPECT_EQ(form->focusWidget(), w<QTreeWidget>("ListMemo"));

    // A second run: the same rows, not twice as many.
    analyser();
    EXPECT_EQ(sansFamille(), QStringList({"2", "3"}));
    EXPECT_EQ(memos(), QStringList({"2", "4"}));
}

TEST_F(OngletTech, SansFicheSansFamilleLeMessageEtLeMemo) {
    analyser();
    EXPECT_EQ(w<QLabel>("lblListeTechErr")->text(),
              QStringLiteral("Liste des techniques avec erreurs ( 0 / 0 )"));
    fiche(1, QStringLiteral("Soin"), kMemo501);
    messages.vider();
    analyser();
    EXPECT_EQ(messages.textes(),
              QStringList({QStringLiteral("Votre fichier technique ne comporte pas d'erreur.")}));
    EXPECT_EQ(messages.messages().front().genre, Genre::Information);
    EXPECT_FALSE(w<QGroupBox>("Frame3")->isEnabled());
    EXPECT_EQ(w<QPlainTextEdit>("txtmemo1")->toPlainText(), QStringLiteral("b"));
    // A memo shortened since the analysis shows whole, without a stale rest.
    cn.executerSqlite(QStringLiteral("UPDATE FTEC SET \"Mémo\" = 'court'"));
    test::cliquerLigne(w<QTreeWidget>("ListMemo"), QStringLiteral("1"));
    EXPECT_EQ(w<QPlainTextEdit>("txtmemo")->toPlainText(), QStringLiteral("court"));
    EXPECT_TRUE(w<QPlainTextEdit>("txtmemo1")->toPlainText().isEmpty());
}

TEST_F(OngletTech, FamilleCorrigeeDeBoutEnBout) {
    fiche(1, Valeur(), kMemo501);
    fiche(2, QStringLiteral(""), QStringLiteral("x"));
    analyser();
    cliquer("BtnModifFam");
    EXPECT_EQ(form->focusWidget(), w<QComboBox>("comboFam"));
    EXPECT_EQ(w<QComboBox>("comboFam")->currentText(), QStringLiteral("Balayage"));
    choisir(QStringLiteral("Coloration"));
    cliquer("BtnModifFam");
    EXPECT_TRUE(messages.messages().empty()) << messages.dernier().toStdString();
    EXPECT_EQ(famille(1), QStringLiteral("Coloration"));
    EXPECT_EQ(sansFamille(), QStringList({"2"}));
    // Still too long: the memo list keeps it.
    EXPECT_EQ(memos(), QStringList({"1"}));
    // The list selects the next row, which the panel then shows.
    EXPECT_EQ(tech(), QStringLiteral("Julie 2"));
    EXPECT_TRUE(rouge("txtFamille"));

    // The last one: the panel is emptied, its fields closed and looking closed.
    corrigerFamille(QStringLiteral("Balayage"));
    EXPECT_EQ(famille(2), QStringLiteral("Balayage"));
    EXPECT_EQ(messages.textes(),
              QStringList({QStringLiteral("Votre fichier technique ne comporte plus d'erreur.")}));
    auto* txtFamille = w<QLineEdit>("txtFamille");
    EXPECT_TRUE(txtFamille->text().isEmpty() && tech().isEmpty());
    EXPECT_EQ(txtFamille->palette().color(QPalette::Active, QPalette::Base), QColor(255, 255, 255));
    EXPECT_EQ(txtFamille->palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 0));
    EXPECT_FALSE(txtFamille->isEnabled() || w<QPushButton>("BtnModifFam")->isEnabled());
    EXPECT_FALSE(w<QWidget>("txtmemo")->isEnabled() || w<QWidget>("txtmemo1")->isEnabled());
}

// The lists feed the panel on every change of row; the family goes to the
// sheet shown, and another row given up the pick.
TEST_F(OngletTech, LeClavierEtLaSourisChargentLaFicheQueLOnCorrige) {
    fiche(1, Valeur(), kMemo501);
    fiche(2, Valeur(), QString(600, u'c'));
    fiche(3, Valeur(), QStringLiteral("y"));
    analyser();
    QTest::keyClick(w<QTreeWidget>("ListMemo"), Qt::Key_Down);
    EXPECT_EQ(w<QPlainTextEdit>("txtmemo")->toPlainText(), QString(500, u'c'));
    QTest::keyClick(w<QTreeWidget>("ListCliTech"), Qt::Key_Down);
    EXPECT_EQ(tech(), QStringLiteral("Julie 2"));
    corrigerFamille(QStringLiteral("Coloration"));
    EXPECT_EQ(famille(2), QStringLiteral("Coloration"));
    EXPECT_EQ(famille(1), QStringLiteral("<Null>"));

    cliquer("BtnModifFam");
    QTest::keyClick(w<QComboBox>("comboFam")->view(), Qt::Key_Escape);
    EXPECT_EQ(w<QPushButton>("BtnModifFam")->text(), QStringLiteral("C"));
    test::cliquerLigne(w<QTreeWidget>("ListCliTech"), QStringLiteral("3"));
    EXPECT_EQ(w<QPushButton>("BtnModifFam")->text(), QStringLiteral("M"));
    EXPECT_TRUE(w<QComboBox>("comboFam")->isHidden());
    EXPECT_EQ(tech(), QStringLiteral("Julie 3"));
    EXPECT_EQ(sansFamille(), QStringList({"1", "3"}));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(OngletTech, EchecsDeLEnregistrementEtDeLAnalyse) {
    // A family column that takes only numbers: the typed value is refused.
    cn.executerSqlite(QStringLiteral(
        "DROP TABLE FTEC; CREATE TABLE FTEC (\"Numéro\" INTEGER PRIMARY KEY, \"Code_Client\" "
        "TEXT, \"Date\" TEXT, \"Tech\" TEXT, \"Serv\" TEXT, \"Divers1\" TEXT, \"Divers2\" TEXT, "
        "\"Famille\" INTEGER, \"Mémo\" TEXT) STRICT"));
    fiche(1, Valeur(), QStringLiteral("x"));
    fiche(2, Valeur(), QStringLiteral("y"));
    analyser();
    corrigerFamille(QStringLiteral("Coloration"));
    EXPECT_EQ(messages.textes(), QStringList({QStringLiteral("La saisie n'est pas un nombre!")}));
    EXPECT_FALSE(w<QLineEdit>("txtFamille")->isEnabled());

    // Any other failure is told too, and the list keeps its row.
    messages.vider();
    test::cliquerLigne(w<QTreeWidget>("ListCliTech"), QStringLiteral("2"));
    cn.executerSqlite(QStringLiteral("DELETE FROM FTEC WHERE \"Numéro\" = 2"));
    corrigerFamille(QStringLiteral("Soin"));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.dernier().startsWith(QStringLiteral("La famille n'a pas été enregistrée")))
        << messages.dernier().toStdString();
    EXPECT_EQ(sansFamille(), QStringList({"1", "2"}));

    // The database gone: told, with its name; the lists keep their rows.
    messages.vider();
    cn.Close();
    ASSERT_TRUE(QFile::rename(d.chemin(QStringLiteral("BdClient.mdb")),
                              d.chemin(QStringLiteral("ailleurs.mdb"))));
    analyser();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("bdclient.mdb"), Qt::CaseInsensitive))
        << messages.dernier().toStdString();
    EXPECT_EQ(sansFamille(), QStringList({"1", "2"}));
    EXPECT_TRUE(w<QLabel>("lblAttenteRTF")->isHidden());
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.mdb")));
}

}  // namespace
