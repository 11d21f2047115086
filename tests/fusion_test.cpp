#include <gtest/gtest.h>

#include "clients/Annulation.h"
#include "commun/Variables.h"
#include "doublons/BilanDoublons.h"
#include "doublons/Doublons.h"
#include "doublons/Fusion.h"
#include "doublons/PasDoublon.h"
#include "store/Connexion.h"
#include "store/Erreur.h"
#include "support/Dossier.h"
#include "support/Lot.h"

namespace {

using store::Valeur;

// A salon where A1, b2 and C3 are one person and D4 is someone else; D4
// shares a sheet code with nobody. Notes for the codes in `notes`.
struct Salon {
    test::Dossier d;
    std::map<QString, qint64> rowids;

    explicit Salon(const QStringList& notes) {
        store::Connexion cn = d.creerBase();
        const struct {
            const char* code;
            const char* tel;
            Valeur naissance;
        } clients[] = {{"A1", nullptr, Valeur::texte("1980-05-04 00:00:00")},
                       {"b2", "06 12 34 56 78", Valeur()},
                       {"C3", "0612345678", Valeur::reel(30000.5)},
                       {"D4", "0145678912", Valeur()}};
        for (const auto& c : clients) {
            test::Champs champs{{"Code", QString::fromUtf8(c.code)},
                                {"Nom", QStringLiteral("DUBOIS")},
                                {"Prénom", QStringLiteral("Sylvie")},
                                {"DateNaissance", c.naissance},
                                {"Points", Valeur::reel(0.1)}};
            if (c.tel) {
                champs.insert(QStringLiteral("Tel1"), QString::fromUtf8(c.tel));
            }
            test::inserer(cn, QStringLiteral("FCLI"), champs);
        }
        for (const char* code : {"A1", "B2", "c3", "c3", "D4"}) {
            test::inserer(cn, QStringLiteral("FTEC"), {{"Code_Client", QString::fromUtf8(code)}});
        }
        for (const auto& [code, montant] :
             std::vector<std::pair<const char*, Valeur>>{{"B2", Valeur::reel(12.5)},
                                                         {"b2", Valeur::entier(3)},
                                                         {"D4", Valeur()},
                                                         {"A1", Valeur::texte("12,00")},
                                                         {"C3", Valeur::octets("\x01\x02")}}) {
            test::inserer(cn, QStringLiteral("FCONS"),
                          {{"CODE_CLIENT", QString::fromUtf8(code)},
                           {"DATE_VISITE", QStringLiteral("2024-01-02 10:00:00")},
                           {"MONTANT", montant}});
        }
        store::Instruction i(cn, QStringLiteral("SELECT \"Code\", rowid FROM FCLI"));
        while (i.avancer()) {
            rowids[i.colonneTexte(0)] = i.colonneEntier(1);
        }
        for (const QString& code : notes) {
            d.ecrire(QStringLiteral("Cli%1.RTF").arg(code), "{\\rtf1 " + code.toUtf8() + "}");
        }
        d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")}});
    }
    QString base() const { return d.chemin(QStringLiteral("BdClient.mdb")); }
    QStringList dossier() const {
        return test::contenuDossier(d.chemin(), {QStringLiteral("BdClient.mdb")});
    }
    QStringList colonne(const QString& sql) const {
        return test::lignes(store::Connexion(base(), store::Connexion::Acces::Lecture), sql);
    }
    doublons::DemandeFusion demande(std::map<QString, qint64> sources = {}) {
        return {rowids.at("A1"), {rowids.at("b2"), rowids.at("C3")}, std::move(sources)};
    }
};

// A merge moves sheets, visits and notes; "Annuler la dernière correction"
// then puts the database and the folder back exactly.
TEST(Fusion, FusionPuisAnnulation) {
    const struct {
        const char* cas;
        QStringList notes;
        const char* renommee;
        QStringList laissees;
        QStringList fichiers;  // the notes after the merge
    } cas[] = {
        {"sans note", {}, "", {}, {}},
        {"la note d'un autre devient celle du client gardé",
         {"b2"},
         "Clib2.RTF",
         {},
         {"CliA1.RTF"}},
        {"deux notes : celle du client gardé reste, l'autre est laissée",
         {"A1", "C3"},
         "",
         {"CliC3.RTF"},
         {"CliA1.RTF", "CliC3.RTF"}},
        {"trois notes", {"b2", "C3"}, "Clib2.RTF", {"CliC3.RTF"}, {"CliA1.RTF", "CliC3.RTF"}},
    };
    for (const auto& c : cas) {
        Salon s(c.notes);
        const QByteArray base = test::vidage(s.base());
        const QStringList dossier = s.dossier();
        const doublons::BilanFusion b =
            doublons::fusionner(s.d.chemin(), s.demande({{"Tel1", s.rowids.at("b2")},
                                                         {"DateNaissance", s.rowids.at("C3")},
                                                         {"Code", s.rowids.at("b2")},
                                                         {"Numéro", s.rowids.at("C3")}}));
        EXPECT_EQ(b.codesFusionnes, (QStringList{"b2", "C3"})) << c.cas;
        EXPECT_EQ(std::make_pair(b.nbFiches, b.nbVisites), std::make_pair(3, 3)) << c.cas;
        EXPECT_EQ(b.noteRenommee, QString::fromUtf8(c.renommee)) << c.cas;
        EXPECT_EQ(b.notesLaissees, c.laissees) << c.cas;
        EXPECT_EQ(s.colonne("SELECT \"Code\" || '|' || \"Tel1\" || '|' || "
                            "quote(\"DateNaissance\") FROM FCLI ORDER BY rowid"),
                  (QStringList{"A1|06 12 34 56 78|30000.5", "D4|0145678912|NULL"}))
            << c.cas;
        EXPECT_EQ(s.colonne("SELECT \"Code_Client\" FROM FTEC ORDER BY rowid"),
                  (QStringList{"A1", "A1", "A1", "A1", "D4"}))
            << c.cas;
        EXPECT_EQ(s.colonne("SELECT \"CODE_CLIENT\" FROM FCONS ORDER BY rowid"),
                  (QStringList{"A1", "A1", "D4", "A1", "A1"}))
            << c.cas;
        QStringList notes;
        for (const QString& f : s.dossier()) {
            if (f.startsWith(QLatin1String("Cli"))) {
                notes << f.section(u' ', 0, 0);
            }
        }
        EXPECT_EQ(notes, c.fichiers) << c.cas;
        const doublons::FusionFaite f = doublons::lireBilanDoublons(s.d.chemin()).fusions.at(0);
        EXPECT_EQ(f.codeGarde + u' ' + f.codes.join(u',') + u' ' + f.notesLaissees.join(u','),
                  "A1 b2,C3 " + c.laissees.join(u','))
            << c.cas;

        commun::Variables vars;
        vars.dossier = s.d.chemin();
        const auto derniere = clients::derniereCorrection(vars);
        ASSERT_TRUE(derniere.has_value()) << c.cas;
        EXPECT_EQ(derniere->operation, doublons::kOperationFusion) << c.cas;
        EXPECT_EQ(derniere->nbClients, 3) << c.cas;
        const clients::ResultatAnnulation r = clients::AnnulerCorrection(vars, derniere->lot);
        EXPECT_TRUE(r.faite) << c.cas << r.refus.toStdString();
        EXPECT_EQ(r.clients.size(), 3u) << c.cas;
        EXPECT_EQ(test::vidage(s.base()), base) << c.cas;
        EXPECT_EQ(s.dossier(), dossier) << c.cas;
        EXPECT_FALSE(clients::derniereCorrection(vars).has_value()) << c.cas;
        EXPECT_FALSE(doublons::lireBilanDoublons(s.d.chemin()).fusions.at(0).annulee.isEmpty());
    }
}

// A statement that fails midway leaves the database and the folder as they
// were, the note renamed before it included; a merge undone refuses when a
// deleted client's code was taken since.
TEST(Fusion, EchecSansTrace) {
    Salon s({"C3"});
    store::Connexion(s.base()).executerSqlite(
        QStringLiteral("CREATE TRIGGER refus BEFORE DELETE ON FCLI WHEN OLD.\"Code\" = "
                       "'C3' BEGIN SELECT RAISE(ABORT, 'suppression refusée'); END;"));
    const QByteArray base = test::vidage(s.base());
    const QStringList dossier = s.dossier();
    EXPECT_THROW(doublons::fusionner(s.d.chemin(), s.demande()), store::ErreurStore);
    EXPECT_EQ(test::vidage(s.base()), base);
    EXPECT_EQ(s.dossier(), dossier);

    store::Connexion(s.base()).executerSqlite(QStringLiteral("DROP TRIGGER refus"));
    const doublons::BilanFusion b = doublons::fusionner(s.d.chemin(), s.demande());
    store::Connexion cn(s.base());
    test::inserer(cn, QStringLiteral("FCLI"), {{"Code", QStringLiteral("B2")}});
    const QByteArray apres = test::vidage(s.base());
    const doublons::ResultatAnnulationFusion r = doublons::annulerFusion(s.d.chemin(), b.lot);
    EXPECT_FALSE(r.faite);
    EXPECT_EQ(
        r.refus.toStdString(),
        "La fusion ne peut pas être annulée : le fichier a reçu depuis un client de code b2.");
    EXPECT_EQ(test::vidage(s.base()), apres);
}

// --fusionner refuses an unknown code or a code given twice, changing nothing.
TEST(Fusion, LotFusionner) {
    const struct {
        QStringList codes;
        int code;
        const char* sortie;
    } cas[] = {
        {{"A1", "ZZ"},
         1,
         "Le code « ZZ » est introuvable dans le fichier clients : rien n'a été fusionné."},
        {{"A1", "C3", "a1"}, 1, "Le code « a1 » est donné deux fois : rien n'a été fusionné."},
        {{"A1"}, 2, "Usage : verifclients [--dossier DOSSIER] --fusionner CODE_GARDE CODE [CODE…]"},
        {{"a1", "B2", "C3"},
         0,
         "Fusionné\tb2\tA1\nFusionné\tC3\tA1\nNoteRenommée\tClib2.RTF\tCliA1.RTF\n"
         "Fusion faite : 3 clients réunis sous le code A1 (3 fiche(s), 3 visite(s) "
         "déplacée(s))."},
    };
    for (const auto& c : cas) {
        Salon s({"b2"});
        const QByteArray base = test::vidage(s.base());
        const test::SortieLot r =
            test::lancerLot(s.d.chemin(), QStringList{QStringLiteral("--fusionner")} + c.codes);
        EXPECT_EQ(r.code, c.code) << c.sortie;
        EXPECT_EQ((c.code == 0 ? r.out : r.err).trimmed().toStdString(), c.sortie);
        EXPECT_EQ(test::vidage(s.base()) == base, c.code != 0) << c.sortie;
    }
}

// A group declined is not proposed again; a member that joins it later is,
// with the pairs it makes.
TEST(Fusion, PasUnDoublon) {
    Salon s({});
    const auto paires = [&s] {
        const QString out = test::lancerLot(s.d.chemin(), {QStringLiteral("--doublons")}).out;
        QStringList l;
        for (const QString& ligne : out.split(u'\n', Qt::SkipEmptyParts)) {
            l << ligne.section(u'\t', 0, 2);
        }
        return l;
    };
    EXPECT_EQ(paires(),
              (QStringList{"Doublon\tb2\tC3",
                           "Doublons possibles : 1 groupe(s), 1 paire(s) sur 4 clients"}));
    doublons::noterPasDoublon(s.d.chemin(), {"c3", "B2"});
    const auto refusees = doublons::lireBilanDoublons(s.d.chemin()).refusees;
    ASSERT_EQ(refusees.size(), 1u);
    EXPECT_EQ(refusees[0].code1 + u' ' + refusees[0].code2, "B2 c3");
    EXPECT_EQ(paires(),
              (QStringList{"Doublons possibles : 0 groupe(s), 0 paire(s) sur 4 clients"}));
    {
        store::Connexion cn(s.base());
        test::inserer(cn, QStringLiteral("FCLI"),
                      {{"Code", QStringLiteral("E5")},
                       {"Nom", QStringLiteral("Dubois")},
                       {"Prénom", QStringLiteral("Sylvie")},
                       {"Tel1", QStringLiteral("+33612345678")}});
    }
    const QStringList p = paires();
    EXPECT_EQ(p.size(), 3);
    EXPECT_FALSE(p.contains("Doublon\tb2\tC3"));
    EXPECT_TRUE(p.endsWith("Doublons possibles : 1 groupe(s), 2 paire(s) sur 5 clients"))
        << p.join(" / ").toStdString();
}

}  // namespace
