#include "platform/Fichiers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

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

Lecture lireFichier(const QString& chemin, qint64 maximum) {
    const QFileInfo info(chemin);
    if (!info.exists()) {
        return {{},
                info.isSymLink() ? QStringLiteral("lien vers un fichier introuvable")
                                 : QStringLiteral("fichier introuvable")};
    }
    if (info.isDir()) {
        return {{}, QStringLiteral("c'est un dossier, pas un fichier")};
    }
    // Opened without waiting (a pipe with no writer would hold the open), then
    // judged on what was opened, so a name swapped in between changes nothing.
    const int fd = ::open(QFile::encodeName(chemin).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int erreur = errno;
        return {{},
                erreur == EACCES || erreur == EPERM
                    ? QStringLiteral("permission refusée")
                    : QStringLiteral("ouverture impossible (%1)")
                          .arg(QString::fromLocal8Bit(strerror(erreur)))};
    }
    struct stat etat {};
    if (::fstat(fd, &etat) != 0 || !S_ISREG(etat.st_mode)) {
        ::close(fd);
        return {{}, QStringLiteral("ce n'est pas un fichier ordinaire (tube, périphérique…)")};
    }
    QFile fichier;
    if (!fichier.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {{}, QStringLiteral("ouverture impossible (%1)").arg(fichier.errorString())};
    }
    Lecture l;
    l.contenu = maximum < 0 ? fichier.readAll() : fichier.read(maximum);
    if (fichier.error() != QFileDevice::NoError) {
        return {{}, QStringLiteral("erreur de lecture (%1)").arg(fichier.errorString())};
    }
    return l;
}

QString cause(const QFileDevice& fichier) {
    switch (fichier.error()) {
        case QFileDevice::PermissionsError:
        case QFileDevice::OpenError:
            return QStringLiteral("accès refusé (fichier ou dossier protégé en écriture ?)");
        case QFileDevice::ReadError:
            return QStringLiteral("erreur de lecture");
        case QFileDevice::WriteError:
        case QFileDevice::ResourceError:
            return QStringLiteral("erreur d'écriture (disque plein ?)");
        case QFileDevice::RenameError:
        case QFileDevice::CopyError:
            return QStringLiteral("le fichier provisoire n'a pas pu être renommé");
        default:
            return QStringLiteral("erreur d'entrée-sortie");
    }
}

}  // namespace platform
