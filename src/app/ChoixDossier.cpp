#include "app/ChoixDossier.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

#include "commun/Messages.h"
#include "platform/Fichiers.h"

namespace app {

QString referenceInstallee() {
    const QDir ici(QCoreApplication::applicationDirPath());
    for (const QString& chemin :
         {ici.filePath(QStringLiteral("communes.mdb")),
          ici.filePath(QStringLiteral("../share/verifclients/communes.mdb"))}) {
        if (QFileInfo(chemin).isFile()) {
            return QFileInfo(chemin).absoluteFilePath();
        }
    }
    return {};
}

namespace {

std::optional<QString> demander(const QString& depart) {
    QFileDialog dialogue(nullptr, QStringLiteral("Choisir le dossier du salon"), depart);
    dialogue.setObjectName(QStringLiteral("dlgDossierSalon"));
    dialogue.setFileMode(QFileDialog::Directory);
    dialogue.setOption(QFileDialog::ShowDirsOnly);
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFileInfo(dialogue.selectedFiles().constFirst()).absoluteFilePath();
}

}  // namespace

std::optional<QString> choisirDossierSalon(commun::Messages& messages, QSettings& reglages,
                                           const QString& reference) {
    QString depart = reglages.value(QLatin1String(kCleDossier)).toString();
    if (depart.isEmpty() || !QFileInfo(depart).isDir()) {
        depart = QDir::homePath();
    }
    for (;;) {
        const auto dossier = demander(depart);
        if (!dossier) {
            return std::nullopt;
        }
        depart = *dossier;
        const QDir d(*dossier);
        if (!QFileInfo(d.filePath(QStringLiteral("BdClient.mdb"))).isFile()) {
            messages.exclamation(
                QStringLiteral("La base de données « %1 » est introuvable dans le dossier « %2 ».")
                    .arg(QStringLiteral("BdClient.mdb"), QDir::toNativeSeparators(*dossier)));
            continue;
        }
        const QString communes = d.filePath(QStringLiteral("communes.mdb"));
        if (!QFileInfo::exists(communes) && !reference.isEmpty()) {
            messages.information(
                QStringLiteral("Le dossier « %1 » n'a pas la référence des communes "
                               "(communes.mdb) : une copie de celle installée avec le programme "
                               "y est placée.")
                    .arg(QDir::toNativeSeparators(*dossier)));
            QFile source(reference);
            if (!source.copy(communes)) {
                messages.exclamation(
                    QStringLiteral(
                        "La copie de la référence des communes dans « %1 » a échoué : %2.")
                        .arg(QDir::toNativeSeparators(*dossier), platform::cause(source)));
                continue;
            }
        }
        reglages.setValue(QLatin1String(kCleDossier), *dossier);
        reglages.sync();
        return dossier;
    }
}

}  // namespace app
