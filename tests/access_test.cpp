#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <iostream>

#include "access/Conversion.h"
#include "access/Erreur.h"
#include "access/Valeurs.h"
#include "app/Batch.h"
#include "store/Connexion.h"
#include "store/Dates.h"
#include "store/Recordset.h"
#include "store/Schema.h"
#include "support/Dossier.h"
#include "support/Jet.h"
#include "support/Lot.h"

using acces::ErreurAccess;
using store::Valeur;

namespace {

const QString kBd = QStringLiteral("BdClient.mdb");

// ------------------------------------------------------------ stored values

// Text as stored: UCS-2, compressed or not, or in a code page (none: Unicode).
TEST(Valeurs, Textes) {
    struct Cas {
        const char* page;
        std::initializer_list<int> octets;
        const char16_t* texte;
        qint64 remplaces;
    };
    const Cas cas[] = {
        {nullptr, {0x41, 0, 0xE9, 0, 0xAC, 0x20}, u"Aé€", 0},
        {nullptr, {0xFF, 0xFE, 0x61, 0x62}, u"ab", 0},                     // compressed
        {nullptr, {0xFF, 0xFE, 0x61, 0, 0xAC, 0x20, 0, 0x62}, u"a€b", 0},  // interrupted
        {nullptr, {0x3D, 0xD8, 0x00, 0xDE}, u"😀", 0},                      // surrogate pair
        {nullptr, {0x41, 0, 0x3D, 0xD8, 0x42, 0}, u"A\uFFFDB", 1},         // half of one
        {nullptr, {0x41, 0, 0x42}, u"A\uFFFD", 1},                         // odd byte
        {nullptr, {0xFF, 0xFE, 0x61, 0, 0x62}, u"a\uFFFD", 1},
        // Windows keeps the five bytes that have no character as control codes.
        {"", {0xE9, 0x80, 0x81, 0x9C}, u"é€\u0081œ", 0},
        {"ASCII", {0x61, 0xE9, 0x62}, u"a\uFFFDb", 1},
        {"GBK", {0x61, 0xB1}, u"a\uFFFD", 1},
    };
    for (const auto& [page, octets, texte, remplaces] : cas) {
        SCOPED_TRACE(QString::fromUtf16(texte).toStdString());
        QByteArray o;
        for (int b : octets) {
            o.append(static_cast<char>(b));
        }
        const auto* u = reinterpret_cast<const uchar*>(o.constData());
        qint64 n = 0;
        EXPECT_EQ(page ? acces::PageCode(QString::fromLatin1(page)).decoder(u, o.size(), n)
                       : acces::texteUnicode(u, o.size(), n),
                  QString::fromUtf16(texte));
        EXPECT_EQ(n, remplaces);
    }
    EXPECT_TRUE(test::echec([] { acces::PageCode(QStringLiteral("XYZ-42")); }).contains(u"XYZ-42"));
}

// ------------------------------------------------- files against their dump

// One value as the reference dump writes it. SQLite keeps no negative zero:
// -0.0 is stored as 0.
QString canonique(const Valeur& v) {
    switch (v.type()) {
        case Valeur::Type::Null:
            return QStringLiteral("null");
        case Valeur::Type::Entier:
        case Valeur::Type::Reel: {
            const double d = v.enReel();
            return QStringLiteral("n:") + QString::number(d == 0 ? 0.0 : d, 'g', 17);
        }
        case Valeur::Type::Octets:
            return QStringLiteral("s:x:") + QString::fromLatin1(v.enOctets().toHex().toUpper());
        case Valeur::Type::Date:
            return QStringLiteral("s:") + store::dates::texteIso(v.serie());
        case Valeur::Type::Texte:
            break;
    }
    return QStringLiteral("s:") + v.texte();
}

QString canonique(const QJsonValue& v) {
    if (v.isNull()) {
        return QStringLiteral("null");
    }
    if (v.isDouble() || v.isBool()) {
        const double d = v.toDouble(v.toBool() ? 1.0 : 0.0);
        return QStringLiteral("n:") + QString::number(d == 0 ? 0.0 : d, 'g', 17);
    }
    return QStringLiteral("s:") + v.toString();
}

struct Table {
    QStringList colonnes;
    QStringList lignes;  // sorted: compared as multisets
};
using Contenu = std::map<QString, Table>;

Contenu lireReference(const QString& nom) {
    Contenu contenu;
    QFile f(test::fichierJet(QStringLiteral("expected/%1.jsonl").arg(nom)));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << nom.toStdString();
    while (!f.atEnd()) {
        const QJsonObject o = QJsonDocument::fromJson(f.readLine()).object();
        if (o.contains(QLatin1String("table"))) {
            for (const QJsonValue c : o.value(QLatin1String("columns")).toArray()) {
                contenu[o.value(QLatin1String("table")).toString()].colonnes << c.toString();
            }
        } else {
            QStringList cellules;
            for (const QJsonValue c : o.value(QLatin1String("r")).toArray()) {
                cellules << canonique(c);
            }
            contenu[o.value(QLatin1String("t")).toString()].lignes << cellules.join(u'\x1F');
        }
    }
    for (auto& [nom, t] : contenu) {
        t.lignes.sort();
    }
    return contenu;
}

Contenu lireBase(const QString& chemin) {
    Contenu contenu;
    store::Connexion cn(chemin, store::Connexion::Acces::Lecture);
    store::Instruction tables(cn,
                              QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                             "AND name <> '_import_access'"));
    while (tables.avancer()) {
        const QString nom = tables.colonneTexte(0);
        Table& t = contenu[nom];
        t.colonnes = cn.colonnes(nom);
        store::Instruction lignes(cn, QStringLiteral("SELECT * FROM %1").arg(store::citer(nom)));
        while (lignes.avancer()) {
            QStringList cellules;
            for (int i = 0; i < lignes.nbColonnes(); ++i) {
                cellules << canonique(lignes.colonne(i));
            }
            t.lignes << cellules.join(u'\x1F');
        }
        t.lignes.sort();
    }
    return contenu;
}

void comparer(const Contenu& attendu, const Contenu& obtenu) {
    QStringList nomsAttendus;
    QStringList nomsObtenus;
    for (const auto& [nom, t] : attendu) {
        nomsAttendus << nom;
    }
    for (const auto& [nom, t] : obtenu) {
        nomsObtenus << nom;
    }
    ASSERT_EQ(nomsObtenus.join(u'|').toStdString(), nomsAttendus.join(u'|').toStdString());
    for (const auto& [nom, a] : attendu) {
        SCOPED_TRACE(nom.toStdString());
        const Table& o = obtenu.at(nom);
        EXPECT_EQ(o.colonnes.join(u'|').toStdString(), a.colonnes.join(u'|').toStdString());
        EXPECT_EQ(o.lignes.size(), a.lignes.size());
        int ecarts = 0;
        for (qsizetype i = 0; i < std::min(o.lignes.size(), a.lignes.size()) && ecarts < 3; ++i) {
            if (o.lignes[i] != a.lignes[i]) {
                ADD_FAILURE() << "attendu " << a.lignes[i].left(300).toStdString() << "\nobtenu  "
                              << o.lignes[i].left(300).toStdString();
                ++ecarts;
            }
        }
    }
}

// Records what the conversion tells its observer.
class Suivi : public acces::ObservateurConversion {
public:
    void tables(const std::vector<acces::TableConvertie>& t) override {
        annoncees = t;
        if (pendant) {
            pendant();
        }
    }
    void tableFaite(int table, qint64 lignes) override { faites.emplace_back(table, lignes); }

    std::vector<acces::TableConvertie> annoncees;
    std::vector<std::pair<int, qint64>> faites;
    std::function<void()> pendant;
};

acces::Resultat convertirBd(const test::Dossier& d, const QString& pageCode = {},
                            acces::ObservateurConversion* observateur = nullptr) {
    Suivi suivi;
    acces::Options options;
    options.pageCode = pageCode;
    return acces::convertir(acces::decrire(d.chemin(kBd)), options,
                            observateur ? *observateur : suivi);
}

struct Reference {
    const char* fichier;
    const char* pageCode;
};
void PrintTo(const Reference& r, std::ostream* os) {
    *os << r.fichier;
}

class JetReference : public ::testing::TestWithParam<Reference> {};

TEST_P(JetReference, ContenuCommeLaReference) {
    const QString nom = QString::fromLatin1(GetParam().fichier);
    EXIGER_FICHIER_JET(nom + QStringLiteral(".mdb"));
    test::Dossier d;
    test::placer(d, nom + QStringLiteral(".mdb"), kBd);
    const acces::Resultat r = convertirBd(d, QString::fromLatin1(GetParam().pageCode));
    EXPECT_FALSE(store::estFichierAccess(d.chemin(kBd)));
    EXPECT_EQ(r.remplaces, 0);
    comparer(lireReference(nom), lireBase(d.chemin(kBd)));
}

INSTANTIATE_TEST_SUITE_P(
    Fichiers, JetReference,
    ::testing::Values(Reference{"nwind", ""}, Reference{"DateTestDatabase", ""},
                      Reference{"testV1997", ""}, Reference{"testUnicodeCompV2003", ""},
                      Reference{"delTestV2000", ""}, Reference{"delColTestV2000", ""},
                      Reference{"overflowTestV2000", ""}, Reference{"charsetGBK", "GBK"},
                      Reference{"functionsV2000", ""}, Reference{"synthetic_salon_jet4", ""}),
    [](const auto& info) { return std::string(info.param.fichier); });

TEST(Jet, PageDeCodeDesFichiersAccess97) {
    struct Cas {
        const char* page;
        const char16_t* texte;
        qint64 remplaces;
    };
    const Cas cas[] = {
        {"", u"GBK±àÂë", 0},  // the file cannot say it is not Windows-1252
        {"ASCII", u"GBK\uFFFD\uFFFD\uFFFD\uFFFD", 4},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.page);
        test::Dossier d;
        test::placer(d, QStringLiteral("charsetGBK.mdb"), kBd);
        const acces::Resultat r = convertirBd(d, QString::fromLatin1(c.page));
        EXPECT_EQ(r.remplaces, c.remplaces);
        EXPECT_EQ(test::lignes(store::Connexion(d.chemin(kBd)),
                               QStringLiteral("SELECT field1, (SELECT \"Caractères remplacés\" "
                                              "FROM _import_access) FROM table1")),
                  QStringList{QString::fromUtf16(c.texte) + u'|' + QString::number(c.remplaces)});
    }
    test::Dossier d;
    test::placer(d, QStringLiteral("charsetGBK.mdb"), kBd);
    const auto avant = test::etatDossier(d.chemin());
    EXPECT_THROW(convertirBd(d, QStringLiteral("XYZ-42")), ErreurAccess);
    EXPECT_EQ(test::etatDossier(d.chemin()), avant);
}

// ------------------------------------------------------------------- safety

TEST(Jet, SauvegardeSansJamaisEcraser) {
    test::Dossier d;
    test::placer(d, QStringLiteral("delTestV2000.mdb"), kBd);
    d.ecrire(QStringLiteral("BdClient.access.mdb"), "une sauvegarde plus ancienne");
    d.ecrire(QStringLiteral("bdclient.ACCESS-2.mdb"), "une autre");
    const acces::Resultat r = convertirBd(d);
    EXPECT_EQ(QFileInfo(r.sauvegarde).fileName(), QStringLiteral("BdClient.access-3.mdb"));
    EXPECT_EQ(d.lire(QStringLiteral("BdClient.access.mdb")),
              QByteArray("une sauvegarde plus ancienne"));
    EXPECT_EQ(d.lire(QStringLiteral("bdclient.ACCESS-2.mdb")), QByteArray("une autre"));
    EXPECT_TRUE(store::estFichierAccess(r.sauvegarde));
}

// A damaged copy of the salon file: whatever stops the conversion, the folder
// is left exactly as it was and the user is sent to "Compacter et réparer".
TEST(Jet, FichierEndommageLaisseLeDossierIntact) {
    constexpr int kPage = 4096;
    QFile source(test::fichierJet(QStringLiteral("synthetic_salon_jet4.mdb")));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray intact = source.readAll();
    // Pages of this file: 257 holds the rows of FCONS, 100 a piece of a memo.
    ASSERT_EQ(intact[257 * kPage], 1);
    ASSERT_EQ(intact.mid(100 * kPage + 4, 4), QByteArray("LVAL"));
    const auto ecraser = [&](int page, char octet) {
        QByteArray c = intact;
        c.replace(page * kPage + 14, kPage - 14, QByteArray(kPage - 14, octet));
        return c;
    };
    // nwind may not be redistributed: its cases run when it is at hand.
    QFile autre(test::fichierJet(QStringLiteral("nwind.mdb")));
    const QByteArray nwind = autre.open(QIODevice::ReadOnly) ? autre.readAll() : QByteArray();
    const auto effacer = [](QByteArray c, int page, int taille) {
        return c.replace(page * taille, taille, QByteArray(taille, '\0'));
    };
    struct Cas {
        const char* nom;
        QByteArray contenu;
        bool enCours;       // stops after some tables are written
        const char* cause;  // in the message
    };
    std::vector<Cas> cas = {
        {"tronqué", intact.left(intact.size() * 95 / 100 / kPage * kPage), true, ""},
        {"lignes de FCONS écrasées", ecraser(257, '\xAB'), true, ""},
        {"page de mémo effacée", ecraser(100, '\0'), true, ""},
        {"en-tête seul", intact.left(kPage), false, ""},
        // Tables the catalogue lists but libmdb cannot see.
        {"page du catalogue effacée", effacer(intact, 14, kPage), false, "0 entrées lues sur 22"},
    };
    if (nwind.isEmpty()) {
        std::cout << "Sauté : les cas tirés de nwind.mdb (absent)\n";
    } else {
        // libmdb warns by the million and keeps going.
        cas.push_back(
            {"tronqué au milieu d'une page", nwind.left(1500000), false, "avertissements"});
        cas.push_back(
            {"catalogue amputé", effacer(nwind, 22, 2048), false, "84 entrées lues sur 106"});
    }
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        test::Dossier d;
        d.ecrire(kBd, c.contenu);
        d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
        const auto avant = test::etatDossier(d.chemin());
        Suivi suivi;
        try {
            convertirBd(d, {}, &suivi);
            ADD_FAILURE() << "un fichier endommagé doit être refusé";
        } catch (const ErreurAccess& e) {
            EXPECT_TRUE(e.endommage());
            EXPECT_TRUE(e.message().contains(QStringLiteral("« BdClient.mdb »")));
            EXPECT_TRUE(e.message().contains(QStringLiteral("Compacter et réparer")) &&
                        e.message().contains(QString::fromUtf8(c.cause)))
                << e.message().toStdString();
        }
        EXPECT_EQ(!suivi.faites.empty(), c.enCours);
        EXPECT_EQ(test::etatDossier(d.chemin()), avant);
    }
    // The reader's warnings were not piled up here.
    QFile etat(QStringLiteral("/proc/self/status"));
    ASSERT_TRUE(etat.open(QIODevice::ReadOnly));
    const QByteArray statut = etat.readAll();
    const qsizetype pic = statut.indexOf("VmHWM:");
    ASSERT_GE(pic, 0);
    EXPECT_LT(statut.mid(pic + 6, statut.indexOf('\n', pic) - pic - 6)
                  .trimmed()
                  .split(' ')[0]
                  .toLongLong(),
              512 * 1024);
}

TEST(Jet, OriginalModifiePendantLaConversion) {
    test::Dossier d;
    test::placer(d, QStringLiteral("synthetic_salon_jet4.mdb"), kBd);
    Suivi suivi;
    // The salon application writes to the file while the reader works.
    suivi.pendant = [&] {
        QFile f(d.chemin(kBd));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("x");
    };
    try {
        convertirBd(d, {}, &suivi);
        FAIL();
    } catch (const ErreurAccess& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("a changé"))) << e.message().toStdString();
    }
    const auto apres = test::etatDossier(d.chemin());
    ASSERT_EQ(apres.size(), 1u);
    EXPECT_TRUE(store::estFichierAccess(d.chemin(kBd)));
}

// The reader dies in the middle of its work, as it would on a file that
// crashes libmdb: the caller reports it and cleans up after it. The reader is
// run through a script that kills it, then itself, once a table is done.
TEST(Jet, LecteurArreteBrutalement) {
    test::Dossier d;
    test::placer(d, QStringLiteral("synthetic_salon_jet4.mdb"), kBd);
    QTemporaryDir outils;
    const QString script = outils.filePath(QStringLiteral("lecteur"));
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            QStringLiteral("#!/bin/bash\n"
                           "coproc L { exec '%1' \"$@\"; }\n"
                           "while IFS= read -r l <&\"${L[0]}\"; do\n"
                           "  printf '%s\\n' \"$l\"\n"
                           "  [[ $l == FAIT* ]] && { kill -9 $L_PID; wait $L_PID; kill -9 $$; }\n"
                           "done\n")
                .arg(QDir(QStringLiteral(VERIF_BIN_DIR)).filePath(acces::nomLecteur()))
                .toUtf8());
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
    const auto avant = test::etatDossier(d.chemin());
    Suivi suivi;
    acces::Options options;
    options.lecteur = script;
    try {
        acces::convertir(acces::decrire(d.chemin(kBd)), options, suivi);
        ADD_FAILURE() << "un lecteur arrêté doit être dit";
    } catch (const ErreurAccess& e) {
        EXPECT_TRUE(e.endommage());
        EXPECT_TRUE(e.message().contains(QStringLiteral("brutalement")))
            << e.message().toStdString();
    }
    EXPECT_EQ(suivi.faites.size(), 1u);
    EXPECT_EQ(test::etatDossier(d.chemin()), avant);
}

// -------------------------------------------------------------------- batch

test::SortieLot lancer(const test::Dossier& d, bool oui, const QString& pageCode = {}) {
    QStringList arguments{QStringLiteral("--convertir-access")};
    if (oui) {
        arguments << QStringLiteral("--oui");
    }
    if (!pageCode.isEmpty()) {
        arguments << QStringLiteral("--page-code") << pageCode;
    }
    return test::lancerLot(d.chemin(), arguments);
}

// Nothing to convert; then asked without --oui: told, the lock file named,
// nothing touched; then converted: the original kept byte for byte beside the
// new base, which notes where it comes from, keeps the declared types and the
// indexes the runs look clients and sheets up by, and opens as every run does.
TEST(Jet, VerbeConvertirAccess) {
    test::Dossier d;
    test::SortieLot s = lancer(d, true);
    EXPECT_EQ(s.code, 0);
    EXPECT_TRUE(s.out.contains(QStringLiteral("Aucune base Microsoft Access")))
        << s.out.toStdString();

    test::placer(d, QStringLiteral("synthetic_salon_jet4.mdb"), kBd);
    d.ecrire(QStringLiteral("BdClient.ldb"), "");
    const test::EtatFichier original = test::etat(d.chemin(kBd));
    const auto avant = test::etatDossier(d.chemin());
    s = lancer(d, false);
    EXPECT_EQ(s.code, 0);
    EXPECT_TRUE(
        s.out.contains(QStringLiteral("BdClient.mdb est une base Microsoft Access (Jet 4)")))
        << s.out.toStdString();
    EXPECT_TRUE(s.out.contains(QStringLiteral("--oui")));
    EXPECT_TRUE(s.err.contains(QStringLiteral("BdClient.ldb"))) << s.err.toStdString();
    EXPECT_EQ(test::etatDossier(d.chemin()), avant);

    const double debut = store::dates::serie(QDateTime::currentDateTime()) - 1.0 / 1440;
    s = lancer(d, true);
    EXPECT_EQ(s.code, 0) << s.err.toStdString();
    for (const char* ligne :
         {"FCLI : 32 / 32 lignes", "189 ligne(s)", "Original conservé sous BdClient.access.mdb"}) {
        EXPECT_TRUE(s.out.contains(QString::fromUtf8(ligne))) << ligne << "\n"
                                                              << s.out.toStdString();
    }
    // Same bytes, same modification time, and nothing else in the folder.
    EXPECT_EQ(test::etat(d.chemin(QStringLiteral("BdClient.access.mdb"))), original);
    EXPECT_EQ(test::etatDossier(d.chemin()).size(), 3u);
    {
        store::Connexion cn(d.chemin(kBd));
        store::Instruction i(cn, QStringLiteral("SELECT * FROM _import_access ORDER BY rowid"));
        QStringList tables;
        while (i.avancer()) {
            EXPECT_EQ(QStringList({i.colonneTexte(0), QString::number(i.colonneEntier(1)),
                                   i.colonneTexte(2), i.colonneTexte(3), i.colonneTexte(4)}),
                      QStringList({kBd, QString::number(original.taille),
                                   QString::fromLatin1(original.sha256), QStringLiteral("Jet 4"),
                                   QStringLiteral("UCS-2")}));
            EXPECT_FALSE(i.colonneTexte(5).isEmpty());
            EXPECT_GE(i.colonne(6, true).serie(), debut);
            tables << QStringLiteral("%1 %2").arg(i.colonneTexte(7)).arg(i.colonneEntier(8));
        }
        EXPECT_EQ(tables.join(u'|'), QStringLiteral("FCLI 32|FTEC 63|FCONS 90|Types variés 4"));
        EXPECT_EQ(
            test::nombre(cn, QStringLiteral("SELECT COUNT(*) FROM FCLI WHERE Code = 'c_edge1'")),
            1);
        EXPECT_EQ(cn.typesColonnes(QStringLiteral("Types variés")).join(u'|'),
                  QStringLiteral("INTEGER|INTEGER|INTEGER|REAL|REAL|REAL|REAL|DATETIME|BLOB|BLOB|"
                                 "TEXT(38)|INTEGER|TEXT(255)"));
        const QString creations = test::lignes(cn, QStringLiteral("SELECT sql FROM sqlite_master "
                                                                  "WHERE name IN ('FCLI', 'FTEC')"))
                                      .join(u'|');
        for (const char* definition :
             {"\"Nom\" TEXT(50) COLLATE NOCASE", "\"DateNaissance\" DATETIME",
              "\"Mémo\" TEXT COLLATE NOCASE"}) {
            EXPECT_TRUE(creations.contains(QString::fromUtf8(definition))) << definition;
        }
        EXPECT_EQ(
            test::lignes(cn, QStringLiteral(
                                 "SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY 1"))
                .join(u'|'),
            QStringLiteral("FCLI_Code|FCONS_CODE_CLIENT|FTEC_Code_Client|FTEC_Numéro"));
    }

    d.copierCommunes();
    d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
    s = test::lancerLot(d.chemin(), {QStringLiteral("--analyse-techniques")});
    EXPECT_EQ(s.code, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.contains(QStringLiteral(" / 63 )"))) << s.out.toStdString();
    store::Connexion cn(d.chemin(QStringLiteral("bdclient.mdb")));
    EXPECT_EQ(cn.colonnes(QStringLiteral("FCLI")), store::schema::colonnesFCLI());
    EXPECT_EQ(cn.colonnes(QStringLiteral("FTEC")), store::schema::colonnesFTEC());
    store::Recordset rs;
    rs.Open(QStringLiteral("select * from FCLI Inner Join FCONS on FCLI.Code = FCONS.CODE_CLIENT "
                           "where FCONS.DATE_VISITE < #01/01/2100#"),
            cn);
    EXPECT_EQ(rs.RecordCount(), 90);
}

TEST(Jet, VerbeConvertirAccessEchoue) {
    test::Dossier d;
    QFile source(test::fichierJet(QStringLiteral("synthetic_salon_jet4.mdb")));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    d.ecrire(kBd, source.read(4096));
    const auto avant = test::etatDossier(d.chemin());
    const test::SortieLot s = lancer(d, true);
    EXPECT_EQ(s.code, 1);
    EXPECT_TRUE(s.err.contains(QStringLiteral("Compacter et réparer"))) << s.err.toStdString();
    EXPECT_EQ(test::etatDossier(d.chemin()), avant);

    test::Dossier jet4;
    test::placer(jet4, QStringLiteral("delTestV2000.mdb"), kBd);
    const test::SortieLot s4 = lancer(jet4, true, QStringLiteral("GBK"));
    EXPECT_EQ(s4.code, 0);
    EXPECT_TRUE(s4.err.contains(QStringLiteral("ignorée"))) << s4.err.toStdString();

    // BdClient.mdb converted, then communes.mdb fails: the folder was modified.
    test::Dossier deux;
    test::placer(deux, QStringLiteral("synthetic_salon_jet4.mdb"), kBd);
    deux.ecrire(QStringLiteral("communes.mdb"), d.lire(kBd));
    const test::SortieLot s2 = lancer(deux, true);
    EXPECT_EQ(s2.code, 1);
    EXPECT_FALSE(s2.err.contains(QStringLiteral("n'a pas été modifié"))) << s2.err.toStdString();
    EXPECT_TRUE(
        s2.err.contains(QStringLiteral("« BdClient.mdb » a été converti (original "
                                       "conservé sous « BdClient.access.mdb »)")));
    EXPECT_TRUE(s2.err.contains(QStringLiteral("« communes.mdb » est resté tel qu'il était")));
    EXPECT_EQ(deux.lire(QStringLiteral("communes.mdb")), d.lire(kBd));
}

// A folder where nothing can be written is named as the cause, before any
// reading.
TEST(Jet, DossierEnLectureSeule) {
    test::Dossier d;
    test::placer(d, QStringLiteral("synthetic_salon_jet4.mdb"), kBd);
    const auto avant = test::etatDossier(d.chemin());
    {
        const test::Protection protection(d.chemin());
        if (!protection.active()) {
            GTEST_SKIP() << "ni permissions ni attribut immuable ici";
        }
        const test::SortieLot s = lancer(d, true);
        EXPECT_EQ(s.code, 1);
        EXPECT_TRUE(s.err.contains(QStringLiteral("impossible d'écrire dans le dossier")) &&
                    s.err.contains(QStringLiteral("écriture interdite")))
            << s.err.toStdString();
        EXPECT_FALSE(s.err.contains(QStringLiteral(".part"))) << s.err.toStdString();
    }
    EXPECT_EQ(test::etatDossier(d.chemin()), avant);
}

// A kill at each step of the swap, then any start: BdClient.mdb is the
// original or the converted base, never missing; the user's own
// "BdClient.mdb.part" is never touched.
TEST(Jet, TueAChaqueEtapePuisRepris) {
    const QString photos = QStringLiteral(".conversion-BdClient.mdb-Photos");
    const auto preparer = [&](const test::Dossier& x) {
        test::placer(x, QStringLiteral("synthetic_salon_jet4.mdb"), kBd);
        x.ecrire(QStringLiteral("BdClient.mdb.part"), "à moi");
        // A folder of the user's that happens to be named like ours.
        QDir(x.chemin()).mkdir(photos);
        x.ecrire(photos + QStringLiteral("/a.jpg"), "photo");
    };
    test::Dossier d;
    preparer(d);
    const QStringList avant = test::contenuDossier(d.chemin());
    const QString original = avant[1].section(u' ', 1);
    int tues = 0;
    for (int etape = 1;; ++etape) {
        SCOPED_TRACE(etape);
        test::Dossier x;
        preparer(x);
        const QStringList oui = {QStringLiteral("--convertir-access"), QStringLiteral("--oui")};
        if (test::lancerProgramme(x.chemin(), oui, etape).code != -1) {
            EXPECT_EQ(x.lire(QStringLiteral("BdClient.mdb.part")), QByteArray("à moi"));
            break;
        }
        ++tues;
        const test::SortieLot reprise =
            test::lancerProgramme(x.chemin(), {QStringLiteral("--convertir-access")});
        const QStringList apres = test::contenuDossier(x.chemin());
        if (apres == avant) {
            EXPECT_TRUE(reprise.err.contains(QStringLiteral("abandonnée")))
                << reprise.err.toStdString();
            continue;
        }
        EXPECT_TRUE(reprise.err.contains(QStringLiteral("terminée"))) << reprise.err.toStdString();
        ASSERT_EQ(apres.size(), 4);
        EXPECT_EQ(apres[0], avant[0]);
        EXPECT_EQ(apres[1], QStringLiteral("BdClient.access.mdb ") + original);
        EXPECT_EQ(apres[3], avant[2]);
        EXPECT_EQ(x.lire(photos + QStringLiteral("/a.jpg")), QByteArray("photo"));
        comparer(lireReference(QStringLiteral("synthetic_salon_jet4")), lireBase(x.chemin(kBd)));
    }
    // The plan written, the original moved aside, the new base moved in.
    EXPECT_EQ(tues, 3);
}

// A forgotten folder after --dossier and an unknown code page are usage
// errors (exit 2), said even on a machine without a display.
TEST(LigneDeCommande, ErreursDUsage) {
    struct Cas {
        QStringList arguments;
        const char* message;
    };
    const Cas cas[] = {
        {{QStringLiteral("--dossier")}, "--dossier attend"},
        {{QStringLiteral("--dossier"), QString()}, "--dossier attend"},
        {{QStringLiteral("--dossier"), QStringLiteral("--analyse-clients")}, "--dossier attend"},
        {{QStringLiteral("--convertir-access"), QStringLiteral("--page-code"),
          QStringLiteral("XYZ-42")},
         "« XYZ-42 » est inconnue"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const test::SortieLot s =
            test::executer(QStringLiteral(VERIF_BIN_DIR "/verifclients"), c.arguments);
        EXPECT_EQ(s.code, 2);
        EXPECT_TRUE(s.err.contains(QString::fromUtf8(c.message))) << s.err.toStdString();
    }
}

// Every verb that opens the databases refuses an Access file before touching
// anything (no backup copy of it, no change).
TEST(Jet, AutresVerbesRefusentUneBaseAccess) {
    for (const char* fichier : {"BdClient.mdb", "communes.mdb"}) {
        SCOPED_TRACE(fichier);
        test::Dossier d;
        d.creerBase();
        d.copierCommunes();
        QFile::remove(d.chemin(QString::fromLatin1(fichier)));
        test::placer(d, QStringLiteral("delTestV2000.mdb"), QString::fromLatin1(fichier));
        d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
        const auto avant = test::etatDossier(d.chemin());
        int verifies = 0;
        for (const commun::Verbe& v : app::batch::verbes()) {
            if (v.nom == QLatin1String("--help") || v.nom == QLatin1String("--convertir-access") ||
                v.nom == QLatin1String("--texte-note")) {
                continue;
            }
            SCOPED_TRACE(v.nom.toStdString());
            commun::Commande c;
            c.dossier = d.chemin();
            c.verbe = v.nom;
            for (int i = 0; i < v.nbParametres; ++i) {
                c.parametres << QStringLiteral("01/01/2020");
            }
            c.oui = v.accepteOui;
            QString out;
            QString err;
            QTextStream so(&out);
            QTextStream se(&err);
            EXPECT_EQ(app::batch::executer(c, d.chemin(), so, se), commun::kEchec);
            EXPECT_TRUE(err.contains(QStringLiteral("« %1 »").arg(QString::fromLatin1(fichier))))
                << err.toStdString();
            EXPECT_TRUE(err.contains(QStringLiteral("--convertir-access"))) << err.toStdString();
            ++verifies;
        }
        EXPECT_GE(verifies, 1);
        EXPECT_EQ(test::etatDossier(d.chemin()), avant);
    }
}

}  // namespace
