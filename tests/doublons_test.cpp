#include <gtest/gtest.h>

#include "doublons/Doublons.h"
#include "doublons/Membres.h"
#include "doublons/Normalisation.h"
#include "store/Dates.h"
#include "support/Dossier.h"

using doublons::Resultat;

namespace {

TEST(Doublons, Normalisation) {
    const struct {
        const char* brut;
        const char* norme;
    } noms[] = {
        {"Marie-Claire", "MARIE CLAIRE"},          {"d'Almeida", "D ALMEIDA"},
        {"Lefèvre-Çœur", "LEFEVRE COEUR"},         {"L’Hermite", "L HERMITE"},
        {"12, rue des Lilas", "12 RUE DES LILAS"}, {" - ", ""},
    };
    for (const auto& c : noms) {
        EXPECT_EQ(doublons::normaliserNom(QString::fromUtf8(c.brut)).toStdString(), c.norme)
            << c.brut;
    }
    const struct {
        const char* brut;
        const char* norme;
    } telephones[] = {
        {"06 12 34 56 78", "0612345678"},
        {"+33 6 12 34 56 78", "0612345678"},
        {"0033612345678", "0612345678"},
        {"+33 (0)6 12 34 56 78", "0612345678"},
        {"612345678", "0612345678"},
        {"O6 12 34 56 78", "0612345678"},
        {"33612345678", "0612345678"},
        {"+32 2 123 45 67", "3221234567"},
        {"12 34", ""},
    };
    for (const auto& c : telephones) {
        EXPECT_EQ(doublons::normaliserTelephone(QString::fromUtf8(c.brut)).toStdString(), c.norme)
            << c.brut;
    }
    EXPECT_EQ(doublons::normaliserEmail(QStringLiteral(" Marie.Dupont@Exemple.FR ")),
              QStringLiteral("marie.dupont@exemple.fr"));
}

TEST(Doublons, ClePhonetique) {
    const struct {
        const char* a;
        const char* b;
        bool meme;
    } cas[] = {
        {"SOPHIE", "Sofie", true},    {"Catherine", "KATHERINE", true},
        {"DUPONT", "Dupond", true},   {"Nathalie", "NATHALY", true},
        {"SCHMITT", "Schmidt", true}, {"Marie-Claire", "MARIECLAIRE", true},
        {"MARTIN", "Martain", true},  {"Anne", "ANNIE", false},
        {"JEAN", "Jeanne", false},    {"Laurent", "LAURENCE", false},
        {"EMMA", "Emna", false},      {"Léa", "LÉO", false},
    };
    for (const auto& c : cas) {
        const QString a = doublons::clePhonetique(QString::fromUtf8(c.a));
        const QString b = doublons::clePhonetique(QString::fromUtf8(c.b));
        EXPECT_FALSE(a.isEmpty()) << c.a;
        EXPECT_EQ(a == b, c.meme) << c.a << " " << a.toStdString() << " / " << c.b << " "
                                  << b.toStdString();
    }
    EXPECT_EQ(doublons::clePhonetique(QStringLiteral(" - 12")), QString());
}

// A client as "Nom|Prénom|Sexe|DateNaissance|Tel1|Tel2|Email|Adresse|Code Postal|Ville",
// empty parts left Null.
test::Champs client(const QString& code, const QByteArray& description) {
    static const QStringList colonnes = {
        QStringLiteral("Nom"),           QStringLiteral("Prénom"),  QStringLiteral("Sexe"),
        QStringLiteral("DateNaissance"), QStringLiteral("Tel1"),    QStringLiteral("Tel2"),
        QStringLiteral("Email"),         QStringLiteral("Adresse"), QStringLiteral("Code Postal"),
        QStringLiteral("Ville")};
    const QStringList parts = QString::fromUtf8(description).split(u'|');
    EXPECT_LE(parts.size(), colonnes.size()) << description.constData();
    test::Champs c{{QStringLiteral("Code"), code}};
    for (int i = 0; i < std::min(parts.size(), colonnes.size()); ++i) {
        if (!parts[i].isEmpty()) {
            c.insert(colonnes[i], parts[i]);
        }
    }
    return c;
}

Resultat chercher(const test::Dossier& d, const std::vector<QByteArray>& clients) {
    store::Connexion cn = d.creerBase();
    int code = 0;
    for (const QByteArray& c : clients) {
        test::inserer(cn, QStringLiteral("FCLI"), client(QString::number(++code), c));
    }
    cn.Close();
    return doublons::chercherDoublons(d.chemin());
}

// Pairs proposed or not, and the fields that agree.
TEST(Doublons, PairesProposees) {
    const struct {
        const char* cas;
        const char* a;
        const char* b;
        const char* accords;  // nullptr: never proposed
    } cas[] = {
        {"nom mal tapé, téléphone écrit autrement", "DUBOIS|Sylvie|F||06 12 34 56 78",
         "DUBIOS|Sylvie|||+33612345678", "Nom,Prénom,Téléphone"},
        {"deux fautes, nom et prénom inversés", "Sylvie|BERTRAND|||||s.b@exemple.fr",
         "BRETRAN|Sylvie|||||S.B@exemple.fr", "Nom,Prénom,Email"},
        {"MARIE-CLAIRE et Marie Claire, même adresse",
         "ROUX|MARIE-CLAIRE||||||3 rue Nationale|75001|PARIS",
         "Roux|Marie Claire||||||3 RUE NATIONALE|75001|Paris",
         "Nom,Prénom,Adresse,Code Postal,Ville"},
        {"nom de jeune fille et nom marié", "MOREL|Julie|F|1980-05-04|0612345678",
         "GIRARD|Julie|F|1980-05-04 00:00:00|06 12 34 56 78", "Prénom,Date de naissance,Téléphone"},
        {"nom composé après le mariage", "MOREL|Julie|||0612345678||||69001",
         "MOREL-GIRARD|Julie|||0612345678||||69002", "Prénom,Téléphone"},
        {"mère et fille : nom, adresse et téléphone",
         "FAURE|Sylvie|F||0145678912||f@x.fr|3 rue Haute|69001|LYON",
         "FAURE|Léa|F||0145678912||f@x.fr|3 rue Haute|69001|LYON", nullptr},
        {"jumelles : même date de naissance", "PERRIN|Emma|F|2001-02-03|0145678912|||3 rue Haute",
         "PERRIN|Anna|F|2001-02-03|0145678912|||3 rue Haute", nullptr},
        {"Anne et Annie", "LEROY|Anne|||0145678912", "LEROY|Annie|||0145678912", nullptr},
        {"Marie et Marie-Claire sans date ni e-mail", "BLANC|Marie|||0145678912",
         "BLANC|Marie-Claire|||0145678912", nullptr},
        {"Marie et Marie-Claire, même date", "BLANC|Marie||1970-01-01|0145678912",
         "BLANC|Marie-Claire||1970-01-01", "Nom,Date de naissance"},
        {"homonymes, dates différentes", "MARTIN|Marie||1950-01-01|0612345678",
         "MARTIN|Marie||1990-01-01|0612345678", nullptr},
        {"homonymes sans rien d'autre", "MARTIN|Marie|||0612345678||||75001|PARIS",
         "MARTIN|Marie|||0698765432||||75001|PARIS", nullptr},
        {"père et fille du même prénom", "SIMON|Dominique|M||0612345678",
         "SIMON|Dominique|F||0612345678", nullptr},
        {"même prénom et téléphone, rien d'autre", "MOREL|Julie|||0612345678",
         "GIRARD|Julie|||0612345678", nullptr},
        {"même prénom, date et ville, autre nom", "FONTAINE|Christine||2009-11-27||||||AZY",
         "POULAIN|Christine||2009-11-27||||||AZY", nullptr},
        {"même rue dans une autre ville", "LEJEUNE|Daniel||||||71 rue Haute|18300|BANNAY",
         "LEJEUNE|Daniel||||||71 rue Haute|03110|SAINT-PONT", nullptr},
    };
    for (const auto& c : cas) {
        test::Dossier d;
        const Resultat r = chercher(d, {c.a, c.b});
        EXPECT_EQ(r.nbClients, 2) << c.cas;
        if (!c.accords) {
            EXPECT_TRUE(r.groupes.empty()) << c.cas;
            continue;
        }
        ASSERT_EQ(r.groupes.size(), 1u) << c.cas;
        ASSERT_EQ(r.groupes[0].paires.size(), 1u) << c.cas;
        const doublons::Paire& p = r.groupes[0].paires[0];
        EXPECT_EQ(p.champsEnAccord().join(u','), QString::fromUtf8(c.accords)) << c.cas;
        EXPECT_GE(p.score, doublons::kSeuil) << c.cas;
        EXPECT_EQ(p.inverses, QByteArray(c.cas).contains("inversés")) << c.cas;
    }
}

// The salon's own number and a placeholder birth date, typed for many
// clients, do not make two namesakes one person.
TEST(Doublons, ValeursCommunesIgnorees) {
    std::vector<QByteArray> clients(2, "MARTIN|Marie||1900-01-01|0000000000");
    for (const char* nom : {"ROUX", "BLANC", "FAURE", "ROY", "COLIN", "VIDAL", "CARON", "HUET"}) {
        clients.push_back(QByteArray(nom) + "|Paul||1900-01-01|00 00 00 00 00");
    }
    test::Dossier d;
    EXPECT_TRUE(chercher(d, clients).groupes.empty());
}

// Three records of one person make one group, best pair first; her daughter
// stays out. The members come with their sheets and visits.
TEST(Doublons, GroupesEtMembres) {
    test::Dossier d;
    const Resultat r =
        chercher(d, {"GARNIER|Chloé|F|1985-07-14|06 11 22 33 44|||5 rue Basse|13001|MARSEILLE",
                     "GARNIER|Inès|F|2010-01-01|06 11 22 33 44|||5 rue Basse|13001|MARSEILLE",
                     "LEGRAND|Paul|M||0699887766", "Garnier|Chloe||1985-07-14|+33 6 11 22 33 44",
                     "GARNIER|Chloé|F||0033611223344|||5 rue Basse|13001|MARSEILLE"});
    ASSERT_EQ(r.groupes.size(), 1u);
    const doublons::Groupe& g = r.groupes[0];
    ASSERT_EQ(g.membres.size(), 3u);
    QStringList membres;
    for (int m : g.membres) {
        membres << r.clients[static_cast<std::size_t>(m)].code + u' ' +
                       r.clients[static_cast<std::size_t>(m)].nom;
    }
    EXPECT_EQ(membres, (QStringList{"1 GARNIER Chloé", "4 Garnier Chloe", "5 GARNIER Chloé"}));
    ASSERT_EQ(g.paires.size(), 3u);
    EXPECT_EQ(g.score, g.paires[0].score);
    EXPECT_GE(g.paires[0].score, g.paires[1].score);
    EXPECT_GE(g.paires[1].score, g.paires[2].score);
    EXPECT_EQ(doublons::ligneDoublon(r, g.paires[0]).toStdString(),
              QStringLiteral("Doublon\t1\t4\t%1\tNom,Prénom,Date de naissance,Téléphone")
                  .arg(g.paires[0].score)
                  .toStdString());
    EXPECT_EQ(doublons::legendeDoublons(r).toStdString(),
              "Doublons possibles : 1 groupe(s), 3 paire(s) sur 5 clients");

    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        for (const auto& [code, date] :
             std::vector<std::pair<const char*, const char*>>{{"1", "2019-03-01 10:00:00"},
                                                              {"4", "2024-06-01 10:00:00"},
                                                              {"4", "15/02/2023"},
                                                              {"5", "2018-01-01 10:00:00"},
                                                              {"5", "2018-02-01"}}) {
            test::inserer(cn, QStringLiteral("FCONS"),
                          {{QStringLiteral("CODE_CLIENT"), QString::fromUtf8(code)},
                           {QStringLiteral("DATE_VISITE"), QString::fromUtf8(date)}});
        }
        for (const char* code : {"1", "1", "5"}) {
            test::inserer(cn, QStringLiteral("FTEC"),
                          {{QStringLiteral("Code_Client"), QString::fromUtf8(code)}});
        }
    }
    const doublons::DetailGroupe detail = doublons::lireGroupe(d.chemin(), r, g);
    ASSERT_EQ(detail.membres.size(), 3u);
    EXPECT_EQ(detail.colonnes.size(), 23);
    const auto& m = detail.membres;
    EXPECT_EQ(m[0].valeurs[static_cast<std::size_t>(detail.colonnes.indexOf("Prénom"))],
              store::Valeur(QStringLiteral("Chloé")));
    EXPECT_EQ(std::make_pair(m[0].nbFiches, m[0].nbVisites), std::make_pair(2, 1));
    EXPECT_EQ(std::make_pair(m[1].nbFiches, m[1].nbVisites), std::make_pair(0, 2));
    EXPECT_EQ(std::make_pair(m[2].nbFiches, m[2].nbVisites), std::make_pair(1, 2));
    ASSERT_TRUE(m[1].derniereVisite.has_value());
    EXPECT_EQ(*m[1].derniereVisite, store::dates::serie(QDate(2024, 6, 1), QTime(10, 0)));
    // Three each for the first and last: the most recent visit decides.
    EXPECT_EQ(detail.aGarder(), 0);
}

}  // namespace
