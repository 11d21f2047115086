#include "commun/Variables.h"

#include <QDir>

#include "platform/Fichiers.h"

namespace commun {

QString Variables::cheminBd() const {
    // Written as the salon application names it, so that messages name it so too.
    return fichier(QStringLiteral("BdClient.mdb"));
}

QString Variables::fichier(const QString& nom) const {
    return platform::resoudre(dossier, nom);
}

int compterFichiersRtf(const QString& dossier) {
    int n = 0;
    const QStringList fichiers = QDir(dossier).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& f : fichiers) {
        if (f.right(3).toUpper() == QLatin1String("RTF")) {
            ++n;
        }
    }
    return n;
}

}  // namespace commun
