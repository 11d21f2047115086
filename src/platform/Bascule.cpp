#include "platform/Bascule.h"

#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace platform {

namespace {

const QString kVerrou = QStringLiteral("verrou");

std::unique_ptr<QLockFile> verrouiller(const QString& dossier) {
    auto verrou = std::make_unique<QLockFile>(QDir(dossier).filePath(kVerrou));
    // Only a lock whose process is gone is stale, however old.
    verrou->setStaleLockTime(0);
    if (!verrou->tryLock(0)) {
        return nullptr;
    }
    return verrou;
}

}  // namespace

DossierTravail::DossierTravail(const QString& dossier, const QString& modele)
    : m_dossier(dossier), m_dir(QDir(dossier).filePath(modele)) {
    if (m_dir.isValid()) {
        m_verrou = verrouiller(m_dir.path());
    }
}

DossierTravail::~DossierTravail() {
    // The lock goes first, then the folder with whatever it holds.
    m_verrou.reset();
}

QString DossierTravail::raison() const {
    const QFileInfo info(m_dossier);
    if (!info.isDir()) {
        return QStringLiteral("dossier introuvable");
    }
    if (!info.isWritable()) {
        return QStringLiteral("écriture interdite");
    }
    return m_dir.errorString();
}

bool TravailAbandonne::supprimer() {
    verrou.reset();
    return QDir(chemin).removeRecursively();
}

std::vector<TravailAbandonne> travauxAbandonnes(
    const QString& dossier, const QRegularExpression& motif,
    const std::function<bool(const QRegularExpressionMatch&, const QFileInfo&)>& connu) {
    std::vector<TravailAbandonne> travaux;
    const QDir d(dossier);
    const QStringList noms = d.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& nom : noms) {
        QRegularExpressionMatch m = motif.match(nom);
        if (!m.hasMatch()) {
            continue;
        }
        const QString chemin = d.filePath(nom);
        const QFileInfoList entrees = QDir(chemin).entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        const bool notre = std::all_of(entrees.begin(), entrees.end(), [&](const QFileInfo& e) {
            return e.fileName().startsWith(kVerrou) || connu(m, e);
        });
        if (!notre) {
            continue;
        }
        if (auto verrou = verrouiller(chemin)) {
            travaux.push_back({chemin, std::move(m), std::move(verrou)});
        }
    }
    return travaux;
}

void etapeBascule() {
    static const int arret = qEnvironmentVariableIntValue("VERIFCLIENTS_ARRET");
    static int etapes = 0;
    if (arret > 0 && ++etapes == arret) {
        ::kill(::getpid(), SIGKILL);
    }
}

}  // namespace platform
