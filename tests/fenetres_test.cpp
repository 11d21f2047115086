#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QStackedWidget>

#include "communes/Form2.h"
#include "store/Connexion.h"
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

TEST_F(Dialogue, PremierDemarrageChoixEtFichierEcrit) {
    communes::Form2 f(vars, messages);
    QSignalSpy confirmation(&f, &communes::Form2::choixConfirme);
    f.Form2_Load();
    f.show();
    auto* txtCp = enfant<QLineEdit>(&f, "txtCp");
    auto* liste = enfant<QListWidget>(&f, "List1");
    auto* fermer = enfant<QPushButton>(&f, "BtnFermer");
    // Every town of the reference, in alphabetical order.
    ASSERT_EQ(liste->count(), 35636);
    EXPECT_EQ(liste->item(0)->text(), QStringLiteral("AAST"));
    EXPECT_FALSE(fermer->isEnabled());

    // Letters and blanks are dropped; the second digit narrows the list.
    QTest::keyClicks(txtCp, QStringLiteral("a 4"));
    EXPECT_EQ(liste->count(), 35636);
    QTest::keyClicks(txtCp, QStringLiteral("2"));
    EXPECT_EQ(enfant<QLabel>(&f, "lblListeVille")->text(), QStringLiteral("Villes   ( 328 )"));
    const QStringList villes = test::lignes(liste);

    // A pick fills both boxes and keeps the list; the arrow keys pick as a
    // click does (past the town's second row, 42100).
    test::cliquerLigne(liste, QStringLiteral("SAINT-ETIENNE"));
    EXPECT_EQ(txtCp->text(), QStringLiteral("42000"));
    EXPECT_TRUE(fermer->isEnabled());
    QTest::keyClick(liste, Qt::Key_Down);
    QTest::keyClick(liste, Qt::Key_Down);
    EXPECT_EQ(enfant<QLineEdit>(&f, "TxtVille")->text(), QStringLiteral("SAINT-ETIENNE-LE-MOLARD"));
    EXPECT_EQ(txtCp->text(), QStringLiteral("42130"));
    EXPECT_EQ(test::lignes(liste), villes);

    QTest::mouseClick(fermer, Qt::LeftButton);
    EXPECT_EQ(confirmation.count(), 1);
    EXPECT_EQ(vars.VilleDefaut + vars.CpDefaut, QStringLiteral("SAINT-ETIENNE-LE-MOLARD42130"));
    EXPECT_EQ(d.lire(QStringLiteral("default.txt")),
              QByteArray("SAINT-ETIENNE-LE-MOLARD\r\n42130\r\n"));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Dialogue, DeuxPointsAcceptesEtBoutonPasRetesteSousDeuxChiffres) {
    communes::Form2 f(vars, messages);
    f.Form2_Load();
    auto* txtCp = enfant<QLineEdit>(&f, "txtCp");
    test::cliquerLigne(enfant<QListWidget>(&f, "List1"), QStringLiteral("PALMAS D'AVEYRON"));
    EXPECT_EQ(txtCp->text(), QStringLiteral("12310"));
    txtCp->selectAll();
    QTest::keyClick(txtCp, Qt::Key_Backspace);
    EXPECT_TRUE(enfant<QPushButton>(&f, "BtnFermer")->isEnabled());
    QTest::keyClicks(txtCp, QStringLiteral("1:"));
    EXPECT_EQ(txtCp->text(), QStringLiteral("1:"));
}

TEST_F(Dialogue, SecondDemarrageSilencieux) {
    store::Connexion(d.chemin(QStringLiteral("communes.mdb")))
        .executerSqlite(QStringLiteral("INSERT INTO communes VALUES ('27000', 'ÉVREUX')"));
    d.ecrire(QStringLiteral("default.txt"), "\xC9VREUX\r\n27000\r\n");
    communes::Form2 f(vars, messages);
    QSignalSpy confirmation(&f, &communes::Form2::choixConfirme);
    f.Form2_Load();
    EXPECT_EQ(confirmation.count(), 1);
    EXPECT_FALSE(f.isVisible());
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
        test::cliquerLigne(enfant<QListWidget>(&f, "List1"), QStringLiteral("SAINT-ETIENNE"));
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

TEST_F(Dialogue, SansChoixRienNEstEcrit) {
    {
        communes::Form2 f(vars, messages);
        f.Form2_Load();
        f.show();
        f.close();
        EXPECT_FALSE(f.confirme());
        EXPECT_FALSE(d.existe(QStringLiteral("default.txt")));
        EXPECT_TRUE(messages.messages().empty());
    }
    QFile::remove(d.chemin(QStringLiteral("communes.mdb")));
    communes::Form2 f(vars, messages);
    f.Form2_Load();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("communes.mdb")));
    EXPECT_EQ(enfant<QListWidget>(&f, "List1")->count(), 0);
}

// ------------------------------------------------------------- main window

class FenetrePrincipale : public test::Fenetre {};

TEST_F(FenetrePrincipale, QuitterSansAnalyseFermeLaReferenceSansRienDire) {
    d.copierCommunes();
    vars.cnCommunes.OuvreCommunes(d.chemin());
    ouvrir();
    cliquer("BtnQuitter");
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(vars.cnCommunes.ouverte());
    EXPECT_TRUE(messages.messages().empty());
}

// The tab page a control lies on; null outside the tabs.
const QWidget* page(const QWidget* w) {
    for (; w && w->parentWidget(); w = w->parentWidget()) {
        if (qobject_cast<const QStackedWidget*>(w->parentWidget())) {
            return w;
        }
    }
    return nullptr;
}

// The buttons added to the design cover no control of their page, hidden ones
// included (the run's progress shows later); the panels laid over a page,
// which lock what they cover, aside.
TEST_F(FenetrePrincipale, LesBoutonsAjoutesNeCouvrentRien) {
    ouvrir();
    const QStringList panneaux = {QStringLiteral("Frame2"), QStringLiteral("Frame6")};
    for (const char* nom : {"BtnRapport", "btnCorrectionGroupee", "btnAnnulerCorrection",
                            "btnAnnulerPurge", "btnDoublons"}) {
        const QWidget* bouton = w<QWidget>(nom);
        const QRect ici(bouton->mapTo(form.get(), QPoint()), bouton->size());
        for (const QWidget* autre : form->findChildren<QWidget*>()) {
            const QWidget* panneau = autre;
            while (panneau && !panneaux.contains(panneau->objectName())) {
                panneau = panneau->parentWidget();
            }
            if (autre == bouton || autre->isAncestorOf(bouton) || panneau ||
                autre->objectName().isEmpty() || autre->objectName().startsWith(u"qt_") ||
                page(autre) != page(bouton)) {
                continue;
            }
            EXPECT_FALSE(QRect(autre->mapTo(form.get(), QPoint()), autre->size()).intersects(ici))
                << nom << " couvre " << autre->objectName().toStdString();
        }
    }
}

}  // namespace
