#include <gtest/gtest.h>

#include "platform/Cp1252.h"
#include "platform/Fichiers.h"
#include "support/Dossier.h"

namespace {

TEST(Fichiers, NomsSansEgardALaCasse) {
    test::Dossier d;
    d.ecrire(QStringLiteral("BdClient.mdb"), "x");
    d.ecrire(QStringLiteral("cli12.rtf"), "y");

    struct Cas {
        const char* demande;
        const char* trouve;
    };
    const Cas cas[] = {
        {"bdclient.mdb", "BdClient.mdb"},
        {"BDCLIENT.MDB", "BdClient.mdb"},
        {"Cli12.RTF", "cli12.rtf"},
    };
    const platform::IndexDossier index(d.chemin());
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.demande);
        EXPECT_EQ(platform::resoudre(d.chemin(), QString::fromUtf8(c.demande)),
                  d.chemin(QString::fromUtf8(c.trouve)));
        EXPECT_TRUE(platform::existe(d.chemin(), QString::fromUtf8(c.demande)));
        EXPECT_EQ(index.chercher(QString::fromUtf8(c.demande)), d.chemin(QString::fromUtf8(c.trouve)));
    }
    // A missing file keeps the name as written and is not found by the index.
    EXPECT_EQ(platform::resoudre(d.chemin(), QStringLiteral("Absent.txt")),
              d.chemin(QStringLiteral("Absent.txt")));
    EXPECT_FALSE(platform::existe(d.chemin(), QStringLiteral("absent.txt")));
    EXPECT_TRUE(index.chercher(QStringLiteral("absent.txt")).isEmpty());
}

TEST(Cp1252, AllerRetour) {
    const QString texte = QStringLiteral("Évelyne œuvre à 5 € – « ça »");
    const QByteArray octets = platform::versCp1252(texte);
    EXPECT_EQ(octets.size(), texte.size());
    EXPECT_EQ(static_cast<unsigned char>(octets[0]), 0xC9);       // É
    EXPECT_EQ(static_cast<unsigned char>(octets[8]), 0x9C);       // œ
    EXPECT_EQ(static_cast<unsigned char>(octets.at(octets.indexOf('5') + 2)), 0x80);  // €
    EXPECT_EQ(platform::depuisCp1252(octets), texte);
}

TEST(Cp1252, CaracteresHorsPageDeCode) {
    EXPECT_EQ(platform::versCp1252(QStringLiteral("Ж漢")), QByteArray("??"));
    // The five holes of the code page read as the control characters of the same number.
    EXPECT_EQ(platform::depuisCp1252(QByteArray("\x81\x8D", 2)), QString(QChar(0x81)) + QChar(0x8D));
}

}  // namespace
