#include <gtest/gtest.h>

#include <QDir>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <algorithm>

#include "doublons/Doublons.h"
#include "store/Connexion.h"
#include "store/Schema.h"
#include "support/Dossier.h"

using store::Connexion;

namespace {

struct Sortie {
    int code = -1;
    QString texte;
    QString erreurs;
};

Sortie lancer(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VERIF_BIN_DIR "/make-demo"), args);
    if (!p.waitForFinished(180000) || p.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "make-demo n'a pas terminé normalement";
        return {};
    }
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QStringList petit(const test::Dossier& d, const QString& graine = QStringLiteral("7")) {
    return {QStringLiteral("--dossier"), d.chemin(),
            QStringLiteral("--graine"),  graine,
            QStringLiteral("--clients"), QStringLiteral("400"),
            QStringLiteral("--fiches"),  QStringLiteral("1200"),
            QStringLiteral("--visites"), QStringLiteral("2000")};
}

Connexion base(const test::Dossier& d) {
    return Connexion(d.chemin(QStringLiteral("BdClient.mdb")), Connexion::Acces::Lecture);
}

qint64 compter(const Connexion& cn, const QString& sql) {
    store::Instruction i(cn, sql);
    return i.pas() ? i.colonneEntier(0) : -1;
}

QStringList notes(const test::Dossier& d) {
    return QDir(d.chemin()).entryList({QStringLiteral("cli*.rtf")}, QDir::Files, QDir::Name);
}

// The three tables row by row, typed.
QString contenuBase(const test::Dossier& d) {
    QString t;
    Connexion cn = base(d);
    for (const char* sql : {"SELECT * FROM FCLI ORDER BY 1", "SELECT * FROM FTEC ORDER BY 1",
                            "SELECT * FROM FCONS ORDER BY rowid"}) {
        store::Instruction i(cn, QString::fromLatin1(sql));
        while (i.pas()) {
            for (int c = 0; c < i.nbColonnes(); ++c) {
                const store::Valeur v = i.colonne(c);
                t += QString::number(static_cast<int>(v.type())) + u':' + v.texte() + u'|';
            }
            t += u'\n';
        }
    }
    return t;
}

QString contenuNotes(const test::Dossier& d) {
    QString t;
    for (const QString& n : notes(d)) {
        t += n + u'=' + QString::fromLatin1(d.lire(n)) + u'\n';
    }
    return t;
}

// ------------------------------------------------------------------ layout

TEST(MakeDemo, TablesColonnesEtNombresDemandes) {
    test::Dossier d;
    d.copierCommunes();
    const Sortie s = lancer(petit(d));
    ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
    EXPECT_TRUE(s.texte.contains(QStringLiteral("Clients : 400"))) << s.texte.toStdString();
    EXPECT_FALSE(d.existe(QStringLiteral("default.txt")));
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.mdb.part")));

    Connexion cn = base(d);
    EXPECT_EQ(cn.colonnes(QStringLiteral("FCLI")), store::schema::colonnesFCLI());
    EXPECT_EQ(cn.colonnes(QStringLiteral("FTEC")), store::schema::colonnesFTEC());
    EXPECT_EQ(cn.colonnes(QStringLiteral("FCONS")).mid(0, 2), store::schema::colonnesFCONS());
    EXPECT_EQ(compter(cn, QStringLiteral("SELECT count(*) FROM FCLI")), 400);
    EXPECT_EQ(compter(cn, QStringLiteral("SELECT count(*) FROM FTEC")), 1200);
    EXPECT_EQ(compter(cn, QStringLiteral("SELECT count(*) FROM FCONS")), 2000);
    EXPECT_EQ(compter(cn, QStringLiteral("SELECT max(\"Numéro\") - min(\"Numéro\") + 1 FROM FTEC")),
              1200);
    // Codes unique even without regard to case, in every expected shape.
    EXPECT_EQ(compter(cn, QStringLiteral("SELECT count(DISTINCT upper(Code)) FROM FCLI")), 400);
    for (const char* forme : {"[1-9]*", "0[0-9]*", "[A-Z][0-9]*", "[a-z][0-9]*"}) {
        EXPECT_GT(compter(cn, QStringLiteral("SELECT count(*) FROM FCLI WHERE Code GLOB '%1'")
                                  .arg(QLatin1String(forme))),
                  0)
            << forme;
    }
    // Dates stay text in the stored form, visits from 1998 to 2025.
    EXPECT_EQ(compter(cn, QStringLiteral("SELECT count(*) FROM FCONS WHERE DATE_VISITE NOT GLOB "
                                         "'[12][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] "
                                         "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]'")),
              0);
    EXPECT_EQ(compter(cn, QStringLiteral("SELECT count(*) FROM FCONS WHERE substr(DATE_VISITE, 1, "
                                         "4) NOT BETWEEN '1998' AND '2025'")),
              0);
    EXPECT_EQ(compter(cn, QStringLiteral("SELECT count(*) FROM FTEC WHERE substr(\"Date\", 1, 4) "
                                         "NOT BETWEEN '2000' AND '2024'")),
              0);
}

TEST(MakeDemo, MemeGraineMemeContenuEtNotesSansEffetSurLaBase) {
    test::Dossier a;
    test::Dossier b;
    test::Dossier autreGraine;
    test::Dossier sansNotes;
    for (const test::Dossier* d : {&a, &b, &autreGraine, &sansNotes}) {
        d->copierCommunes();
    }
    // The seeded duplicates are written aside only when asked.
    test::Dossier ailleurs;
    const QString verite = ailleurs.chemin(QStringLiteral("verite.txt"));
    ASSERT_EQ(lancer(petit(a)).code, 0);
    ASSERT_EQ(lancer(petit(b) << QStringLiteral("--verite") << verite).code, 0);
    ASSERT_EQ(lancer(petit(autreGraine, QStringLiteral("8"))).code, 0);
    ASSERT_EQ(lancer(petit(sansNotes) << QStringLiteral("--sans-notes")).code, 0);

    const QString attendu = contenuBase(a);
    EXPECT_EQ(contenuBase(b), attendu);
    EXPECT_EQ(contenuNotes(b), contenuNotes(a));
    EXPECT_EQ(QDir(a.chemin()).entryList(), QDir(b.chemin()).entryList());
    EXPECT_NE(contenuBase(autreGraine), attendu);
    EXPECT_NE(contenuNotes(autreGraine), contenuNotes(a));
    EXPECT_EQ(contenuBase(sansNotes), attendu);
    EXPECT_TRUE(notes(sansNotes).isEmpty());

    // Each line names two clients of the base; a search finds the same
    // person's records and never joins a mother and daughter or twins.
    const doublons::Resultat r = doublons::chercherDoublons(b.chemin());
    QHash<QString, int> groupeDe;
    for (std::size_t g = 0; g < r.groupes.size(); ++g) {
        for (const int m : r.groupes[g].membres) {
            groupeDe.insert(r.clients[static_cast<std::size_t>(m)].code, static_cast<int>(g));
        }
    }
    Connexion cn = base(b);
    QMap<QString, int> genres;
    int trouves = 0;
    for (const QString& ligne : QString::fromUtf8(ailleurs.lire(QStringLiteral("verite.txt")))
                                    .split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList l = ligne.split(u'\t');
        ASSERT_EQ(l.size(), 4) << ligne.toStdString();
        ++genres[l[0]];
        for (const QString& code : {l[1], l[2]}) {
            EXPECT_EQ(compter(cn, QStringLiteral("SELECT count(*) FROM FCLI WHERE Code = '%1' "
                                                 "COLLATE BINARY")
                                      .arg(code)),
                      1)
                << ligne.toStdString();
        }
        const bool ensemble = groupeDe.contains(l[1]) && groupeDe[l[1]] == groupeDe.value(l[2], -1);
        if (l[0] == u"Famille") {
            EXPECT_FALSE(ensemble) << ligne.toStdString();
        } else {
            trouves += ensemble ? 1 : 0;
        }
    }
    EXPECT_EQ(genres.keys(), (QStringList{"Doublon", "Famille"}));
    EXPECT_GE(trouves, genres[QStringLiteral("Doublon")] * 9 / 10);
}

TEST(MakeDemo, BaseExistanteRefuseeSaufRemplacerEtMauvaisUsage) {
    test::Dossier d;
    d.copierCommunes();
    ASSERT_EQ(lancer(petit(d)).code, 0);
    const QString avantBase = contenuBase(d);
    const QString avantNotes = contenuNotes(d);

    const Sortie refus = lancer(petit(d, QStringLiteral("9")));
    EXPECT_EQ(refus.code, 1);
    EXPECT_TRUE(refus.erreurs.contains(QStringLiteral("BdClient.mdb")))
        << refus.erreurs.toStdString();
    EXPECT_TRUE(refus.erreurs.contains(QStringLiteral("--remplacer")));
    EXPECT_EQ(contenuBase(d), avantBase);
    EXPECT_EQ(contenuNotes(d), avantNotes);

    // Replacing leaves no note of the former clients behind.
    ASSERT_EQ(lancer(petit(d, QStringLiteral("9")) << QStringLiteral("--remplacer")).code, 0);
    EXPECT_NE(contenuBase(d), avantBase);
    Connexion cn = base(d);
    for (const QString& n : notes(d)) {
        store::Instruction i(cn, QStringLiteral("SELECT count(*) FROM FCLI WHERE Code = ? "
                                                "COLLATE BINARY"));
        i.lier(1, n.mid(3, n.size() - 7));
        ASSERT_TRUE(i.pas());
        EXPECT_EQ(i.colonneEntier(0), 1) << n.toStdString();
    }

    EXPECT_EQ(lancer({QStringLiteral("--clients"), QStringLiteral("10")}).code, 2);
    EXPECT_EQ(lancer({QStringLiteral("--dossier"), d.chemin(), QStringLiteral("--vite")}).code, 2);
    EXPECT_EQ(lancer({QStringLiteral("--dossier"), d.chemin(), QStringLiteral("--clients"),
                      QStringLiteral("beaucoup")})
                  .code,
              2);
}

// ------------------------------------------------------------------ content

TEST(MakeDemo, NotesEnRtfDeWindows) {
    test::Dossier d;
    d.copierCommunes();
    ASSERT_EQ(lancer(petit(d)).code, 0);
    const QStringList n = notes(d);
    EXPECT_GE(n.size(), 15);
    EXPECT_LE(n.size(), 80);
    bool minuscules = false;
    bool accents = false;
    for (const QString& nom : n) {
        minuscules = minuscules || nom.startsWith(QLatin1String("cli"));
        const QByteArray rtf = d.lire(nom);
        EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0")) << nom.toStdString();
        EXPECT_TRUE(rtf.endsWith("\\par\r\n}\r\n")) << nom.toStdString();
        EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) { return c > 0; }));
        accents = accents || rtf.contains("\\'e9");
    }
    EXPECT_TRUE(minuscules);
    EXPECT_TRUE(accents);
}

TEST(MakeDemo, DefautsPlantesEtCommunesDuReferentiel) {
    test::Dossier d;
    d.copierCommunes();
    ASSERT_EQ(lancer(petit(d)).code, 0);
    Connexion cn = base(d);
    const auto clients = [&](const char* condition) {
        return compter(
            cn,
            QStringLiteral("SELECT count(*) FROM FCLI WHERE %1").arg(QString::fromUtf8(condition)));
    };
    for (const char* defaut : {
             "Tel1 GLOB '*O*'",
             "Tel1 GLOB '*[ .-]*' OR Tel2 GLOB '*[ .-]*'",
             "length(Tel1) = 9",
             "Nom = ' '",
             "max(length(Nom), length(\"Prénom\"), length(Adresse)) > 50",
             "coalesce(Ville, '') = '' AND coalesce(\"Code Postal\", '') = ''",
             "(coalesce(Ville, '') = '') <> (coalesce(\"Code Postal\", '') = '')",
             "\"Code Postal\" GLOB '[1-9][0-9][0-9][0-9]'",
             "\"Code Postal\" GLOB '*O*'",
             "\"Cat, Age\" NOT GLOB '[01][0-9]' OR \"Cat, Age\" > '10'",
             "\"Mois Nais\" NOT IN ('', '01', '02', '03', '04', '05', '06', '07', '08', '09', "
             "'10', '11', '12')",
             "Email <> '' AND (Email NOT GLOB '?*@?*.??*' OR Email GLOB '*[ ,]*')",
             "length(GenCode) = 12",
             "DateNaissance = '1899-12-30 00:00:00'",
             "DateNaissance < '1899-01-01' COLLATE BINARY",
             "Adresse GLOB '*;*'",
             "instr(Adresse, char(13, 10)) > 0",
             "Nom <> trim(Nom) OR Ville <> trim(Ville) OR \"Cat, Age\" <> trim(\"Cat, Age\") OR "
             "\"Code Postal\" <> trim(\"Code Postal\") OR \"Mois Nais\" <> trim(\"Mois Nais\") OR "
             "\"Prénom\" <> trim(\"Prénom\") OR Tel1 <> trim(Tel1)",
             "Nom GLOB '*''*'",
         }) {
        EXPECT_GT(clients(defaut), 0) << defaut;
    }

    // Most towns are the reference's own pairs; a realistic share is not.
    cn.executer(QStringLiteral("ATTACH DATABASE '%1' AS ref")
                    .arg(store::doublerApostrophes(d.chemin(QStringLiteral("communes.mdb")))));
    const qint64 connues = clients(
        "EXISTS (SELECT 1 FROM ref.communes c WHERE c.CodePostal = \"Code Postal\" COLLATE "
        "BINARY AND c.Commune = Ville COLLATE BINARY)");
    EXPECT_GE(connues, 400 * 80 / 100);
    EXPECT_LE(connues, 400 * 97 / 100);

    // Sheets: a few without family, about one memo in twenty over 500 characters.
    const auto fiches = [&](const char* condition) {
        return compter(
            cn,
            QStringLiteral("SELECT count(*) FROM FTEC WHERE %1").arg(QString::fromUtf8(condition)));
    };
    EXPECT_GE(fiches("trim(coalesce(Famille, '')) = ''"), 1200 * 1 / 100);
    EXPECT_LE(fiches("trim(coalesce(Famille, '')) = ''"), 1200 * 8 / 100);
    EXPECT_GT(fiches("Famille <> '' AND trim(Famille) = ''"), 0);
    EXPECT_GE(fiches("length(\"Mémo\") > 500"), 1200 * 2 / 100);
    EXPECT_LE(fiches("length(\"Mémo\") > 500"), 1200 * 10 / 100);
    EXPECT_EQ(fiches("\"Mémo\" <> '' AND \"Mémo\" NOT GLOB '{\\rtf1\\ansi\\ansicpg1252*'"), 0);
    EXPECT_GT(fiches("\"Mémo\" GLOB '*}' || char(13, 10)"), 0);
    EXPECT_GT(fiches("Code_Client NOT IN (SELECT Code FROM FCLI)"), 0);

    // Visits: some clients stopped coming long ago, some never came.
    EXPECT_GT(clients("Code NOT IN (SELECT CODE_CLIENT FROM FCONS)"), 0);
    EXPECT_GT(clients("Code IN (SELECT CODE_CLIENT FROM FCONS GROUP BY CODE_CLIENT "
                      "HAVING max(DATE_VISITE) < '2017')"),
              0);
}

TEST(MakeDemo, ListeIntegreeSansReferentiel) {
    test::Dossier d;
    const Sortie s = lancer(petit(d));
    ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
    EXPECT_TRUE(s.texte.contains(QStringLiteral("liste intégrée")));
    // The built-in towns are spelt as in the real reference.
    Connexion cn = base(d);
    cn.executer(QStringLiteral("ATTACH DATABASE '%1' AS ref")
                    .arg(store::doublerApostrophes(QStringLiteral(VERIF_COMMUNES_MDB))));
    EXPECT_GE(compter(cn, QStringLiteral(
                              "SELECT count(*) FROM FCLI WHERE EXISTS (SELECT 1 FROM ref.communes "
                              "c WHERE c.CodePostal = \"Code Postal\" AND c.Commune = Ville)")),
              400 * 80 / 100);
}

}  // namespace
