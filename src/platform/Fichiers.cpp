#include "platform/Fichiers.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

QString pliage(const QString& nom) {
    return nom.toCaseFolded();
}

QString resoudre(const QString& dossier, const QString& nom) {
    const QString direct = QDir(dossier).filePath(nom);
    if (QFileInfo::exists(direct)) {
        return direct;
    }
    const QString cherche = pliage(nom);
    const QStringList entrees = QDir(dossier).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entree : entrees) {
        if (pliage(entree) == cherche) {
            return QDir(dossier).filePath(entree);
        }
    }
    return direct;
}

bool existe(const QString& dossier, const QString& nom) {
    return QFileInfo(resoudre(dossier, nom)).isFile();
}

IndexDossier::IndexDossier(const QString& dossier) : m_dossier(dossier) {
    const QStringList entrees = QDir(dossier).entryList(QDir::Files | QDir::Hidden | QDir::System);
    m_noms.reserve(entrees.size());
    for (const QString& entree : entrees) {
        m_noms.insert(pliage(entree), entree);
    }
}

QString IndexDossier::chercher(const QString& nom) const {
    const auto it = m_noms.constFind(pliage(nom));
    if (it == m_noms.constEnd()) {
        return {};
    }
    return QDir(m_dossier).filePath(it.value());
}

}  // namespace platform
