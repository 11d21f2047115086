#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "doublons/Doublons.h"
#include "doublons/FenetreDoublons.h"
#include "store/Connexion.h"
#include "support/Dossier.h"
#include "support/FauxMessages.h"
#include "support/Fenetres.h"

using test::enfant;

namespace {

QStringList requete(const test::Dossier& d, const QString& sql) {
    return test::lignes(store::Connexion(d.chemin(QStringLiteral("BdClient.mdb"))), sql);
}

// Two groups: A1, A2 (one telephone written two ways) and B1, B2 (a maiden
// and a married name). A2 has two sheets, A1 one visit, so it is kept by default. The
// window merges the first, taking A1's e-mail, and declines the second.
TEST(FenetreDoublons, FusionEtPasUnDoublon) {
    test::Dossier d;
    {
        store::Connexion cn = d.creerBase();
        const struct {
            const char *code, *nom, *prenom, *tel, *naissance, *email;
        } clients[] = {
            {"A1", "DUBOIS", "Sylvie", "06 12 34 56 78", nullptr, "s@x.fr"},
            {"B1", "MOREL", "Julie", "0698765432", "1980-05-04", nullptr},
            {"A2", "DUBIOS", "Sylvie", "+33612345678", nullptr, nullptr},
            {"B2", "GIRARD", "Julie", "06 98 76 54 32", "1980-05-04", nullptr},
        };
        for (const auto& c : clients) {
            test::Champs champs{{"Code", QString::fromUtf8(c.code)},
                                {"Nom", QString::fromUtf8(c.nom)},
                                {"Prénom", QString::fromUtf8(c.prenom)},
                                {"Tel1", QString::fromUtf8(c.tel)}};
            if (c.naissance) {
                champs.insert("DateNaissance", QString::fromUtf8(c.naissance));
            }
            if (c.email) {
                champs.insert("Email", QString::fromUtf8(c.email));
            }
            test::inserer(cn, QStringLiteral("FCLI"), champs);
        }
        for (int k = 0; k < 2; ++k) {
            test::inserer(cn, QStringLiteral("FTEC"), {{"Code_Client", QStringLiteral("A2")}});
        }
        test::inserer(cn, QStringLiteral("FCONS"), {{"CODE_CLIENT", QStringLiteral("A1")}});
    }
    test::FauxMessages messages;
    doublons::FenetreDoublons f(d.chemin(), messages);
    f.show();
    f.chercher();
    auto* groupes = enfant<QTreeWidget>(&f, "ListGroupes");
    auto* table = enfant<QTableWidget>(&f, "TableMembres");
    ASSERT_EQ(groupes->topLevelItemCount(), 2);
    const auto entetes = [table] {
        QStringList l;
        for (int k = 0; k < table->columnCount(); ++k) {
            l << table->horizontalHeaderItem(k)->text();
        }
        return l;
    };
    const QString premier = groupes->topLevelItem(0)->text(1);
    const bool aDabord = premier.startsWith(QLatin1String("A1"));
    // The arrows move through the groups, the table follows.
    groupes->setFocus();
    QTest::keyClick(groupes, aDabord ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(groupes, aDabord ? Qt::Key_Up : Qt::Key_Down);
    ASSERT_EQ(entetes(), (QStringList{"A1", "A2 (gardé)"}));

    // A click on A1's e-mail gives it to A2; the differing fields are marked.
    const int email =
        3 +
        static_cast<int>(requete(d, QStringLiteral("SELECT name FROM pragma_table_info('FCLI')"))
                             .indexOf(QStringLiteral("Email")));
    EXPECT_EQ(table->item(email, 0)->text(), QStringLiteral("s@x.fr"));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualItemRect(table->item(email, 0)).center());
    EXPECT_TRUE(table->item(email, 0)->font().bold());
    EXPECT_NE(table->item(email, 1)->background(), QBrush());

    QTest::mouseClick(enfant<QPushButton>(&f, "btnFusionner"), Qt::LeftButton);
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.dernier().toStdString(),
              "Fusion faite : 2 clients réunis sous le code A2 (0 fiche(s), 1 visite(s) "
              "déplacée(s)).");
    EXPECT_EQ(requete(d, QStringLiteral("SELECT \"Code\" || ' ' || \"Email\" FROM FCLI WHERE "
                                        "\"Code\" LIKE 'A%'")),
              QStringList{"A2 s@x.fr"});
    EXPECT_EQ(f.codesPartis(), QStringList{"A1"});
    ASSERT_EQ(groupes->topLevelItemCount(), 1);
    EXPECT_EQ(entetes().join(u' ').toStdString(), "B1 (gardé) B2");

    QTest::mouseClick(enfant<QPushButton>(&f, "btnPasDoublon"), Qt::LeftButton);
    EXPECT_EQ(groupes->topLevelItemCount(), 0);
    EXPECT_FALSE(enfant<QPushButton>(&f, "btnFusionner")->isEnabled());
    EXPECT_TRUE(doublons::chercherDoublons(d.chemin()).groupes.empty());
    EXPECT_EQ(requete(d, QStringLiteral("SELECT count(*) FROM FCLI")), QStringList{"3"});
}

}  // namespace
