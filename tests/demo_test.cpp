#include <gtest/gtest.h>

#include <QDir>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include "clients/Analyse.h"
#include "commun/Variables.h"
#include "doublons/Doublons.h"
#include "export/Export.h"
#include "store/Connexion.h"
#include "store/Schema.h"
#include "support/Dossier.h"
#include "support/Lot.h"

using store::Connexion;

namespace {

test::SortieLot lancer(const QStringList& arguments) {
    return test::executer(QStringLiteral(VERIF_BIN_DIR "/make-demo"), arguments);
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

QStringList notes(const test::Dossier& d) {
    return QDir(d.chemin()).entryList({QStringLiteral("cli*.rtf")}, QDir::Files, QDir::Name);
}

// The three tables row by row, typed, then the notes.
QString contenu(const test::Dossier& d) {
    QString t;
    const Connexion cn = base(d);
    for (const char* sql : {"SELECT * FROM FCLI ORDER BY 1", "SELECT * FROM FTEC ORDER BY 1",
                            "SELECT * FROM FCONS ORDER BY rowid"}) {
        store::Instruction i(cn, QString::fromLatin1(sql));
        while (i.avancer()) {
            for (int c = 0; c < i.nbColonnes(); ++c) {
                const store::Valeur v = i.colonne(c);
                t += QString::number(static_cast<int>(v.type())) + u':' + v.texte() + u'|';
            }
            t += u'\n';
        }
    }
    for (const QString& n : notes(d)) {
        t += n + u'=' + QString::fromLatin1(d.lire(n)) + u'\n';
    }
    return t;
}

// The tables, columns and counts asked for, notes as a Windows rich-text
// control writes them, and every fault the analyses look for.
TEST(MakeDemo, ContenuDemande) {
    test::Dossier d;
    d.copierCommunes();
    const test::SortieLot s = lancer(petit(d));
    ASSERT_EQ(s.code, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.contains(QStringLiteral("Clients : 400"))) << s.out.toStdString();
    EXPECT_FALSE(d.existe(QStringLiteral("default.txt")));
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.mdb.part")));

    Connexion cn = base(d);
    EXPECT_EQ(cn.colonnes(QStringLiteral("FCLI")), store::schema::colonnesFCLI());
    EXPECT_EQ(cn.colonnes(QStringLiteral("FTEC")), store::schema::colonnesFTEC());
    EXPECT_EQ(cn.colonnes(QStringLiteral("FCONS")).mid(0, 2), store::schema::colonnesFCONS());
    cn.executerSqlite(
        QStringLiteral("ATTACH DATABASE '%1' AS ref")
            .arg(store::doublerApostrophes(d.chemin(QStringLiteral("communes.mdb")))));
    const auto nombre = [&](const char* sql) { return test::nombre(cn, QString::fromUtf8(sql)); };
    const std::tuple<const char*, qint64, qint64> comptes[] = {
        // A count, and the bounds it must lie between.
        {"SELECT count(*) FROM FCLI", 400, 400},
        {"SELECT count(*) FROM FTEC", 1200, 1200},
        {"SELECT count(*) FROM FCONS", 2000, 2000},
        {"SELECT max(\"Numéro\") - min(\"Numéro\") + 1 FROM FTEC", 1200, 1200},
        // Codes unique even without regard to case, in every expected shape.
        {"SELECT count(DISTINCT upper(Code)) FROM FCLI", 400, 400},
        {"SELECT EXISTS(SELECT 1 FROM FCLI WHERE Code GLOB '[1-9]*') + EXISTS(SELECT 1 FROM FCLI "
         "WHERE Code GLOB '0[0-9]*') + EXISTS(SELECT 1 FROM FCLI WHERE Code GLOB '[A-Z][0-9]*') + "
         "EXISTS(SELECT 1 FROM FCLI WHERE Code GLOB '[a-z][0-9]*')",
         4, 4},
        // Dates stay text in the stored form, visits from 1998 to 2025.
        {"SELECT count(*) FROM FCONS WHERE DATE_VISITE NOT GLOB '[12][0-9][0-9][0-9]-[01][0-9]-"
         "[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]' OR substr(DATE_VISITE, 1, 4) NOT BETWEEN "
         "'1998' AND '2025'",
         0, 0},
        {"SELECT count(*) FROM FTEC WHERE substr(\"Date\", 1, 4) NOT BETWEEN '2000' AND '2024'", 0,
         0},
        // Most towns are the reference's own pairs; a realistic share is not.
        {"SELECT count(*) FROM FCLI WHERE EXISTS (SELECT 1 FROM ref.communes c WHERE "
         "c.CodePostal = \"Code Postal\" COLLATE BINARY AND c.Commune = Ville COLLATE BINARY)",
         400 * 80 / 100, 400 * 97 / 100},
        // Sheets: a few without family, about one memo in twenty too long.
        {"SELECT count(*) FROM FTEC WHERE trim(coalesce(Famille, '')) = ''", 12, 96},
        {"SELECT count(*) FROM FTEC WHERE length(\"Mémo\") > 500", 24, 120},
        {"SELECT count(*) FROM FTEC WHERE \"Mémo\" <> '' AND \"Mémo\" NOT GLOB "
         "'{\\rtf1\\ansi\\ansicpg1252*'",
         0, 0},
    };
    for (const auto& [sql, min, max] : comptes) {
        SCOPED_TRACE(sql);
        EXPECT_GE(nombre(sql), min);
        EXPECT_LE(nombre(sql), max);
    }
    // Some clients stopped coming long ago, some never came; some sheets have no client.
    for (const char* defaut :
         {"FCLI WHERE Code NOT IN (SELECT CODE_CLIENT FROM FCONS)",
          "FCLI WHERE Code IN (SELECT CODE_CLIENT FROM FCONS GROUP BY CODE_CLIENT HAVING "
          "max(DATE_VISITE) < '2017')",
          "FTEC WHERE Code_Client NOT IN (SELECT Code FROM FCLI)",
          "FTEC WHERE Famille <> '' AND trim(Famille) = ''",
          "FTEC WHERE \"Mémo\" GLOB '*}' || char(13, 10)"}) {
        EXPECT_GT(nombre((std::string("SELECT count(*) FROM ") + defaut).c_str()), 0) << defaut;
    }
    const QStringList n = notes(d);
    EXPECT_GE(n.size(), 15);
    EXPECT_LE(n.size(), 80);
    EXPECT_FALSE(n.filter(QRegularExpression(QStringLiteral("^cli"))).isEmpty());
    bool accents = false;
    for (const QString& nom : n) {
        const QByteArray rtf = d.lire(nom);
        EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0")) << nom.toStdString();
        EXPECT_TRUE(rtf.endsWith("\\par\r\n}\r\n")) << nom.toStdString();
        EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) { return c > 0; }));
        accents = accents || rtf.contains("\\'e9");
    }
    EXPECT_TRUE(accents);

    // What the analysis finds: the faults left once tidied, the columns the
    // tidying mends, and values the importer may misread.
    commun::Variables vars;
    vars.dossier = d.chemin();
    vars.VilleDefaut = QStringLiteral("PARIS");
    vars.CpDefaut = QStringLiteral("75001");
    clients::ObservateurAnalyseClients rien;
    const clients::BilanAnalyse bilan = clients::AnalyseBd(vars, rien);
    QStringList enErreur;
    for (int f = 0; f < clients::kNbDrapeaux; ++f) {
        if (bilan.erreursParChamp[f] > 0) {
            enErreur << clients::nomsDrapeaux()[f];
        }
    }
    EXPECT_EQ(enErreur.join(u' '), QStringLiteral("ErrAdresse ErrVille ErrCP ErrCatAge ErrMoisNais "
                                                  "ErrTel1 ErrTel2 ErrGenCode ErrEmail"));
    QSet<QString> ranges;
    for (const QString& l : test::journal(base(d))) {
        ranges.insert(l.section(u'|', 3, 3));
    }
    QStringList r = ranges.values();
    r.sort();
    EXPECT_EQ(r.join(u'|'), QStringLiteral("Cat, Age|Code Postal|DateNaissance|Nom|Tel1|Ville"));
    EXPECT_FALSE(exports::ClientsAmbigus(d.chemin(), {}).isEmpty());
}

// The same seed gives the same salon, notes or none; the seeded duplicates
// are written aside when asked, and the search finds them.
TEST(MakeDemo, MemeGraineMemeContenuEtDoublonsRetrouves) {
    test::Dossier a, b, autreGraine, sansNotes, ailleurs;
    for (const test::Dossier* d : {&a, &b, &autreGraine, &sansNotes}) {
        d->copierCommunes();
    }
    const QString verite = ailleurs.chemin(QStringLiteral("verite.txt"));
    ASSERT_EQ(lancer(petit(a)).code, 0);
    ASSERT_EQ(lancer(petit(b) << QStringLiteral("--verite") << verite).code, 0);
    ASSERT_EQ(lancer(petit(autreGraine, QStringLiteral("8"))).code, 0);
    ASSERT_EQ(lancer(petit(sansNotes) << QStringLiteral("--sans-notes")).code, 0);
    EXPECT_EQ(contenu(b), contenu(a));
    EXPECT_EQ(QDir(a.chemin()).entryList(), QDir(b.chemin()).entryList());
    EXPECT_NE(contenu(autreGraine), contenu(a));
    EXPECT_TRUE(notes(sansNotes).isEmpty());
    EXPECT_TRUE(contenu(a).startsWith(contenu(sansNotes)));

    // Each line names two clients of the base; a search finds the same
    // person's records and never joins a mother and daughter or twins.
    const doublons::Resultat r = doublons::chercherDoublons(b.chemin());
    QHash<QString, int> groupeDe;
    for (std::size_t g = 0; g < r.groupes.size(); ++g) {
        for (const int m : r.groupes[g].membres) {
            groupeDe.insert(r.clients[static_cast<std::size_t>(m)].code, static_cast<int>(g));
        }
    }
    const Connexion cn = base(b);
    QMap<QString, int> genres;
    int trouves = 0;
    for (const QString& ligne : QString::fromUtf8(ailleurs.lire(QStringLiteral("verite.txt")))
                                    .split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList l = ligne.split(u'\t');
        ASSERT_EQ(l.size(), 4) << ligne.toStdString();
        ++genres[l[0]];
        EXPECT_EQ(test::nombre(cn, QStringLiteral("SELECT count(*) FROM FCLI WHERE Code COLLATE "
                                                  "BINARY IN ('%1', '%2')")
                                       .arg(l[1], l[2])),
                  2)
            << ligne.toStdString();
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
    const QString avant = contenu(d);
    const test::SortieLot refus = lancer(petit(d, QStringLiteral("9")));
    EXPECT_EQ(refus.code, 1);
    EXPECT_TRUE(refus.err.contains(QStringLiteral("BdClient.mdb")) &&
                refus.err.contains(QStringLiteral("--remplacer")))
        << refus.err.toStdString();
    EXPECT_EQ(contenu(d), avant);

    // Replacing leaves no note of the former clients behind.
    ASSERT_EQ(lancer(petit(d, QStringLiteral("9")) << QStringLiteral("--remplacer")).code, 0);
    EXPECT_NE(contenu(d), avant);
    const Connexion cn = base(d);
    for (const QString& n : notes(d)) {
        EXPECT_EQ(test::nombre(cn, QStringLiteral("SELECT count(*) FROM FCLI WHERE Code = '%1' "
                                                  "COLLATE BINARY")
                                       .arg(n.mid(3, n.size() - 7))),
                  1)
            << n.toStdString();
    }
    for (const QStringList& mauvais :
         {QStringList{QStringLiteral("--clients"), QStringLiteral("10")},
          QStringList{QStringLiteral("--dossier"), d.chemin(), QStringLiteral("--vite")},
          QStringList{QStringLiteral("--dossier"), d.chemin(), QStringLiteral("--clients"),
                      QStringLiteral("beaucoup")}}) {
        EXPECT_EQ(lancer(mauvais).code, 2) << mauvais.join(u' ').toStdString();
    }
}

TEST(MakeDemo, ListeIntegreeSansReferentiel) {
    test::Dossier d;
    const test::SortieLot s = lancer(petit(d));
    ASSERT_EQ(s.code, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.contains(QStringLiteral("liste intégrée")));
    // The built-in towns are spelt as in the real reference.
    Connexion cn = base(d);
    cn.executerSqlite(QStringLiteral("ATTACH DATABASE '%1' AS ref")
                          .arg(store::doublerApostrophes(QStringLiteral(VERIF_COMMUNES_MDB))));
    EXPECT_GE(
        test::nombre(cn, QStringLiteral("SELECT count(*) FROM FCLI WHERE EXISTS (SELECT 1 FROM "
                                        "ref.communes c WHERE c.CodePostal = \"Code Postal\" AND "
                                        "c.Commune = Ville)")),
        400 * 80 / 100);
}

}  // namespace
