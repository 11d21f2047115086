#include <gtest/gtest.h>

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "app/Form1.h"
#include "commun/Variables.h"
#include "store/Dates.h"
#include "support/Dossier.h"
#include "support/FauxMessages.h"
#include "support/Fenetres.h"

using test::enfant;

namespace {

// The scripted message boxes, and a look at the window when each shows.
class Temoin : public test::FauxMessages {
public:
    std::function<void(const QString&)> aLAffichage;
    void information(const QString& t) override {
        if (aLAffichage) {
            aLAffichage(t);
        }
        FauxMessages::information(t);
    }
    void exclamation(const QString& t) override {
        if (aLAffichage) {
            aLAffichage(t);
        }
        FauxMessages::exclamation(t);
    }
};

QByteArray noteRtf(int longueur) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss "
           "Arial;}}\\viewkind4\\uc1\\pard\\f0"
           "\\fs20 " +
           QByteArray(longueur - 1, 'a') + "z\\par\r\n}";
}

class Onglet : public ::testing::Test {
protected:
    void SetUp() override {
        d.copierCommunes();
        cn = d.creerBase();
        vars.dossier = d.chemin();
        vars.VilleDefaut = QStringLiteral("PARIS");
        vars.CpDefaut = QStringLiteral("75001");
    }

    void client(const test::Champs& champs) { test::inserer(cn, QStringLiteral("FCLI"), champs); }
    void clientSain(const QString& code, const QString& nom) {
        client({{QStringLiteral("Code"), code},
                {QStringLiteral("Nom"), nom},
                {QStringLiteral("Prénom"), QStringLiteral("Anne")},
                {QStringLiteral("Ville"), QStringLiteral("LYON")},
                {QStringLiteral("Code Postal"), QStringLiteral("69001")}});
    }
    // Five clients, the second and fourth in error; two long notes.
    void cinqClients() {
        clientSain(QStringLiteral("A1"), QStringLiteral("DURAND"));
        client({{QStringLiteral("Code"), QStringLiteral("B2")},
                {QStringLiteral("Nom"), QStringLiteral("MARTIN")},
                {QStringLiteral("Prénom"), QStringLiteral("Léa")},
                {QStringLiteral("Adresse"), QStringLiteral("3 rue des Lilas")},
                {QStringLiteral("Ville"), QStringLiteral("LYON")},
                {QStringLiteral("Code Postal"), QStringLiteral("69001")},
                {QStringLiteral("Cat, Age"), QStringLiteral("11")},
                {QStringLiteral("Email"), QStringLiteral("lea@@x.fr")}});
        clientSain(QStringLiteral("3"), QStringLiteral("PETIT"));
        client({{QStringLiteral("Code"), QStringLiteral("44")},
                {QStringLiteral("Nom"), QStringLiteral("ROUX")},
                {QStringLiteral("Ville"), QStringLiteral("NULLE PART")},
                {QStringLiteral("Code Postal"), QStringLiteral("69001")},
                {QStringLiteral("Tel1"), QStringLiteral("0612")}});
        clientSain(QStringLiteral("c5"), QStringLiteral("BLANC"));
        d.ecrire(QStringLiteral("CliA1.RTF"), noteRtf(501));
        d.ecrire(QStringLiteral("Cli3.RTF"), noteRtf(500));
        d.ecrire(QStringLiteral("cli44.rtf"), noteRtf(620));
    }

    template <class T>
    T* w(const char* nom) {
        return enfant<T>(form.get(), nom);
    }
    QStringList ligne(int i) {
        QStringList t;
        const QTreeWidgetItem* item = w<QTreeWidget>("ListCli")->topLevelItem(i);
        for (int c = 0; item && c < item->columnCount(); ++c) {
            t << item->text(c);
        }
        return t;
    }
    void ouvrir() {
        cn.Close();
        form = std::make_unique<app::Form1>(vars, messages);
        form->show();
    }
    void analyser() { QTest::mouseClick(w<QPushButton>("btnAnalyseBd"), Qt::LeftButton); }

    test::Dossier d;
    store::Connexion cn;
    commun::Variables vars;
    Temoin messages;
    std::unique_ptr<app::Form1> form;
};

// Back and text colours of a box in one state (open, closed).
std::pair<QColor, QColor> couleurs(const QWidget* zone, QPalette::ColorGroup etat) {
    return {zone->palette().color(etat, QPalette::Base),
            zone->palette().color(etat, QPalette::Text)};
}

// The controls of the tab that a widget covers, among those shown.
QStringList couverts(const QWidget* w) {
    const QWidget* onglet = w->parentWidget();
    while (onglet->objectName() != QLatin1String("pageClients")) {
        onglet = onglet->parentWidget();
    }
    const QRect ici(w->mapTo(onglet, QPoint(0, 0)), w->size());
    QStringList noms;
    for (const QWidget* autre : onglet->findChildren<QWidget*>()) {
        if (autre != w && !autre->isAncestorOf(w) && autre->isVisibleTo(onglet) &&
            QRect(autre->mapTo(onglet, QPoint(0, 0)), autre->size()).intersects(ici)) {
            noms << autre->objectName();
        }
    }
    return noms;
}

TEST_F(Onglet, AnalyseAvecErreurs) {
    cinqClients();
    ouvrir();
    const auto ferme = couleurs(w<QLineEdit>("TxtVille"), QPalette::Disabled);
    QString progression;
    bool fenetreActive = true;
    bool boutonActif = true;
    // Our undo button covers no control of the design, at any moment of the run.
    auto* annuler = w<QPushButton>("btnAnnulerCorrection");
    QStringList couvertsParAnnuler;
    auto regarder = [&] {
        if (annuler->isVisibleTo(form.get())) {
            couvertsParAnnuler << couverts(annuler);
        }
    };
    QObject::connect(w<QProgressBar>("Barre"), &QProgressBar::valueChanged, regarder);
    messages.aLAffichage = [&](const QString&) {
        progression = w<QLabel>("lblNbCli")->text();
        fenetreActive = form->isEnabled();
        boutonActif = w<QPushButton>("btnAnalyseBd")->isEnabled();
        regarder();
    };
    analyser();
    regarder();
    EXPECT_TRUE(couvertsParAnnuler.isEmpty()) << couvertsParAnnuler.join(u' ').toStdString();

    EXPECT_EQ(messages.textes(), QStringList{QStringLiteral("Analyse terminée.")});
    EXPECT_EQ(progression, QStringLiteral("5 / 5"));
    EXPECT_FALSE(fenetreActive);
    EXPECT_FALSE(boutonActif);

    EXPECT_TRUE(form->isEnabled());
    EXPECT_TRUE(w<QPushButton>("btnAnalyseBd")->isEnabled());
    EXPECT_EQ(w<QLabel>("lblNbCli")->text(), QString());
    EXPECT_TRUE(w<QLabel>("lblAttente")->isHidden());
    EXPECT_TRUE(w<QProgressBar>("Barre")->isHidden());
    EXPECT_TRUE(w<QLabel>("lblcache")->isHidden());
    EXPECT_EQ(w<QLabel>("lblListeCliErr")->text(),
              QStringLiteral("Liste des clients avec erreur (2 / 5)"));
    EXPECT_EQ(vars.NbCli, 5);

    auto* liste = w<QTreeWidget>("ListCli");
    ASSERT_EQ(liste->topLevelItemCount(), 2);
    QStringList attendu{QStringLiteral("B2"), QStringLiteral("MARTIN Léa")};
    attendu << QStringList(13, QString());
    attendu[2 + 6] = attendu[2 + 11] = QStringLiteral("x");
    EXPECT_EQ(ligne(0), attendu);
    attendu = QStringList{QStringLiteral("44"), QStringLiteral("ROUX ")}
              << QStringList(13, QString());
    attendu[2 + 4] = attendu[2 + 8] = QStringLiteral("x");
    EXPECT_EQ(ligne(1), attendu);
    EXPECT_TRUE(liste->topLevelItem(0)->isSelected());
    EXPECT_TRUE(liste->isEnabled());

    // The first listed client is in the panel.
    EXPECT_TRUE(w<QGroupBox>("Frame1")->isEnabled());
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("MARTIN"));
    EXPECT_EQ(w<QLineEdit>("txtAdresse")->text(), QStringLiteral("3 rue des Lilas"));
    EXPECT_EQ(w<QLineEdit>("txtCatAge")->text(), QStringLiteral("11"));
    // A field in error is white on red, closed or open; a correct one black on
    // white when open, and closed it looks as closed boxes did before.
    const std::pair<QColor, QColor> rouge{QColor(255, 0, 0), QColor(255, 255, 255)};
    EXPECT_EQ(couleurs(w<QLineEdit>("txtCatAge"), QPalette::Disabled), rouge);
    EXPECT_EQ(couleurs(w<QLineEdit>("txtCatAge"), QPalette::Active), rouge);
    EXPECT_EQ(couleurs(w<QLineEdit>("TxtVille"), QPalette::Active),
              std::pair(QColor(255, 255, 255), QColor(0, 0, 0)));
    EXPECT_EQ(couleurs(w<QLineEdit>("TxtVille"), QPalette::Disabled), ferme);
    EXPECT_NE(ferme, couleurs(w<QLineEdit>("TxtVille"), QPalette::Active));

    // The long notes, the last one shown.
    auto* notes = w<QTreeWidget>("ListBN");
    ASSERT_EQ(notes->topLevelItemCount(), 2);
    EXPECT_EQ(notes->topLevelItem(0)->text(0), QStringLiteral("A1"));
    EXPECT_EQ(notes->topLevelItem(0)->text(1), QStringLiteral("DURAND Anne"));
    EXPECT_EQ(notes->topLevelItem(1)->text(0), QStringLiteral("44"));
    EXPECT_EQ(w<QLabel>("lblNbRTFbad")->text(), QStringLiteral("2 / 3"));
    EXPECT_EQ(w<QLabel>("lbltxtBN1")->text(), QString(500, u'a'));
    EXPECT_EQ(w<QLabel>("lbltxtBN2")->text(), QString(119, u'a') + u'z');
    EXPECT_TRUE(d.existe(QStringLiteral("BdClient.sav")));
}

TEST_F(Onglet, AnalyseSansErreur) {
    clientSain(QStringLiteral("A1"), QStringLiteral("DURAND"));
    clientSain(QStringLiteral("A2"), QStringLiteral("DUPONT"));
    ouvrir();
    w<QLabel>("lblNbRTFbad")->setText(QStringLiteral("avant"));
    analyser();
    EXPECT_EQ(messages.textes(),
              (QStringList{QStringLiteral("Analyse terminée."),
                           QStringLiteral("Votre fichier clients ne comporte pas d'erreur.")}));
    EXPECT_EQ(w<QLabel>("lblListeCliErr")->text(),
              QStringLiteral("Liste des clients avec erreur (0 / 2)"));
    EXPECT_EQ(w<QTreeWidget>("ListCli")->topLevelItemCount(), 0);
    EXPECT_FALSE(w<QLabel>("lblcache")->isHidden());
    EXPECT_FALSE(w<QGroupBox>("Frame1")->isEnabled());
    EXPECT_TRUE(w<QPushButton>("btnAnalyseBd")->isEnabled());
    // No long note: the caption of before stays.
    EXPECT_EQ(w<QLabel>("lblNbRTFbad")->text(), QStringLiteral("avant"));
}

TEST_F(Onglet, DeuxiemeAnalyseRepartDeZero) {
    cinqClients();
    ouvrir();
    analyser();
    ASSERT_EQ(w<QTreeWidget>("ListCli")->topLevelItemCount(), 2);
    {
        store::Connexion c(d.chemin(QStringLiteral("BdClient.mdb")));
        c.executer(
            QStringLiteral("UPDATE FCLI SET \"Cat, Age\" = '10', Email = NULL WHERE Code = 'B2'"));
    }
    messages.vider();
    analyser();
    EXPECT_EQ(messages.textes(), QStringList{QStringLiteral("Analyse terminée.")});
    ASSERT_EQ(w<QTreeWidget>("ListCli")->topLevelItemCount(), 1);
    EXPECT_EQ(ligne(0).first(), QStringLiteral("44"));
    EXPECT_EQ(w<QLabel>("lblListeCliErr")->text(),
              QStringLiteral("Liste des clients avec erreur (1 / 5)"));
    EXPECT_EQ(w<QTreeWidget>("ListBN")->topLevelItemCount(), 2);
    EXPECT_EQ(w<QLabel>("lblNom")->text(), QStringLiteral("ROUX"));
}

TEST_F(Onglet, EchecAvantToutChangementPuisNoteIllisibleDite) {
    client({{QStringLiteral("Code"), QStringLiteral("00")},
            {QStringLiteral("Nom"), QStringLiteral(" ")},
            {QStringLiteral("Ville"), QStringLiteral("LYON")},
            {QStringLiteral("Code Postal"), QStringLiteral("69001")}});
    cinqClients();
    // The note of client 3 cannot be read, and the towns reference is away.
    QFile::remove(d.chemin(QStringLiteral("Cli3.RTF")));
    ASSERT_TRUE(QFile::link(d.chemin(QStringLiteral("ailleurs.rtf")),
                            d.chemin(QStringLiteral("Cli3.RTF"))));
    const QString communes = d.chemin(QStringLiteral("communes.mdb"));
    ASSERT_TRUE(QFile::rename(communes, communes + QStringLiteral(".loin")));
    ouvrir();
    analyser();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].genre, test::FauxMessages::Message::Genre::Exclamation);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("communes.mdb")))
        << messages.dernier().toStdString();
    EXPECT_TRUE(form->isEnabled());
    EXPECT_TRUE(w<QPushButton>("btnAnalyseBd")->isEnabled());
    EXPECT_TRUE(w<QLabel>("lblAttente")->isHidden());
    EXPECT_FALSE(w<QGroupBox>("Frame1")->isEnabled());
    // Nothing was tidied, and the database is free.
    store::Connexion c(d.chemin(QStringLiteral("BdClient.mdb")));
    c.executer(QStringLiteral("BEGIN EXCLUSIVE; COMMIT;"));
    store::Instruction i(c, QStringLiteral("SELECT Nom FROM FCLI WHERE Code = '00'"));
    ASSERT_TRUE(i.pas());
    EXPECT_EQ(i.colonneTexte(0), QStringLiteral(" "));
    i.reinitialiser();
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.sav")));
    // With the reference back the run goes through, and names the note.
    ASSERT_TRUE(QFile::rename(communes + QStringLiteral(".loin"), communes));
    messages.vider();
    analyser();
    EXPECT_EQ(messages.textes(),
              (QStringList{QStringLiteral("Analyse terminée."),
                           QStringLiteral("Note illisible : « Cli3.RTF » (client 3, PETIT Anne) : "
                                          "lien vers un fichier introuvable.")}));
    EXPECT_EQ(w<QTreeWidget>("ListCli")->topLevelItemCount(), 2);
}

TEST_F(Onglet, PasDeFermetureEnPleineAnalyse) {
    cinqClients();
    ouvrir();
    // A close request that arrives while the run lets events through.
    QTimer::singleShot(0, form.get(), [this] { form->close(); });
    analyser();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(vars.cnCommunes.ouverte());
    EXPECT_EQ(messages.textes(), QStringList{QStringLiteral("Analyse terminée.")});
    // Afterwards the window closes as usual.
    EXPECT_TRUE(form->close());
}

}  // namespace
