#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <functional>

#include "app/Batch.h"
#include "export/Export.h"
#include "platform/ErreurFichier.h"
#include "platform/Locale.h"
#include "store/Connexion.h"
#include "store/Dates.h"
#include "store/Erreur.h"
#include "support/Dossier.h"
#include "support/Lot.h"

using store::Valeur;

namespace {

const QString kEnteteCli = QStringLiteral(
    "Numéro;Code;Date Création;Nom;Prénom;Adresse;Ville;Code Postal;Cat, Age;Mois Nais;Sexe;"
    "Tel1;Tel2;Coiffeur;R/F;N/C;DateNaissance;Carte;Points;Leader;GenCode;Adresse2;Email;Infos");
const QString kEnteteTec =
    QStringLiteral("Numéro;Code_Client;Date;Tech;Serv;Divers1;Divers2;Famille;Mémo");

Valeur dateIso(const char* texte) {
    return Valeur::date(*store::dates::lireIso(QString::fromLatin1(texte)));
}

// The bytes a file must hold: byte order mark, then each line in UTF-16LE and CR LF.
QByteArray attendu(const QStringList& lignes) {
    QStringEncoder utf16le(QStringConverter::Utf16LE);
    QByteArray octets("\xFF\xFE", 2);
    for (const QString& l : lignes) {
        octets += utf16le.encode(l + QStringLiteral("\r\n"));
    }
    return octets;
}

// The lines of an export file, read back as a UTF-16-aware editor would.
QStringList lignesDe(const QByteArray& octets) {
    EXPECT_TRUE(octets.startsWith("\xFF\xFE"));
    EXPECT_TRUE(octets.endsWith(QByteArray("\r\0\n\0", 4)));
    QString texte = QStringDecoder(QStringConverter::Utf16LE).decode(octets.mid(2));
    texte.chop(2);
    return texte.split(QStringLiteral("\r\n"));
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

    // n clients A1…An, or n sheets 1…n for client A1, in one transaction.
    void remplir(store::Connexion& cn, const QString& table, int n) {
        cn.executer(QStringLiteral("BEGIN"));
        store::Instruction i(
            cn,
            table == QLatin1String("FCLI")
                ? QStringLiteral("INSERT INTO FCLI (Code, Nom) VALUES (?, 'NOM')")
                : QStringLiteral("INSERT INTO FTEC (Code_Client, Famille) VALUES (?, 'COUPE')"));
        for (int k = 1; k <= n; ++k) {
            i.reinitialiser();
            i.lier(1, table == QLatin1String("FCLI") ? QStringLiteral("A%1").arg(k)
                                                     : QStringLiteral("A1"));
            i.executer();
        }
        cn.executer(QStringLiteral("COMMIT"));
    }

    test::Dossier d;
};

// ------------------------------------------------------------------ format

TEST_F(Export, ClientsOctetPourOctet) {
    {
        store::Connexion cn = d.creerBase();
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{QStringLiteral("Code"), QStringLiteral("A1")},
                       {QStringLiteral("Date Création"), dateIso("2005-03-15 14:30:00")},
                       {QStringLiteral("Nom"), QStringLiteral("DUPONT")},
                       {QStringLiteral("Prénom"), QStringLiteral("Marie")},
                       {QStringLiteral("Adresse"), QStringLiteral("3; rue des Lilas")},
                       {QStringLiteral("Ville"), QStringLiteral("PARIS")},
                       {QStringLiteral("Code Postal"), QStringLiteral("75001")},
                       {QStringLiteral("Cat, Age"), QStringLiteral("05")},
                       {QStringLiteral("Mois Nais"), QStringLiteral("03")},
                       {QStringLiteral("Sexe"), QStringLiteral("F")},
                       {QStringLiteral("Tel1"), QStringLiteral("0612345678")},
                       {QStringLiteral("Coiffeur"), QStringLiteral("Julie")},
                       {QStringLiteral("R/F"), Valeur::entier(1)},
                       {QStringLiteral("N/C"), Valeur::entier(0)},
                       {QStringLiteral("DateNaissance"), dateIso("1980-07-14")},
                       {QStringLiteral("Carte"), QStringLiteral("C12")},
                       {QStringLiteral("Points"), Valeur::reel(12.5)},
                       {QStringLiteral("Leader"), Valeur::entier(0)},
                       {QStringLiteral("GenCode"), QStringLiteral("1234567890123")},
                       {QStringLiteral("Email"), QStringLiteral("marie@exemple.fr")}});
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{QStringLiteral("Code"), QStringLiteral("B2")},
                       {QStringLiteral("Nom"), QStringLiteral("MARTIN")},
                       {QStringLiteral("Adresse"), QStringLiteral("12 rue\r\nBât. B")},
                       {QStringLiteral("Points"), Valeur::reel(-0.25)}});
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{QStringLiteral("Code"), QStringLiteral("C3")},
                       {QStringLiteral("Adresse"), QStringLiteral("seul\rretour")},
                       {QStringLiteral("Adresse2"), QStringLiteral("seul\nsaut")}});
    }
    // 600 characters of plain text: the first 500 are taken.
    const QString longue = QString(300, u'a') + QString(300, u'b');
    d.ecrire(QStringLiteral("CliA1.RTF"), ("{\\rtf1 " + longue + "}").toLatin1());
    // Two paragraphs, the file named in another letter case.
    d.ecrire(QStringLiteral("cliB2.rtf"), "{\\rtf1 Premier\\par Second\\par }");

    Journal journal;
    const exports::Bilan bilan = exports::ExportClients(d.chemin(), {}, &journal);

    EXPECT_EQ(bilan.nbFichiers, 1);
    EXPECT_EQ(bilan.fichiers, QStringList{d.chemin(QStringLiteral("FCLI_1.txt"))});
    const QStringList lignes = {
        kEnteteCli,
        QStringLiteral(
            "1;A1;15/03/2005 14:30:00;DUPONT;Marie;3; rue des Lilas;PARIS;75001;05;03;F;"
            "0612345678;;Julie;1;0;14/07/1980;C12;12,5;0;1234567890123;;marie@exemple.fr;") +
            QString(300, u'a') + QString(200, u'b'),
        QStringLiteral("2;B2;;MARTIN;;12 rue\\nBât. B;;;;;;;;;;;;;-0,25;;;;;Premier\\nSecond"),
        QStringLiteral("3;C3;;;;seul\rretour;;;;;;;;;;;;;;;;seul\nsaut;;"),
    };
    EXPECT_EQ(d.lire(QStringLiteral("FCLI_1.txt")), attendu(lignes));
    EXPECT_EQ(journal.debuts, 1);
    EXPECT_EQ(journal.lignes, (QStringList{QStringLiteral("Création de 1 fichiers en cours."),
                                           QStringLiteral(" Exportation terminée")}));
}

TEST_F(Export, FichesOctetPourOctet) {
    {
        store::Connexion cn = d.creerBase();
        test::inserer(
            cn, QStringLiteral("FTEC"),
            {{QStringLiteral("Numéro"), Valeur::entier(7)},
             {QStringLiteral("Code_Client"), QStringLiteral("A1")},
             {QStringLiteral("Date"), dateIso("2021-11-02 09:05:00")},
             {QStringLiteral("Tech"), QStringLiteral("Julie")},
             {QStringLiteral("Serv"), QStringLiteral("Couleur")},
             {QStringLiteral("Divers1"), QStringLiteral("6.1")},
             {QStringLiteral("Famille"), QStringLiteral("COULEUR")},
             {QStringLiteral("Mémo"), QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\r\n"
                                                     "\\f0 Teinte 6; 20 min\\par\r\n}")}});
        test::inserer(cn, QStringLiteral("FTEC"),
                      {{QStringLiteral("Numéro"), Valeur::entier(8)},
                       {QStringLiteral("Code_Client"), QStringLiteral("B2")},
                       {QStringLiteral("Date"), dateIso("2022-01-31")},
                       {QStringLiteral("Famille"), QStringLiteral("COUPE")}});
    }
    Journal journal;
    const exports::Bilan bilan = exports::ExportTechniques(d.chemin(), {}, &journal);

    EXPECT_EQ(bilan.nbFichiers, 1);
    const QStringList lignes = {
        kEnteteTec,
        QStringLiteral("7;A1;02/11/2021 09:05:00;Julie;Couleur;6.1;;COULEUR;"
                       "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\n\\f0 Teinte 6; 20 min\\par\\n}"),
        // A Null memo: the line ends with the separator after the family.
        QStringLiteral("8;B2;31/01/2022;;;;;COUPE;"),
    };
    EXPECT_EQ(d.lire(QStringLiteral("FTEC_1.txt")), attendu(lignes));
    // No progress list for the sheets.
    EXPECT_TRUE(journal.lignes.isEmpty());
}

TEST_F(Export, ColonnesApresLaVingtTroisiemeIgnorees) {
    {
        store::Connexion cn = d.creerBase();
        cn.executer(QStringLiteral("ALTER TABLE FCLI ADD COLUMN Extra TEXT"));
        cn.executer(QStringLiteral("ALTER TABLE FTEC ADD COLUMN Extra TEXT"));
        cn.executer(QStringLiteral("INSERT INTO FCLI (Code, Extra) VALUES ('A1', 'non')"));
        cn.executer(QStringLiteral("INSERT INTO FTEC (Code_Client, Extra) VALUES ('A1', 'non')"));
    }
    exports::ExportClients(d.chemin(), {});
    exports::ExportTechniques(d.chemin(), {});
    EXPECT_EQ(lignesDe(d.lire(QStringLiteral("FCLI_1.txt"))).at(1),
              QStringLiteral("1;A1") + QString(22, u';'));
    EXPECT_EQ(lignesDe(d.lire(QStringLiteral("FTEC_1.txt"))).at(1), QStringLiteral("1;A1;;;;;;;"));
}

// ---------------------------------------------------------------- rollover

TEST_F(Export, SuiteDeFichiersDe800Lignes) {
    struct Cas {
        int n;
        std::vector<int> lignesParFichier;  // data lines of each file
    };
    const Cas cas[] = {
        {0, {0}}, {799, {799}}, {800, {800, 0}}, {801, {800, 1}}, {1600, {800, 800, 0}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.n);
        test::Dossier dossier;
        {
            store::Connexion cn = dossier.creerBase();
            remplir(cn, QStringLiteral("FCLI"), c.n);
            remplir(cn, QStringLiteral("FTEC"), c.n);
        }
        const int nbFichiers = static_cast<int>(c.lignesParFichier.size());
        Journal journal;
        EXPECT_EQ(exports::ExportClients(dossier.chemin(), {}, &journal).nbFichiers, nbFichiers);
        EXPECT_EQ(exports::ExportTechniques(dossier.chemin(), {}).nbFichiers, nbFichiers);

        QStringList progression{
            QStringLiteral("Création de %1 fichiers en cours.").arg(nbFichiers)};
        int suivant = 1;
        for (int f = 1; f <= nbFichiers; ++f) {
            for (const QString prefixe : {QStringLiteral("FCLI"), QStringLiteral("FTEC")}) {
                const QStringList lignes =
                    lignesDe(dossier.lire(QStringLiteral("%1_%2.txt").arg(prefixe).arg(f)));
                ASSERT_EQ(lignes.size(), c.lignesParFichier[f - 1] + 1)
                    << prefixe.toStdString() << f;
                EXPECT_EQ(lignes[0], prefixe == QLatin1String("FCLI") ? kEnteteCli : kEnteteTec);
                if (lignes.size() > 1) {
                    // The lines keep the table's order across files.
                    EXPECT_TRUE(lignes[1].startsWith(QStringLiteral("%1;").arg(suivant)));
                }
            }
            suivant += c.lignesParFichier[f - 1];
            if (f < nbFichiers) {
                progression << QDir::toNativeSeparators(
                                   dossier.chemin(QStringLiteral("FCLI_%1.txt").arg(f))) +
                                   QStringLiteral(" créé");
            }
        }
        EXPECT_FALSE(dossier.existe(QStringLiteral("FCLI_%1.txt").arg(nbFichiers + 1)));
        progression << QStringLiteral(" Exportation terminée");
        EXPECT_EQ(journal.lignes, progression);
    }
}

// ---------------------------------------------------------------- left out

TEST_F(Export, ClientsEtFichesLaissesDeCote) {
    {
        store::Connexion cn = d.creerBase();
        remplir(cn, QStringLiteral("FCLI"), 5);
        remplir(cn, QStringLiteral("FTEC"), 5);
        cn.executer(QStringLiteral("INSERT INTO FTEC (Numéro, Code_Client) VALUES (12, 'A1')"));
    }
    // A listed client's note is not read: an unreadable one does not stop the export.
    QFile::link(d.chemin(QStringLiteral("absent.rtf")), d.chemin(QStringLiteral("CliA2.RTF")));

    Journal journal;
    exports::ExportClients(
        d.chemin(),
        {QStringLiteral("A2"), QStringLiteral("A4"), QStringLiteral("a5"), QStringLiteral("Z9")},
        &journal);
    QStringList codes;
    for (const QString& l : lignesDe(d.lire(QStringLiteral("FCLI_1.txt"))).mid(1)) {
        codes << l.section(u';', 1, 1);
    }
    // Codes compare exactly, letter case included.
    EXPECT_EQ(codes,
              (QStringList{QStringLiteral("A1"), QStringLiteral("A3"), QStringLiteral("A5")}));
    // The announcement counts the listed rows, as the window's list has them.
    EXPECT_EQ(journal.lignes.value(0), QStringLiteral("Création de 1 fichiers en cours."));

    exports::ExportTechniques(d.chemin(), {2, 4, 12, 99});
    QStringList numeros;
    for (const QString& l : lignesDe(d.lire(QStringLiteral("FTEC_1.txt"))).mid(1)) {
        numeros << l.section(u';', 0, 0);
    }
    EXPECT_EQ(numeros,
              (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("5")}));
}

// Values the importer may misread are written unchanged, and counted alike
// by the export and before it; the batch lists them.
TEST_F(Export, ValeursMalLuesComptees) {
    {
        store::Connexion cn = d.creerBase();
        struct Cas {
            const char* code;
            const char* colonne;
            const char16_t* valeur;
        };
        for (const Cas& c :
             {Cas{"A1", "Adresse", u"3; rue"}, Cas{"A2", "Nom", u"X\nY"},
              Cas{"A3", "Adresse", u"a\r\nb"}, Cas{"A4", "Nom", u"A4"}, Cas{"A5", "Nom", u"A5"},
              Cas{"A6", "Email", u"a\r"}, Cas{"A7", "Nom", u"x;y"}}) {
            test::inserer(cn, QStringLiteral("FCLI"),
                          {{QStringLiteral("Code"), QString::fromLatin1(c.code)},
                           {QString::fromLatin1(c.colonne), QString::fromUtf16(c.valeur)}});
        }
        for (const char16_t* tech : {u"a;b", u"", u"", u"ok"}) {
            test::inserer(cn, QStringLiteral("FTEC"),
                          {{QStringLiteral("Tech"), QString::fromUtf16(tech)},
                           {QStringLiteral("Famille"), QStringLiteral("COUPE")}});
        }
        cn.executer(
            QStringLiteral("UPDATE FTEC SET \"Numéro\" = rowid, \"Mémo\" = CASE rowid "
                           "WHEN 2 THEN 'x;y' || char(13, 10) || 'z' WHEN 3 THEN 'x' || "
                           "char(10) || 'y' END"));
    }
    // A ";" in the note, its last value, is harmless; a lone CR is not.
    d.ecrire(QStringLiteral("CliA4.RTF"), "{\\rtf1 a;b\\par c}");
    d.ecrire(QStringLiteral("CliA5.RTF"), "{\\rtf1 a\\u13?b}");
    const QSet<QString> exclus = {QStringLiteral("A7")};
    const QStringList clients = {QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A5"),
                                 QStringLiteral("A6")};
    EXPECT_EQ(exports::ClientsAmbigus(d.chemin(), exclus), clients);
    EXPECT_EQ(exports::ExportClients(d.chemin(), exclus).ambigus, clients);
    EXPECT_TRUE(lignesDe(d.lire(QStringLiteral("FCLI_1.txt"))).join(u'|').contains(u"3; rue"));
    const QStringList fiches = {QStringLiteral("1"), QStringLiteral("3")};
    EXPECT_EQ(exports::FichesAmbigues(d.chemin(), {}), fiches);
    EXPECT_EQ(exports::FichesAmbigues(d.chemin(), {1}), QStringList{QStringLiteral("3")});

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
    struct Cas {
        const char* nom;
        bool garde;
    };
    const Cas cas[] = {
        {"FCLI.csv", false},      {"fcli.CSV", false},      {"FCLI_7.txt", false},
        {"FCLI_1.txt", false},    {"FTEC_12.txt", false},   {"FCLI_notes.xlsx", true},
        {"FCLI_1.txt.bak", true}, {"FCLI_.txt", true},      {"fcli_3.txt", true},
        {"FCLI_2a.txt", true},    {"FTEC_liste.ods", true}, {"FTEC.csv", true},
        {"Cli1.RTF", true},
    };
    for (const Cas& c : cas) {
        d.ecrire(QString::fromUtf8(c.nom), "ancien");
    }
    exports::ExportClients(d.chemin(), {});
    exports::ExportTechniques(d.chemin(), {});
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const QString nom = QString::fromUtf8(c.nom);
        if (c.garde) {
            EXPECT_EQ(d.lire(nom), QByteArray("ancien"));
        } else if (nom == QLatin1String("FCLI_1.txt")) {
            EXPECT_EQ(lignesDe(d.lire(nom)), QStringList{kEnteteCli});
        } else {
            EXPECT_FALSE(d.existe(nom));
        }
    }
    EXPECT_TRUE(d.existe(QStringLiteral("FTEC_1.txt")));
    // No temporary folder is left behind.
    for (const QString& nom : fichiersDe(d)) {
        EXPECT_FALSE(nom.startsWith(u'.')) << nom.toStdString();
    }
}

// ---------------------------------------------------------------- failures

// After a failure the folder holds exactly what it held before.
void verifierIntact(const test::Dossier& d, const QStringList& avant) {
    EXPECT_EQ(fichiersDe(d), avant);
    EXPECT_EQ(d.lire(QStringLiteral("FCLI_1.txt")), QByteArray("ancien 1"));
    EXPECT_EQ(d.lire(QStringLiteral("FCLI.csv")), QByteArray("ancien csv"));
}

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
         [this](test::Dossier& x) {
             store::Connexion cn = x.creerBase();
             remplir(cn, QStringLiteral("FCLI"), 900);
             QFile::link(x.chemin(QStringLiteral("nulle-part.rtf")),
                         x.chemin(QStringLiteral("CliA850.RTF")));
         },
         "CliA850.RTF", "Impossible de lire la note"},
        {"nom de fichier pris par un dossier",
         [this](test::Dossier& x) {
             store::Connexion cn = x.creerBase();
             remplir(cn, QStringLiteral("FCLI"), 801);
             QDir(x.chemin()).mkdir(QStringLiteral("FCLI_2.txt"));
         },
         "FCLI_2.txt", "un dossier porte ce nom"},
        {"table incomplète",
         [](test::Dossier& x) {
             store::Connexion cn =
                 store::Connexion::creer(x.chemin(QStringLiteral("BdClient.mdb")));
             cn.executer(QStringLiteral("CREATE TABLE FCLI (Numéro INTEGER, Code TEXT)"));
         },
         "FCLI", "colonnes"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        test::Dossier x;
        c.preparer(x);
        x.ecrire(QStringLiteral("FCLI_1.txt"), "ancien 1");
        x.ecrire(QStringLiteral("FCLI.csv"), "ancien csv");
        const QStringList avant = fichiersDe(x);
        try {
            exports::ExportClients(x.chemin(), {});
            ADD_FAILURE() << "l'export devait échouer";
        } catch (const platform::ErreurFichier& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.fichierNomme)))
                << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.cause)))
                << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QStringLiteral("restés tels qu'ils étaient")));
        } catch (const store::ErreurStore& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.fichierNomme)))
                << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.cause)))
                << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QStringLiteral("restés tels qu'ils étaient")));
        }
        verifierIntact(x, avant);
        // The connection is closed: the database can be removed and recreated.
        if (x.existe(QStringLiteral("BdClient.mdb"))) {
            EXPECT_TRUE(QFile::remove(x.chemin(QStringLiteral("BdClient.mdb"))));
        }
    }
}

TEST_F(Export, DossierEnLectureSeule) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "les permissions n'arrêtent pas root";
    }
    {
        store::Connexion cn = d.creerBase();
        remplir(cn, QStringLiteral("FTEC"), 3);
    }
    d.ecrire(QStringLiteral("FTEC_1.txt"), "ancien 1");
    QFile::setPermissions(d.chemin(), QFile::ReadOwner | QFile::ExeOwner);
    try {
        exports::ExportTechniques(d.chemin(), {});
        ADD_FAILURE() << "l'export devait échouer";
    } catch (const platform::ErreurFichier& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("écriture interdite")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(d.chemin())));
    }
    QFile::setPermissions(d.chemin(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(d.lire(QStringLiteral("FTEC_1.txt")), QByteArray("ancien 1"));
}

// A kill at each step of the final swap, then any start: the folder holds
// exactly the earlier export or exactly the new one, says which, and keeps no
// work folder; the user's own files are never touched.
TEST_F(Export, TueAChaqueEtapeDeLaMiseEnPlacePuisRepris) {
    {
        store::Connexion cn = d.creerBase();
        remplir(cn, QStringLiteral("FTEC"), 801);
    }
    for (const char* nom : {"FTEC_1.txt", "FTEC_2.txt", "FTEC_3.txt", "FTEC_notes.ods"}) {
        d.ecrire(QString::fromLatin1(nom), nom);
    }
    // A folder of the user's that happens to be named like ours.
    const QString photos = QStringLiteral(".export-FTEC-Photos");
    QDir(d.chemin()).mkdir(photos);
    // The sheet analysis tidies the database: only the other files are compared.
    const QStringList base = {QStringLiteral("BdClient.mdb")};
    const QStringList avant = test::contenuDossier(d.chemin(), base);
    const auto copie = [&](const test::Dossier& x) {
        for (const QString& nom : QDir(d.chemin()).entryList(QDir::Files)) {
            x.ecrire(nom, d.lire(nom));
        }
        QDir(x.chemin()).mkdir(photos);
        x.ecrire(photos + QStringLiteral("/a.jpg"), "photo");
    };
    test::Dossier reference;
    copie(reference);
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
        EXPECT_EQ(x.lire(photos + QStringLiteral("/a.jpg")), QByteArray("photo"));
        if (contenu == avant) {
            EXPECT_TRUE(reprise.err.contains(QStringLiteral("abandonné")))
                << reprise.err.toStdString();
        } else {
            EXPECT_EQ(contenu.join(u'\n').toStdString(), apres.join(u'\n').toStdString());
            EXPECT_TRUE(reprise.err.contains(QStringLiteral("terminée")))
                << reprise.err.toStdString();
        }
    }
    // Into the work folder, then the earlier files aside, then the new ones in.
    EXPECT_EQ(tues, 1 + 3 + 2);
}

// ---------------------------------------------------------------- batch mode

using Lot = test::SortieLot;

Lot lancer(const QString& dossier, const QStringList& arguments) {
    return test::lancerLot(dossier, arguments);
}

TEST_F(Export, LotClientsAnalyseLaisseDeCoteLesClientsEnErreur) {
    d.creerCommunes({{QStringLiteral("69001"), QStringLiteral("LYON")}});
    {
        store::Connexion cn = d.creerBase();
        for (const char* code : {"A1", "B2", "C3"}) {
            test::inserer(cn, QStringLiteral("FCLI"),
                          {{QStringLiteral("Code"), QString::fromLatin1(code)},
                           {QStringLiteral("Nom"), QStringLiteral("NOM")},
                           {QStringLiteral("Prénom"), QStringLiteral("Léa")},
                           {QStringLiteral("Ville"), QStringLiteral("LYON")},
                           {QStringLiteral("Code Postal"), QStringLiteral("69001")},
                           {QStringLiteral("Tel1"), QByteArray(code) == "B2"
                                                        ? QStringLiteral("06x")
                                                        : QStringLiteral("0612345678")}});
        }
    }
    // Without the default town the analysis cannot run: nothing is written.
    const Lot sansDefaut = lancer(d.chemin(), {QStringLiteral("--export-clients")});
    EXPECT_EQ(sansDefaut.code, commun::kEchec);
    EXPECT_TRUE(sansDefaut.err.contains(QStringLiteral("default.txt")))
        << sansDefaut.err.toStdString();
    EXPECT_FALSE(d.existe(QStringLiteral("FCLI_1.txt")));

    d.ecrire(QStringLiteral("default.txt"), "LYON\r\n69001\r\n");
    const Lot r = lancer(d.chemin(), {QStringLiteral("--export-clients")});
    EXPECT_EQ(r.code, commun::kFait) << r.err.toStdString();
    EXPECT_EQ(r.err, QString());
    const QString fichier = QDir::toNativeSeparators(d.chemin(QStringLiteral("FCLI_1.txt")));
    EXPECT_EQ(r.out, QStringLiteral("ListCli\tB2\tNOM Léa\t\t\t\t\t\t\t\t\tx\t\t\t\t\n"
                                    "Analyse terminée.\n"
                                    "Liste des clients avec erreur (1 / 3)\n"
                                    "Listelog\tCréation de 1 fichiers en cours.\n"
                                    "Listelog\t Exportation terminée\n") +
                         fichier + QStringLiteral("\n1 Fichier(s) CSV créé(s).\n"));
    QStringList codes;
    for (const QString& l : lignesDe(d.lire(QStringLiteral("FCLI_1.txt"))).mid(1)) {
        codes << l.section(u';', 1, 1);
    }
    EXPECT_EQ(codes, (QStringList{QStringLiteral("A1"), QStringLiteral("C3")}));
}

TEST_F(Export, LotFichesAnalyseeLaisseDeCoteLesFichesSansFamille) {
    {
        store::Connexion cn = d.creerBase();
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{QStringLiteral("Code"), QStringLiteral("A1")},
                       {QStringLiteral("Nom"), QStringLiteral("DUPONT")},
                       {QStringLiteral("Prénom"), QStringLiteral("Marie")}});
        remplir(cn, QStringLiteral("FTEC"), 4);
        cn.executer(QStringLiteral("UPDATE FTEC SET Famille = '' WHERE \"Numéro\" = 2"));
    }
    const Lot r = lancer(d.chemin(), {QStringLiteral("--export-techniques")});
    EXPECT_EQ(r.code, commun::kFait) << r.err.toStdString();
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(r.out, QStringLiteral("ListCliTech\t2\tA1\tDUPONT Marie\tx\t\n"
                                    "Liste des techniques avec erreurs ( 1 / 4 )\n") +
                         QDir::toNativeSeparators(d.chemin(QStringLiteral("FTEC_1.txt"))) +
                         QStringLiteral("\n1 Fichier(s) CSV Tecnique créé(s).\n"));
    QStringList numeros;
    for (const QString& l : lignesDe(d.lire(QStringLiteral("FTEC_1.txt"))).mid(1)) {
        numeros << l.section(u';', 0, 0);
    }
    EXPECT_EQ(numeros,
              (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("4")}));

    // A failed export: the message on the error output, exit 1, the earlier files kept.
    QDir(d.chemin()).mkdir(QStringLiteral("FTEC_2.txt"));
    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        remplir(cn, QStringLiteral("FTEC"), 800);
    }
    const QByteArray avant = d.lire(QStringLiteral("FTEC_1.txt"));
    const Lot echec = lancer(d.chemin(), {QStringLiteral("--export-techniques")});
    EXPECT_EQ(echec.code, commun::kEchec);
    EXPECT_TRUE(echec.err.contains(QStringLiteral("FTEC_2.txt"))) << echec.err.toStdString();
    EXPECT_FALSE(echec.out.contains(QStringLiteral("créé(s)")));
    EXPECT_EQ(d.lire(QStringLiteral("FTEC_1.txt")), avant);

    // No database: the analysis says so, nothing is written.
    test::Dossier vide;
    const Lot sansBase = lancer(vide.chemin(), {QStringLiteral("--export-techniques")});
    EXPECT_EQ(sansBase.code, commun::kEchec);
    EXPECT_TRUE(sansBase.err.contains(QStringLiteral("introuvable"))) << sansBase.err.toStdString();
    EXPECT_EQ(fichiersDe(vide), QStringList());
}

}  // namespace
