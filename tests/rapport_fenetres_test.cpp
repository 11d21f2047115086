#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QLabel>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>

#include "rapport/Chiffres.h"
#include "rapport/Document.h"
#include "rapport/FenetreRapport.h"
#include "rapport_donnees.h"
#include "support/Fenetres.h"
#include "support/Lot.h"

using test::enfant;

namespace {

// The words of a text, one blank between them (no-break blanks included), so
// that a PDF's layout does not matter.
QString mots(QString texte) {
    texte.replace(QChar(0x00A0), u' ').replace(QChar(0x202F), u' ');
    return texte.simplified();
}

// The text of a PDF as pdftotext reads it back, pages apart.
QString textePdf(const QString& chemin) {
    const test::SortieLot s = test::executer(
        QStringLiteral("pdftotext"), {QStringLiteral("-layout"), chemin, QStringLiteral("-")});
    EXPECT_EQ(s.code, 0) << "pdftotext a échoué sur " << chemin.toStdString() << " : "
                         << s.err.toStdString();
    return s.out;
}

const QStringList kTitres = {
    QStringLiteral("Rapport de migration du fichier clients"),
    QStringLiteral("1. Le fichier du salon"),
    QStringLiteral("2. Clients"),
    QStringLiteral("3. Rangement et corrections"),
    QStringLiteral("4. Notes de plus de 500 caractères"),
    QStringLiteral("5. Fiches techniques"),
    QStringLiteral("6. Exports"),
    QStringLiteral("7. Purges"),
    QStringLiteral("8. Doublons"),
};

// What the journal's sections say when they have nothing to tell, the first
// analysis aside.
const QStringList kJournalVide = {
    QStringLiteral("Le journal ne garde aucune analyse des clients : le nombre de clients en "
                   "erreur à la première analyse n'est pas connu."),
    QStringLiteral("Le journal ne garde aucune valeur changée, ni par le rangement, ni à la main, "
                   "ni par une correction groupée."),
    QStringLiteral("Le journal ne garde aucune famille corrigée ni aucun mémo nettoyé."),
    QStringLiteral("Le journal ne garde aucune purge."),
};

void contientTout(const QString& texte, const QStringList& attendus) {
    const QString t = mots(texte);
    for (const QString& a : attendus) {
        EXPECT_TRUE(t.contains(mots(a))) << "absent : " << a.toStdString();
    }
}

// ------------------------------------------------------------------ batch mode

// The verb runs both analyses and writes the PDF: each section shows its
// figures, the chart included.
TEST(RapportLot, PdfDuSalon) {
    test::Dossier d;
    test::remplirSalon(d);
    d.ecrire(QStringLiteral("FCLI_1.txt"), test::fichierExport({"1;A1", "5;A5"}));
    const QString pdf = d.chemin(QStringLiteral("rapport.pdf"));
    const test::SortieLot s = test::lancerProgramme(d.chemin(), {QStringLiteral("--rapport"), pdf});
    ASSERT_EQ(s.code, 0) << s.err.toStdString();
    for (const QString& l : s.err.split(u'\n', Qt::SkipEmptyParts)) {
        EXPECT_TRUE(l.startsWith(QStringLiteral("QStandardPaths:"))) << l.toStdString();
    }
    EXPECT_TRUE(s.out.startsWith(
        QStringLiteral("Analyse terminée.\nListe des clients avec erreur (3 / 5)\n"
                       "Liste des techniques avec erreurs ( 2 / 5 )\nRapport écrit : ") +
        QDir::toNativeSeparators(pdf) + QStringLiteral(" (")))
        << s.out.toStdString();

    const QString texte = textePdf(pdf);
    contientTout(texte, kTitres);
    // One line of each kind of section; the sentences are the document tests' own.
    contientTout(texte, {
                            QStringLiteral("3 sont en erreur (60,0 %)"),
                            QStringLiteral("Téléphone 1 1 (20,0 %)"),
                            QStringLiteral("A3 PETIT Léa 750 250"),
                            QStringLiteral("4 A4 L'HUILLIER Zoé 501"),
                            QStringLiteral("Page 1 /"),
                        });
    EXPECT_TRUE(mots(texte).contains(
        QRegularExpression(QStringLiteral("FCLI_1\\.txt [0-9/]+ [0-9:]+ 2 "))));
}

TEST(RapportLot, EchecsEtAide) {
    struct Cas {
        QStringList arguments;  // after --dossier DIR
        bool defaut;
        int code;
        const char* message;
        bool analyse;  // the analyses ran (the backup is there)
    };
    test::Dossier cible;
    const auto rapport = [&](const char* pdf) {
        return QStringList{QStringLiteral("--rapport"), cible.chemin(QString::fromUtf8(pdf))};
    };
    const Cas cas[] = {
        {rapport("nulle/part/r.pdf"), true, 1, "n'existe pas", false},
        {rapport("r.pdf"), false, 1, "default.txt", false},
        {rapport(""), true, 1, "Impossible d'écrire le rapport", true},
        {{QStringLiteral("--rapport")}, true, 2, "--rapport FICHIER.pdf", false},
        {{QStringLiteral("--help")}, true, 0, "--rapport FICHIER.pdf", false},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        test::Dossier d;
        test::remplirSalon(d);
        if (!c.defaut) {
            QFile::remove(d.chemin(QStringLiteral("default.txt")));
        }
        const test::SortieLot s = test::lancerProgramme(d.chemin(), c.arguments);
        EXPECT_EQ(s.code, c.code);
        EXPECT_TRUE((s.out + s.err).contains(QString::fromUtf8(c.message))) << s.err.toStdString();
        EXPECT_EQ(d.existe(QStringLiteral("BdClient.sav")), c.analyse);
    }
    EXPECT_TRUE(QDir(cible.chemin()).entryList(QDir::Files).isEmpty());
}

// ---------------------------------------------------------------- the document

// A technician's session on the salon, then the report: each of the journal's
// sections tells what was done, the chart beside the first analysis.
TEST(RapportDocument, SectionsDuJournal) {
    test::Dossier d;
    test::remplirSalon(d);
    commun::Variables vars;
    vars.dossier = d.chemin();
    vars.VilleDefaut = QStringLiteral("PARIS");
    vars.CpDefaut = QStringLiteral("75001");
    test::journalDuSalon(d, vars);
    const QString pdf = d.chemin(QStringLiteral("rapport.pdf"));
    rapport::ecrirePdf(rapport::rassembler(vars), pdf);
    const QString texte = textePdf(pdf);
    contientTout(
        texte,
        {
            QStringLiteral(": 3 clients en erreur sur 6 (50,0 %). Maintenant : 1 client sur 5 "
                           "(20,0 %)."),
            QStringLiteral("Ville 1 → 0 (0,0 %)"),
            QStringLiteral("4 valeurs mises en forme chez 2 clients."),
            QStringLiteral("Téléphone 1 2 “0102030405 ” → “0102030405” ; “O102030405” → "
                           "“0102030405”"),
            QStringLiteral("(dont 1 par le choix d'un code postal et de sa ville) ; 1 remise "
                           "comme avant par une annulation."),
            QStringLiteral("A3 PETIT Léa Code postal 6900 69001"),
            QStringLiteral("1 correction groupée : 1 valeur remplacée, 1 client changé."),
            QStringLiteral("2 A2 MARTIN Paul (vide) Soin"),
            QStringLiteral("a ôté les blancs et les fins de ligne qui terminaient 1 mémo."),
            QStringLiteral("2 purges : 1 client et 1 fiche technique supprimés."),
            QStringLiteral("Fiches techniques avant le 01/01/2005 1"),
            QStringLiteral("Clients qui ne seront pas importés (1)"),
        });
    const QString t = mots(texte);
    // The undone save, with the day of its undo.
    EXPECT_TRUE(t.contains(QRegularExpression(
        QStringLiteral("A3 PETIT Léa Téléphone 1 01 23 0123456789 [0-9]{2}/[0-9]{2}/[0-9]{4} "))));
    for (const QString& rien : kJournalVide) {
        EXPECT_FALSE(t.contains(mots(rien))) << rien.toStdString();
    }
}

rapport::Chiffres chiffresDe(qint64 clients, qint64 erreurs, qint64 fiches, qint64 sansFamille) {
    rapport::Chiffres c;
    c.dossier = QStringLiteral("/salon");
    c.date = QDateTime(QDate(2025, 3, 12), QTime(14, 5));
    c.nbClients = clients;
    c.nbFiches = fiches;
    for (qint64 i = 0; i < erreurs; ++i) {
        clients::Evaluation e;
        e.CodeClient = QStringLiteral("C%1").arg(i);
        e.NomClient = QStringLiteral("NOM Prénom");
        e.drapeaux[clients::ErrVille] = true;
        c.clientsEnErreur.push_back(e);
        ++c.erreursParChamp[clients::ErrVille];
    }
    for (qint64 i = 0; i < sansFamille; ++i) {
        c.fiches.push_back(
            {QString::number(i), QStringLiteral("C1"), QStringLiteral("NOM"), true, false, 0});
    }
    c.nbSansFamille = sansFamille;
    return c;
}

QString texteDocument(const rapport::Chiffres& c) {
    QBuffer tampon;
    tampon.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&tampon);
    return mots(rapport::composer(c, pdf)->toPlainText());
}

// The sentences follow the figures: singular, plural, none; every section is
// there, and those of an empty journal say so in one line.
TEST(RapportDocument, Phrases) {
    rapport::Chiffres ambigus = chiffresDe(8, 0, 10, 0);
    ambigus.clientsAmbigus = {{QStringLiteral("C7"), QStringLiteral("NOM Prénom")}};
    ambigus.fichesAmbigues = {{QStringLiteral("4"), QStringLiteral("C1")},
                              {QStringLiteral("9"), QStringLiteral("C2")}};
    rapport::Chiffres perimes = chiffresDe(10, 2, 5, 1);
    perimes.fichiersClients = {{QStringLiteral("FCLI_1.txt"), 9, 100, perimes.date}};
    const struct {
        const char* cas;
        rapport::Chiffres chiffres;
        QStringList attendus;
    } cas[] = {
        {"un client en erreur",
         chiffresDe(1, 1, 1, 1),
         {QStringLiteral("1 client jugé sur 13 champs. 1 est en erreur (100,0 %) : il ne sera "
                         "pas importé dans TRELLINAX PRO tant qu'il n'est pas corrigé"),
          QStringLiteral("1 fiche technique : 1 sans famille, qui ne sera pas importée"),
          QStringLiteral("Un export fait maintenant écrirait 0 client et 0 fiche technique."),
          QStringLiteral("le 12 mars 2025 à 14:05")}},
        {"aucun en erreur",
         chiffresDe(1200, 0, 3400, 0),
         {QStringLiteral("1 200 clients jugés sur 13 champs : aucun n'est en erreur."),
          QStringLiteral("3 400 fiches techniques : toutes ont une famille ; aucun mémo ne "
                         "dépasse 500 caractères."),
          QStringLiteral("Aucun : tous les clients seront importés."),
          QStringLiteral("Lignes que TRELLINAX PRO risque de mal lire (0) Aucune : aucune valeur "
                         "exportée ne contient de « ; » ni de retour à la ligne isolé.")}},
        {"lignes mal lues",
         ambigus,
         {QStringLiteral("Lignes que TRELLINAX PRO risque de mal lire (3)"),
          QStringLiteral("Attention : 1 client a dans une valeur un « ; » ou un retour à la ligne "
                         "isolé : TRELLINAX PRO risque de mal lire sa ligne."),
          QStringLiteral("Attention : 2 fiches techniques ont"),
          QStringLiteral("N° fiche Code client 4 C1 9 C2")}},
        {"plusieurs, export périmé",
         perimes,
         {QStringLiteral("2 sont en erreur (20,0 %) : ils ne seront pas importés"),
          QStringLiteral("C1 NOM Prénom Ville"),
          QStringLiteral("Les fichiers présents ne correspondent plus à la base (9 dans les "
                         "fichiers, 8 maintenant pour les clients) : refaites l'export")}},
        {"base vide",
         chiffresDe(0, 0, 0, 0),
         {QStringLiteral("0 client, 0 fiche technique, 0 visite"),
          QStringLiteral("La base ne contient aucun client."),
          QStringLiteral("La base ne contient aucune fiche technique."),
          QStringLiteral("Aucun groupe de clients qui seraient la même personne.")}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.cas);
        const QString t = texteDocument(c.chiffres);
        for (const QString& a : kTitres + kJournalVide + c.attendus) {
            EXPECT_TRUE(t.contains(mots(a))) << "absent : " << a.toStdString();
        }
    }
    perimes.fichiersClients[0].lignes = 8;
    EXPECT_FALSE(texteDocument(perimes).contains(QStringLiteral("ne correspondent plus")));
}

// A list over several pages: every row once, whole, and the header again at
// the top of each page it goes on to.
TEST(RapportDocument, ListeSurPlusieursPages) {
    rapport::Chiffres c = chiffresDe(400, 300, 0, 0);
    clients::Evaluation& long_ = c.clientsEnErreur[150];
    long_.NomClient = QStringLiteral("MERCIER-PERROT-MERCIER-RIVIÈRE-LAMY-DENIS-BOUCHER Élodie");
    long_.drapeaux.fill(true);
    // Tabs and line breaks of the data stay inside their cell.
    c.clientsEnErreur[20].NomClient = QStringLiteral("DUPONT\tMarie\r\nJeanne");
    test::Dossier d;
    const QString pdf = d.chemin(QStringLiteral("liste.pdf"));
    const int pages = rapport::ecrirePdf(c, pdf);
    const QStringList textes = textePdf(pdf).split(u'\f');
    ASSERT_GE(textes.size(), pages);
    const QString entete = QStringLiteral("Code Client Champs en erreur");
    const QString ligne = QStringLiteral(" NOM Prénom Ville");
    int debut = -1;
    int lignes = 0;
    for (int i = 0; i < pages; ++i) {
        const QString t = mots(textes[i]);
        if (debut < 0 && t.contains(entete)) {
            debut = i;
        } else if (debut >= 0 && t.contains(ligne)) {
            EXPECT_TRUE(t.startsWith(entete)) << "page " << i + 1;
        }
        lignes += static_cast<int>(t.count(ligne));
    }
    EXPECT_GT(pages, debut + 3);
    EXPECT_EQ(lignes, 298);
    const QString tout = mots(textes.join(u' '));
    EXPECT_TRUE(tout.contains(QStringLiteral("C20 DUPONT Marie Jeanne Ville")));
    // The long row: every word of its name and of its fields is there.
    for (const QString& mot :
         rapport::champsEnErreur(long_).split(QStringLiteral(", ")) + long_.NomClient.split(u'-')) {
        EXPECT_TRUE(tout.contains(mot)) << mot.toStdString();
    }
}

TEST(RapportDocument, Formes) {
    EXPECT_EQ(mots(rapport::pourcentage(1, 3)), QStringLiteral("33,3 %"));
    EXPECT_EQ(mots(rapport::pourcentage(0, 0)), QStringLiteral("0,0 %"));
    EXPECT_EQ(rapport::taille(1), QStringLiteral("1 octet"));
    EXPECT_EQ(mots(rapport::taille(1536)), QStringLiteral("1,5 Ko"));
    EXPECT_EQ(mots(rapport::taille(5 * 1024 * 1024)), QStringLiteral("5,0 Mo"));
}

// ------------------------------------------------------------------ the window

class RapportFenetre : public test::Fenetre {};

TEST_F(RapportFenetre, OuvrirEnregistrerImprimer) {
    test::remplirSalon(d);
    ouvrir();
    cliquer("BtnRapport");
    auto* fenetre = form->findChild<rapport::FenetreRapport*>();
    ASSERT_TRUE(fenetre && fenetre->isVisible());
    EXPECT_TRUE(messages.messages().empty()) << messages.dernier().toStdString();
    EXPECT_EQ(fenetre->chiffres().nbClientsEnErreur(), 3);
    // The report window holds the main window until it is closed.
    EXPECT_NE(fenetre->windowModality(), Qt::NonModal);
    ASSERT_TRUE(test::attendreQue([&] { return fenetre->apercu().pageCount() > 0; }));

    const QString pdf = d.chemin(QStringLiteral("rapport.pdf"));
    EXPECT_TRUE(fenetre->enregistrerPdf(pdf));
    EXPECT_EQ(messages.dernier(),
              QStringLiteral("Rapport enregistré : ") + QDir::toNativeSeparators(pdf));
    contientTout(textePdf(pdf), kTitres);
    const QString absent = d.chemin(QStringLiteral("absent/rapport.pdf"));
    EXPECT_FALSE(fenetre->enregistrerPdf(absent));
    EXPECT_EQ(messages.messages().back().genre, test::FauxMessages::Message::Genre::Exclamation);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("n'existe pas")));

    QPrinter imprimante(QPrinter::HighResolution);
    imprimante.setOutputFormat(QPrinter::PdfFormat);
    imprimante.setOutputFileName(d.chemin(QStringLiteral("papier.pdf")));
    EXPECT_TRUE(fenetre->imprimer(imprimante));
    contientTout(textePdf(d.chemin(QStringLiteral("papier.pdf"))),
                 {QStringLiteral("A3 PETIT Léa Code postal, Téléphone 1")});

    QPointer<rapport::FenetreRapport> garde(fenetre);
    QTest::mouseClick(enfant<QPushButton>(fenetre, "btnFermer"), Qt::LeftButton);
    EXPECT_TRUE(test::attendreQue([&] { return garde.isNull(); }));
    // Reading for the report changed nothing in the folder.
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.sav")));
    EXPECT_FALSE(QFileInfo::exists(absent));
}

TEST_F(RapportFenetre, EchecDitPourquoi) {
    ouvrir();
    cliquer("BtnRapport");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].genre, test::FauxMessages::Message::Genre::Exclamation);
    EXPECT_TRUE(
        messages.dernier().startsWith(QStringLiteral("Le rapport n'a pas pu être préparé : ")));
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("communes.mdb")));
    EXPECT_EQ(form->findChild<rapport::FenetreRapport*>(), nullptr);
    EXPECT_TRUE(form->isEnabled());
}

}  // namespace
