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

namespace test {

// The Access test files: those whose licence allows it are in the repository;
// the others are read from the shared test data beside it, when it is there.
inline QString dossierJet() {
    return QStringLiteral(VERIF_SOURCE_DIR "/tests/data/jet");
}
inline QString dossierJetPartage() {
    return QDir::cleanPath(QStringLiteral(VERIF_SOURCE_DIR "/../shared/testdata/jet"));
}
inline QString fichierJet(const QString& nom) {
    const QString ici = QDir(dossierJet()).filePath(nom);
    return QFileInfo::exists(ici) ? ici : QDir(dossierJetPartage()).filePath(nom);
}

// Skips the test when a file that may not be redistributed is not at hand.
#define EXIGER_FICHIER_JET(nom)                                                             \
    if (!QFileInfo(test::fichierJet(nom)).isFile()) {                                       \
        GTEST_SKIP() << "Sauté : " << QString(nom).toStdString()                            \
                     << " n'est pas dans le dépôt (pas de licence de redistribution) et " \
                     << test::dossierJetPartage().toStdString() << " est absent";           \
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
