#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>
#include <functional>

#include "app/Batch.h"
#include "export/Export.h"
#include "platform/Locale.h"
#include "store/Connexion.h"
#include "support/Dossier.h"
#include "support/Lot.h"

namespace {

const QString kEnteteCli = QStringLiteral(
    "Numéro;Code;Date Création;Nom;Prénom;Adresse;Ville;Code Postal;Cat, Age;Mois Nais;Sexe;"
    "Tel1;Tel2;Coiffeur;R/F;N/C;DateNaissance;Carte;Points;Leader;GenCode;Adresse2;Email;Infos");
const QString kEnteteTec =
    QStringLiteral("Numéro;Code_Client;Date;Tech;Serv;Divers1;Divers2;Famille;Mémo");

// The bytes a file must hold: byte order mark, then each line in UTF-16LE and CR LF.
QByteArray attendu(const QStringList& lignes) {
    QStringEncoder utf16le(QStringConverter::Utf16LE);
    QByteArray octets("\xFF\xFE", 2);
    for (const QString& l : lignes) {
        octets += utf16le.encode(l + QStringLiteral("\r\n"));
    }
    return octets;
}

// One field of each data line of an export file.
QStringList champDe(const QByteArray& octets, int champ) {
    QStringList t;
    for (const QString& l : test::lignesExport(octets).mid(1)) {
        t << l.section(u';', champ, champ);
    }
    return t;
}

QStringList fichiersDe(const test::Dossier& d) {
    return QDir(d.chemin())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Records what a window would show.
struct Journal : exports::ObservateurExport {
    int debuts = 0;
    QStringList lignes;
    void debut() override { ++debuts; }
    void ligne(const QString& texte) override { lignes << texte; }
};

class Export : public ::testing::Test {
protected:
    void SetUp() override {
        platform::fixerLocaleTravail(QLocale(QLocale::French, QLocale::France));
    }
    void TearDown() override { platform::oublierLocaleTravail(); }

    // n clients A1…An, or n sheets 1…n for client A1.
    static void remplir(const test::Dossier& x, const QString& table, int n) {
        store::Connexion cn = x.existe(QStringLiteral("BdClient.mdb"))
                                  ? store::Connexion(x.chemin(QStringLiteral("BdClient.mdb")))
                                  : x.creerBase();
        cn.executerSqlite(
            QStringLiteral("WITH RECURSIVE n(k) AS (SELECT 1 WHERE %1 > 0 UNION ALL SELECT k + 1 "
                           "FROM n WHERE k < %1) ")
                .arg(n) +
            (table == QLatin1String("FCLI")
                 ? QStringLiteral("INSERT INTO FCLI (Code, Nom) SELECT 'A' || k, 'NOM' FROM n")
                 : QStringLiteral(
                       "INSERT INTO FTEC (Code_Client, Famille) SELECT 'A1', 'COUPE' FROM n")));
    }

    test::Dossier d;
};

// ------------------------------------------------------------------ format

TEST_F(Export, ClientsEtFichesOctetPourOctet) {
    d.creerBase().executerSqlite(QStringLiteral(
        "INSERT INTO FCLI VALUES (1, 'A1', '2005-03-15 14:30:00', 'DUPONT', 'Marie', '3; rue des "
        "Lilas', 'PARIS', '75001', '05', '03', 'F', '0612345678', NULL, 'Julie', 1, 0, "
        "'1980-07-14 00:00:00', 'C12', 12.5, 0, '1234567890123', NULL, 'marie@exemple.fr');"
        "INSERT INTO FCLI (Code, Nom, Adresse, Points) VALUES ('B2', 'MARTIN', '12 rue' || "
        "char(13, 10) || 'Bât. B', -0.25);"
        "INSERT INTO FCLI (Code, Adresse, Adresse2) VALUES ('C3', 'seul' || char(13) || 'retour', "
        "'seul' || char(10) || 'saut');"
        "INSERT INTO FTEC VALUES (7, 'A1', '2021-11-02 09:05:00', 'Julie', 'Couleur', '6.1', NULL, "
        "'COULEUR', '{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}' || char(13, 10) || '\\f0 Teinte 6; 20 "
        "min\\par' || char(13, 10) || '}');"
        "INSERT INTO FTEC (\"Numéro\", Code_Client, Date, Famille) VALUES (8, 'B2', "
        "'2022-01-31', 'COUPE');"
        // Columns after the last known one are left out.
        "ALTER TABLE FCLI ADD COLUMN Extra TEXT; ALTER TABLE FTEC ADD COLUMN Extra TEXT; "
        "UPDATE FCLI SET Extra = 'non'; UPDATE FTEC SET Extra = 'non'"));
    // 600 characters of plain text: the first 500 are taken.
    d.ecrire(QStringLiteral("CliA1.RTF"),
             "{\\rtf1 " + QByteArray(300, 'a') + QByteArray(300, 'b') + "}");
    // Two paragraphs, the file named in another letter case.
    d.ecrire(QStringLiteral("cliB2.rtf"), "{\\rtf1 Premier\\par Second\\par }");

    Journal journal;
    const exports::Bilan bilan = exports::ExportClients(d.chemin(), {}, &journal);
    EXPECT_EQ(bilan.fichiers, QStringList{d.chemin(QStringLiteral("FCLI_1.txt"))});
    EXPECT_EQ(
        d.lire(QStringLiteral("FCLI_1.txt")),
        attendu(
            {kEnteteCli,
             QStringLiteral(
                 "1;A1;15/03/2005 14:30:00;DUPONT;Marie;3; rue des Lilas;PARIS;75001;05;03;F;"
                 "0612345678;;Julie;1;0;14/07/1980;C12;12,5;0;1234567890123;;marie@exemple.fr;") +
                 QString(300, u'a') + QString(200, u'b'),
             QStringLiteral("2;B2;;MARTIN;;12 rue\\nBât. B;;;;;;;;;;;;;-0,25;;;;;Premier\\nSecond"),
             QStringLiteral("3;C3;;;;seul\rretour;;;;;;;;;;;;;;;;seul\nsaut;;")}));
    EXPECT_EQ(journal.debuts, 1);
    EXPECT_EQ(journal.lignes, (QStringList{QStringLiteral("Création de 1 fichiers en cours."),
                                           QStringLiteral(" Exportation terminée")}));

    journal.lignes.clear();
    EXPECT_EQ(exports::ExportTechniques(d.chemin(), {}, &journal).nbFichiers, 1);
    EXPECT_EQ(d.lire(QStringLiteral("FTEC_1.txt")),
              attendu({kEnteteTec,
                       QStringLiteral("7;A1;02/11/2021 09:05:00;Julie;Couleur;6.1;;COULEUR;"
                                      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\n\\f0 Teinte 6; 20 "
                                      "min\\par\\n}"),
                       // A Null memo: the line ends with the separator after the family.
                       QStringLiteral("8;B2;31/01/2022;;;;;COUPE;")}));
    // No progress list for the sheets.
    EXPECT_TRUE(journal.lignes.isEmpty());
}

// ---------------------------------------------------------------- rollover

TEST_F(Export, SuiteDeFichiersDe800Lignes) {
    const std::pair<int, std::vector<int>> cas[] = {
        // Records, then the data lines of each file.
        {0, {0}},
        {800, {800, 0}},
        {801, {800, 1}},
        {1600, {800, 800, 0}},
    };
    for (const auto& [n, parFichier] : cas) {
        SCOPED_TRACE(n);
        test::Dossier x;
        x.creerBase();
        remplir(x, QStringLiteral("FCLI"), n);
        remplir(x, QStringLiteral("FTEC"), n);
        const int nbFichiers = static_cast<int>(parFichier.size());
        Journal journal;
        EXPECT_EQ(exports::ExportClients(x.chemin(), {}, &journal).nbFichiers, nbFichiers);
        EXPECT_EQ(exports::ExportTechniques(x.chemin(), {}).nbFichiers, nbFichiers);

        QStringList progression{
            QStringLiteral("Création de %1 fichiers en cours.").arg(nbFichiers)};
        int suivant = 1;
        for (int f = 1; f <= nbFichiers; ++f) {
            for (const QString& prefixe : {QStringLiteral("FCLI"), QStringLiteral("FTEC")}) {
                const QStringList lignes =
                    test::lignesExport(x.lire(QStringLiteral("%1_%2.txt").arg(prefixe).arg(f)));
                ASSERT_EQ(lignes.size(), parFichier[f - 1] + 1) << prefixe.toStdString() << f;
                EXPECT_EQ(lignes[0], prefixe == QLatin1String("FCLI") ? kEnteteCli : kEnteteTec);
                // The lines keep the table's order across files.
                EXPECT_TRUE(lignes.size() == 1 ||
                            lignes[1].startsWith(QStringLiteral("%1;").arg(suivant)));
            }
            suivant += parFichier[f - 1];
            if (f < nbFichiers) {
                progression << QDir::toNativeSeparators(
                                   x.chemin(QStringLiteral("FCLI_%1.txt").arg(f))) +
                                   QStringLiteral(" créé");
            }
        }
        EXPECT_FALSE(x.existe(QStringLiteral("FCLI_%1.txt").arg(nbFichiers + 1)));
        EXPECT_EQ(journal.lignes, progression << QStringLiteral(" Exportation terminée"));
    }
}

// ---------------------------------------------------------------- left out

TEST_F(Export, ClientsEtFichesLaissesDeCote) {
    remplir(d, QStringLiteral("FCLI"), 5);
    remplir(d, QStringLiteral("FTEC"), 5);
    store::Connexion(d.chemin(QStringLiteral("BdClient.mdb")))
        .executerSqlite(QStringLiteral("INSERT INTO FTEC (Numéro, Code_Client) VALUES (12, 'A1')"));
    // A listed client's note is not read: an unreadable one does not stop the export.
    QFile::link(d.chemin(QStringLiteral("absent.rtf")), d.chemin(QStringLiteral("CliA2.RTF")));

    Journal journal;
    exports::ExportClients(
        d.chemin(),
        {QStringLiteral("A2"), QStringLiteral("A4"), QStringLiteral("a5"), QStringLiteral("Z9")},
        &journal);
    // Codes compare exactly, letter case included.
    EXPECT_EQ(champDe(d.lire(QStringLiteral("FCLI_1.txt")), 1),
              (QStringList{QStringLiteral("A1"), QStringLiteral("A3"), QStringLiteral("A5")}));
    EXPECT_EQ(journal.lignes.value(0), QStringLiteral("Création de 1 fichiers en cours."));
    exports::ExportTechniques(d.chemin(), {2, 4, 12, 99});
    EXPECT_EQ(champDe(d.lire(QStringLiteral("FTEC_1.txt")), 0),
              (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("5")}));
}

// Values the importer may misread are written unchanged, and counted alike
// by the export and before it; the batch lists them.
TEST_F(Export, ValeursMalLuesComptees) {
    d.creerBase().executerSqlite(QStringLiteral(
        "INSERT INTO FCLI (Code, Nom, Adresse, Email) VALUES ('A1', NULL, '3; rue', NULL), "
        "('A2', 'X' || char(10) || 'Y', NULL, NULL), ('A3', NULL, 'a' || char(13, 10) || 'b', "
        "NULL), ('A4', 'A4', NULL, NULL), ('A5', 'A5', NULL, NULL), ('A6', NULL, NULL, 'a' || "
        "char(13)), ('A7', 'x;y', NULL, NULL);"
        "INSERT INTO FTEC (\"Numéro\", Tech, Famille, \"Mémo\") VALUES (1, 'a;b', 'COUPE', NULL), "
        "(2, '', 'COUPE', 'x;y' || char(13, 10) || 'z'), (3, '', 'COUPE', 'x' || char(10) || "
        "'y'), (4, 'ok', 'COUPE', NULL)"));
    // A ";" in the note, its last value, is harmless; a lone CR is not.
    d.ecrire(QStringLiteral("CliA4.RTF"), "{\\rtf1 a;b\\par c}");
    d.ecrire(QStringLiteral("CliA5.RTF"), "{\\rtf1 a\\u13?b}");
    const QSet<QString> exclus = {QStringLiteral("A7")};
    const QStringList clients = {QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A5"),
                                 QStringLiteral("A6")};
    EXPECT_EQ(exports::ClientsAmbigus(d.chemin(), exclus), clients);
    EXPECT_EQ(exports::ExportClients(d.chemin(), exclus).ambigus, clients);
    EXPECT_TRUE(
        test::lignesExport(d.lire(QStringLiteral("FCLI_1.txt"))).join(u'|').contains(u"3; rue"));
    EXPECT_EQ(exports::FichesAmbigues(d.chemin(), {}),
              (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
    EXPECT_EQ(exports::FichesAmbigues(d.chemin(), {1}), QStringList{QStringLiteral("3")});

    // The batch lists them before the files, its closing message last.
    const test::SortieLot r = test::lancerLot(d.chemin(), {QStringLiteral("--export-techniques")});
    EXPECT_TRUE(r.out.contains(
        QStringLiteral("Attention : 2 fiches techniques ont dans une valeur un « ; » ou un retour "
                       "à la ligne isolé : TRELLINAX PRO risque de mal lire leur ligne.\n"
                       "FicheAmbigue\t1\nFicheAmbigue\t3\n")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("\n1 Fichier(s) CSV Tecnique créé(s).\n")));
}

// ------------------------------------------------------ earlier output

TEST_F(Export, SeulsLesAnciensExportsSontRemplaces) {
    d.creerBase();
    const std::pair<const char*, bool> cas[] = {
        // The file, and whether the export keeps it.
        {"FCLI.csv", false},      {"fcli.CSV", false},      {"FCLI_7.txt", false},
        {"FCLI_1.txt", false},    {"FTEC_12.txt", false},   {"FCLI_notes.xlsx", true},
        {"FCLI_1.txt.bak", true}, {"FCLI_.txt", true},      {"fcli_3.txt", true},
        {"FCLI_2a.txt", true},    {"FTEC_liste.ods", true}, {"FTEC.csv", true},
        {"Cli1.RTF", true},
    };
    for (const auto& [nom, garde] : cas) {
        d.ecrire(QString::fromUtf8(nom), "ancien");
    }
    exports::ExportClients(d.chemin(), {});
    exports::ExportTechniques(d.chemin(), {});
    for (const auto& [nom, garde] : cas) {
        SCOPED_TRACE(nom);
        if (garde) {
            EXPECT_EQ(d.lire(QString::fromUtf8(nom)), QByteArray("ancien"));
        } else {
            EXPECT_TRUE(QByteArray(nom) == "FCLI_1.txt" || !d.existe(QString::fromUtf8(nom)));
        }
    }
    EXPECT_EQ(test::lignesExport(d.lire(QStringLiteral("FCLI_1.txt"))), QStringList{kEnteteCli});
    EXPECT_TRUE(d.existe(QStringLiteral("FTEC_1.txt")));
    // No temporary folder is left behind.
    EXPECT_TRUE(fichiersDe(d).filter(QRegularExpression(QStringLiteral("^\\."))).isEmpty());
}

// ---------------------------------------------------------------- failures

// A failure stops the export with a message naming the file, and the folder
// holds exactly what it held before.
TEST_F(Export, EchecsArretentSansRienChanger) {
    struct Cas {
        const char* nom;
        std::function<void(test::Dossier&)> preparer;
        const char* fichierNomme;
        const char* cause;
    };
    const Cas cas[] = {
        {"base absente", [](test::Dossier&) {}, "BdClient.mdb", "introuvable"},
        {"note illisible",
         [](test::Dossier& x) {
             remplir(x, QStringLiteral("FCLI"), 900);
             QFile::link(x.chemin(QStringLiteral("nulle-part.rtf")),
                         x.chemin(QStringLiteral("CliA850.RTF")));
         },
         "CliA850.RTF", "Impossible de lire la note"},
        {"nom de fichier pris par un dossier",
         [](test::Dossier& x) {
             remplir(x, QStringLiteral("FCLI"), 801);
             QDir(x.chemin()).mkdir(QStringLiteral("FCLI_2.txt"));
         },
         "FCLI_2.txt", "un dossier porte ce nom"},
        {"table incomplète",
         [](test::Dossier& x) {
             store::Connexion::creer(x.chemin(QStringLiteral("BdClient.mdb")))
                 .executerSqlite(QStringLiteral("CREATE TABLE FCLI (Numéro INTEGER, Code TEXT)"));
         },
         "FCLI", "colonnes"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        test::Dossier x;
        c.preparer(x);
        x.ecrire(QStringLiteral("FCLI_1.txt"), "ancien 1");
        x.ecrire(QStringLiteral("FCLI.csv"), "ancien csv");
        const auto avant = test::contenuDossier(x.chemin());
        const QString message = test::echec([&] { exports::ExportClients(x.chemin(), {}); });
        for (const char* attendu : {c.fichierNomme, c.cause, "restés tels qu'ils étaient"}) {
            EXPECT_TRUE(message.contains(QString::fromUtf8(attendu))) << message.toStdString();
        }
        EXPECT_EQ(test::contenuDossier(x.chemin()), avant);
        // The connection is closed: the database can be removed.
        EXPECT_TRUE(!x.existe(QStringLiteral("BdClient.mdb")) ||
                    QFile::remove(x.chemin(QStringLiteral("BdClient.mdb"))));
    }
}

// A folder where nothing can be written is named as the cause.
TEST_F(Export, DossierEnLectureSeule) {
    remplir(d, QStringLiteral("FTEC"), 3);
    d.ecrire(QStringLiteral("FTEC_1.txt"), "ancien 1");
    {
        const test::Protection protection(d.chemin());
        if (!protection.active()) {
            GTEST_SKIP() << "ni permissions ni attribut immuable ici";
        }
        const QString message = test::echec([&] { exports::ExportTechniques(d.chemin(), {}); });
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(d.chemin())) &&
                    message.contains(QStringLiteral("écriture interdite")))
            << message.toStdString();
    }
    EXPECT_EQ(d.lire(QStringLiteral("FTEC_1.txt")), QByteArray("ancien 1"));
}

// A kill at each step of the final swap, then any start: the folder holds
// exactly the earlier export or exactly the new one, says which, and keeps no
// work folder; the user's own files are never touched.
TEST_F(Export, TueAChaqueEtapeDeLaMiseEnPlacePuisRepris) {
    remplir(d, QStringLiteral("FTEC"), 801);
    for (const char* nom : {"FTEC_1.txt", "FTEC_2.txt", "FTEC_3.txt", "FTEC_notes.ods"}) {
        d.ecrire(QString::fromLatin1(nom), nom);
    }
    // A folder of the user's that happens to be named like ours.
    const QString photos = QStringLiteral(".export-FTEC-Photos");
    // The sheet analysis tidies the database: only the other files are compared.
    const QStringList base = {QStringLiteral("BdClient.mdb")};
    const auto copie = [&](const test::Dossier& x) {
        for (const QString& nom : QDir(d.chemin()).entryList(QDir::Files)) {
            x.ecrire(nom, d.lire(nom));
        }
        QDir(x.chemin()).mkdir(photos);
        x.ecrire(photos + QStringLiteral("/a.jpg"), "photo");
    };
    test::Dossier reference;
    copie(reference);
    const QStringList avant = test::contenuDossier(reference.chemin(), base);
    ASSERT_EQ(
        test::lancerProgramme(reference.chemin(), {QStringLiteral("--export-techniques")}).code, 0);
    const QStringList apres = test::contenuDossier(reference.chemin(), base);
    ASSERT_NE(apres, avant);

    int tues = 0;
    for (int etape = 1;; ++etape) {
        SCOPED_TRACE(etape);
        test::Dossier x;
        copie(x);
        if (test::lancerProgramme(x.chemin(), {QStringLiteral("--export-techniques")}, etape)
                .code != -1) {
            break;
        }
        ++tues;
        const test::SortieLot reprise =
            test::lancerProgramme(x.chemin(), {QStringLiteral("--help")});
        EXPECT_EQ(reprise.code, 0);
        const QStringList contenu = test::contenuDossier(x.chemin(), base);
        EXPECT_TRUE(contenu == avant || contenu == apres) << contenu.join(u' ').toStdString();
        EXPECT_TRUE(reprise.err.contains(contenu == avant ? QStringLiteral("abandonné")
                                                          : QStringLiteral("terminée")))
            << reprise.err.toStdString();
    }
    // Into the work folder, then the earlier files aside, then the new ones in.
    EXPECT_EQ(tues, 1 + 3 + 2);
}

// ---------------------------------------------------------------- batch mode

TEST_F(Export, LotClientsAnalyseLaisseDeCoteLesClientsEnErreur) {
    d.creerCommunes({{QStringLiteral("69001"), QStringLiteral("LYON")}});
    d.creerBase().executerSqlite(QStringLiteral(
        "INSERT INTO FCLI (Code, Nom, \"Prénom\", Ville, \"Code Postal\", Tel1) VALUES ('A1', "
        "'NOM', 'Léa', 'LYON', '69001', '0612345678'), ('B2', 'NOM', 'Léa', 'LYON', '69001', "
        "'06x'), ('C3', 'NOM', 'Léa', 'LYON', '69001', '0612345678')"));
    // Without the default town the analysis cannot run: nothing is written.
    const test::SortieLot sansDefaut =
        test::lancerLot(d.chemin(), {QStringLiteral("--export-clients")});
    EXPECT_EQ(sansDefaut.code, commun::kEchec);
    EXPECT_TRUE(sansDefaut.err.contains(QStringLiteral("default.txt")));
    EXPECT_FALSE(d.existe(QStringLiteral("FCLI_1.txt")));

    d.ecrire(QStringLiteral("default.txt"), "LYON\r\n69001\r\n");
    const test::SortieLot r = test::lancerLot(d.chemin(), {QStringLiteral("--export-clients")});
    EXPECT_EQ(r.code, commun::kFait) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("ListCli\tB2\tNOM Léa\t\t\t\t\t\t\t\t\tx\t\t\t\t\n"
                                    "Analyse terminée.\n"
                                    "Liste des clients avec erreur (1 / 3)\n"
                                    "Listelog\tCréation de 1 fichiers en cours.\n"
                                    "Listelog\t Exportation terminée\n") +
                         QDir::toNativeSeparators(d.chemin(QStringLiteral("FCLI_1.txt"))) +
                         QStringLiteral("\n1 Fichier(s) CSV créé(s).\n"));
    EXPECT_EQ(champDe(d.lire(QStringLiteral("FCLI_1.txt")), 1),
              (QStringList{QStringLiteral("A1"), QStringLiteral("C3")}));
}

TEST_F(Export, LotFichesAnalyseeLaisseDeCoteLesFichesSansFamille) {
    remplir(d, QStringLiteral("FTEC"), 4);
    store::Connexion(d.chemin(QStringLiteral("BdClient.mdb")))
        .executerSqlite(QStringLiteral("INSERT INTO FCLI (Code, Nom, \"Prénom\") VALUES ('A1', "
                                       "'DUPONT', 'Marie'); UPDATE FTEC SET Famille = '' WHERE "
                                       "\"Numéro\" = 2"));
    const test::SortieLot r = test::lancerLot(d.chemin(), {QStringLiteral("--export-techniques")});
    EXPECT_EQ(r.code, commun::kFait) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("ListCliTech\t2\tA1\tDUPONT Marie\tx\t\n"
                                    "Liste des techniques avec erreurs ( 1 / 4 )\n") +
                         QDir::toNativeSeparators(d.chemin(QStringLiteral("FTEC_1.txt"))) +
                         QStringLiteral("\n1 Fichier(s) CSV Tecnique créé(s).\n"));
    EXPECT_EQ(champDe(d.lire(QStringLiteral("FTEC_1.txt")), 0),
              (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("4")}));

    // A failed export: the message on the error output, exit 1, the earlier files kept.
    QDir(d.chemin()).mkdir(QStringLiteral("FTEC_2.txt"));
    remplir(d, QStringLiteral("FTEC"), 800);
    const QByteArray avant = d.lire(QStringLiteral("FTEC_1.txt"));
    const test::SortieLot echec =
        test::lancerLot(d.chemin(), {QStringLiteral("--export-techniques")});
    EXPECT_EQ(echec.code, commun::kEchec);
    EXPECT_TRUE(echec.err.contains(QStringLiteral("FTEC_2.txt"))) << echec.err.toStdString();
    EXPECT_FALSE(echec.out.contains(QStringLiteral("créé(s)")));
    EXPECT_EQ(d.lire(QStringLiteral("FTEC_1.txt")), avant);
}

}  // namespace
