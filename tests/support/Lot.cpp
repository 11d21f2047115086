#include "support/Lot.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <variant>

#include "app/Batch.h"

namespace test {

SortieLot lancerLot(const QString& dossier, const QStringList& arguments) {
    SortieLot s{};
    const auto commande = app::batch::analyser(arguments);
    if (const auto* erreur = std::get_if<QString>(&commande)) {
        return {commun::kUsage, {}, *erreur};
    }
    QTextStream out(&s.out);
    QTextStream err(&s.err);
    s.code = app::batch::executer(std::get<commun::Commande>(commande), dossier, out, err);
    out.flush();
    err.flush();
    return s;
}

SortieLot executer(const QString& programme, const QStringList& arguments, int arret) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QString::fromLatin1(variable));
    }
    if (arret > 0) {
        env.insert(QStringLiteral("VERIFCLIENTS_ARRET"), QString::number(arret));
    }
    p.setProcessEnvironment(env);
    p.start(programme, arguments);
    // A bound, not a wait: a program that hangs fails the test instead of holding it.
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

SortieLot lancerProgramme(const QString& dossier, const QStringList& arguments, int arret) {
    return executer(QStringLiteral(VERIF_BIN_DIR "/verifclients"),
                    QStringList{QStringLiteral("--dossier"), dossier} + arguments, arret);
}

QStringList contenuDossier(const QString& dossier, const QStringList& sauf) {
    QStringList contenu;
    const QDir d(dossier);
    const QStringList noms =
        d.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& nom : noms) {
        QFile f(d.filePath(nom));
        if (sauf.contains(nom)) {
            continue;
        }
        if (QFileInfo(f).isDir() || !f.open(QIODevice::ReadOnly)) {
            contenu << nom + u'/';
            continue;
        }
        contenu << nom + u' ' +
                       QString::fromLatin1(
                           QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex());
    }
    return contenu;
}

}  // namespace test
