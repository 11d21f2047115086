#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QLabel>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>

#include "app/Form1.h"
#include "commun/Variables.h"
#include "rapport/Chiffres.h"
#include "rapport/Document.h"
#include "rapport/FenetreRapport.h"
#include "rapport_donnees.h"
#include "support/Dossier.h"
#include "support/FauxMessages.h"
#include "support/Fenetres.h"

using test::enfant;

namespace {

// The words of a text, one blank between them (no-break blanks included), so
// that a PDF's layout does not matter.
QString mots(QString texte) {
    texte.replace(QChar(0x00A0), u' ').replace(QChar(0x202F), u' ');
    return texte.simplified();
}

// The text of a PDF as pdftotext reads it back.
QString textePdf(const QString& chemin) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), chemin, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext a échoué sur " << chemin.toStdString() << " : "
                      << p.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
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
};

// What each section of the journal says when it has nothing to tell, the
// first analysis aside.
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

// Error output without the platform's own notices ("QStandardPaths: …").
QString horsQt(const QString& err) {
    QStringList lignes;
    for (const QString& l : err.split(u'\n', Qt::SkipEmptyParts)) {
        if (!l.startsWith(QLatin1String("QStandardPaths:"))) {
            lignes << l;
        }
    }
    return lignes.join(u'\n');
}

struct Sortie {
    int code = -1;
    QString out;
    QString err;
};

// The program itself, as a script runs it: no display at all.
Sortie verifclients(const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QString::fromLatin1(v));
    }
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VERIF_BIN_DIR "/verifclients"), arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "verifclients n'a pas terminé normalement";
        return {};
    }
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// ------------------------------------------------------------------ batch mode

TEST(RapportLot, PdfDuSalon) {
    test::Dossier d;
    test::remplirSalon(d);
    d.ecrire(QStringLiteral("FCLI_1.txt"), test::fichierExport({"1;A1", "5;A5"}));
    d.ecrire(QStringLiteral("FTEC_1.txt"), test::fichierExport({"1", "4", "5"}));
    const QString pdf = d.chemin(QStringLiteral("rapport.pdf"));

    const Sortie s =
        verifclients({QStringLiteral("--dossier"), d.chemin(), QStringLiteral("--rapport"), pdf});
    ASSERT_EQ(s.code, 0) << s.err.toStdString();
    EXPECT_EQ(horsQt(s.err), QString()) << s.err.toStdString();
    const QStringList lignes = s.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lignes.size(), 4) << s.out.toStdString();
    EXPECT_EQ(lignes[0], QStringLiteral("Analyse terminée."));
    EXPECT_EQ(lignes[1], QStringLiteral("Liste des clients avec erreur (3 / 5)"));
    EXPECT_EQ(lignes[2], QStringLiteral("Liste des techniques avec erreurs ( 2 / 5 )"));
    EXPECT_TRUE(lignes[3].startsWith(QStringLiteral("Rapport écrit : ") +
                                     QDir::toNativeSeparators(pdf) + QStringLiteral(" (")))
        << lignes[3].toStdString();

    const QString texte = textePdf(pdf);
    contientTout(texte, kTitres);
    contientTout(texte,
                 {
                     // The folder and the database.
                     QStringLiteral("5 clients, 5 fiches techniques, 3 visites"),
                     QStringLiteral("3 fichiers de notes"),
                     QStringLiteral("PARIS (75001)"),
                     QStringLiteral("BdClient.sav, faite le"),
                     // Clients, and the chart: one line per field.
                     QStringLiteral("5 clients jugés sur 13 champs. 3 sont en erreur (60,0 %)"),
                     QStringLiteral("Nom 0 (0,0 %)"),
                     QStringLiteral("Adresse 2 0 (0,0 %)"),
                     QStringLiteral("Ville 1 (20,0 %)"),
                     QStringLiteral("Code postal 1 (20,0 %)"),
                     QStringLiteral("Téléphone 1 1 (20,0 %)"),
                     QStringLiteral("E-mail 1 (20,0 %)"),
                     QStringLiteral("Date de naissance 0 (0,0 %)"),
                     // The report's own analysis is the only one the journal keeps.
                     QStringLiteral("trouvait les mêmes chiffres."),
                     // Notes.
                     QStringLiteral("2 notes dépassent 500 caractères"),
                     QStringLiteral("A1 DURAND Anne 600 100"),
                     QStringLiteral("A3 PETIT Léa 750 250"),
                     // Sheets.
                     QStringLiteral("5 fiches techniques : 2 sans famille"),
                     QStringLiteral("2 dont le mémo dépasse 500 caractères"),
                     QStringLiteral("3 (aucun client de ce code) 600"),
                     QStringLiteral("4 A4 L'HUILLIER Zoé 501"),
                     // Exports: files, and what is left out.
                     QStringLiteral("Un export fait maintenant écrirait 2 clients et 3 "
                                    "fiches techniques."),
                     QStringLiteral("Clients qui ne seront pas importés (3)"),
                     QStringLiteral("A2 MARTIN Paul Ville"),
                     QStringLiteral("A3 PETIT Léa Code postal, Téléphone 1"),
                     QStringLiteral("A4 L'HUILLIER Zoé E-mail"),
                     QStringLiteral("Fiches techniques qui ne seront pas importées (2)"),
                     QStringLiteral("2 A2 MARTIN Paul Famille"),
                     QStringLiteral("3 (aucun client de ce code) Famille"),
                     QStringLiteral("Page 1 /"),
                 });
    const QString t = mots(texte);
    EXPECT_TRUE(t.contains(QRegularExpression(QStringLiteral("FCLI_1\\.txt [0-9/]+ [0-9:]+ 2 "))));
    EXPECT_TRUE(t.contains(QRegularExpression(QStringLiteral("FTEC_1\\.txt [0-9/]+ [0-9:]+ 3 "))));
    EXPECT_FALSE(t.contains(QStringLiteral("ne correspondent plus")));
    // Nothing else was done: each section of the journal says so in one line.
    contientTout(texte, kJournalVide.mid(1));
    EXPECT_FALSE(t.contains(QStringLiteral("→")));
}

// A technician's session on the salon, then the report: the journal's
// sections, apart from what will not be imported.
TEST(RapportLot, PdfDuJournal) {
    test::Dossier d;
    test::remplirSalon(d);
    {
        commun::Variables vars;
        vars.dossier = d.chemin();
        vars.VilleDefaut = QStringLiteral("PARIS");
        vars.CpDefaut = QStringLiteral("75001");
        test::journalDuSalon(d, vars);
    }
    const QString pdf = d.chemin(QStringLiteral("rapport.pdf"));
    const Sortie s =
        verifclients({QStringLiteral("--dossier"), d.chemin(), QStringLiteral("--rapport"), pdf});
    ASSERT_EQ(s.code, 0) << s.err.toStdString();
    const QString texte = textePdf(pdf);
    contientTout(texte, kTitres);
    contientTout(
        texte,
        {
            // The first analysis beside now, in words and on the chart.
            QStringLiteral(": 3 clients en erreur sur 6 (50,0 %). Maintenant : 1 client sur 5 "
                           "(20,0 %)."),
            QStringLiteral("En gris, la première analyse ; en rouge, maintenant."),
            QStringLiteral("Nom 0 → 0 (0,0 %)"),
            QStringLiteral("Ville 1 → 0 (0,0 %)"),
            QStringLiteral("Code postal 1 → 0 (0,0 %)"),
            QStringLiteral("Téléphone 1 1 → 1 (20,0 %)"),
            QStringLiteral("E-mail 1 → 0 (0,0 %)"),
            // The tidying, per column, with examples.
            QStringLiteral("Rangement fait par l'analyse"),
            QStringLiteral("4 valeurs mises en forme chez 2 clients."),
            QStringLiteral("Champ Valeurs changées Exemples"),
            QStringLiteral("Ville 1 “ PARIS ” → “PARIS”"),
            QStringLiteral("Code postal 1 “75OO1” → “75001”"),
            QStringLiteral("Téléphone 1 2 “0102030405 ” → “0102030405” ; “O102030405” → "
                           "“0102030405”"),
            // By hand, the undone save marked.
            QStringLiteral("Corrections à la main"),
            QStringLiteral(
                "3 valeurs changées chez 2 clients dans le panneau de correction (dont 1 "
                "par le choix d'un code postal et de sa ville) ; 1 remise comme avant "
                "par une annulation."),
            QStringLiteral("Date Client Champ Avant Après Annulée le"),
            QStringLiteral("A4 L'HUILLIER Zoé E-mail zoe@ zoe@exemple.fr"),
            QStringLiteral("A3 PETIT Léa Code postal 6900 69001"),
            // Grouped.
            QStringLiteral("1 correction groupée : 1 valeur remplacée, 1 client changé."),
            QStringLiteral("Ville PARSI PARIS 1"),
            // Sheets.
            QStringLiteral("1 famille choisie pour 1 fiche technique."),
            QStringLiteral("2 A2 MARTIN Paul (vide) Soin"),
            QStringLiteral("Le nettoyage des mémos a ôté les blancs et les fins de ligne qui "
                           "terminaient 1 mémo."),
            // Purges, with the dates chosen.
            QStringLiteral("2 purges : 1 client et 1 fiche technique supprimés."),
            QStringLiteral("Clients avant le 01/01/2005 1"),
            QStringLiteral("Fiches techniques avant le 01/01/2005 1"),
            // What will not be imported stays apart.
            QStringLiteral("Clients qui ne seront pas importés (1)"),
            QStringLiteral("A3 PETIT Léa Téléphone 1"),
            QStringLiteral("Fiches techniques qui ne seront pas importées (1)"),
        });
    const QString t = mots(texte);
    EXPECT_TRUE(t.contains(QRegularExpression(
        QStringLiteral("À la première analyse notée au journal, le [0-9]{2}/[0-9]{2}/[0-9]{4} à "
                       "[0-9]{2}:[0-9]{2} : 3 clients"))));
    EXPECT_TRUE(t.contains(
        QRegularExpression(QStringLiteral("[0-9/]{10} [0-9:]{5} Clients avant le 01/01/2005 1 "))));
    EXPECT_TRUE(t.contains(QRegularExpression(
        QStringLiteral("A3 PETIT Léa Téléphone 1 01 23 0123456789 [0-9]{2}/[0-9]{2}/[0-9]{4} "))));
    for (const QString& rien : kJournalVide.mid(1)) {
        EXPECT_FALSE(t.contains(mots(rien))) << rien.toStdString();
    }
}

TEST(RapportLot, BaseVide) {
    test::Dossier d;
    d.creerBase();
    d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")}});
    d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
    const QString pdf = d.chemin(QStringLiteral("vide.pdf"));
    const Sortie s =
        verifclients({QStringLiteral("--dossier"), d.chemin(), QStringLiteral("--rapport"), pdf});
    ASSERT_EQ(s.code, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.contains(QStringLiteral("(1 page).")));
    const QString texte = textePdf(pdf);
    contientTout(texte, kTitres);
    // Every section says in one line that it has nothing to say.
    contientTout(texte,
                 {
                     QStringLiteral("0 client, 0 fiche technique, 0 visite"),
                     QStringLiteral("La base ne contient aucun client."),
                     QStringLiteral("Aucune note ne dépasse 500 caractères (le dossier n'a aucun "
                                    "fichier de notes)."),
                     QStringLiteral("La base ne contient aucune fiche technique."),
                     QStringLiteral("Aucun fichier d'export dans le dossier"),
                     QStringLiteral("Aucun : tous les clients seront importés."),
                     QStringLiteral("Aucune : toutes les fiches techniques seront importées."),
                 });
    EXPECT_FALSE(mots(texte).contains(QStringLiteral("Clients en erreur par champ")));
    contientTout(texte, kJournalVide.mid(1));
    EXPECT_FALSE(mots(texte).contains(QStringLiteral("première analyse notée")));
}

TEST(RapportLot, Echecs) {
    struct Cas {
        const char* cas;
        QStringList arguments;  // after --dossier DIR --rapport
        bool defaut;
        int code;
        QString message;
        bool analyse;  // the analyses ran (the backup is there)
    };
    test::Dossier cible;
    const Cas cas[] = {
        {"dossier du PDF absent",
         {cible.chemin(QStringLiteral("nulle/part/r.pdf"))},
         true,
         1,
         QStringLiteral("n'existe pas"),
         false},
        {"sans default.txt",
         {cible.chemin(QStringLiteral("r.pdf"))},
         false,
         1,
         QStringLiteral("default.txt"),
         false},
        {"le PDF est un dossier",
         {cible.chemin()},
         true,
         1,
         QStringLiteral("Impossible d'écrire le rapport"),
         true},
        {"sans fichier", {}, true, 2, QStringLiteral("--rapport FICHIER.pdf"), false},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.cas);
        test::Dossier d;
        test::remplirSalon(d);
        if (!c.defaut) {
            QFile::remove(d.chemin(QStringLiteral("default.txt")));
        }
        const Sortie s = verifclients(
            QStringList{QStringLiteral("--dossier"), d.chemin(), QStringLiteral("--rapport")} +
            c.arguments);
        EXPECT_EQ(s.code, c.code);
        EXPECT_TRUE(s.err.contains(c.message)) << s.err.toStdString();
        EXPECT_EQ(d.existe(QStringLiteral("BdClient.sav")), c.analyse);
    }
    EXPECT_TRUE(QDir(cible.chemin()).entryList(QDir::Files).isEmpty());
}

TEST(RapportLot, Aide) {
    const Sortie s = verifclients({QStringLiteral("--help")});
    EXPECT_EQ(s.code, 0);
    EXPECT_TRUE(s.out.contains(QStringLiteral("--rapport FICHIER.pdf"))) << s.out.toStdString();
}

// ---------------------------------------------------------------- the document

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

// The sentences follow the figures: singular, plural, none.
TEST(RapportDocument, Phrases) {
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
         [] {
             rapport::Chiffres c = chiffresDe(8, 0, 10, 0);
             c.clientsAmbigus = {{QStringLiteral("C7"), QStringLiteral("NOM Prénom")}};
             c.fichesAmbigues = {{QStringLiteral("4"), QStringLiteral("C1")},
                                 {QStringLiteral("9"), QStringLiteral("C2")}};
             return c;
         }(),
         {QStringLiteral("Lignes que TRELLINAX PRO risque de mal lire (3)"),
          QStringLiteral("Attention : 1 client a dans une valeur un « ; » ou un retour à la ligne "
                         "isolé : TRELLINAX PRO risque de mal lire sa ligne."),
          QStringLiteral("Code Client C7 NOM Prénom"),
          QStringLiteral("Attention : 2 fiches techniques ont"),
          QStringLiteral("N° fiche Code client 4 C1 9 C2")}},
        {"plusieurs",
         chiffresDe(8, 3, 10, 4),
         {QStringLiteral("3 sont en erreur (37,5 %) : ils ne seront pas importés"),
          QStringLiteral("Clients qui ne seront pas importés (3)"),
          QStringLiteral("C2 NOM Prénom Ville"),
          QStringLiteral("Fiches techniques qui ne seront pas importées (4)")}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.cas);
        const QString t = texteDocument(c.chiffres);
        for (const QString& a : c.attendus) {
            EXPECT_TRUE(t.contains(mots(a))) << "absent : " << a.toStdString() << "\n"
                                             << t.toStdString();
        }
    }
}

// Export files that no longer hold what an export would write are pointed out.
TEST(RapportDocument, FichiersDExportPerimes) {
    rapport::Chiffres c = chiffresDe(10, 2, 5, 1);
    c.fichiersClients = {{QStringLiteral("FCLI_1.txt"), 9, 100, c.date}};
    c.fichiersFiches = {{QStringLiteral("FTEC_1.txt"), 4, 100, c.date}};
    EXPECT_TRUE(texteDocument(c).contains(
        QStringLiteral("Les fichiers présents ne correspondent plus à la base (9 dans les "
                       "fichiers, 8 maintenant pour les clients) : refaites l'export")));
    c.fichiersClients[0].lignes = 8;
    EXPECT_FALSE(texteDocument(c).contains(QStringLiteral("ne correspondent plus")));
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
    int debut = -1;
    int lignes = 0;
    for (int i = 0; i < pages; ++i) {
        const QString t = mots(textes[i]);
        if (debut < 0 && t.contains(entete)) {
            debut = i;
        }
        if (debut >= 0 && i > debut && t.contains(QStringLiteral(" NOM Prénom Ville"))) {
            EXPECT_TRUE(t.startsWith(entete))
                << "page " << i + 1 << " : " << t.left(80).toStdString();
        }
        lignes += static_cast<int>(t.count(QStringLiteral(" NOM Prénom Ville")));
    }
    EXPECT_GE(debut, 0);
    EXPECT_GT(pages, debut + 3);
    EXPECT_EQ(lignes, 298);
    EXPECT_TRUE(mots(textes.join(u' ')).contains(QStringLiteral("C20 DUPONT Marie Jeanne Ville")));
    const QString tout = mots(textes.join(u' '));
    for (int i = 0; i < 300; i += 37) {
        EXPECT_TRUE(tout.contains(QStringLiteral(" C%1 ").arg(i))) << i;
    }
    // The long row: every word of its name and of its fields is there.
    for (const QString& mot :
         rapport::champsEnErreur(long_).split(QStringLiteral(", ")) + long_.NomClient.split(u'-')) {
        EXPECT_TRUE(tout.contains(mot)) << mot.toStdString();
    }
}

// A database without journal: each of the journal's sections says so in one
// line, read back from the PDF.
TEST(RapportDocument, JournalVide) {
    test::Dossier d;
    const QString pdf = d.chemin(QStringLiteral("vide.pdf"));
    rapport::ecrirePdf(chiffresDe(10, 2, 5, 1), pdf);
    const QString texte = textePdf(pdf);
    contientTout(texte, kTitres);
    contientTout(texte, kJournalVide);
}

TEST(RapportDocument, Formes) {
    EXPECT_EQ(mots(rapport::nombre(1500)), QStringLiteral("1 500"));
    EXPECT_EQ(mots(rapport::pourcentage(1, 3)), QStringLiteral("33,3 %"));
    EXPECT_EQ(mots(rapport::pourcentage(0, 0)), QStringLiteral("0,0 %"));
    EXPECT_EQ(rapport::taille(1), QStringLiteral("1 octet"));
    EXPECT_EQ(mots(rapport::taille(1536)), QStringLiteral("1,5 Ko"));
    EXPECT_EQ(mots(rapport::taille(5 * 1024 * 1024)), QStringLiteral("5,0 Mo"));
}

// ------------------------------------------------------------------ the window

class RapportFenetre : public ::testing::Test {
protected:
    void SetUp() override {
        vars.dossier = d.chemin();
        vars.VilleDefaut = QStringLiteral("PARIS");
        vars.CpDefaut = QStringLiteral("75001");
    }

    rapport::FenetreRapport* fenetreOuverte() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<rapport::FenetreRapport*>(w); f && f->isVisible()) {
                return f;
            }
        }
        return nullptr;
    }

    test::Dossier d;
    commun::Variables vars;
    test::FauxMessages messages;
};

TEST_F(RapportFenetre, BoutonAcoteDeQuitter) {
    d.creerBase();
    app::Form1 f(vars, messages);
    auto* rapport = enfant<QPushButton>(&f, "BtnRapport");
    auto* quitter = enfant<QPushButton>(&f, "BtnQuitter");
    ASSERT_TRUE(rapport && quitter);
    EXPECT_EQ(rapport->text(), QStringLiteral("Rapport"));
    EXPECT_EQ(rapport->parentWidget(), &f);
    EXPECT_EQ(rapport->geometry().top(), quitter->geometry().top());
    EXPECT_EQ(rapport->height(), quitter->height());
    EXPECT_LT(rapport->geometry().right(), quitter->geometry().left());
    EXPECT_FALSE(rapport->geometry().intersects(enfant<QTabWidget>(&f, "SSTab1")->geometry()));
}

TEST_F(RapportFenetre, OuvrirEnregistrerImprimer) {
    test::remplirSalon(d);
    app::Form1 f(vars, messages);
    f.show();
    QTest::mouseClick(enfant<QPushButton>(&f, "BtnRapport"), Qt::LeftButton);
    ASSERT_TRUE(test::attendreQue([&] { return fenetreOuverte() != nullptr; }));
    rapport::FenetreRapport* fenetre = fenetreOuverte();
    EXPECT_TRUE(messages.messages().empty()) << messages.dernier().toStdString();
    EXPECT_EQ(fenetre->chiffres().nbClientsEnErreur(), 3);
    EXPECT_EQ(fenetre->chiffres().notesLongues.size(), 2u);
    EXPECT_EQ(enfant<QPushButton>(fenetre, "btnPdf")->text(), QStringLiteral("Enregistrer en PDF"));
    EXPECT_EQ(enfant<QPushButton>(fenetre, "btnImprimer")->text(), QStringLiteral("Imprimer"));
    ASSERT_TRUE(test::attendreQue([&] { return fenetre->apercu().pageCount() > 0; }));
    EXPECT_TRUE(enfant<QLabel>(fenetre, "lblPages")->text().endsWith(QStringLiteral("page")) ||
                enfant<QLabel>(fenetre, "lblPages")->text().endsWith(QStringLiteral("pages")));
    // The report window holds the main window until it is closed.
    EXPECT_TRUE(fenetre->isModal() || fenetre->windowModality() != Qt::NonModal);

    const QString pdf = d.chemin(QStringLiteral("rapport.pdf"));
    EXPECT_TRUE(fenetre->enregistrerPdf(pdf));
    EXPECT_EQ(messages.dernier(),
              QStringLiteral("Rapport enregistré : ") + QDir::toNativeSeparators(pdf));
    contientTout(textePdf(pdf), kTitres);

    const QString absent = d.chemin(QStringLiteral("absent/rapport.pdf"));
    EXPECT_FALSE(fenetre->enregistrerPdf(absent));
    EXPECT_EQ(messages.messages().back().genre, test::FauxMessages::Message::Genre::Exclamation);
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("n'existe pas")));
    EXPECT_FALSE(QFileInfo::exists(absent));

    QPrinter imprimante(QPrinter::HighResolution);
    imprimante.setOutputFormat(QPrinter::PdfFormat);
    const QString papier = d.chemin(QStringLiteral("papier.pdf"));
    imprimante.setOutputFileName(papier);
    EXPECT_TRUE(fenetre->imprimer(imprimante));
    contientTout(textePdf(papier), {QStringLiteral("A3 PETIT Léa Code postal, Téléphone 1")});

    QPointer<rapport::FenetreRapport> garde(fenetre);
    QTest::mouseClick(enfant<QPushButton>(fenetre, "btnFermer"), Qt::LeftButton);
    EXPECT_TRUE(test::attendreQue([&] { return garde.isNull(); }));
    // Reading for the report changed nothing in the folder.
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.sav")));
}

TEST_F(RapportFenetre, EchecDitPourquoi) {
    d.creerBase();
    app::Form1 f(vars, messages);
    f.show();
    QTest::mouseClick(enfant<QPushButton>(&f, "BtnRapport"), Qt::LeftButton);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].genre, test::FauxMessages::Message::Genre::Exclamation);
    EXPECT_TRUE(
        messages.dernier().startsWith(QStringLiteral("Le rapport n'a pas pu être préparé : ")));
    EXPECT_TRUE(messages.dernier().contains(QStringLiteral("communes.mdb")));
    EXPECT_EQ(fenetreOuverte(), nullptr);
    EXPECT_TRUE(f.isEnabled());
}

}  // namespace
