#include <gtest/gtest.h>

#include <QDir>

#include "purge/AnnulationPurge.h"
#include "rapport/Chiffres.h"
#include "rapport_donnees.h"
#include "store/Journal.h"
#include "support/Lot.h"
#include "support/Salon.h"

namespace {

class Rapport : public test::Salon {
protected:
    void SetUp() override {
        Salon::SetUp();
        test::remplirSalon(d);
    }
};

// Every figure of the small salon, read from the database and the folder,
// nothing written.
TEST_F(Rapport, ChiffresDuSalon) {
    // A ";" the importer may misread: counted only in what an export would write.
    cn.executerSqlite(
        QStringLiteral("UPDATE FCLI SET Coiffeur = 'Julie; Marc' WHERE Code IN ('A1', "
                       "'A2'); UPDATE FTEC SET Tech = 'a;b' WHERE \"Numéro\" IN (1, 2)"));
    d.ecrire(QStringLiteral("FCLI_1.txt"), test::fichierExport({"1;A1", "5;A5"}));
    d.ecrire(QStringLiteral("FCLI_2.txt"), test::fichierExport({}));
    d.ecrire(QStringLiteral("FCLI_10.txt"), test::fichierExport({"9;A9"}));
    d.ecrire(QStringLiteral("FTEC_1.txt"), test::fichierExport({"1", "4", "5"}));
    // Not export files: the export would leave them where they are.
    for (const char* autre :
         {"FCLI_1.txt.bak", "FCLI_.txt", "fcli_3.txt", "FCLI_x.txt", "FCLI.csv"}) {
        d.ecrire(QString::fromLatin1(autre), test::fichierExport({"x"}));
    }
    // A note that cannot be read: listed, and the report goes on.
    ASSERT_TRUE(
        QFile::link(d.chemin(QStringLiteral("ailleurs")), d.chemin(QStringLiteral("CliA5.RTF"))));
    const QStringList dossier = test::contenuDossier(d.chemin());

    const rapport::Chiffres c = rapport::rassembler(vars);
    EXPECT_EQ(test::contenuDossier(d.chemin()), dossier);
    EXPECT_EQ(c.dossier, QDir::toNativeSeparators(d.chemin()));
    EXPECT_EQ(c.tailleBase, QFileInfo(d.chemin(QStringLiteral("BdClient.mdb"))).size());
    EXPECT_EQ(QStringLiteral("%1 %2 %3 %4 %5")
                  .arg(c.nbClients)
                  .arg(c.nbFiches)
                  .arg(c.nbVisites)
                  .arg(c.villeDefaut, c.cpDefaut),
              QStringLiteral("5 5 3 PARIS 75001"));
    EXPECT_FALSE(c.sauvegarde.has_value());

    // Clients in error (the lists themselves are the analysis', as the demo
    // salon's test checks), counted by field.
    std::array<qint64, clients::kNbDrapeaux> attendus{};
    attendus[clients::ErrVille] = attendus[clients::ErrCP] = attendus[clients::ErrTel1] =
        attendus[clients::ErrEmail] = 1;
    EXPECT_EQ(c.erreursParChamp, attendus);
    EXPECT_EQ(c.nbClientsExportables(), 2);

    // Notes: letter case aside, over 500 characters only.
    EXPECT_EQ(c.nbFichiersNotes, 4);
    QStringList notes;
    for (const rapport::NoteLongue& n : c.notesLongues) {
        notes << QStringLiteral("%1 %2 %3 %4").arg(n.code, n.nom).arg(n.longueur).arg(n.perdus);
    }
    EXPECT_EQ(notes, QStringList({QStringLiteral("A1 DURAND Anne 600 100"),
                                  QStringLiteral("A3 PETIT Léa 750 250")}));
    ASSERT_EQ(c.notesIllisibles.size(), 1u);
    const rapport::NoteIllisible& illisible = c.notesIllisibles.front();
    EXPECT_EQ(QStringList({illisible.code, illisible.fichier, illisible.cause}),
              QStringList({QStringLiteral("A5"), QStringLiteral("CliA5.RTF"),
                           QStringLiteral("lien vers un fichier introuvable")}));

    // Sheets: without family (a family of blanks is one), memos too long; a
    // memo's length is in the PDF's list.
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
    EXPECT_TRUE(j.rangement.empty() && j.correctionsMain.empty() && j.correctionsGroupees.empty() &&
                j.familles.empty() && j.purges.empty());
    EXPECT_EQ(j.nbMemosNettoyes, 0);
}

// The journal's figures after a technician's session on the salon (the
// report's words for them are checked in the PDF): the purges, and an undone
// one that says so, the undo being no purge of its own.
TEST_F(Rapport, JournalDuSalon) {
    test::journalDuSalon(d, vars);
    const rapport::Journal& j = rapport::rassembler(vars).journal;
    EXPECT_EQ(j.nbAnalyses, 1);
    ASSERT_EQ(j.purges.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(j.purges[k].clients, k == 0);
        EXPECT_EQ(j.purges[k].dateLimite, QDate(2005, 1, 1));
        EXPECT_EQ(j.purges[k].nbSupprimes, 1);
        EXPECT_FALSE(j.purges[k].annulee.has_value());
    }
    purge::AnnulerPurge(vars, purge::dernierePurge(vars)->lot);
    const rapport::Journal apres = rapport::rassembler(vars).journal;
    ASSERT_EQ(apres.purges.size(), 2u);
    EXPECT_FALSE(apres.purges[0].annulee.has_value());
    EXPECT_TRUE(apres.purges[1].annulee.has_value());
}

// A grouped correction over many clients is told per value, most frequent
// first within a field; undone, it says so. A purge journaled before its date
// was: the date is not known, the count is that of the keys it deleted.
TEST_F(Rapport, CorrectionGroupeeAnnuleeEtPurgeSansDate) {
    cn.executerSqlite(
        QStringLiteral("INSERT INTO FCLI (Code, Ville, \"Code Postal\") VALUES ('B1', "
                       "'LYONN', '69001'), ('B2', 'LYONN', '69001'), ('B3', 'LYONN', "
                       "'69001')"));
    clients::ObservateurAnalyseClients silence;
    clients::AnalyseBd(vars, silence);
    clients::AppliquerGroupe(
        vars, {{clients::ErrCP, QStringLiteral("6900"), QStringLiteral("69001")},
               {clients::ErrVille, QStringLiteral("PARSI"), QStringLiteral("PARIS")},
               {clients::ErrVille, QStringLiteral("LYONN"), QStringLiteral("LYON")}});
    clients::AnnulerCorrection(vars, clients::derniereCorrection(vars)->lot);
    store::journal::activer(cn, purge::operations::kPurgeClients);
    cn.executerSqlite(QStringLiteral("DELETE FROM FCLI WHERE Code IN ('A1', 'A5')"));

    const rapport::Chiffres c = rapport::rassembler(vars);
    ASSERT_EQ(c.journal.correctionsGroupees.size(), 1u);
    const rapport::CorrectionGroupee& g = c.journal.correctionsGroupees[0];
    EXPECT_EQ(g.nbClients, 5);
    EXPECT_TRUE(g.annulee.has_value());
    QStringList remplacements;
    for (const rapport::ValeurRemplacee& r : g.remplacements) {
        remplacements << QStringLiteral("%1 %2>%3 %4")
                             .arg(r.colonne, test::texte(r.avant), test::texte(r.apres))
                             .arg(r.nbClients);
    }
    EXPECT_EQ(remplacements, QStringList({QStringLiteral("Ville LYONN>LYON 3"),
                                          QStringLiteral("Ville PARSI>PARIS 1"),
                                          QStringLiteral("Code Postal 6900>69001 1")}));
    // The undo is not a correction of its own.
    EXPECT_TRUE(c.journal.correctionsMain.empty());
    EXPECT_EQ(c.nbClientsEnErreur(), 6);

    ASSERT_EQ(c.journal.purges.size(), 1u);
    EXPECT_TRUE(c.journal.purges[0].clients);
    EXPECT_FALSE(c.journal.purges[0].dateLimite.has_value());
    EXPECT_EQ(c.journal.purges[0].nbSupprimes, 2);
}

// The figures are those of the analysis runs, list for list, on a demo salon.
TEST(RapportDemo, MemesListesQueLesAnalyses) {
    test::Dossier d;
    d.copierCommunes();
    ASSERT_EQ(
        test::executer(QStringLiteral(VERIF_BIN_DIR "/make-demo"),
                       {QStringLiteral("--dossier"), d.chemin(), QStringLiteral("--graine"),
                        QStringLiteral("11"), QStringLiteral("--clients"), QStringLiteral("300"),
                        QStringLiteral("--fiches"), QStringLiteral("900"),
                        QStringLiteral("--visites"), QStringLiteral("600"),
                        QStringLiteral("--communes"), d.chemin(QStringLiteral("communes.mdb"))})
            .code,
        0);
    commun::Variables vars;
    vars.dossier = d.chemin();
    vars.VilleDefaut = QStringLiteral("PARIS");
    vars.CpDefaut = QStringLiteral("75001");
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
        const QString t = f.numero + u' ' + f.code + u' ' + f.nom;
        if (f.sansFamille) {
            familles << t;
        }
        if (f.memoLong) {
            memos << t;
        }
    }
    memos.sort();
    fiches.memos.sort();
    EXPECT_EQ(familles, fiches.familles);
    EXPECT_EQ(memos, fiches.memos);
    EXPECT_TRUE(c.sauvegarde.has_value());
}

// An empty base has no figure; a folder the report cannot be gathered from
// says why, and nothing is created.
TEST(RapportVide, BaseVideOuAbsente) {
    test::Dossier d;
    d.creerBase();
    d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")}});
    commun::Variables vars;
    vars.dossier = d.chemin();
    const rapport::Chiffres c = rapport::rassembler(vars);
    EXPECT_EQ(c.nbClients + c.nbFiches + c.nbVisites + c.nbFichiersNotes, 0);
    EXPECT_TRUE(c.clientsEnErreur.empty() && c.notesLongues.empty() && c.fiches.empty() &&
                c.fichiersClients.empty() && c.fichiersFiches.empty());
    EXPECT_EQ(c.erreursParChamp, (std::array<qint64, clients::kNbDrapeaux>{}));

    QFile::remove(d.chemin(QStringLiteral("communes.mdb")));
    commun::Variables sans;
    sans.dossier = d.chemin();
    EXPECT_TRUE(test::echec([&] { rapport::rassembler(sans); }).contains(u"communes.mdb"));
    test::Dossier vide;
    sans.dossier = vide.chemin();
    EXPECT_TRUE(test::echec([&] {
                    rapport::rassembler(sans);
                }).contains(QStringLiteral("BdClient.mdb"), Qt::CaseInsensitive));
    EXPECT_TRUE(QDir(vide.chemin()).isEmpty());
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
    const std::pair<QByteArray, qint64> cas[] = {
        {QByteArray(), 0},
        {utf16({}), 0},
        {utf16(QStringLiteral("a;b\r\n")), 0},  // the header alone
        {utf16(QStringLiteral("a;b\r\n1;2\r\n3;4\r\n")), 2},
        {utf16(QStringLiteral("a;b\r\n1;2\r\n3;4")), 2},      // no end to the last line
        {utf16(QStringLiteral("a\r\n1\n2\r3\r\n")), 1},       // CR or LF alone in a line
        {utf16(QStringLiteral("a\r\n\u0d0a\u0a0d\r\n")), 1},  // bytes 0A 0D in a character
        {QByteArray("a;b\r\n1;2\r\n"), 1},                    // 8-bit text
    };
    for (const auto& [contenu, lignes] : cas) {
        EXPECT_EQ(rapport::compterLignes(contenu), lignes) << contenu.toHex().toStdString();
    }
}

}  // namespace
