#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>

#include "clients/Analyse.h"
#include "clients/Annulation.h"
#include "clients/Groupee.h"
#include "commun/Variables.h"
#include "platform/ErreurFichier.h"
#include "purge/AnnulationPurge.h"
#include "purge/Purge.h"
#include "rapport/Chiffres.h"
#include "rapport_donnees.h"
#include "store/Erreur.h"
#include "store/Journal.h"
#include "support/Dossier.h"
#include "tech/AnalyseTech.h"

using clients::Drapeau;

namespace {

QByteArray empreinte(const QString& chemin) {
    QFile f(chemin);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

class Rapport : public ::testing::Test {
protected:
    void SetUp() override {
        vars.dossier = d.chemin();
        vars.VilleDefaut = QStringLiteral("PARIS");
        vars.CpDefaut = QStringLiteral("75001");
    }

    test::Dossier d;
    commun::Variables vars;
};

// Every figure of the small salon, read from the database and the folder.
TEST_F(Rapport, ChiffresDuSalon) {
    test::remplirSalon(d);
    // A ";" the importer may misread: counted only in what an export would write.
    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        cn.executer(
            QStringLiteral("UPDATE FCLI SET Coiffeur = 'Julie; Marc' WHERE Code IN "
                           "('A1', 'A2'); UPDATE FTEC SET Tech = 'a;b' WHERE \"Numéro\" "
                           "IN (1, 2)"));
    }
    d.ecrire(QStringLiteral("FCLI_1.txt"), test::fichierExport({"1;A1", "5;A5"}));
    d.ecrire(QStringLiteral("FCLI_2.txt"), test::fichierExport({}));
    d.ecrire(QStringLiteral("FCLI_10.txt"), test::fichierExport({"9;A9"}));
    d.ecrire(QStringLiteral("FTEC_1.txt"), test::fichierExport({"1", "4", "5"}));
    // Not export files: the export would leave them where they are.
    for (const char* autre :
         {"FCLI_1.txt.bak", "FCLI_.txt", "fcli_3.txt", "FCLI_x.txt", "FCLI.csv"}) {
        d.ecrire(QString::fromLatin1(autre), test::fichierExport({"x"}));
    }

    const rapport::Chiffres c = rapport::rassembler(vars);

    EXPECT_EQ(c.dossier, QDir::toNativeSeparators(d.chemin()));
    EXPECT_EQ(c.tailleBase, QFileInfo(d.chemin(QStringLiteral("BdClient.mdb"))).size());
    EXPECT_EQ(c.nbClients, 5);
    EXPECT_EQ(c.nbFiches, 5);
    EXPECT_EQ(c.nbVisites, 3);
    EXPECT_EQ(c.villeDefaut, QStringLiteral("PARIS"));
    EXPECT_EQ(c.cpDefaut, QStringLiteral("75001"));
    EXPECT_FALSE(c.sauvegarde.has_value());

    // Clients in error, in table order, with their fields.
    QStringList enErreur;
    for (const clients::Evaluation& e : c.clientsEnErreur) {
        enErreur << e.CodeClient + u' ' + e.NomClient + QStringLiteral(" : ") +
                        rapport::champsEnErreur(e);
    }
    EXPECT_EQ(enErreur, QStringList({QStringLiteral("A2 MARTIN Paul : Ville"),
                                     QStringLiteral("A3 PETIT Léa : Code postal, Téléphone 1"),
                                     QStringLiteral("A4 L'HUILLIER Zoé : E-mail")}));
    std::array<qint64, clients::kNbDrapeaux> attendus{};
    attendus[clients::ErrVille] = 1;
    attendus[clients::ErrCP] = 1;
    attendus[clients::ErrTel1] = 1;
    attendus[clients::ErrEmail] = 1;
    EXPECT_EQ(c.erreursParChamp, attendus);
    EXPECT_EQ(c.nbClientsExportables(), 2);

    // Notes: letter case aside, over 500 characters only.
    EXPECT_EQ(c.nbFichiersNotes, 3);
    ASSERT_EQ(c.notesLongues.size(), 2u);
    EXPECT_EQ(c.notesLongues[0].code, QStringLiteral("A1"));
    EXPECT_EQ(c.notesLongues[0].nom, QStringLiteral("DURAND Anne"));
    EXPECT_EQ(c.notesLongues[0].longueur, 600);
    EXPECT_EQ(c.notesLongues[0].perdus, 100);
    EXPECT_EQ(c.notesLongues[1].code, QStringLiteral("A3"));
    EXPECT_EQ(c.notesLongues[1].perdus, 250);

    // Sheets: without family (a family of blanks is one), memos too long.
    ASSERT_EQ(c.fiches.size(), 3u);
    EXPECT_EQ(c.fiches[0].numero, QStringLiteral("2"));
    EXPECT_EQ(c.fiches[0].code, QStringLiteral("A2"));
    EXPECT_EQ(c.fiches[0].nom, QStringLiteral("MARTIN Paul"));
    EXPECT_TRUE(c.fiches[0].sansFamille);
    EXPECT_FALSE(c.fiches[0].memoLong);
    EXPECT_EQ(c.fiches[1].numero, QStringLiteral("3"));
    EXPECT_TRUE(c.fiches[1].code.isEmpty());
    EXPECT_TRUE(c.fiches[1].sansFamille);
    EXPECT_TRUE(c.fiches[1].memoLong);
    EXPECT_EQ(c.fiches[1].longueurMemo, 600);
    EXPECT_EQ(c.fiches[2].numero, QStringLiteral("4"));
    EXPECT_FALSE(c.fiches[2].sansFamille);
    EXPECT_EQ(c.fiches[2].longueurMemo, 501);
    EXPECT_EQ(c.nbSansFamille, 2);
    EXPECT_EQ(c.nbMemosLongs, 2);
    EXPECT_EQ(c.nbFichesExportables(), 3);

    ASSERT_EQ(c.clientsAmbigus.size(), 1u);
    EXPECT_EQ(c.clientsAmbigus[0].cle + u' ' + c.clientsAmbigus[0].nom,
              QStringLiteral("A1 DURAND Anne"));
    ASSERT_EQ(c.fichesAmbigues.size(), 1u);
    EXPECT_EQ(c.fichesAmbigues[0].cle, QStringLiteral("1"));

    // Export files in their number's order, data lines counted.
    QStringList fichiers;
    for (const auto* liste : {&c.fichiersClients, &c.fichiersFiches}) {
        for (const rapport::FichierExport& f : *liste) {
            fichiers << QStringLiteral("%1 %2").arg(f.nom).arg(f.lignes);
        }
    }
    EXPECT_EQ(fichiers,
              QStringList({QStringLiteral("FCLI_1.txt 2"), QStringLiteral("FCLI_2.txt 0"),
                           QStringLiteral("FCLI_10.txt 1"), QStringLiteral("FTEC_1.txt 3")}));

    // Nothing was ever run on it: the journal has nothing to tell.
    const rapport::Journal& j = c.journal;
    EXPECT_FALSE(j.premiereAnalyse.has_value());
    EXPECT_EQ(j.nbAnalyses, 0);
    EXPECT_TRUE(j.rangement.empty());
    EXPECT_TRUE(j.correctionsMain.empty());
    EXPECT_TRUE(j.correctionsGroupees.empty());
    EXPECT_TRUE(j.familles.empty());
    EXPECT_EQ(j.nbMemosNettoyes, 0);
    EXPECT_TRUE(j.purges.empty());
}

QString texte(const store::Valeur& v) {
    return v.estNull() ? QStringLiteral("<Null>") : v.texte();
}

QString ligne(const rapport::Changement& e) {
    return QStringList{e.operation,
                       e.cle,
                       e.nom,
                       e.colonne,
                       texte(e.avant),
                       texte(e.apres),
                       e.annulee ? QStringLiteral("annulée") : QString()}
        .join(u'|');
}

// The journal's figures after a technician's session on the salon: the
// analysis, the panels, an undone save, a grouped correction, a family, the
// sheets' tidying and two purges, each really run.
TEST_F(Rapport, JournalDuSalon) {
    test::remplirSalon(d);
    test::journalDuSalon(d, vars);
    const rapport::Chiffres c = rapport::rassembler(vars);
    const rapport::Journal& j = c.journal;

    // The first analysis beside now: P1 purged since, A2 and A4 corrected.
    ASSERT_TRUE(j.premiereAnalyse.has_value());
    EXPECT_EQ(j.nbAnalyses, 1);
    EXPECT_EQ(j.premiereAnalyse->quand.size(), 19);
    const clients::BilanAnalyse& premiere = j.premiereAnalyse->bilan;
    EXPECT_EQ(premiere.NbCli, 6);
    EXPECT_EQ(premiere.NbCliErr, 3);
    std::array<int, clients::kNbDrapeaux> attendus{};
    attendus[clients::ErrVille] = attendus[clients::ErrCP] = attendus[clients::ErrTel1] =
        attendus[clients::ErrEmail] = 1;
    EXPECT_EQ(premiere.erreursParChamp, attendus);
    EXPECT_EQ(c.nbClients, 5);
    ASSERT_EQ(c.nbClientsEnErreur(), 1);
    EXPECT_EQ(rapport::champsEnErreur(c.clientsEnErreur[0]), QStringLiteral("Téléphone 1"));

    // The tidying, per column in FCLI's order, with its examples.
    QStringList rangement;
    for (const rapport::ColonneRangee& col : j.rangement) {
        QStringList exemples;
        for (const rapport::Changement& e : col.exemples) {
            exemples << texte(e.avant) + QStringLiteral(" > ") + texte(e.apres);
        }
        rangement << QStringLiteral("%1 %2 : %3")
                         .arg(col.colonne)
                         .arg(col.nbValeurs)
                         .arg(exemples.join(QStringLiteral(" ; ")));
    }
    EXPECT_EQ(rangement, QStringList({QStringLiteral("Ville 1 :  PARIS  > PARIS"),
                                      QStringLiteral("Code Postal 1 : 75OO1 > 75001"),
                                      QStringLiteral("Tel1 2 : 0102030405  > 0102030405 ; "
                                                     "O102030405 > 0102030405")}));
    EXPECT_EQ(j.nbValeursRangees, 4);
    EXPECT_EQ(j.nbClientsRanges, 2);

    // By hand, the postal code panel's included; the undone save is marked.
    QStringList main;
    for (const rapport::Changement& e : j.correctionsMain) {
        main << ligne(e);
    }
    EXPECT_EQ(main, QStringList({
                        QStringLiteral("Correction|A4|L'HUILLIER Zoé|Email|zoe@|zoe@exemple.fr|"),
                        QStringLiteral("Code postal et ville|A3|PETIT Léa|Code Postal|6900|69001|"),
                        QStringLiteral("Correction|A3|PETIT Léa|Tel1|01 23|0123456789|annulée"),
                    }));

    ASSERT_EQ(j.correctionsGroupees.size(), 1u);
    const rapport::CorrectionGroupee& g = j.correctionsGroupees[0];
    EXPECT_EQ(g.nbClients, 1);
    EXPECT_FALSE(g.annulee.has_value());
    ASSERT_EQ(g.remplacements.size(), 1u);
    EXPECT_EQ(g.remplacements[0].colonne, QStringLiteral("Ville"));
    EXPECT_EQ(texte(g.remplacements[0].avant), QStringLiteral("PARSI"));
    EXPECT_EQ(texte(g.remplacements[0].apres), QStringLiteral("PARIS"));
    EXPECT_EQ(g.remplacements[0].nbClients, 1);

    ASSERT_EQ(j.familles.size(), 1u);
    EXPECT_EQ(ligne(j.familles[0]),
              QStringLiteral("Choix de la famille|2|A2 MARTIN Paul|Famille|<Null>|Soin|"));
    EXPECT_EQ(j.nbMemosNettoyes, 1);

    ASSERT_EQ(j.purges.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(j.purges[k].clients, k == 0);
        EXPECT_EQ(j.purges[k].dateLimite, QDate(2005, 1, 1));
        EXPECT_EQ(j.purges[k].nbSupprimes, 1);
        EXPECT_TRUE(j.purges[k].quand.isValid());
        EXPECT_FALSE(j.purges[k].annulee.has_value());
    }
    // Undone, the sheets' purge says so; the undo is not a purge of its own.
    purge::AnnulerPurge(vars, purge::dernierePurge(vars)->lot);
    const rapport::Journal apres = rapport::rassembler(vars).journal;
    ASSERT_EQ(apres.purges.size(), 2u);
    EXPECT_FALSE(apres.purges[0].annulee.has_value());
    EXPECT_TRUE(apres.purges[1].annulee.has_value());
}

// A grouped correction over many clients is told per value, most frequent
// first within a field; undone, it says so.
TEST_F(Rapport, CorrectionGroupeeAnnulee) {
    test::remplirSalon(d);
    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        for (const char16_t* code : {u"B1", u"B2", u"B3"}) {
            test::inserer(cn, QStringLiteral("FCLI"),
                          {{QStringLiteral("Code"), code},
                           {QStringLiteral("Ville"), QStringLiteral("LYONN")},
                           {QStringLiteral("Code Postal"), QStringLiteral("69001")}});
        }
    }
    clients::ObservateurAnalyseClients silence;
    clients::AnalyseBd(vars, silence);
    clients::AppliquerGroupe(
        vars, {{clients::ErrCP, QStringLiteral("6900"), QStringLiteral("69001")},
               {clients::ErrVille, QStringLiteral("PARSI"), QStringLiteral("PARIS")},
               {clients::ErrVille, QStringLiteral("LYONN"), QStringLiteral("LYON")}});
    clients::AnnulerCorrection(vars, clients::derniereCorrection(vars)->lot);

    const rapport::Chiffres c = rapport::rassembler(vars);
    ASSERT_EQ(c.journal.correctionsGroupees.size(), 1u);
    const rapport::CorrectionGroupee& g = c.journal.correctionsGroupees[0];
    EXPECT_EQ(g.nbClients, 5);
    ASSERT_TRUE(g.annulee.has_value());
    QStringList remplacements;
    for (const rapport::ValeurRemplacee& r : g.remplacements) {
        remplacements << QStringLiteral("%1 %2>%3 %4")
                             .arg(r.colonne, texte(r.avant), texte(r.apres))
                             .arg(r.nbClients);
    }
    EXPECT_EQ(remplacements, QStringList({QStringLiteral("Ville LYONN>LYON 3"),
                                          QStringLiteral("Ville PARSI>PARIS 1"),
                                          QStringLiteral("Code Postal 6900>69001 1")}));
    // The undo is not a correction of its own.
    EXPECT_TRUE(c.journal.correctionsMain.empty());
    EXPECT_EQ(c.nbClientsEnErreur(), 6);
}

// A purge journaled before its date was: the date is not known, the count is
// that of the keys it deleted.
TEST_F(Rapport, PurgeSansDateNotee) {
    test::remplirSalon(d);
    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        store::journal::activer(cn, purge::operations::kPurgeClients);
        cn.executer(QStringLiteral("DELETE FROM FCLI WHERE Code IN ('A1', 'A5')"));
    }
    const rapport::Chiffres c = rapport::rassembler(vars);
    ASSERT_EQ(c.journal.purges.size(), 1u);
    EXPECT_TRUE(c.journal.purges[0].clients);
    EXPECT_FALSE(c.journal.purges[0].dateLimite.has_value());
    EXPECT_EQ(c.journal.purges[0].nbSupprimes, 2);
}

// Gathering writes nothing: no tidying, no backup, the database byte for byte.
TEST_F(Rapport, RienNEstEcrit) {
    test::remplirSalon(d);
    const QByteArray avant = empreinte(d.chemin(QStringLiteral("BdClient.mdb")));
    const QStringList fichiers = QDir(d.chemin()).entryList(QDir::Files);
    rapport::rassembler(vars);
    EXPECT_EQ(empreinte(d.chemin(QStringLiteral("BdClient.mdb"))), avant);
    EXPECT_EQ(QDir(d.chemin()).entryList(QDir::Files), fichiers);
}

// The figures are those of the analysis runs, list for list, on a demo salon.
TEST_F(Rapport, MemesListesQueLesAnalyses) {
    d.copierCommunes();
    QProcess demo;
    demo.start(
        QStringLiteral(VERIF_BIN_DIR "/make-demo"),
        {QStringLiteral("--dossier"), d.chemin(), QStringLiteral("--graine"), QStringLiteral("11"),
         QStringLiteral("--clients"), QStringLiteral("300"), QStringLiteral("--fiches"),
         QStringLiteral("900"), QStringLiteral("--visites"), QStringLiteral("600"),
         QStringLiteral("--communes"), d.chemin(QStringLiteral("communes.mdb"))});
    ASSERT_TRUE(demo.waitForFinished(180000));
    ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    vars.NbFichiersRTF = commun::compterFichiersRtf(vars.dossier);

    struct Clients : clients::ObservateurAnalyseClients {
        QStringList erreurs, notes;
        void noteTropLongue(const clients::NoteLongue& n) override { notes << n.code; }
        void clientEnErreur(const clients::Evaluation& e, int, int) override {
            erreurs << e.CodeClient + u'\t' + e.marques().join(u',');
        }
    } analyse;
    const clients::BilanAnalyse bilan = clients::AnalyseBd(vars, analyse);
    struct Fiches : tech::ObservateurAnalyseFiches {
        QStringList familles, memos;
        void ligne(tech::Liste l, const tech::LigneTech& f) override {
            (l == tech::Liste::CliTech ? familles : memos)
                << f.numero + u' ' + f.code + u' ' + f.nom;
        }
    } fiches;
    const qint32 nbFiches = tech::AnalyseTech(vars.cheminBd(), fiches);

    const rapport::Chiffres c = rapport::rassembler(vars);
    EXPECT_EQ(c.nbClients, bilan.NbCli);
    QStringList erreurs;
    for (const clients::Evaluation& e : c.clientsEnErreur) {
        erreurs << e.CodeClient + u'\t' + e.marques().join(u',');
    }
    EXPECT_EQ(erreurs, analyse.erreurs);
    EXPECT_GT(erreurs.size(), 10);
    QStringList notes;
    for (const rapport::NoteLongue& n : c.notesLongues) {
        notes << n.code;
    }
    EXPECT_EQ(notes, analyse.notes);
    EXPECT_FALSE(notes.isEmpty());

    EXPECT_EQ(c.nbFiches, nbFiches);
    QStringList familles, memos;
    for (const rapport::FicheEnErreur& f : c.fiches) {
        (f.sansFamille ? familles : memos) << f.numero + u' ' + f.code + u' ' + f.nom;
        if (f.sansFamille && f.memoLong) {
            memos << f.numero + u' ' + f.code + u' ' + f.nom;
        }
    }
    memos.sort();
    fiches.memos.sort();
    EXPECT_EQ(familles, fiches.familles);
    EXPECT_EQ(memos, fiches.memos);
    EXPECT_EQ(c.nbSansFamille, fiches.familles.size());
    EXPECT_TRUE(c.sauvegarde.has_value());
}

TEST_F(Rapport, BaseVide) {
    d.creerBase();
    d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")}});
    vars.VilleDefaut.clear();
    vars.CpDefaut.clear();
    const rapport::Chiffres c = rapport::rassembler(vars);
    EXPECT_EQ(c.nbClients, 0);
    EXPECT_EQ(c.nbFiches, 0);
    EXPECT_EQ(c.nbVisites, 0);
    EXPECT_TRUE(c.clientsEnErreur.empty());
    EXPECT_EQ(c.erreursParChamp, (std::array<qint64, clients::kNbDrapeaux>{}));
    EXPECT_TRUE(c.notesLongues.empty());
    EXPECT_TRUE(c.fiches.empty());
    EXPECT_TRUE(c.fichiersClients.empty());
    EXPECT_TRUE(c.fichiersFiches.empty());
    EXPECT_EQ(c.nbFichiersNotes, 0);
}

// A folder the report cannot be gathered from says why, in French.
TEST_F(Rapport, Echecs) {
    {
        SCOPED_TRACE("sans référentiel des communes");
        test::Dossier sans;
        sans.creerBase();
        vars.dossier = sans.chemin();
        try {
            rapport::rassembler(vars);
            ADD_FAILURE() << "pas d'erreur";
        } catch (const store::ErreurStore& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("communes.mdb")))
                << e.message().toStdString();
        }
    }
    {
        SCOPED_TRACE("sans base");
        test::Dossier vide;
        vars.dossier = vide.chemin();
        try {
            rapport::rassembler(vars);
            ADD_FAILURE() << "pas d'erreur";
        } catch (const store::ErreurStore& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("BdClient.mdb"), Qt::CaseInsensitive))
                << e.message().toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(vide.chemin(QStringLiteral("BdClient.mdb"))));
    }
}

TEST(RapportLignes, CompterLignes) {
    const auto utf16 = [](const QString& t) {
        QByteArray o("\xFF\xFE", 2);
        for (const QChar c : t) {
            o.append(static_cast<char>(c.unicode() & 0xFF));
            o.append(static_cast<char>(c.unicode() >> 8));
        }
        return o;
    };
    const struct {
        const char* cas;
        QByteArray contenu;
        qint64 lignes;
    } cas[] = {
        {"vide", QByteArray(), 0},
        {"marque seule", utf16({}), 0},
        {"en-tête seul", utf16(QStringLiteral("a;b\r\n")), 0},
        {"deux lignes", utf16(QStringLiteral("a;b\r\n1;2\r\n3;4\r\n")), 2},
        {"dernière ligne sans fin", utf16(QStringLiteral("a;b\r\n1;2\r\n3;4")), 2},
        {"CR ou LF seuls dans une ligne", utf16(QStringLiteral("a\r\n1\n2\r3\r\n")), 1},
        {"caractère \u0D0A (octets 0A 0D)", utf16(QStringLiteral("a\r\n\u0d0a\u0a0d\r\n")), 1},
        {"texte 8 bits", QByteArray("a;b\r\n1;2\r\n"), 1},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.cas);
        EXPECT_EQ(rapport::compterLignes(c.contenu), c.lignes);
    }
}

}  // namespace
