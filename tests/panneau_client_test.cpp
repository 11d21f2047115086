#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app/Form1.h"
#include "clients/OngletClients.h"
#include "clients/PanneauClient.h"
#include "commun/Variables.h"
#include "store/Recordset.h"
#include "support/Dossier.h"
#include "support/FauxMessages.h"
#include "support/Fenetres.h"

using test::enfant;
using Genre = test::FauxMessages::Message::Genre;

namespace {

// Three clients in error, over the real towns reference:
//   A12  DUPONT Marie  Cat, Age 11 and Tel1 0612
//   b7   MARTIN Paul   town PARSI
//   0345 LEROY         e-mail x@y
// and one sound client, 9.
class Panneau : public ::testing::Test {
protected:
    void SetUp() override {
        d.copierCommunes();
        store::Connexion cn = d.creerBase();
        vars.dossier = d.chemin();
        vars.VilleDefaut = QStringLiteral("PARIS");
        vars.CpDefaut = QStringLiteral("75001");
        const QString ville = QStringLiteral("Ville");
        const QString cp = QStringLiteral("Code Postal");
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{QStringLiteral("Code"), QStringLiteral("A12")},
                       {QStringLiteral("Nom"), QStringLiteral("DUPONT")},
                       {QStringLiteral("Prénom"), QStringLiteral("Marie")},
                       {QStringLiteral("Adresse"), QStringLiteral("12 rue Haute")},
                       {ville, QStringLiteral("PARIS")},
                       {cp, QStringLiteral("75001")},
                       {QStringLiteral("Cat, Age"), QStringLiteral("11")},
                       {QStringLiteral("Tel1"), QStringLiteral("0612")},
                       {QStringLiteral("Email"), QStringLiteral("marie@exemple.fr")},
                       {QStringLiteral("GenCode"), QStringLiteral("3012345678901")}});
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{QStringLiteral("Code"), QStringLiteral("b7")},
                       {QStringLiteral("Nom"), QStringLiteral("MARTIN")},
                       {QStringLiteral("Prénom"), QStringLiteral("Paul")},
                       {ville, QStringLiteral("PARSI")},
                       {cp, QStringLiteral("75001")}});
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{QStringLiteral("Code"), QStringLiteral("0345")},
                       {QStringLiteral("Nom"), QStringLiteral("LEROY")},
                       {ville, QStringLiteral("LYON")},
                       {cp, QStringLiteral("69003")},
                       {QStringLiteral("Email"), QStringLiteral("x@y")}});
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{QStringLiteral("Code"), QStringLiteral("9")},
                       {QStringLiteral("Nom"), QStringLiteral("SAIN")},
                       {ville, QStringLiteral("LYON")},
                       {cp, QStringLiteral("69003")}});
        cn.Close();
        form = std::make_unique<app::Form1>(vars, messages);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::mouseClick(w<QPushButton>("btnAnalyseBd"), Qt::LeftButton);
        ASSERT_EQ(messages.textes(), QStringList{QStringLiteral("Analyse terminée.")});
        messages.vider();
    }

    template <class T>
    T* w(const char* nom) {
        return enfant<T>(form.get(), nom);
    }
    QTreeWidget* liste() { return w<QTreeWidget>("ListCli"); }
    QStringList codes() {
        QStringList c;
        for (int i = 0; i < liste()->topLevelItemCount(); ++i) {
            c << liste()->topLevelItem(i)->text(0);
        }
        return c;
    }
    QStringList marques(const QString& code) {
        const auto trouves = liste()->findItems(code, Qt::MatchExactly);
        QStringList m;
        for (int c = 2; !trouves.isEmpty() && c < 15; ++c) {
            m << trouves.first()->text(c);
        }
        return m;
    }
    void cliquerClient(const QString& code) {
        const auto trouves = liste()->findItems(code, Qt::MatchExactly);
        ASSERT_FALSE(trouves.isEmpty()) << code.toStdString();
        const QRect r = liste()->visualItemRect(trouves.first());
        QTest::mouseClick(liste()->viewport(), Qt::LeftButton, {}, r.center());
    }
    void cliquerVille(const QString& ville, bool double_ = false) {
        auto* l = w<QListWidget>("List1");
        const auto trouves = l->findItems(ville, Qt::MatchExactly);
        ASSERT_FALSE(trouves.isEmpty()) << ville.toStdString();
        l->scrollToItem(trouves.first());
        const QRect r = l->visualItemRect(trouves.first());
        // A double click comes after the click of its first press, as with a mouse.
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
        if (double_) {
            QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, r.center());
        }
    }
    void cliquer(const char* bouton) { QTest::mouseClick(w<QPushButton>(bouton), Qt::LeftButton); }
    // Replaces the text of a box as typed on the keyboard.
    void taper(const char* zone, const QString& texte) {
        auto* z = w<QLineEdit>(zone);
        z->setFocus();
        z->selectAll();
        QTest::keyClick(z, Qt::Key_Backspace);
        QTest::keyClicks(z, texte);
    }
    // Every column of a client, as stored.
    QStringList enregistrement(const QString& code) {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        store::Recordset rs;
        rs.Open(QStringLiteral("select * from FCLI where Code = '%1' COLLATE BINARY").arg(code),
                cn);
        QStringList t;
        for (int i = 0; !rs.Eof() && i < rs.NbChamps(); ++i) {
            t << (rs.Champ(i).estNull() ? QStringLiteral("<Null>") : rs.Champ(i).texte());
        }
        return t;
    }
    bool rouge(const char* zone) {
        return w<QLineEdit>(zone)->palette().color(QPalette::Base) == QColor(255, 0, 0);
    }

    test::Dossier d;
    commun::Variables vars;
    test::FauxMessages messages;
    std::unique_ptr<app::Form1> form;
};

TEST_F(Panneau, ChargementDuPremierPuisDUnAutreClient) {
    EXPECT_EQ(codes(),
              (QStringList{QStringLiteral("A12"), QStringLiteral("b7"), QStringLiteral("0345")}));
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("DUPONT"));
    EXPECT_EQ(w<QLabel>("lblNom1")->text(), QStringLiteral("Nom     { 6 }"));
    EXPECT_EQ(w<QLabel>("lblPrenom1")->text(), QStringLiteral("Prénom     { 5 }"));
    EXPECT_EQ(w<QLabel>("lblAdr1")->text(), QStringLiteral("Adresse     { 12 }"));
    EXPECT_EQ(w<QLabel>("lblAdr2")->text(), QStringLiteral("Adresse2     {  }"));
    EXPECT_EQ(w<QLabel>("lblTel11")->text(), QStringLiteral("Tel1     { 4 }"));
    EXPECT_TRUE(rouge("txtCatAge"));
    EXPECT_TRUE(rouge("txtTel1"));
    EXPECT_FALSE(rouge("TxtVille"));
    EXPECT_FALSE(rouge("txtEmail"));
    EXPECT_EQ(w<QLineEdit>("txtCatAge")->palette().color(QPalette::Text), QColor(255, 255, 255));
    EXPECT_EQ(vars.NbCli, 4);

    cliquerClient(QStringLiteral("b7"));
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("MARTIN"));
    EXPECT_EQ(w<QLineEdit>("TxtVille")->text(), QStringLiteral("PARSI"));
    EXPECT_EQ(w<QLineEdit>("txtCatAge")->text(), QString());
    EXPECT_TRUE(rouge("TxtVille"));
    EXPECT_FALSE(rouge("txtCatAge"));
    EXPECT_EQ(w<QLabel>("lblPrenom1")->text(), QStringLiteral("Prénom     { 4 }"));
    // A code of digits and one that starts with a small letter are found too.
    cliquerClient(QStringLiteral("0345"));
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("LEROY"));
    EXPECT_EQ(w<QLabel>("lblPrenom1")->text(), QStringLiteral("Prénom     {  }"));
    EXPECT_TRUE(messages.textes().isEmpty());
}

TEST_F(Panneau, BoutonsEtFiltresDeTouches) {
    auto* catAge = w<QLineEdit>("txtCatAge");
    auto* bouton = w<QPushButton>("BtnModifCatAge");
    EXPECT_EQ(bouton->property("Tag").toString(), QStringLiteral("Cat, Age"));
    EXPECT_EQ(w<QPushButton>("BtnModifCP")->property("Tag").toString(),
              QStringLiteral("Code Postal"));
    EXPECT_FALSE(catAge->isEnabled());
    cliquer("BtnModifCatAge");
    EXPECT_EQ(bouton->text(), QStringLiteral("C"));
    EXPECT_TRUE(catAge->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), catAge);
    taper("txtCatAge", QStringLiteral("a+ -0:5"));
    EXPECT_EQ(catAge->text(), QStringLiteral("0:5"));

    cliquer("BtnModifTel1");
    taper("txtTel1", QStringLiteral("+33 6a1-2"));
    EXPECT_EQ(w<QLineEdit>("txtTel1")->text(), QStringLiteral("+33612"));
    EXPECT_EQ(w<QLabel>("lblTel11")->text(), QStringLiteral("Tel1     { 6 }"));
    cliquer("BtnModifGenCode");
    taper("txtGenCode", QStringLiteral("+1x2"));
    EXPECT_EQ(w<QLineEdit>("txtGenCode")->text(), QStringLiteral("+12"));
    cliquer("BtnModifEmail");
    taper("txtEmail", QStringLiteral("a b+c"));
    EXPECT_EQ(w<QLineEdit>("txtEmail")->text(), QStringLiteral("a b+c"));

    // Entering the e-mail box selects its whole text.
    w<QLineEdit>("txtGenCode")->setFocus();
    w<QLineEdit>("txtEmail")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(test::attendreQue(
        [&] { return w<QLineEdit>("txtEmail")->selectedText() == QStringLiteral("a b+c"); }));
}

TEST_F(Panneau, LesBoitesDeChiffresLaissentPasserLesTouchesDEdition) {
    cliquer("BtnModifTel1");
    auto* tel = w<QLineEdit>("txtTel1");
    taper("txtTel1", QStringLiteral("0612"));
    // Each key with the text the keyboard gives it.
    struct Cas {
        QKeyCombination touche;
        const char* frappe;
        const char* texte;  // what the box holds after the key
    };
    const Cas cas[] = {
        {Qt::Key_Home, "", "0612"},
        {Qt::Key_Delete, "\x7f", "612"},
        {Qt::Key_End, "", "612"},
        {Qt::Key_Left, "", "612"},
        {Qt::Key_Backspace, "\b", "62"},
        {Qt::CTRL | Qt::Key_A, "\x01", "62"},
        {Qt::CTRL | Qt::Key_V, "\x16", "123"},
        {Qt::CTRL | Qt::Key_Z, "\x1a", "62"},
        {Qt::CTRL | Qt::Key_A, "a", "62"},  // as some platforms give it
        {Qt::CTRL | Qt::Key_X, "\x18", ""},
        {Qt::CTRL | Qt::Key_V, "\x16", "62"},
        {Qt::CTRL | Qt::Key_C, "\x03", "62"},
        {Qt::Key_Tab, "\t", "62"},
    };
    // A paste goes through the filter as typing does.
    QGuiApplication::clipboard()->setText(QStringLiteral("12ab3"));
    for (const Cas& c : cas) {
        SCOPED_TRACE(QKeySequence(c.touche).toString().toStdString());
        QTest::sendKeyEvent(QTest::Click, tel, c.touche.key(), QString::fromLatin1(c.frappe),
                            c.touche.keyboardModifiers());
        EXPECT_EQ(tel->text(), QString::fromUtf8(c.texte));
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("62"));
    // Tab has left the box; Shift+Tab comes back to it.
    ASSERT_NE(QApplication::focusWidget(), tel);
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_Backtab,
                        QStringLiteral("\t"), Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), tel);

    // The context menu's paste is filtered too (over the text Shift+Tab selected).
    QGuiApplication::clipboard()->setText(QStringLiteral("4x5"));
    QContextMenuEvent clicDroit(QContextMenuEvent::Mouse, QPoint(2, 2),
                                tel->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(tel, &clicDroit);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    for (QAction* action : menu->actions()) {
        if (action->text().startsWith(QLineEdit::tr("&Paste"))) {
            action->trigger();
        }
    }
    menu->close();
    EXPECT_EQ(tel->text(), QStringLiteral("45"));
}

TEST_F(Panneau, LaSaisieNEstPasUnNombre) {
    const QStringList avant = enregistrement(QStringLiteral("A12"));
    cliquer("BtnModifCatAge");
    taper("txtCatAge", QStringLiteral("1:"));
    cliquer("BtnModifCatAge");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].genre, Genre::Exclamation);
    EXPECT_EQ(messages.dernier(), QStringLiteral("La saisie n'est pas un nombre!"));
    EXPECT_EQ(w<QPushButton>("BtnModifCatAge")->text(), QStringLiteral("M"));
    EXPECT_FALSE(w<QLineEdit>("txtCatAge")->isEnabled());
    EXPECT_EQ(enregistrement(QStringLiteral("A12")), avant);
}

TEST_F(Panneau, UnChampCorrigeEtLesMarquesRenouvelees) {
    const QStringList avant = enregistrement(QStringLiteral("A12"));
    cliquer("BtnModifCatAge");
    taper("txtCatAge", QStringLiteral("5"));
    cliquer("BtnModifCatAge");
    EXPECT_TRUE(messages.textes().isEmpty()) << messages.dernier().toStdString();
    QStringList attendu = avant;
    attendu[8] = QStringLiteral("05");
    EXPECT_EQ(enregistrement(QStringLiteral("A12")), attendu);
    EXPECT_EQ(w<QLineEdit>("txtCatAge")->text(), QStringLiteral("05"));
    EXPECT_EQ(w<QPushButton>("BtnModifCatAge")->text(), QStringLiteral("M"));
    EXPECT_FALSE(w<QLineEdit>("txtCatAge")->isEnabled());
    QStringList m(13, QString());
    m[8] = QStringLiteral("x");
    EXPECT_EQ(marques(QStringLiteral("A12")), m);
    EXPECT_FALSE(rouge("txtCatAge"));
    EXPECT_TRUE(rouge("txtTel1"));
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("DUPONT"));

    // An empty age category is saved empty.
    cliquer("BtnModifCatAge");
    taper("txtCatAge", QString());
    cliquer("BtnModifCatAge");
    EXPECT_EQ(enregistrement(QStringLiteral("A12"))[8], QString());

    // The last error of the client: it leaves the list.
    cliquer("BtnModifTel1");
    taper("txtTel1", QStringLiteral("+33612345678"));
    EXPECT_EQ(w<QLabel>("lblTel11")->text(), QStringLiteral("Tel1     { 12 }"));
    cliquer("BtnModifTel1");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].genre, Genre::Information);
    EXPECT_EQ(messages.dernier(), QStringLiteral("Le client DUPONT Marie\r\n est corrigé.\r\n"));
    EXPECT_EQ(codes(), (QStringList{QStringLiteral("b7"), QStringLiteral("0345")}));
    EXPECT_EQ(w<QLabel>("lblListeCliErr")->text(),
              QStringLiteral("Liste des clients avec erreur (2 / 4)"));
    EXPECT_EQ(enregistrement(QStringLiteral("A12"))[11], QStringLiteral("+33612345678"));
    // The panel moved on to the next client.
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("MARTIN"));
    EXPECT_TRUE(liste()->topLevelItem(0)->isSelected());
    EXPECT_TRUE(rouge("TxtVille"));
}

TEST_F(Panneau, LaSaisieVaAuClientSelectionneAuMomentDeLEnregistrer) {
    cliquer("BtnModifEmail");
    taper("txtEmail", QStringLiteral("leroy@exemple.fr"));
    cliquerClient(QStringLiteral("0345"));
    // The open field now shows the client just loaded, as the list says.
    EXPECT_EQ(w<QPushButton>("BtnModifEmail")->text(), QStringLiteral("C"));
    EXPECT_EQ(w<QLineEdit>("txtEmail")->text(), QStringLiteral("x@y"));
    taper("txtEmail", QStringLiteral("leroy@exemple.fr"));
    cliquer("BtnModifEmail");
    EXPECT_EQ(enregistrement(QStringLiteral("0345"))[22], QStringLiteral("leroy@exemple.fr"));
    EXPECT_EQ(enregistrement(QStringLiteral("A12"))[22], QStringLiteral("marie@exemple.fr"));
    EXPECT_EQ(codes(), (QStringList{QStringLiteral("A12"), QStringLiteral("b7")}));
}

TEST_F(Panneau, LeClavierDansLaListeChargeLeClientQueLOnCorrige) {
    struct Cas {
        Qt::Key touche;
        const char* frappe;
        const char* nom;  // the client shown after the key
    };
    const Cas cas[] = {{Qt::Key_Down, "", "MARTIN"},
                       {Qt::Key_End, "", "LEROY"},
                       {Qt::Key_Home, "", "DUPONT"},
                       {Qt::Key_0, "0", "LEROY"},
                       {Qt::Key_Up, "", "MARTIN"}};
    liste()->setFocus();
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        QTest::sendKeyEvent(QTest::Click, liste(), c.touche, QString::fromLatin1(c.frappe),
                            Qt::NoModifier);
        EXPECT_EQ(w<QLabel>("lblNom")->text(), QString::fromLatin1(c.nom));
    }
    // The save goes to the client shown.
    cliquer("BtnModifTel1");
    taper("txtTel1", QStringLiteral("0611111111"));
    cliquer("BtnModifTel1");
    EXPECT_EQ(enregistrement(QStringLiteral("b7"))[11], QStringLiteral("0611111111"));
    EXPECT_EQ(enregistrement(QStringLiteral("A12"))[11], QStringLiteral("0612"));
    EXPECT_TRUE(messages.textes().isEmpty()) << messages.dernier().toStdString();
}

TEST_F(Panneau, EnregistrementImpossible) {
    cliquer("BtnModifTel1");
    taper("txtTel1", QStringLiteral("0612345678"));
    // The client vanished behind our back.
    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        cn.executer(QStringLiteral("DELETE FROM FCLI WHERE Code = 'A12'"));
    }
    cliquer("BtnModifTel1");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].genre, Genre::Exclamation);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("A12")))
        << messages.dernier().toStdString();
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("pas été enregistrée")));
    EXPECT_EQ(w<QPushButton>("BtnModifTel1")->text(), QStringLiteral("C"));
    EXPECT_TRUE(w<QLineEdit>("txtTel1")->isEnabled());
    EXPECT_EQ(w<QLineEdit>("txtTel1")->text(), QStringLiteral("0612345678"));

    // The database held by another program.
    cliquerClient(QStringLiteral("b7"));
    messages.vider();
    taper("txtTel1", QStringLiteral("0611111111"));
    {
        store::Connexion autre(d.chemin(QStringLiteral("BdClient.mdb")));
        autre.executer(QStringLiteral("BEGIN EXCLUSIVE"));
        cliquer("BtnModifTel1");
        autre.executer(QStringLiteral("ROLLBACK"));
    }
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("verrouillée")))
        << messages.dernier().toStdString();
    EXPECT_EQ(w<QPushButton>("BtnModifTel1")->text(), QStringLiteral("C"));
    EXPECT_EQ(w<QLineEdit>("txtTel1")->text(), QStringLiteral("0611111111"));
    EXPECT_EQ(enregistrement(QStringLiteral("b7"))[11], QStringLiteral("<Null>"));

    // The database gone: said, and the typed text kept for a later try.
    QFile::rename(d.chemin(QStringLiteral("BdClient.mdb")),
                  d.chemin(QStringLiteral("ailleurs.mdb")));
    messages.vider();
    cliquer("BtnModifTel1");
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("BdClient.mdb"), Qt::CaseInsensitive))
        << messages.dernier().toStdString();
    EXPECT_EQ(w<QPushButton>("BtnModifTel1")->text(), QStringLiteral("C"));
    QFile::rename(d.chemin(QStringLiteral("ailleurs.mdb")),
                  d.chemin(QStringLiteral("BdClient.mdb")));
    messages.vider();
    cliquer("BtnModifTel1");
    EXPECT_TRUE(messages.textes().isEmpty()) << messages.dernier().toStdString();
    EXPECT_EQ(enregistrement(QStringLiteral("b7"))[11], QStringLiteral("0611111111"));
}

TEST_F(Panneau, ChargerSansLigneChoisieOuClientDisparu) {
    liste()->clearSelection();
    form->ongletClients().panneau().ListCli_ItemClick();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].genre, Genre::Exclamation);
    // The panel still shows the client it had.
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("DUPONT"));

    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        cn.executer(QStringLiteral("DELETE FROM FCLI WHERE Code = 'b7'"));
    }
    messages.vider();
    cliquerClient(QStringLiteral("b7"));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("« b7 »")))
        << messages.dernier().toStdString();
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("DUPONT"));
    // The panel does not show the selected client: no field opens on it.
    cliquer("BtnModifTel1");
    EXPECT_EQ(w<QPushButton>("BtnModifTel1")->text(), QStringLiteral("M"));
    EXPECT_FALSE(w<QLineEdit>("txtTel1")->isEnabled());
}

TEST_F(Panneau, CodePostalDeuxChiffresPuisUneVille) {
    cliquerClient(QStringLiteral("b7"));
    cliquer("BtnModifCP");
    auto* frame2 = w<QWidget>("Frame2");
    auto* villes = w<QListWidget>("List1");
    auto* cpNew = w<QLineEdit>("txtCpNew");
    auto* ok = w<QPushButton>("BtnOk");
    EXPECT_TRUE(frame2->isVisible());
    EXPECT_EQ(w<QPushButton>("BtnModifCP")->text(), QStringLiteral("C"));
    EXPECT_FALSE(w<QGroupBox>("Frame1")->isEnabled());
    EXPECT_FALSE(liste()->isEnabled());
    EXPECT_TRUE(w<QPushButton>("btnAnalyseBd")->isHidden());
    EXPECT_EQ(cpNew->text(), QStringLiteral("75001"));
    EXPECT_EQ(villes->count(), 1);
    EXPECT_EQ(w<QLabel>("lblListeVille")->text(), QStringLiteral("Villes   ( 1 )"));
    EXPECT_TRUE(ok->isHidden());

    taper("txtCpNew", QStringLiteral("6"));
    EXPECT_EQ(villes->count(), 0);
    EXPECT_EQ(w<QLabel>("lblListeVille")->text(), QStringLiteral("Villes   ( 0 )"));
    QTest::keyClicks(cpNew, QStringLiteral("x9"));
    EXPECT_EQ(cpNew->text(), QStringLiteral("69"));
    EXPECT_EQ(villes->count(), 278);
    EXPECT_EQ(w<QLabel>("lblListeVille")->text(), QStringLiteral("Villes   ( 278 )"));
    EXPECT_TRUE(ok->isHidden());

    cliquerVille(QStringLiteral("LYON"));
    EXPECT_EQ(cpNew->text(), QStringLiteral("69001"));
    EXPECT_EQ(villes->count(), 278);
    ASSERT_EQ(villes->selectedItems().size(), 1);
    EXPECT_EQ(villes->selectedItems().first()->text(), QStringLiteral("LYON"));
    EXPECT_FALSE(ok->isHidden());
    EXPECT_FALSE(vars.ChoixListe);

    // Another code typed after the pick: the pick is lost, so is "Valider".
    taper("txtCpNew", QStringLiteral("69002"));
    EXPECT_TRUE(villes->selectedItems().isEmpty());
    EXPECT_TRUE(ok->isHidden());
    cliquerVille(QStringLiteral("LYON"));
    EXPECT_EQ(cpNew->text(), QStringLiteral("69002"));
    EXPECT_FALSE(ok->isHidden());

    const QStringList avant = enregistrement(QStringLiteral("b7"));
    cliquer("BtnOk");
    EXPECT_TRUE(frame2->isHidden());
    EXPECT_TRUE(w<QGroupBox>("Frame1")->isEnabled());
    EXPECT_TRUE(liste()->isEnabled());
    EXPECT_FALSE(w<QPushButton>("btnAnalyseBd")->isHidden());
    EXPECT_EQ(w<QPushButton>("BtnModifCP")->text(), QStringLiteral("M"));
    QStringList attendu = avant;
    attendu[6] = QStringLiteral("LYON");
    attendu[7] = QStringLiteral("69002");
    EXPECT_EQ(enregistrement(QStringLiteral("b7")), attendu);
    EXPECT_EQ(messages.textes(),
              QStringList{QStringLiteral("Le client MARTIN Paul\r\n est corrigé.\r\n")});
    EXPECT_EQ(codes(), (QStringList{QStringLiteral("A12"), QStringLiteral("0345")}));
}

TEST_F(Panneau, CodePostalAnnuleRienNeChange) {
    cliquerClient(QStringLiteral("b7"));
    const QStringList avant = enregistrement(QStringLiteral("b7"));
    cliquer("BtnModifCP");
    taper("txtCpNew", QStringLiteral("69"));
    cliquerVille(QStringLiteral("LYON"));
    cliquer("BtnFermer");
    EXPECT_TRUE(w<QWidget>("Frame2")->isHidden());
    EXPECT_EQ(w<QPushButton>("BtnModifCP")->text(), QStringLiteral("M"));
    EXPECT_EQ(w<QLineEdit>("txtCp")->text(), QStringLiteral("75001"));
    EXPECT_EQ(w<QLineEdit>("TxtVille")->text(), QStringLiteral("PARSI"));
    EXPECT_TRUE(w<QGroupBox>("Frame1")->isEnabled());
    EXPECT_TRUE(liste()->isEnabled());
    EXPECT_FALSE(w<QPushButton>("btnAnalyseBd")->isHidden());
    EXPECT_EQ(enregistrement(QStringLiteral("b7")), avant);
    EXPECT_TRUE(messages.textes().isEmpty());

    // Opened again on the same code: the list is there at once.
    cliquer("BtnModifCP");
    EXPECT_EQ(w<QLineEdit>("txtCpNew")->text(), QStringLiteral("75001"));
    EXPECT_EQ(w<QListWidget>("List1")->count(), 1);
    EXPECT_TRUE(w<QPushButton>("BtnOk")->isHidden());
}

TEST_F(Panneau, DoubleClicSurUneVilleValideAussitot) {
    cliquerClient(QStringLiteral("b7"));
    cliquer("BtnModifCP");
    cliquerVille(QStringLiteral("PARIS"), true);
    EXPECT_TRUE(w<QWidget>("Frame2")->isHidden());
    EXPECT_EQ(w<QPushButton>("BtnModifCP")->text(), QStringLiteral("M"));
    EXPECT_EQ(enregistrement(QStringLiteral("b7"))[6], QStringLiteral("PARIS"));
    EXPECT_EQ(enregistrement(QStringLiteral("b7"))[7], QStringLiteral("75001"));
    EXPECT_EQ(messages.textes(),
              QStringList{QStringLiteral("Le client MARTIN Paul\r\n est corrigé.\r\n")});
}

TEST_F(Panneau, ClientSansCodePostal) {
    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        cn.executer(QStringLiteral("UPDATE FCLI SET \"Code Postal\" = '' WHERE Code = 'b7'"));
    }
    cliquerClient(QStringLiteral("b7"));
    cliquer("BtnModifCP");
    EXPECT_EQ(w<QLineEdit>("txtCpNew")->text(), QString());
    EXPECT_EQ(w<QListWidget>("List1")->count(), 0);
    EXPECT_TRUE(w<QPushButton>("BtnOk")->isHidden());
}

TEST_F(Panneau, LeDernierClientCorrigeVideLePanneau) {
    cliquerClient(QStringLiteral("0345"));
    cliquer("BtnModifEmail");
    taper("txtEmail", QStringLiteral("leroy@exemple.fr"));
    cliquer("BtnModifEmail");
    cliquerClient(QStringLiteral("b7"));
    cliquer("BtnModifCP");
    cliquerVille(QStringLiteral("PARIS"), true);
    cliquerClient(QStringLiteral("A12"));
    cliquer("BtnModifCatAge");
    taper("txtCatAge", QStringLiteral("10"));
    cliquer("BtnModifCatAge");
    messages.vider();
    cliquer("BtnModifTel1");
    taper("txtTel1", QStringLiteral("0612345678"));
    cliquer("BtnModifTel1");

    EXPECT_EQ(messages.textes(),
              (QStringList{QStringLiteral("Le client DUPONT Marie\r\n est corrigé.\r\n"),
                           QStringLiteral("Votre fichier clients ne comporte plus d'erreur.")}));
    EXPECT_EQ(liste()->topLevelItemCount(), 0);
    EXPECT_EQ(w<QLabel>("lblListeCliErr")->text(),
              QStringLiteral("Liste des clients avec erreur (0 / 4)"));
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QString());
    EXPECT_EQ(w<QLineEdit>("txtTel1")->text(), QString());
    // Every text box of the window, the sheet tab's memos included.
    for (QWidget* zone : form->findChildren<QWidget*>()) {
        if ((qobject_cast<QLineEdit*>(zone) || qobject_cast<QPlainTextEdit*>(zone)) &&
            zone->objectName().startsWith(QLatin1String("txt"), Qt::CaseInsensitive)) {
            EXPECT_FALSE(zone->isEnabled()) << zone->objectName().toStdString();
            EXPECT_EQ(zone->palette().color(QPalette::Active, QPalette::Base),
                      QColor(255, 255, 255));
        }
    }
}

}  // namespace
