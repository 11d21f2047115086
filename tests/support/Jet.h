#pragma once

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <map>

#include "support/Dossier.h"

// Readable texts in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace test {

// The Access test files, read from the shared test data beside the
// repository: they may be used as test inputs only, never copied into it.
inline QString dossierJet() {
    return QDir::cleanPath(QStringLiteral(VERIF_SOURCE_DIR "/../shared/testdata/jet"));
}
inline QString fichierJet(const QString& nom) {
    return QDir(dossierJet()).filePath(nom);
}

// Skips the test when the shared test data are not there.
#define EXIGER_DONNEES_JET()                                                                      \
    if (!QFileInfo(test::fichierJet(QStringLiteral("README.md"))).isFile()) {                     \
        GTEST_SKIP() << "Données de test Access absentes : " << test::dossierJet().toStdString(); \
    }

// A copy of an Access test file in the folder, writable as a salon's would be.
inline void placer(const Dossier& d, const QString& fichier, const QString& nom) {
    const QString cible = d.chemin(nom);
    ASSERT_TRUE(QFile::copy(fichierJet(fichier), cible)) << fichier.toStdString();
    QFile::setPermissions(
        cible, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

struct EtatFichier {
    qint64 taille = 0;
    QByteArray sha256;
    QDateTime modification;
    bool operator==(const EtatFichier&) const = default;
};

inline EtatFichier etat(const QString& chemin) {
    QFile f(chemin);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << chemin.toStdString();
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return {f.size(), h.result().toHex(), QFileInfo(chemin).lastModified()};
}

// Every file of the folder with its size, hash and modification time.
inline std::map<QString, EtatFichier> etatDossier(const QString& dossier) {
    std::map<QString, EtatFichier> fichiers;
    const QStringList noms = QDir(dossier).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& nom : noms) {
        fichiers[nom] = etat(QDir(dossier).filePath(nom));
    }
    return fichiers;
}

}  // namespace test
