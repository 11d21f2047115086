#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>

#include "platform/Locale.h"
#include "store/Connexion.h"
#include "store/Dates.h"
#include "store/Erreur.h"
#include "store/Recordset.h"
#include "support/Dossier.h"

using store::Connexion;
using store::ErreurStore;
using store::Recordset;
using store::Valeur;

namespace {

int compter(Connexion& cn, const QString& sqlJet) {
    Recordset rs;
    rs.Open(sqlJet, cn);
    return static_cast<int>(rs.RecordCount());
}

Valeur dateIso(const char* texte) {
    return Valeur::date(*store::dates::lireIso(QString::fromLatin1(texte)));
}

// ---------------------------------------------------------------- connections

// Opening never creates a file nor writes to one that is no database; names
// are found without regard to letter case.
TEST(Connexion, OuvertureDesFichiers) {
    test::Dossier d;
    QByteArray access(64, '\0');
    access.replace(4, 15, "Standard Jet DB");
    d.ecrire(QStringLiteral("access.mdb"), access);
    d.ecrire(QStringLiteral("texte.mdb"), QByteArray(4096, 'z'));
    const std::pair<const char*, const char*> cas[] = {
        {"BdClient.mdb", "introuvable"}, {"access.mdb", "Access"}, {"texte.mdb", "pas une base"}};
    for (const auto& [nom, cause] : cas) {
        SCOPED_TRACE(nom);
        const QString message =
            test::echec([&] { Connexion cn(d.chemin(QString::fromLatin1(nom))); });
        EXPECT_TRUE(message.contains(QString::fromUtf8(cause)) &&
                    message.contains(QString::fromLatin1(nom)))
            << message.toStdString();
    }
    EXPECT_FALSE(d.existe(QStringLiteral("BdClient.mdb")));
    EXPECT_EQ(d.lire(QStringLiteral("access.mdb")), access);

    d.creerBase(QStringLiteral("BdClient.mdb"));
    Connexion cn(d.chemin(QStringLiteral("bdclient.mdb")));
    EXPECT_EQ(QFileInfo(cn.chemin()).fileName(), QStringLiteral("BdClient.mdb"));
    // A misspelt quoted column must fail, not turn into the text "Nomm".
    EXPECT_THROW(compter(cn, QStringLiteral("select * from FCLI where \"Nomm\" = 'x'")),
                 ErreurStore);
}

// Dates in every form other programs store them, through the SQL functions
// of every connection: EnDate gives our text form, Null for no date; a value
// that is not a date makes NonDate 1 and EnDate fail.
TEST(Connexion, DatesSousToutesLeursFormes) {
    test::Dossier d;
    Connexion cn = d.creerBase();
    const std::pair<Valeur, const char*> cas[] = {
        // "?": not a date
        {u"2024-03-15 10:00:00", "2024-03-15 10:00:00"},
        {u"2024-03-15", "2024-03-15 00:00:00"},
        {u"2024-03-15T10:00", "2024-03-15 10:00:00"},
        {u"2024-03-15 10:00:00.250", "2024-03-15 10:00:00"},
        {u"15/03/2024 10:00:00", "2024-03-15 10:00:00"},
        {u" 5/3/2024 ", "2024-03-05 00:00:00"},
        {Valeur::reel(45366.5), "2024-03-15 12:00:00"},
        {Valeur::entier(45366), "2024-03-15 00:00:00"},
        {u"45366.75", "2024-03-15 18:00:00"},
        {Valeur(), ""},
        {u"  ", ""},
        {u"31/02/2024", "?"},
        {u"15/03/24", "?"},
        {u"15/03/2024 25:00", "?"},
        {u"45366,5", "?"},
        {Valeur::entier(612345678), "?"},
        {Valeur::octets("\x01"), "?"}};
    store::Instruction i(
        cn, QStringLiteral(
                "SELECT CASE NonDate(?1) WHEN 1 THEN '?' ELSE coalesce(EnDate(?1), '') END"));
    for (const auto& [valeur, date] : cas) {
        SCOPED_TRACE(valeur.texte().toStdString());
        i.reinitialiser();
        i.lier(1, valeur);
        ASSERT_TRUE(i.avancer());
        EXPECT_EQ(i.colonneTexte(0), QString::fromLatin1(date));
    }
    EXPECT_THROW(store::Instruction(cn, QStringLiteral("SELECT EnDate('demain')")).avancer(),
                 ErreurStore);
}

// A read transaction holds its lock from the start, so that what is read (or
// copied) is one moment of the base, and ends with its guard, told or not; one
// that cannot start leaves none open behind it.
TEST(Connexion, TransactionLectureDuDebutALaFin) {
    test::Dossier d;
    Connexion cn = d.creerBase();
    const auto enTransaction = [&cn] { return sqlite3_get_autocommit(cn.handle()) == 0; };
    {
        const store::TransactionLecture lecture(cn);
        EXPECT_EQ(sqlite3_txn_state(cn.handle(), "main"), SQLITE_TXN_READ);
    }
    EXPECT_FALSE(enTransaction());
    store::TransactionLecture lecture(cn);
    lecture.terminer();
    EXPECT_FALSE(enTransaction());

    Connexion autre(d.chemin(QStringLiteral("BdClient.mdb")));
    autre.executerSqlite(QStringLiteral("BEGIN EXCLUSIVE"));
    EXPECT_THROW(store::TransactionLecture{cn}, ErreurStore);
    autre.executerSqlite(QStringLiteral("ROLLBACK"));
    EXPECT_FALSE(enTransaction());
}

// ------------------------------------------------------------ Jet translation

// Jet's #month/day/year# literals in every query the runs send, and the purge
// queries that delete through a join.
TEST(TraductionJet, LitterauxDeDateEtRequetesDePurge) {
    test::Dossier d;
    Connexion cn = d.creerBase();
    cn.executerSqlite(QStringLiteral(
        "INSERT INTO FCONS (CODE_CLIENT, DATE_VISITE) VALUES ('C1', '2005-03-14 23:59:59'), "
        "('C2', '2005-03-15 00:00:00'), ('C3', '2005-03-16 10:00:00'), ('C1', '2004-12-31 "
        "00:00:00'), ('C4', '2005-01-03 00:00:00');"
        "INSERT INTO FCLI (Code) VALUES ('C1'), ('C2'), ('C3'), ('C4'), ('A#03/15/2005#');"
        "INSERT INTO FTEC (Date) VALUES ('2005-03-14 00:00:00'), ('2005-03-15 00:00:00')"));
    const std::pair<const char*, int> cas[] = {
        {" select Code_client from FTEC  Where Date < #03,15,2005#", 1},
        {"select * from FCONS Where DATE_VISITE < #03/15/2005#", 3},
        {"select * from FCONS Where DATE_VISITE <= #3/15/2005#", 4},
        {"select * from FCONS Where DATE_VISITE >= #03,16,2005#", 1},
        // 01/03 is the 3rd of January, never the 1st of March.
        {"select * from FCONS Where DATE_VISITE = #01/03/2005#", 1},
        {"select * from FCONS Where DATE_VISITE < #01/01/2005#", 1},
        {"select * from FCONS Where DATE_VISITE < #03/15/2005 00:00:01#", 4},
        {"select * from FCONS Where DATE_VISITE < #2005-03-15#", 3},
        // A literal inside quotes is text, not a date.
        {"select * from FCLI Where Code = 'A#03/15/2005#'", 1},
        {"select distinct FCLI.Code from FCLI Inner Join FCONS ON FCLI.Code = FCONS.CODE_CLIENT "
         "Where FCONS.DATE_VISITE < #03/15/2005#",
         2},
    };
    for (const auto& [sql, lignes] : cas) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(compter(cn, QString::fromUtf8(sql)), lignes);
    }
    for (const char* sql : {"select * from FCONS Where DATE_VISITE < #13/01/2005#",
                            "select * from FCONS Where DATE_VISITE < #02/30/2005#",
                            "select * from FCONS Where DATE_VISITE < #03/15/2005"}) {
        SCOPED_TRACE(sql);
        EXPECT_THROW(compter(cn, QString::fromUtf8(sql)), ErreurStore);
    }
    Recordset rs;
    rs.Open(
        QStringLiteral("DELETE FCLI.* FROM FCLI  where FCLI.Code in ( select distinct FCLI.Code "
                       "from FCLI Inner Join FCONS ON FCLI.Code = FCONS.CODE_CLIENT Where "
                       "FCONS.DATE_VISITE < #03/15/2005#)"),
        cn);
    EXPECT_EQ(rs.State(), 0);
    EXPECT_EQ(compter(cn, QStringLiteral("FCLI")), 3);
    rs.Open(QStringLiteral("DELETE * FROM FTEC Where Date < #03,15,2005#"), cn);
    EXPECT_EQ(compter(cn, QStringLiteral("FTEC")), 1);
    // Visits stay.
    EXPECT_EQ(compter(cn, QStringLiteral("FCONS")), 5);
}

// ------------------------------------------------------------- column change

TEST(ModifColonne, VilleDevientTexte50SansRienPerdre) {
    test::Dossier d;
    Connexion cn = d.creerBase();
    const QString longue(60, u'V');
    const Valeur villes[] = {Valeur::entier(75), Valeur(longue), Valeur(),
                             Valeur(QStringLiteral("L'HAY LES ROSES")), Valeur(QStringLiteral(""))};
    int n = 0;
    for (const Valeur& v : villes) {
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{QStringLiteral("Numéro"), Valeur::entier(10 - n)},
                       {QStringLiteral("Code"), QStringLiteral("C%1").arg(n)},
                       {QStringLiteral("Ville"), v},
                       {QStringLiteral("Email"), QStringLiteral("e%1@x.fr").arg(n)}});
        ++n;
    }
    const QStringList avant = cn.colonnes(QStringLiteral("FCLI"));
    for (int fois = 0; fois < 2; ++fois) {
        cn.executerJet(QStringLiteral("ALTER TABLE FCLI ALTER COLUMN Ville Text(50) "));
    }
    EXPECT_EQ(cn.colonnes(QStringLiteral("FCLI")), avant);
    EXPECT_EQ(cn.typesColonnes(QStringLiteral("FCLI"))[6], QStringLiteral("TEXT(50)"));
    // Same order (by key), every value kept, the town now text and never cut.
    Recordset rs;
    rs.Open(QStringLiteral("FCLI"), cn);
    const Valeur attendues[] = {Valeur(QStringLiteral("")),
                                Valeur(QStringLiteral("L'HAY LES ROSES")), Valeur(), Valeur(longue),
                                Valeur(QStringLiteral("75"))};
    int i = 0;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext(), ++i) {
        EXPECT_EQ(rs.Champ(QStringLiteral("Ville")), attendues[i]) << i;
        EXPECT_EQ(rs.Champ(QStringLiteral("Email")).texte(), QStringLiteral("e%1@x.fr").arg(4 - i));
    }
    EXPECT_EQ(i, 5);
    // The index on Code came back with the table; text still compares
    // without regard to letter case.
    EXPECT_EQ(
        compter(cn, QStringLiteral("select name from sqlite_master where name = 'FCLI_Code'")), 1);
    EXPECT_EQ(compter(cn, QStringLiteral("select * from FCLI where Ville = 'l''hay les roses'")),
              1);
    // A column that is not there: an error, and the table as it was.
    EXPECT_THROW(cn.executerJet(QStringLiteral("ALTER TABLE FCLI ALTER COLUMN Villle Text(50)")),
                 ErreurStore);
    EXPECT_EQ(cn.colonnes(QStringLiteral("FCLI")), avant);
}

// A rebuild that fails tells its own failure, not one of the clean-up after it.
TEST(ModifColonne, EchecDitSaPremiereErreur) {
    test::Dossier d;
    Connexion cn = d.creerBase();
    const QStringList types = cn.typesColonnes(QStringLiteral("FCLI"));
    // The new table is refused, and so is putting the renaming rule back.
    sqlite3_set_authorizer(
        cn.handle(),
        [](void*, int action, const char*, const char* valeur, const char*, const char*) {
            const bool remise = action == SQLITE_PRAGMA && valeur && qstricmp(valeur, "OFF") == 0;
            return action == SQLITE_CREATE_TABLE || remise ? SQLITE_DENY : SQLITE_OK;
        },
        nullptr);
    try {
        cn.executerJet(QStringLiteral("ALTER TABLE FCLI ALTER COLUMN Ville Text(50)"));
        FAIL();
    } catch (const ErreurStore& e) {
        EXPECT_TRUE(e.sql().startsWith(QStringLiteral("CREATE TABLE"))) << e.sql().toStdString();
    }
    sqlite3_set_authorizer(cn.handle(), nullptr, nullptr);
    EXPECT_EQ(cn.typesColonnes(QStringLiteral("FCLI")), types);
}

// ----------------------------------------------------------------- recordsets

// Read in key order, found by Find with Jet's text comparison, written back
// through Update; the errors said.
TEST(Recordsets, ParcoursFindEcrituresEtErreurs) {
    test::Dossier d;
    Connexion cn = d.creerBase();
    cn.executerSqlite(
        QStringLiteral("INSERT INTO FCLI (Code, Nom) VALUES ('A12', 'DUPONT'), "
                       "('0123', 'MARTIN'), ('a12', 'petit'), ('O''N', 'O''NEIL'), "
                       "('123', NULL), ('Z9', '')"));
    {
        Recordset rs;
        rs.Open(QStringLiteral("FCLI"), cn);
        EXPECT_EQ(rs.State(), 1);
        EXPECT_EQ(rs.RecordCount(), 6);
        QStringList codes;
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
            codes << rs.Champ(QStringLiteral("Code")).texte();
        }
        EXPECT_EQ(codes, (QStringList{"A12", "0123", "a12", "O'N", "123", "Z9"}));
        rs.Close();
        EXPECT_EQ(rs.State(), 0);
        rs.Open(QStringLiteral("select * from FCLI where Code = 'nobody'"), cn);
        EXPECT_EQ(rs.RecordCount(), 0);
        EXPECT_TRUE(rs.Eof());
        // Field names are matched without regard to letter case, accents included.
        rs.Open(QStringLiteral("FCLI"), cn);
        rs.MoveFirst();
        for (const char16_t* nom : {u"PRÉNOM", u"prénom", u"Gencode", u"CAT, AGE"}) {
            EXPECT_GE(rs.IndexChamp(QString::fromUtf16(nom)), 0)
                << QString::fromUtf16(nom).toStdString();
        }
        EXPECT_EQ(rs.IndexChamp(QStringLiteral("Prenom")), -1);
        EXPECT_THROW(rs.Champ(QStringLiteral("Prenom")), ErreurStore);
    }
    {
        const std::pair<const char16_t*, Valeur> cas[] = {
            // The criterion, and the name found; "-": not found.
            {u"Code = 'A12'", u"DUPONT"},  {u"Code = 0123", u"MARTIN"},  // leading zero kept
            {u"Code = a12", u"DUPONT"},  // letter case aside: the first of A12 and a12
            {u"Code = 'o''n'", u"O'NEIL"}, {u"Code = 'O''N'", u"O'NEIL"},  // apostrophe doubled
            {u"Code = 123", Valeur()},  // found, its name is Null
            {u"Code = 'Z9'", u""},      // the empty text is not Null
            {u"Code = '12'", u"-"},        {u"Code = 'a12 '", u"-"},
        };
        for (const auto& [critere, nom] : cas) {
            SCOPED_TRACE(QString::fromUtf16(critere).toStdString());
            Recordset rs;
            rs.Open(QStringLiteral("FCLI"), cn);
            rs.MoveFirst();
            rs.Find(QString::fromUtf16(critere));
            if (nom == Valeur(QStringLiteral("-"))) {
                EXPECT_TRUE(rs.Eof());
            } else {
                ASSERT_FALSE(rs.Eof());
                EXPECT_EQ(rs.Champ(QStringLiteral("Nom")), nom);
            }
        }
    }
    {
        {
            Recordset rs;
            rs.Open(QStringLiteral("FCLI"), cn);
            rs.MoveFirst();
            rs.Find(QStringLiteral("Code = 0123"));
            rs.EcrireChamp(QStringLiteral("Cat, Age"), QStringLiteral("05"));
            rs.EcrireChamp(QStringLiteral("Nom"), QStringLiteral("MARTIN; d'Arc\r\nbis"));
            rs.EcrireChamp(QStringLiteral("DateNaissance"), dateIso("1970-05-04 00:00:00"));
            EXPECT_EQ(rs.Champ(QStringLiteral("Cat, Age")).texte(), QStringLiteral("05"));
            rs.Update();
        }
        // A new connection sees it; the date stored as text, readable by any SQLite tool.
        Connexion autre(d.chemin(QStringLiteral("BdClient.mdb")));
        EXPECT_EQ(test::lignes(autre, QStringLiteral("select \"Cat, Age\", Nom, DateNaissance from "
                                                     "FCLI where Code = '0123'")),
                  QStringList{QStringLiteral("05|MARTIN; d'Arc\r\nbis|1970-05-04 00:00:00")});
        Recordset rs;
        rs.Open(QStringLiteral("select * from FCLI where Code = '0123'"), autre);
        EXPECT_TRUE(rs.Champ(QStringLiteral("DateNaissance")).estDate());
        // Writing back through a one-table query.
        rs.EcrireChamp(QStringLiteral("Nom"), QStringLiteral("MARTINEZ"));
        rs.Update();
        EXPECT_EQ(compter(autre, QStringLiteral("select * from FCLI where Nom = 'martinez'")), 1);
    }
    {
        Recordset rs;
        EXPECT_TRUE(test::echec([&] {
                        rs.Open(QStringLiteral("FCLIX"), cn);
                    }).contains(QStringLiteral("FCLIX")));
        EXPECT_EQ(rs.State(), 0);
        // A join's rows cannot be written.
        rs.Open(
            QStringLiteral("select distinct FCLI.Code from FCLI Inner Join FCLI AS b ON FCLI.Code "
                           "= b.Code"),
            cn);
        rs.MoveFirst();
        EXPECT_THROW(rs.EcrireChamp(QStringLiteral("Code"), QStringLiteral("X")), ErreurStore);
        // A row deleted behind our back.
        rs.Open(QStringLiteral("FCLI"), cn);
        rs.MoveFirst();
        cn.executerSqlite(QStringLiteral("DELETE FROM FCLI WHERE Code = 'A12'"));
        EXPECT_THROW(rs.EcrireChamp(QStringLiteral("Nom"), QStringLiteral("X")), ErreurStore);
    }
}

// ---------------------------------------------------------------------- dates

TEST(Dates, SeriesDeJours) {
    const std::pair<const char*, double> cas[] = {
        {"1899-12-30 00:00:00", 0.0},       {"1899-12-31 00:00:00", 1.0},
        {"1900-01-01 00:00:00", 2.0},       {"2005-03-15 00:00:00", 38426.0},
        {"2005-03-15 18:00:00", 38426.75},  {"1899-12-29 06:00:00", -1.25},
        {"1850-06-15 00:00:00", -18095.0},  {"9999-12-31 00:00:00", 2958465.0},
        {"0632-01-01 00:00:00", -463126.0}, {"9999-12-31 23:59:59", 2958465.0 + 86399.0 / 86400.0},
    };
    for (const auto& [iso, serie] : cas) {
        SCOPED_TRACE(iso);
        const auto s = store::dates::lireIso(QString::fromLatin1(iso));
        ASSERT_TRUE(s.has_value());
        EXPECT_DOUBLE_EQ(*s, serie);
        EXPECT_EQ(store::dates::texteIso(serie), QString::fromLatin1(iso));
    }
    EXPECT_DOUBLE_EQ(*store::dates::lireIso(u"2005-03-15"), 38426.0);
    EXPECT_FALSE(store::dates::lireIso(u"2005-02-30").has_value());
    EXPECT_FALSE(store::dates::lireIso(u"15/03/2005").has_value());
}

// A serial is a calendar date and a time of day, not an instant: the hour that
// a change to summer time skips in the system's zone must stay as it is.
TEST(Dates, HeureSauteeParLeChangementDHeure) {
    const QByteArray avant = qgetenv("TZ");
    const std::tuple<const char*, const char*, const char*> cas[] = {
        {"Europe/Paris", "2005-03-27 02:30:00", "27/03/2005 02:30:00"},
        {"America/Sao_Paulo", "2010-10-17 00:00:00", "17/10/2010"},
    };
    for (const auto& [zone, iso, local] : cas) {
        SCOPED_TRACE(zone);
        qputenv("TZ", zone);
        tzset();
        const auto s = store::dates::lireIso(QString::fromLatin1(iso));
        ASSERT_TRUE(s.has_value());
        EXPECT_EQ(store::dates::texteIso(*s), QString::fromLatin1(iso));
        EXPECT_EQ(Valeur::date(*s).texte(QLocale(QLocale::French, QLocale::France)),
                  QString::fromLatin1(local));
    }
    avant.isNull() ? qunsetenv("TZ") : qputenv("TZ", avant);
    tzset();
}

TEST(Dates, FormeTexteParDefaut) {
    // The French forms, with and without a time, are the export files' own test.
    EXPECT_EQ(Valeur::reel(1234567.25).texte(QLocale(QLocale::French, QLocale::France)),
              QStringLiteral("1234567,25"));
    EXPECT_EQ(Valeur::reel(12.5).texte(QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("12.5"));
    // The tests run under LC_ALL=C.UTF-8: French is used.
    platform::oublierLocaleTravail();
    EXPECT_EQ(platform::localeTravail().language(), QLocale::French);
    EXPECT_EQ(Valeur::reel(0.5).texte(), QStringLiteral("0,5"));
}

TEST(Dates, LectureDeLaFormeCourte) {
    const std::tuple<const char*, const char*, const char*> cas[] = {
        // Locale, text, then the date read (nullptr: refused). What texteLocal
        // writes in these locales ("M/d/yy", "dd.MM.yy") reads back.
        {"fr_FR", "03/04/2005", "2005-04-03 00:00:00"},
        {"fr_FR", "31/02/2005", nullptr},
        {"en_US", "3/4/05", "2005-03-04 00:00:00"},
        {"en_US", "3/4/05 10:30:00", "2005-03-04 10:30:00"},
        {"de_DE", "04.03.05", "2005-03-04 00:00:00"},
        {"en_US", "12/31/29", "2029-12-31 00:00:00"},
        {"en_US", "1/1/30", "1930-01-01 00:00:00"},
        // Four digits are taken as written.
        {"en_US", "3/4/2005", "2005-03-04 00:00:00"},
        {"de_DE", "04.03.1905", "1905-03-04 00:00:00"},
        {"en_US", "13/4/05", nullptr},
        // A four-digit short form is left as it was.
        {"fr_FR", "04/03/05", nullptr},
    };
    for (const auto& [locale, texte, iso] : cas) {
        SCOPED_TRACE(std::string(locale) + " " + texte);
        const auto s = store::dates::lireLocal(QString::fromLatin1(texte),
                                               QLocale(QString::fromLatin1(locale)));
        EXPECT_EQ(s ? store::dates::texteIso(*s) : QString(), QString::fromLatin1(iso));
    }
    // The default text form reads back unchanged.
    const double s = *store::dates::lireIso(u"2005-03-04 10:30:00");
    for (const char* nom : {"en_US", "de_DE", "fr_FR", "ja_JP", "nl_NL"}) {
        SCOPED_TRACE(nom);
        const QLocale l(QString::fromLatin1(nom));
        EXPECT_DOUBLE_EQ(*store::dates::lireLocal(store::dates::texteLocal(s, l), l), s);
    }
}

}  // namespace
