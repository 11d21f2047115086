#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "app/Form1.h"
#include "commun/Communes.h"
#include "commun/Variables.h"
#include "communes/Form2.h"
#include "store/Connexion.h"
#include "support/Dossier.h"
#include "support/FauxMessages.h"
#include "support/Fenetres.h"

using test::enfant;

namespace {

class Dialogue : public ::testing::Test {
protected:
    void SetUp() override {
        d.copierCommunes();
        vars.dossier = d.chemin();
    }
    test::Dossier d;
    commun::Variables vars;
    test::FauxMessages messages;
};

QStringList textes(QListWidget* l) {
    QStringList t;
    for (int i = 0; i < l->count(); ++i) {
        t << l->item(i)->text();
    }
    return t;
}

void cliquerLigne(QListWidget* liste, const QString& texte) {
    const auto trouves = liste->findItems(texte, Qt::MatchExactly);
    ASSERT_FALSE(trouves.isEmpty()) << texte.toStdString();
    liste->scrollToItem(trouves.first());
    const QRect r = liste->visualItemRect(trouves.first());
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, r.center());
}

TEST_F(Dialogue, PremierDemarrageChoixEtFichierEcrit) {
    communes::Form2 f(vars, messages);
    QSignalSpy confirmation(&f, &communes::Form2::choixConfirme);
    f.Form2_Load();
    f.show();
    auto* explication = enfant<QLabel>(&f, "Label1");
    auto* txtCp = enfant<QLineEdit>(&f, "txtCp");
    auto* ville = enfant<QLineEdit>(&f, "TxtVille");
    auto* liste = enfant<QListWidget>(&f, "List1");
    auto* legende = enfant<QLabel>(&f, "lblListeVille");
    auto* fermer = enfant<QPushButton>(&f, "BtnFermer");

    EXPECT_EQ(f.windowTitle(), QStringLiteral("Choix Ville & Cp par defaut"));
    EXPECT_EQ(
        explication->text(),
        QStringLiteral("Pour pouvoir continuer vous devez impérativement choisir une ville et "
                       "son code postal par défaut.\r\nCette information sera utilisée pour "
                       "compléter automatique le manque de code postal et ou de ville \r\ndans "
                       "votre fichier client si vous choisissez de ne pas le corriger."));
    // Every town of the reference, in alphabetical order.
    ASSERT_EQ(liste->count(), 35636);
    EXPECT_EQ(liste->item(0)->text(), QStringLiteral("AAST"));
    EXPECT_FALSE(fermer->isEnabled());
    EXPECT_EQ(legende->text(), QStringLiteral("Liste Villes"));

    // Letters and blanks are dropped; one digit changes nothing.
    QTest::keyClicks(txtCp, QStringLiteral("a 4"));
    EXPECT_EQ(txtCp->text(), QStringLiteral("4"));
    EXPECT_EQ(liste->count(), 35636);
    // The second digit narrows the list to the codes starting with 42.
    QTest::keyClicks(txtCp, QStringLiteral("2"));
    EXPECT_EQ(liste->count(), 328);
    EXPECT_EQ(legende->text(), QStringLiteral("Villes   ( 328 )"));
    const QStringList avant = textes(liste);
    QStringList triee = avant;
    std::sort(triee.begin(), triee.end());
    EXPECT_EQ(avant.first(), triee.first());
    EXPECT_FALSE(fermer->isEnabled());

    // A pick fills both boxes, keeps the list and enables "Fermer".
    cliquerLigne(liste, QStringLiteral("SAINT-ETIENNE"));
    EXPECT_EQ(txtCp->text(), QStringLiteral("42000"));
    EXPECT_EQ(ville->text(), QStringLiteral("SAINT-ETIENNE"));
    EXPECT_EQ(textes(liste), avant);
    EXPECT_TRUE(fermer->isEnabled());
    // The arrow keys pick as a click does (past the town's second row, 42100).
    QTest::keyClick(liste, Qt::Key_Down);
    QTest::keyClick(liste, Qt::Key_Down);
    EXPECT_EQ(ville->text(), QStringLiteral("SAINT-ETIENNE-LE-MOLARD"));
    EXPECT_EQ(txtCp->text(), QStringLiteral("42130"));
    EXPECT_EQ(textes(liste), avant);

    QTest::mouseClick(fermer, Qt::LeftButton);
    EXPECT_EQ(confirmation.count(), 1);
    EXPECT_TRUE(f.confirme());
    EXPECT_EQ(vars.VilleDefaut, QStringLiteral("SAINT-ETIENNE-LE-MOLARD"));
    EXPECT_EQ(vars.CpDefaut, QStringLiteral("42130"));
    EXPECT_EQ(d.lire(QStringLiteral("default.txt")),
              QByteArray("SAINT-ETIENNE-LE-MOLARD\r\n42130\r\n"));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Dialogue, DeuxPointsAcceptesEtBoutonPasRetesteSousDeuxChiffres) {
    communes::Form2 f(vars, messages);
    f.Form2_Load();
    auto* txtCp = enfant<QLineEdit>(&f, "txtCp");
    auto* fermer = enfant<QPushButton>(&f, "BtnFermer");
    cliquerLigne(enfant<QListWidget>(&f, "List1"), QStringLiteral("PALMAS D'AVEYRON"));
    EXPECT_EQ(txtCp->text(), QStringLiteral("12310"));
    EXPECT_TRUE(fermer->isEnabled());
    // Emptying the box below two characters does not re-test the button.
    txtCp->selectAll();
    QTest::keyClick(txtCp, Qt::Key_Backspace);
    EXPECT_TRUE(txtCp->text().isEmpty());
    EXPECT_TRUE(fermer->isEnabled());
    QTest::keyClicks(txtCp, QStringLiteral("1:"));
    EXPECT_EQ(txtCp->text(), QStringLiteral("1:"));
}

TEST_F(Dialogue, SecondDemarrageSilencieux) {
    store::Connexion(d.chemin(QStringLiteral("communes.mdb")))
        .executer(QStringLiteral("INSERT INTO communes VALUES ('27000', 'ÉVREUX')"));
    d.ecrire(QStringLiteral("default.txt"), "\xC9VREUX\r\n27000\r\n");
    communes::Form2 f(vars, messages);
    QSignalSpy confirmation(&f, &communes::Form2::choixConfirme);
    f.Form2_Load();
    EXPECT_EQ(confirmation.count(), 1);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(vars.VilleDefaut, QStringLiteral("ÉVREUX"));
    EXPECT_EQ(vars.CpDefaut, QStringLiteral("27000"));

    // The main window then shows the stored values.
    app::Form1 f1(vars, messages);
    EXPECT_EQ(enfant<QLineEdit>(&f1, "txtvilledef")->text(), QStringLiteral("ÉVREUX"));
    EXPECT_EQ(enfant<QLineEdit>(&f1, "txtcpdef")->text(), QStringLiteral("27000"));
}

// A default.txt that gives no town and postal code of the reference is no
// default: the dialog shows again, the file's values filled in, and takes
// only a pair of the reference, which then replaces the file.
TEST_F(Dialogue, FichierSansVilleValableRedemande) {
    const std::pair<const char*, const char*> cas[] = {
        {"PARIS\r\n42000\r\n", "le code postal « 42000 » n'est pas celui de « PARIS »"},
        {nullptr, "c'est un dossier, pas un fichier"},  // a folder named default.txt
    };
    for (const auto& [contenu, explication] : cas) {
        SCOPED_TRACE(explication);
        if (contenu) {
            d.ecrire(QStringLiteral("default.txt"), contenu);
        } else {
            QFile::remove(d.chemin(QStringLiteral("default.txt")));
            QDir(d.chemin()).mkdir(QStringLiteral("default.txt"));
        }
        messages.vider();
        communes::Form2 f(vars, messages);
        QSignalSpy confirmation(&f, &communes::Form2::choixConfirme);
        f.Form2_Load();
        f.show();
        EXPECT_TRUE(enfant<QLabel>(&f, "Label1")->text().contains(QString::fromUtf8(explication)));
        auto* fermer = enfant<QPushButton>(&f, "BtnFermer");
        if (contenu) {
            EXPECT_EQ(enfant<QLineEdit>(&f, "TxtVille")->text(), QStringLiteral("PARIS"));
            EXPECT_EQ(enfant<QLineEdit>(&f, "txtCp")->text(), QStringLiteral("42000"));
            QTest::mouseClick(fermer, Qt::LeftButton);
            EXPECT_TRUE(messages.dernier().startsWith(QStringLiteral("Ce n'est pas une ville")));
        }
        EXPECT_EQ(confirmation.count(), 0);
        cliquerLigne(enfant<QListWidget>(&f, "List1"), QStringLiteral("SAINT-ETIENNE"));
        QTest::mouseClick(fermer, Qt::LeftButton);
        EXPECT_EQ(confirmation.count(), 1);
        EXPECT_EQ(vars.VilleDefaut, QStringLiteral("SAINT-ETIENNE"));
        if (contenu) {
            EXPECT_EQ(d.lire(QStringLiteral("default.txt")),
                      QByteArray("SAINT-ETIENNE\r\n42000\r\n"));
        } else {
            EXPECT_TRUE(messages.dernier().contains(QString::fromUtf8(explication)));
        }
    }
}

TEST_F(Dialogue, FermerSansConfirmer) {
    communes::Form2 f(vars, messages);
    QSignalSpy confirmation(&f, &communes::Form2::choixConfirme);
    f.Form2_Load();
    f.show();
    f.close();
    EXPECT_EQ(confirmation.count(), 0);
    EXPECT_FALSE(f.confirme());
    EXPECT_FALSE(d.existe(QStringLiteral("default.txt")));
}

TEST_F(Dialogue, ReferenceAbsenteDite) {
    QFile::remove(d.chemin(QStringLiteral("communes.mdb")));
    communes::Form2 f(vars, messages);
    f.Form2_Load();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("communes.mdb")));
    EXPECT_EQ(enfant<QListWidget>(&f, "List1")->count(), 0);
}

// ------------------------------------------------------------- main window

class FenetrePrincipale : public ::testing::Test {
protected:
    void SetUp() override {
        vars.dossier = d.chemin();
        vars.VilleDefaut = QStringLiteral("PARIS");
        vars.CpDefaut = QStringLiteral("75001");
    }
    test::Dossier d;
    commun::Variables vars;
    test::FauxMessages messages;
};

TEST_F(FenetrePrincipale, ChargementCompteLesNotes) {
    for (const char* n : {"Cli1.rtf", "Cli2.RTF", "Cli3.Rtf", "a.rtf", "b.rtf", "c.RTF", "d.rtf",
                          "e.rtf", "f.rtf", "g.RtF", "Cli9.rtf.bak", "default.txt"}) {
        d.ecrire(QString::fromLatin1(n), "{\\rtf1 x}");
    }
    app::Form1 f(vars, messages);
    EXPECT_EQ(vars.NbFichiersRTF, 10);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Vérification des fichiers clients/techniques"));
    EXPECT_EQ(enfant<QLabel>(&f, "Label1")->text(),
              QStringLiteral("Vérification du fichier clients"));
    EXPECT_EQ(enfant<QLineEdit>(&f, "txtcpdef")->text(), QStringLiteral("75001"));
    EXPECT_EQ(enfant<QLineEdit>(&f, "txtvilledef")->text(), QStringLiteral("PARIS"));
    EXPECT_FALSE(enfant<QWidget>(&f, "Frame1")->isEnabled());
    auto* frame2 = enfant<QWidget>(&f, "Frame2");
    EXPECT_TRUE(frame2->isHidden());
    EXPECT_EQ(frame2->geometry(), QRect(433, 265, 207, 203));
    EXPECT_EQ(enfant<QLabel>(&f, "lblAttente")->text(),
              QStringLiteral("Analyse du fichier clients\r\nen cours."));
    EXPECT_TRUE(enfant<QLabel>(&f, "lblAttente")->isHidden());
    EXPECT_EQ(enfant<QLabel>(&f, "lblAttenteRTF")->text(),
              QStringLiteral("Analyse du fichier Technique\r\nen cours."));
    auto* frame6 = enfant<QWidget>(&f, "Frame6");
    EXPECT_TRUE(frame6->isHidden());
    EXPECT_EQ(frame6->geometry(), enfant<QWidget>(&f, "SSTab1")->geometry());
    EXPECT_EQ(enfant<QTabWidget>(&f, "SSTab1")->currentIndex(), 0);

    auto* familles = enfant<QComboBox>(&f, "comboFam");
    ASSERT_EQ(familles->count(), 11);
    EXPECT_EQ(familles->itemText(0), QStringLiteral("Balayage"));
    EXPECT_EQ(familles->itemText(4), QStringLiteral("Décoloration"));
    EXPECT_EQ(familles->itemText(10), QStringLiteral("Soin"));
}

TEST_F(FenetrePrincipale, TitresSelonLOnglet) {
    app::Form1 f(vars, messages);
    f.show();
    auto* onglets = enfant<QTabWidget>(&f, "SSTab1");
    auto* titre = enfant<QLabel>(&f, "Label1");
    onglets->setCurrentIndex(1);
    EXPECT_EQ(titre->text(), QStringLiteral("Vérification du fichier technique"));
    onglets->setCurrentIndex(0);
    EXPECT_EQ(titre->text(), QStringLiteral("Vérification du fichier client"));

    auto* calCli = enfant<QCalendarWidget>(&f, "CalCli");
    auto* calTech = enfant<QCalendarWidget>(&f, "CalTech");
    calCli->setSelectedDate(QDate(2010, 6, 1));
    onglets->setCurrentIndex(2);
    EXPECT_EQ(titre->text(), QStringLiteral("Purge des fichiers clients/techniques"));
    EXPECT_EQ(calCli->selectedDate(), QDate(2005, 1, 1));
    EXPECT_EQ(calTech->selectedDate(), QDate(2005, 1, 1));
    auto* frame5 = enfant<QWidget>(&f, "Frame5");
    EXPECT_TRUE(frame5->isHidden());
    EXPECT_EQ(frame5->geometry().topLeft(), QPoint(27, 77));
}

TEST_F(FenetrePrincipale, QuitterSansAnalyseNeDitRien) {
    auto f = std::make_unique<app::Form1>(vars, messages);
    f->show();
    QTest::mouseClick(enfant<QPushButton>(f.get(), "BtnQuitter"), Qt::LeftButton);
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FenetrePrincipale, QuitterFermeLaReference) {
    d.copierCommunes();
    vars.cnCommunes.OuvreCommunes(d.chemin());
    app::Form1 f(vars, messages);
    f.show();
    f.close();
    EXPECT_FALSE(vars.cnCommunes.ouverte());
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FenetrePrincipale, PositionsDeConception) {
    app::Form1 f(vars, messages);
    struct Cas {
        const char* nom;
        QRect geometrie;  // twips / 15
    };
    const Cas cas[] = {
        {"Label1", QRect(200, 16, 819, 28)},      {"SSTab1", QRect(8, 74, 1131, 565)},
        {"BtnQuitter", QRect(986, 655, 152, 37)}, {"lblcsv", QRect(885, 16, 21, 28)},
        {"Label10", QRect(44, 104, 194, 18)},     {"CalCli", QRect(47, 212, 180, 158)},
        {"BtnPurgeCli", QRect(49, 379, 178, 26)}, {"btnPurgeTech", QRect(388, 377, 178, 26)},
        {"txtCpNew", QRect(7, 43, 57, 25)},       {"BtnOk", QRect(8, 90, 56, 48)},
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(enfant<QWidget>(&f, c.nom)->geometry(), c.geometrie) << c.nom;
    }
}

}  // namespace
