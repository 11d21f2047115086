#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QTabWidget>
#include <QTreeWidget>

#include "export/ExportFenetre.h"
#include "platform/Locale.h"
#include "support/Fenetres.h"

using Genre = test::FauxMessages::Message::Genre;

namespace {

class ExportFenetre : public test::Fenetre {
protected:
    void SetUp() override {
        Fenetre::SetUp();
        platform::fixerLocaleTravail(QLocale(QLocale::French, QLocale::France));
    }
    void TearDown() override {
        form.reset();
        platform::oublierLocaleTravail();
    }
    QWidget* frame6() { return w<QWidget>("Frame6"); }
};

TEST_F(ExportFenetre, TextesDeConfirmation) {
    const QString clients = QStringLiteral("Voulez-vous créer le fichier csv ?");
    const QString techniques = QStringLiteral("Voulez-vous créer le fichier csv Technique ?");
    EXPECT_EQ(exports::confirmationClients(0, 120), clients);
    EXPECT_EQ(exports::confirmationTechniques(0, 120), techniques);
    EXPECT_EQ(exports::confirmationClients(5, 120, 2),
              clients + QStringLiteral("\r\nAttention 5 clients sur 120 ne seront pas importés."
                                       "\r\ndans TRELLINAX PRO.\r\nAttention : 2 clients ont dans "
                                       "une valeur un « ; » ou un retour à la ligne isolé : "
                                       "TRELLINAX PRO risque de mal lire leur ligne."));
    EXPECT_EQ(exports::confirmationTechniques(5, 120, 1),
              techniques + QStringLiteral("\r\nAttention 5 clients sur 120 ne seront pas "
                                          "importés\r\ndans TRELLINAX PRO.\r\nAttention : 1 fiche "
                                          "technique a dans une valeur un « ; » ou un retour à la "
                                          "ligne isolé : TRELLINAX PRO risque de mal lire sa "
                                          "ligne."));
}

TEST_F(ExportFenetre, ClientsOuiAvecProgressionPuisNon) {
    // 1601 clients; A3's ";" is counted in the question, not that of A2, which
    // is left out as the list shows it.
    cn.executerSqlite(QStringLiteral(
        "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 1601) INSERT "
        "INTO FCLI (Code, Nom) SELECT 'A' || k, CASE WHEN k IN (2, 3) THEN 'a;b' ELSE 'NOM' END "
        "FROM n"));
    d.ecrire(QStringLiteral("FCLI_9.txt"), "ancien");
    vars.NbCli = 1601;
    ouvrir();
    new QTreeWidgetItem(w<QTreeWidget>("ListCli"), {QStringLiteral("A2"), QStringLiteral("NOM ")});
    bool frameVisible = false;
    QStringList lignesVues;
    messages.pendant = [&] {
        frameVisible = frame6()->isVisible();
        lignesVues = test::lignes(w<QListWidget>("Listelog"));
    };
    cliquer("btnExportClients");
    EXPECT_EQ(messages.textes(), (QStringList{exports::confirmationClients(1, 1601, 1),
                                              QStringLiteral("3 Fichier(s) CSV créé(s).")}));
    // Frame6 stays while the closing message is open, then goes.
    EXPECT_TRUE(frameVisible);
    EXPECT_TRUE(frame6()->isHidden());
    const auto fichier = [&](int n) {
        return QDir::toNativeSeparators(d.chemin(QStringLiteral("FCLI_%1.txt").arg(n)));
    };
    EXPECT_EQ(lignesVues, (QStringList{QStringLiteral("Création de 3 fichiers en cours."),
                                       fichier(1) + QStringLiteral(" créé"),
                                       fichier(2) + QStringLiteral(" créé"),
                                       QStringLiteral(" Exportation terminée")}));
    // A2 is left out (the files' rollover is the export's own test).
    EXPECT_EQ(test::lignesExport(d.lire(QStringLiteral("FCLI_1.txt"))).value(2).section(u';', 1, 1),
              QStringLiteral("A3"));
    EXPECT_FALSE(d.existe(QStringLiteral("FCLI_9.txt")));

    // No: nothing is written, nothing more is said.
    QFile::remove(d.chemin(QStringLiteral("FCLI_1.txt")));
    messages.vider();
    messages.repondre(false);
    cliquer("btnExportClients");
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_FALSE(d.existe(QStringLiteral("FCLI_1.txt")));
}

TEST_F(ExportFenetre, ClientsApresAnalyseSansCeuxEnErreur) {
    d.creerCommunes({{QStringLiteral("69001"), QStringLiteral("LYON")}});
    cn.executerSqlite(QStringLiteral(
        "INSERT INTO FCLI (Code, Nom, Ville, \"Code Postal\", Email) VALUES ('A1', 'NOM', "
        "'LYON', '69001', 'lea@exemple.fr'), ('B2', 'NOM', 'LYON', '69001', 'lea@@x.fr'), ('3', "
        "'NOM', 'LYON', '69001', 'lea@exemple.fr'), ('44', 'NOM', 'LYON', '69001', 'lea@@x.fr')"));
    d.ecrire(QStringLiteral("Cli3.RTF"), "{\\rtf1 Note\\par}");
    ouvrir();
    cliquer("btnAnalyseBd");
    ASSERT_EQ(test::lignes(w<QTreeWidget>("ListCli")),
              (QStringList{QStringLiteral("B2"), QStringLiteral("44")}));
    messages.vider();
    cliquer("btnExportClients");
    EXPECT_EQ(messages.textes(), (QStringList{exports::confirmationClients(2, 4),
                                              QStringLiteral("1 Fichier(s) CSV créé(s).")}));
    const QStringList lignes = test::lignesExport(d.lire(QStringLiteral("FCLI_1.txt")));
    ASSERT_EQ(lignes.size(), 3);
    EXPECT_TRUE(lignes[1].startsWith(QStringLiteral("1;A1;"))) << lignes[1].toStdString();
    EXPECT_TRUE(lignes[2].startsWith(QStringLiteral("3;3;")) &&
                lignes[2].endsWith(QStringLiteral("lea@exemple.fr;Note")))
        << lignes[2].toStdString();
}

TEST_F(ExportFenetre, FichesApresAnalyseOuiPuisNon) {
    cn.executerSqlite(QStringLiteral(
        "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 802) INSERT "
        "INTO FTEC (Code_Client, Famille) SELECT 'A1', CASE WHEN k IN (3, 5) THEN NULL ELSE "
        "'Coupe' END FROM n"));
    ouvrir();
    w<QTabWidget>("SSTab1")->setCurrentIndex(1);
    cliquer("btnAnalyseRTF");
    messages.vider();
    bool frameVisible = true;
    messages.pendant = [&] { frameVisible = frame6()->isVisible(); };
    cliquer("btnExportTech");
    EXPECT_EQ(messages.textes(),
              (QStringList{exports::confirmationTechniques(2, 802),
                           QStringLiteral("2 Fichier(s) CSV Tecnique créé(s).")}));
    // No progress panel for the sheets.
    EXPECT_FALSE(frameVisible);
    // Sheets 3 and 5 are left out.
    const QStringList lignes = test::lignesExport(d.lire(QStringLiteral("FTEC_1.txt")));
    ASSERT_EQ(lignes.size(), 801);
    EXPECT_EQ(lignes.mid(2, 3),
              (QStringList{QStringLiteral("2;A1;;;;;;Coupe;"), QStringLiteral("4;A1;;;;;;Coupe;"),
                           QStringLiteral("6;A1;;;;;;Coupe;")}));

    QFile::remove(d.chemin(QStringLiteral("FTEC_1.txt")));
    messages.vider();
    messages.repondre(false);
    cliquer("btnExportTech");
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_FALSE(d.existe(QStringLiteral("FTEC_1.txt")));
}

// A failure is told, the panel hidden and the window left usable.
TEST_F(ExportFenetre, EchecDitEtCacheFrame6) {
    cn.Close();
    QFile::remove(d.chemin(QStringLiteral("BdClient.mdb")));
    ouvrir();
    cliquer("btnExportClients");
    w<QTabWidget>("SSTab1")->setCurrentIndex(1);
    cliquer("btnExportTech");
    const auto& m = messages.messages();
    ASSERT_EQ(m.size(), 4u);
    for (int i : {1, 3}) {
        EXPECT_EQ(m[i].genre, Genre::Exclamation);
        EXPECT_TRUE(m[i].texte.contains(QStringLiteral("BdClient.mdb")) &&
                    m[i].texte.contains(QStringLiteral("introuvable")))
            << m[i].texte.toStdString();
    }
    EXPECT_TRUE(frame6()->isHidden());
    EXPECT_FALSE(QApplication::overrideCursor());
    EXPECT_TRUE(form->isEnabled());
}

}  // namespace
