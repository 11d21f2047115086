#include <gtest/gtest.h>

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "clients/OngletClients.h"
#include "clients/PanneauClient.h"
#include "support/Fenetres.h"

using Genre = test::FauxMessages::Message::Genre;

namespace {

// Three clients in error, over the real towns reference:
//   A12  DUPONT Marie  Cat, Age 11 and Tel1 0612
//   b7   MARTIN Paul   town PARSI
//   0345 LEROY         e-mail x@y
// and one sound client, 9; the analysis run from the window.
class Panneau : public test::Fenetre {
protected:
    void SetUp() override {
        Fenetre::SetUp();
        d.copierCommunes();
        cn.executerSqlite(QStringLiteral(
            "INSERT INTO FCLI (Code, Nom, \"Prénom\", Adresse, Ville, \"Code Postal\", "
            "\"Cat, Age\", Tel1, Email, GenCode) VALUES "
            "('A12', 'DUPONT', 'Marie', '12 rue Haute', 'PARIS', '75001', '11', '0612', "
            "'marie@exemple.fr', '3012345678901'),"
            "('b7', 'MARTIN', 'Paul', NULL, 'PARSI', '75001', NULL, NULL, NULL, NULL),"
            "('0345', 'LEROY', NULL, NULL, 'LYON', '69003', NULL, NULL, 'x@y', NULL),"
            "('9', 'SAIN', NULL, NULL, 'LYON', '69003', NULL, NULL, NULL, NULL)"));
        ouvrir();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        cliquer("btnAnalyseBd");
        ASSERT_EQ(messages.textes(), QStringList{QStringLiteral("Analyse terminée.")});
        messages.vider();
    }

    QTreeWidget* liste() { return w<QTreeWidget>("ListCli"); }
    QStringList codes() { return test::lignes(liste()); }
    QString nom() { return w<QLabel>("lblNom")->text(); }
    // Replaces the text of a box as typed on the keyboard.
    void taper(const char* zone, const QString& texte) {
        auto* z = w<QLineEdit>(zone);
        z->setFocus();
        z->selectAll();
        QTest::keyClick(z, Qt::Key_Backspace);
        QTest::keyClicks(z, texte);
    }
    // Opens a field, types, and saves.
    void corriger(const char* bouton, const char* zone, const QString& texte) {
        cliquer(bouton);
        taper(zone, texte);
        cliquer(bouton);
    }
    bool rouge(const char* zone) {
        return w<QLineEdit>(zone)->palette().color(QPalette::Base) == QColor(255, 0, 0);
    }
};

TEST_F(Panneau, ChargementDesClientsEtLignesSansClient) {
    EXPECT_EQ(codes(),
              (QStringList{QStringLiteral("A12"), QStringLiteral("b7"), QStringLiteral("0345")}));
    EXPECT_EQ(nom(), QStringLiteral("DUPONT"));
    EXPECT_EQ(w<QLabel>("lblTel11")->text(), QStringLiteral("Tel1     { 4 }"));
    EXPECT_TRUE(rouge("txtCatAge") && rouge("txtTel1"));
    EXPECT_FALSE(rouge("TxtVille") || rouge("txtEmail"));
    EXPECT_EQ(w<QLineEdit>("txtCatAge")->palette().color(QPalette::Text), QColor(255, 255, 255));

    test::cliquerLigne(liste(), QStringLiteral("b7"));
    EXPECT_EQ(nom(), QStringLiteral("MARTIN"));
    EXPECT_EQ(w<QLineEdit>("TxtVille")->text(), QStringLiteral("PARSI"));
    EXPECT_EQ(w<QLineEdit>("txtCatAge")->text(), QString());
    EXPECT_TRUE(rouge("TxtVille"));
    EXPECT_FALSE(rouge("txtCatAge"));
    // A code of digits is found too; a missing first name counts nothing.
    test::cliquerLigne(liste(), QStringLiteral("0345"));
    EXPECT_EQ(nom(), QStringLiteral("LEROY"));
    EXPECT_EQ(w<QLabel>("lblPrenom1")->text(), QStringLiteral("Prénom     {  }"));
    EXPECT_TRUE(messages.textes().isEmpty());

    // No row chosen, then a client gone since the analysis: said, and the
    // panel keeps the client it had.
    liste()->clearSelection();
    form->ongletClients().panneau().ListCli_ItemClick();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].genre, Genre::Exclamation);
    EXPECT_EQ(nom(), QStringLiteral("LEROY"));

    cn.executerSqlite(QStringLiteral("DELETE FROM FCLI WHERE Code = 'b7'"));
    messages.vider();
    test::cliquerLigne(liste(), QStringLiteral("b7"));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("« b7 »")));
    EXPECT_EQ(nom(), QStringLiteral("LEROY"));
    // The panel does not show the selected client: no field opens on it.
    cliquer("BtnModifTel1");
    EXPECT_EQ(w<QPushButton>("BtnModifTel1")->text(), QStringLiteral("M"));
    EXPECT_FALSE(w<QLineEdit>("txtTel1")->isEnabled());
}

// An opened field takes the focus; each box lets through what its rule allows.
TEST_F(Panneau, FiltresDeTouches) {
    const struct {
        const char* bouton;
        const char* zone;
        const char* frappe;
        const char* texte;
    } cas[] = {
        {"BtnModifCatAge", "txtCatAge", "a+ -0:5", "0:5"},
        {"BtnModifTel1", "txtTel1", "+33 6a1-2", "+33612"},
        {"BtnModifGenCode", "txtGenCode", "+1x2", "+12"},
        {"BtnModifEmail", "txtEmail", "a b+c", "a b+c"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.zone);
        cliquer(c.bouton);
        EXPECT_EQ(w<QPushButton>(c.bouton)->text(), QStringLiteral("C"));
        EXPECT_EQ(QApplication::focusWidget(), w<QLineEdit>(c.zone));
        taper(c.zone, QString::fromLatin1(c.frappe));
        EXPECT_EQ(w<QLineEdit>(c.zone)->text(), QString::fromLatin1(c.texte));
    }
    EXPECT_EQ(w<QLabel>("lblTel11")->text(), QStringLiteral("Tel1     { 6 }"));
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

TEST_F(Panneau, UnChampCorrigeEtLesMarquesRenouvelees) {
    const QStringList avant = test::lignes(cn, QStringLiteral("SELECT * FROM FCLI"));
    // Not a number: said, the field closed, nothing written.
    corriger("BtnModifCatAge", "txtCatAge", QStringLiteral("1:"));
    EXPECT_EQ(messages.textes(), QStringList{QStringLiteral("La saisie n'est pas un nombre!")});
    EXPECT_EQ(messages.messages()[0].genre, Genre::Exclamation);
    EXPECT_FALSE(w<QLineEdit>("txtCatAge")->isEnabled());
    EXPECT_EQ(test::lignes(cn, QStringLiteral("SELECT * FROM FCLI")), avant);
    messages.vider();

    corriger("BtnModifCatAge", "txtCatAge", QStringLiteral("5"));
    EXPECT_TRUE(messages.textes().isEmpty()) << messages.dernier().toStdString();
    EXPECT_EQ(valeur(QStringLiteral("A12"), QStringLiteral("Cat, Age")), QStringLiteral("05"));
    QStringList marques(13, QString());
    marques[8] = QStringLiteral("x");
    EXPECT_EQ(test::lignes(liste(), 15).first(),
              QStringLiteral("A12|DUPONT Marie|") + marques.join(u'|'));
    EXPECT_FALSE(rouge("txtCatAge"));
    EXPECT_TRUE(rouge("txtTel1"));
    // Only that column changed.
    EXPECT_EQ(test::lignes(cn, QStringLiteral("SELECT * FROM FCLI")).mid(1), avant.mid(1));
    corriger("BtnModifCatAge", "txtCatAge", QString());
    EXPECT_EQ(valeur(QStringLiteral("A12"), QStringLiteral("Cat, Age")), QString());

    // The last error of the client: it leaves the list, the panel moves on.
    corriger("BtnModifTel1", "txtTel1", QStringLiteral("+33612345678"));
    EXPECT_EQ(messages.textes(),
              QStringList{QStringLiteral("Le client DUPONT Marie\r\n est corrigé.\r\n")});
    EXPECT_EQ(messages.messages()[0].genre, Genre::Information);
    EXPECT_EQ(codes(), (QStringList{QStringLiteral("b7"), QStringLiteral("0345")}));
    EXPECT_EQ(nom(), QStringLiteral("MARTIN"));
    EXPECT_TRUE(liste()->topLevelItem(0)->isSelected());
}

// The list feeds the panel on every change of row, by mouse or keyboard, and
// a save goes to the client shown.
TEST_F(Panneau, LaSaisieVaAuClientMontre) {
    const std::pair<Qt::Key, const char*> touches[] = {{Qt::Key_Down, "MARTIN"},
                                                       {Qt::Key_End, "LEROY"},
                                                       {Qt::Key_Home, "DUPONT"},
                                                       {Qt::Key_0, "LEROY"},
                                                       {Qt::Key_Up, "MARTIN"}};
    liste()->setFocus();
    for (const auto& [touche, client] : touches) {
        SCOPED_TRACE(client);
        QTest::keyClick(liste(), touche);
        EXPECT_EQ(nom(), QString::fromLatin1(client));
    }
    corriger("BtnModifTel1", "txtTel1", QStringLiteral("0611111111"));
    EXPECT_EQ(valeur(QStringLiteral("b7"), QStringLiteral("Tel1")), QStringLiteral("0611111111"));
    EXPECT_TRUE(messages.textes().isEmpty()) << messages.dernier().toStdString();

    cliquer("BtnModifEmail");
    taper("txtEmail", QStringLiteral("leroy@exemple.fr"));
    test::cliquerLigne(liste(), QStringLiteral("0345"));
    // The open field now shows the client just loaded, as the list says.
    EXPECT_EQ(w<QPushButton>("BtnModifEmail")->text(), QStringLiteral("C"));
    EXPECT_EQ(w<QLineEdit>("txtEmail")->text(), QStringLiteral("x@y"));
    taper("txtEmail", QStringLiteral("leroy@exemple.fr"));
    cliquer("BtnModifEmail");
    EXPECT_EQ(valeur(QStringLiteral("0345"), QStringLiteral("Email")),
              QStringLiteral("leroy@exemple.fr"));
    EXPECT_EQ(codes(), (QStringList{QStringLiteral("A12"), QStringLiteral("b7")}));
}

// A save that fails says why and keeps the field open with the typed text,
// for a later try.
TEST_F(Panneau, EnregistrementImpossible) {
    const QString base = d.chemin(QStringLiteral("BdClient.mdb"));
    store::Connexion autre(base);
    const struct {
        const char* client;
        const char* message;
        std::function<void()> avant;
        std::function<void()> apres;
    } cas[] = {
        {"A12", "pas été enregistrée",
         [&] { autre.executerSqlite(QStringLiteral("DELETE FROM FCLI WHERE Code = 'A12'")); },
         [] {}},
        {"b7", "verrouillée", [&] { autre.executerSqlite(QStringLiteral("BEGIN EXCLUSIVE")); },
         [&] { autre.executerSqlite(QStringLiteral("ROLLBACK")); }},
        {"b7", "BdClient.mdb", [&] { QFile::rename(base, base + QStringLiteral(".loin")); },
         [&] { QFile::rename(base + QStringLiteral(".loin"), base); }},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.message);
        test::cliquerLigne(liste(), QString::fromLatin1(c.client));
        messages.vider();
        if (w<QPushButton>("BtnModifTel1")->text() == QLatin1String("M")) {
            cliquer("BtnModifTel1");
        }
        taper("txtTel1", QStringLiteral("0611111111"));
        c.avant();
        cliquer("BtnModifTel1");
        c.apres();
        EXPECT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages().back().genre, Genre::Exclamation);
        EXPECT_TRUE(messages.dernier().contains(QString::fromUtf8(c.message), Qt::CaseInsensitive))
            << messages.dernier().toStdString();
        EXPECT_EQ(w<QPushButton>("BtnModifTel1")->text(), QStringLiteral("C"));
        EXPECT_EQ(w<QLineEdit>("txtTel1")->text(), QStringLiteral("0611111111"));
        EXPECT_EQ(valeur(QStringLiteral("b7"), QStringLiteral("Tel1")), QStringLiteral("<Null>"));
    }
    messages.vider();
    cliquer("BtnModifTel1");
    EXPECT_TRUE(messages.textes().isEmpty()) << messages.dernier().toStdString();
    EXPECT_EQ(valeur(QStringLiteral("b7"), QStringLiteral("Tel1")), QStringLiteral("0611111111"));
}

// ------------------------------------------------------------ postal code panel

TEST_F(Panneau, CodePostalDeuxChiffresPuisUneVille) {
    test::cliquerLigne(liste(), QStringLiteral("b7"));
    cliquer("BtnModifCP");
    auto* villes = w<QListWidget>("List1");
    auto* ok = w<QPushButton>("BtnOk");
    // The rest is locked while the panel is open.
    EXPECT_FALSE(w<QGroupBox>("Frame1")->isEnabled() || liste()->isEnabled());
    EXPECT_TRUE(w<QPushButton>("btnAnalyseBd")->isHidden());

    taper("txtCpNew", QStringLiteral("6"));
    EXPECT_EQ(villes->count(), 0);
    QTest::keyClicks(w<QLineEdit>("txtCpNew"), QStringLiteral("x9"));
    EXPECT_EQ(w<QLineEdit>("txtCpNew")->text(), QStringLiteral("69"));
    EXPECT_EQ(w<QLabel>("lblListeVille")->text(), QStringLiteral("Villes   ( 278 )"));
    test::cliquerLigne(villes, QStringLiteral("LYON"));
    EXPECT_EQ(w<QLineEdit>("txtCpNew")->text(), QStringLiteral("69001"));
    EXPECT_EQ(villes->count(), 278);
    EXPECT_FALSE(ok->isHidden());

    // Another code typed after the pick: the pick is lost, so is "Valider".
    taper("txtCpNew", QStringLiteral("69002"));
    EXPECT_TRUE(villes->selectedItems().isEmpty());
    EXPECT_TRUE(ok->isHidden());
    test::cliquerLigne(villes, QStringLiteral("LYON"));
    EXPECT_EQ(w<QLineEdit>("txtCpNew")->text(), QStringLiteral("69002"));

    cliquer("BtnOk");
    EXPECT_TRUE(w<QWidget>("Frame2")->isHidden());
    EXPECT_TRUE(w<QGroupBox>("Frame1")->isEnabled() && liste()->isEnabled());
    EXPECT_EQ(test::lignes(cn, QStringLiteral("SELECT Ville, \"Code Postal\" FROM FCLI WHERE "
                                              "Code = 'b7'")),
              QStringList{QStringLiteral("LYON|69002")});
    EXPECT_EQ(messages.textes(),
              QStringList{QStringLiteral("Le client MARTIN Paul\r\n est corrigé.\r\n")});
    EXPECT_EQ(codes(), (QStringList{QStringLiteral("A12"), QStringLiteral("0345")}));
}

TEST_F(Panneau, CodePostalFermeSansRienChangerOuDoubleClicQuiValide) {
    test::cliquerLigne(liste(), QStringLiteral("b7"));
    const QStringList avant = test::lignes(cn, QStringLiteral("SELECT * FROM FCLI"));
    cliquer("BtnModifCP");
    taper("txtCpNew", QStringLiteral("69"));
    test::cliquerLigne(w<QListWidget>("List1"), QStringLiteral("LYON"));
    cliquer("BtnFermer");
    EXPECT_TRUE(w<QWidget>("Frame2")->isHidden());
    EXPECT_EQ(test::lignes(cn, QStringLiteral("SELECT * FROM FCLI")), avant);
    EXPECT_TRUE(messages.textes().isEmpty());

    // Opened again on the same code: the list is there at once; a double
    // click on a town saves at once.
    cliquer("BtnModifCP");
    test::cliquerLigne(w<QListWidget>("List1"), QStringLiteral("PARIS"), true);
    EXPECT_TRUE(w<QWidget>("Frame2")->isHidden());
    EXPECT_EQ(test::lignes(cn, QStringLiteral("SELECT Ville, \"Code Postal\" FROM FCLI WHERE "
                                              "Code = 'b7'")),
              QStringList{QStringLiteral("PARIS|75001")});

    // A client without a postal code: no town listed, nothing to validate.
    cn.executerSqlite(QStringLiteral("UPDATE FCLI SET \"Code Postal\" = '' WHERE Code = '0345'"));
    test::cliquerLigne(liste(), QStringLiteral("0345"));
    cliquer("BtnModifCP");
    EXPECT_EQ(w<QLineEdit>("txtCpNew")->text(), QString());
    EXPECT_EQ(w<QListWidget>("List1")->count(), 0);
    EXPECT_TRUE(w<QPushButton>("BtnOk")->isHidden());
}

// Once the last client is corrected the panel is empty, every field closed
// and looking closed.
TEST_F(Panneau, LeDernierClientCorrigeVideLePanneau) {
    test::cliquerLigne(liste(), QStringLiteral("0345"));
    corriger("BtnModifEmail", "txtEmail", QStringLiteral("leroy@exemple.fr"));
    test::cliquerLigne(liste(), QStringLiteral("b7"));
    cliquer("BtnModifCP");
    test::cliquerLigne(w<QListWidget>("List1"), QStringLiteral("PARIS"), true);
    test::cliquerLigne(liste(), QStringLiteral("A12"));
    corriger("BtnModifCatAge", "txtCatAge", QStringLiteral("10"));
    messages.vider();
    corriger("BtnModifTel1", "txtTel1", QStringLiteral("0612345678"));

    EXPECT_EQ(messages.textes(),
              (QStringList{QStringLiteral("Le client DUPONT Marie\r\n est corrigé.\r\n"),
                           QStringLiteral("Votre fichier clients ne comporte plus d'erreur.")}));
    EXPECT_EQ(liste()->topLevelItemCount(), 0);
    EXPECT_EQ(w<QLabel>("lblListeCliErr")->text(),
              QStringLiteral("Liste des clients avec erreur (0 / 4)"));
    EXPECT_EQ(nom(), QString());
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
