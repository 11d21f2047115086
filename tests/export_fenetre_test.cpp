#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "app/Form1.h"
#include "commun/Variables.h"
#include "export/ExportFenetre.h"
#include "platform/Locale.h"
#include "store/Connexion.h"
#include "support/Dossier.h"
#include "support/FauxMessages.h"
#include "support/Fenetres.h"

using test::enfant;

namespace {

// The scripted message boxes, with a look at the window while a box is open.
struct MessagesVus : test::FauxMessages {
    std::function<void()> pendant;
    void information(const QString& texte) override {
        if (pendant) {
            pendant();
        }
        FauxMessages::information(texte);
    }
    void exclamation(const QString& texte) override {
        if (pendant) {
            pendant();
        }
        FauxMessages::exclamation(texte);
    }
};

QStringList lignesDe(const QByteArray& octets) {
    QString texte = QStringDecoder(QStringConverter::Utf16LE).decode(octets.mid(2));
    texte.chop(2);
    return texte.split(QStringLiteral("\r\n"));
}

QStringList textes(const QListWidget* liste) {
    QStringList t;
    for (int i = 0; i < liste->count(); ++i) {
        t << liste->item(i)->text();
    }
    return t;
}

class ExportFenetre : public ::testing::Test {
protected:
    void SetUp() override {
        platform::fixerLocaleTravail(QLocale(QLocale::French, QLocale::France));
        vars.dossier = d.chemin();
        vars.VilleDefaut = QStringLiteral("PARIS");
        vars.CpDefaut = QStringLiteral("75001");
    }
    void TearDown() override { platform::oublierLocaleTravail(); }

    void base(int clients, int fiches) {
        store::Connexion cn = d.creerBase();
        cn.executer(QStringLiteral("BEGIN"));
        for (int k = 1; k <= clients; ++k) {
            cn.executer(
                QStringLiteral("INSERT INTO FCLI (Code, Nom) VALUES ('A%1', 'NOM')").arg(k));
        }
        for (int k = 1; k <= fiches; ++k) {
            cn.executer(
                QStringLiteral("INSERT INTO FTEC (Code_Client, Famille) VALUES ('A1', 'Coupe')"));
        }
        cn.executer(QStringLiteral("COMMIT"));
    }

    test::Dossier d;
    commun::Variables vars;
    MessagesVus messages;
};

TEST_F(ExportFenetre, TextesDeConfirmation) {
    struct Cas {
        int lignes;
        int total;
        QString clients;
        QString techniques;
    };
    const Cas cas[] = {
        {0, 120, QStringLiteral("Voulez-vous créer le fichier csv ?"),
         QStringLiteral("Voulez-vous créer le fichier csv Technique ?")},
        {0, 0, QStringLiteral("Voulez-vous créer le fichier csv ?"),
         QStringLiteral("Voulez-vous créer le fichier csv Technique ?")},
        {5, 120,
         QStringLiteral(
             "Voulez-vous créer le fichier csv ?\r\nAttention 5 clients sur 120 ne seront pas "
             "importés.\r\ndans TRELLINAX PRO."),
         QStringLiteral(
             "Voulez-vous créer le fichier csv Technique ?\r\nAttention 5 clients sur 120 ne "
             "seront pas importés\r\ndans TRELLINAX PRO.")},
        {12, 340,
         QStringLiteral(
             "Voulez-vous créer le fichier csv ?\r\nAttention 12 clients sur 340 ne seront pas "
             "importés.\r\ndans TRELLINAX PRO."),
         QStringLiteral(
             "Voulez-vous créer le fichier csv Technique ?\r\nAttention 12 clients sur 340 ne "
             "seront pas importés\r\ndans TRELLINAX PRO.")},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.lignes);
        EXPECT_EQ(exports::confirmationClients(c.lignes, c.total), c.clients);
        EXPECT_EQ(exports::confirmationTechniques(c.lignes, c.total), c.techniques);
    }
    // Then the lines the importer may misread.
    EXPECT_EQ(exports::confirmationClients(5, 120, 2),
              cas[2].clients + QStringLiteral("\r\nAttention : 2 clients ont dans une valeur un "
                                              "« ; » ou un retour à la ligne isolé : TRELLINAX "
                                              "PRO risque de mal lire leur ligne."));
    EXPECT_EQ(exports::confirmationTechniques(0, 0, 1),
              cas[0].techniques + QStringLiteral("\r\nAttention : 1 fiche technique a dans une "
                                                 "valeur un « ; » ou un retour à la ligne isolé : "
                                                 "TRELLINAX PRO risque de mal lire sa ligne."));
}

TEST_F(ExportFenetre, ClientsOuiAvecProgressionPuisNon) {
    base(1601, 0);
    // A3's ";" is counted in the question, not that of A2, which is left out.
    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        cn.executer(QStringLiteral("UPDATE FCLI SET Nom = 'a;b' WHERE Code IN ('A2', 'A3')"));
    }
    d.ecrire(QStringLiteral("FCLI_9.txt"), "ancien");
    vars.NbCli = 1601;
    app::Form1 f(vars, messages);
    f.show();
    auto* liste = enfant<QTreeWidget>(&f, "ListCli");
    new QTreeWidgetItem(liste, {QStringLiteral("A2"), QStringLiteral("NOM ")});
    auto* frame6 = enfant<QWidget>(&f, "Frame6");
    auto* journal = enfant<QListWidget>(&f, "Listelog");

    bool frameVisible = false;
    QStringList lignesVues;
    messages.pendant = [&] {
        frameVisible = frame6->isVisible();
        lignesVues = textes(journal);
    };
    messages.repondre(true);
    QTest::mouseClick(enfant<QPushButton>(&f, "btnExportClients"), Qt::LeftButton);

    const auto& m = messages.messages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].genre, test::FauxMessages::Message::Genre::Question);
    EXPECT_EQ(m[0].texte, exports::confirmationClients(1, 1601, 1));
    EXPECT_EQ(m[1].genre, test::FauxMessages::Message::Genre::Information);
    EXPECT_EQ(m[1].texte, QStringLiteral("3 Fichier(s) CSV créé(s)."));
    // Frame6 stays while the closing message is open, then goes.
    EXPECT_TRUE(frameVisible);
    EXPECT_TRUE(frame6->isHidden());
    EXPECT_EQ(lignesVues,
              (QStringList{QStringLiteral("Création de 3 fichiers en cours."),
                           QDir::toNativeSeparators(d.chemin(QStringLiteral("FCLI_1.txt"))) +
                               QStringLiteral(" créé"),
                           QDir::toNativeSeparators(d.chemin(QStringLiteral("FCLI_2.txt"))) +
                               QStringLiteral(" créé"),
                           QStringLiteral(" Exportation terminée")}));
    // 1600 clients: the third file holds the header only; A2 is left out.
    EXPECT_EQ(lignesDe(d.lire(QStringLiteral("FCLI_3.txt"))).size(), 1);
    EXPECT_FALSE(lignesDe(d.lire(QStringLiteral("FCLI_1.txt")))
                     .contains(QStringLiteral("2;A2;;a;b") + QString(20, u';')));
    EXPECT_FALSE(d.existe(QStringLiteral("FCLI_9.txt")));

    // No: nothing is written, nothing more is said.
    QFile::remove(d.chemin(QStringLiteral("FCLI_1.txt")));
    messages.vider();
    messages.repondre(false);
    QTest::mouseClick(enfant<QPushButton>(&f, "btnExportClients"), Qt::LeftButton);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_FALSE(d.existe(QStringLiteral("FCLI_1.txt")));
    EXPECT_TRUE(frame6->isHidden());
}

TEST_F(ExportFenetre, ClientsApresAnalyseSansCeuxEnErreur) {
    d.creerCommunes({{QStringLiteral("69001"), QStringLiteral("LYON")}});
    {
        store::Connexion cn = d.creerBase();
        for (const char* code : {"A1", "B2", "3", "44"}) {
            const bool enErreur = QByteArray(code) == "B2" || QByteArray(code) == "44";
            test::inserer(cn, QStringLiteral("FCLI"),
                          {{QStringLiteral("Code"), QString::fromLatin1(code)},
                           {QStringLiteral("Nom"), QStringLiteral("NOM")},
                           {QStringLiteral("Ville"), QStringLiteral("LYON")},
                           {QStringLiteral("Code Postal"), QStringLiteral("69001")},
                           {QStringLiteral("Email"), enErreur ? QStringLiteral("lea@@x.fr")
                                                              : QStringLiteral("lea@exemple.fr")}});
        }
    }
    d.ecrire(QStringLiteral("Cli3.RTF"), "{\\rtf1 Note\\par}");
    app::Form1 f(vars, messages);
    f.show();
    QTest::mouseClick(enfant<QPushButton>(&f, "btnAnalyseBd"), Qt::LeftButton);
    auto* listCli = enfant<QTreeWidget>(&f, "ListCli");
    ASSERT_EQ(listCli->topLevelItemCount(), 2);
    EXPECT_EQ(listCli->topLevelItem(0)->text(0), QStringLiteral("B2"));
    EXPECT_EQ(listCli->topLevelItem(1)->text(0), QStringLiteral("44"));
    messages.vider();

    messages.repondre(true);
    QTest::mouseClick(enfant<QPushButton>(&f, "btnExportClients"), Qt::LeftButton);
    EXPECT_EQ(messages.textes(),
              (QStringList{QStringLiteral(
                               "Voulez-vous créer le fichier csv ?\r\nAttention 2 clients sur 4 ne "
                               "seront pas importés.\r\ndans TRELLINAX PRO."),
                           QStringLiteral("1 Fichier(s) CSV créé(s).")}));
    const QStringList lignes = lignesDe(d.lire(QStringLiteral("FCLI_1.txt")));
    ASSERT_EQ(lignes.size(), 3);
    EXPECT_TRUE(lignes[1].startsWith(QStringLiteral("1;A1;"))) << lignes[1].toStdString();
    EXPECT_TRUE(lignes[2].startsWith(QStringLiteral("3;3;"))) << lignes[2].toStdString();
    EXPECT_TRUE(lignes[2].endsWith(QStringLiteral("lea@exemple.fr;Note")))
        << lignes[2].toStdString();
}

TEST_F(ExportFenetre, FichesApresAnalyseOuiPuisNon) {
    base(1, 802);
    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        cn.executer(QStringLiteral("UPDATE FTEC SET Famille = NULL WHERE \"Numéro\" IN (3, 5)"));
    }
    app::Form1 f(vars, messages);
    f.show();
    enfant<QTabWidget>(&f, "SSTab1")->setCurrentIndex(1);
    QTest::mouseClick(enfant<QPushButton>(&f, "btnAnalyseRTF"), Qt::LeftButton);
    ASSERT_EQ(enfant<QTreeWidget>(&f, "ListCliTech")->topLevelItemCount(), 2);
    messages.vider();
    bool frameVisible = true;
    messages.pendant = [&] { frameVisible = enfant<QWidget>(&f, "Frame6")->isVisible(); };

    messages.repondre(true);
    QTest::mouseClick(enfant<QPushButton>(&f, "btnExportTech"), Qt::LeftButton);
    EXPECT_EQ(
        messages.textes(),
        (QStringList{
            QStringLiteral("Voulez-vous créer le fichier csv Technique ?\r\nAttention 2 clients "
                           "sur 802 ne seront pas importés\r\ndans TRELLINAX PRO."),
            QStringLiteral("2 Fichier(s) CSV Tecnique créé(s).")}));
    // No progress panel for the sheets.
    EXPECT_FALSE(frameVisible);
    // 800 sheets once 3 and 5 are left out: a second file with the header only.
    const QStringList lignes = lignesDe(d.lire(QStringLiteral("FTEC_1.txt")));
    ASSERT_EQ(lignes.size(), 801);
    EXPECT_EQ(lignes.value(2), QStringLiteral("2;A1;;;;;;Coupe;"));
    EXPECT_EQ(lignes.value(3), QStringLiteral("4;A1;;;;;;Coupe;"));
    EXPECT_EQ(lignes.value(4), QStringLiteral("6;A1;;;;;;Coupe;"));
    EXPECT_EQ(lignesDe(d.lire(QStringLiteral("FTEC_2.txt"))).size(), 1);

    // No: nothing is written, nothing more is said.
    QFile::remove(d.chemin(QStringLiteral("FTEC_1.txt")));
    messages.vider();
    messages.repondre(false);
    QTest::mouseClick(enfant<QPushButton>(&f, "btnExportTech"), Qt::LeftButton);
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_FALSE(d.existe(QStringLiteral("FTEC_1.txt")));
}

TEST_F(ExportFenetre, EchecDitEtCacheFrame6) {
    // No database in the folder.
    app::Form1 f(vars, messages);
    f.show();
    auto* frame6 = enfant<QWidget>(&f, "Frame6");
    messages.repondre(true);
    messages.repondre(true);
    exports::btnExportClients_Click(vars, messages, f, *enfant<QTreeWidget>(&f, "ListCli"));
    exports::btnExportTech_Click(vars, messages, *enfant<QTreeWidget>(&f, "ListCliTech"));
    const auto& m = messages.messages();
    ASSERT_EQ(m.size(), 4u);
    for (int i : {1, 3}) {
        EXPECT_EQ(m[i].genre, test::FauxMessages::Message::Genre::Exclamation);
        EXPECT_TRUE(m[i].texte.contains(QStringLiteral("BdClient.mdb")))
            << m[i].texte.toStdString();
        EXPECT_TRUE(m[i].texte.contains(QStringLiteral("introuvable")));
    }
    EXPECT_TRUE(frame6->isHidden());
    EXPECT_FALSE(QApplication::overrideCursor());
    // The window stays usable.
    EXPECT_TRUE(f.isEnabled());
}

}  // namespace
