#include "communes/FichierDefaut.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/Cp1252.h"
#include "platform/Fichiers.h"
#include "store/Connexion.h"

namespace communes {

namespace {

// Far more than two lines of a town and a postal code.
constexpr qint64 kTailleLue = 64 * 1024;

// A value read from the file, fit to be shown in a sentence: control
// characters of a binary file as "?", and not too long.
QString apercu(const QString& valeur) {
    QString v = valeur.left(40);
    for (QChar& c : v) {
        if (c.category() == QChar::Other_Control) {
            c = u'?';
        }
    }
    return valeur.size() > 40 ? v + QStringLiteral("…") : v;
}

}  // namespace

QString cheminDefaut(const QString& dossier) {
    return platform::resoudre(dossier, QStringLiteral("default.txt"));
}

LectureDefaut lireDefaut(const QString& dossier) {
    const QString chemin = cheminDefaut(dossier);
    const QFileInfo info(chemin);
    if (!info.exists() && !info.isSymLink()) {
        return {};
    }
    const platform::Lecture lue = platform::lireFichier(chemin, kTailleLue);
    if (!lue.lu()) {
        return {LectureDefaut::Etat::Illisible, {}, lue.cause};
    }
    // Lines end with CR LF; a lone LF or CR is a line end too.
    QString t = platform::depuisUtf8OuCp1252(lue.contenu);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const QStringList lignes = t.split(u'\n');
    return {LectureDefaut::Etat::Lu, {lignes.value(0).trimmed(), lignes.value(1).trimmed()}, {}};
}

QString defautInvalide(const QString& dossier, const VilleDefaut& defaut) {
    if (defaut.ville.isEmpty()) {
        return QStringLiteral("la ville (première ligne) est vide");
    }
    if (defaut.codePostal.isEmpty()) {
        return QStringLiteral("le code postal (seconde ligne) est vide");
    }
    const store::Connexion cn(QDir(dossier).filePath(QStringLiteral("communes.mdb")),
                              store::Connexion::Acces::Lecture);
    // Letter case aside, whatever the reference declares.
    store::Instruction codes(
        cn, QStringLiteral("SELECT CodePostal FROM communes WHERE Commune = ? COLLATE NOCASE"));
    codes.lier(1, defaut.ville);
    bool ville = false;
    while (codes.avancer()) {
        ville = true;
        if (codes.colonneTexte(0).compare(defaut.codePostal, Qt::CaseInsensitive) == 0) {
            return {};
        }
    }
    if (!ville) {
        QString raison =
            QStringLiteral("la ville « %1 » n'est pas dans le référentiel des communes")
                .arg(apercu(defaut.ville));
        // The reference writes its towns without accents: say so when that is all.
        QString sansAccents;
        for (const QChar c : defaut.ville.normalized(QString::NormalizationForm_D)) {
            if (c.category() != QChar::Mark_NonSpacing) {
                sansAccents += c;
            }
        }
        store::Instruction ecrite(
            cn, QStringLiteral(
                    "SELECT Commune FROM communes WHERE Commune = ? COLLATE NOCASE LIMIT 1"));
        ecrite.lier(1, sansAccents);
        if (sansAccents != defaut.ville && ecrite.avancer()) {
            raison += QStringLiteral(", qui l'écrit « %1 »").arg(ecrite.colonneTexte(0));
        }
        return raison;
    }
    return QStringLiteral(
               "le code postal « %1 » n'est pas celui de « %2 » dans le référentiel "
               "des communes")
        .arg(apercu(defaut.codePostal), defaut.ville);
}

QString messageDefautCommande(const QString& dossier, const LectureDefaut& lu,
                              const QString& raison) {
    const QString ou = QDir::toNativeSeparators(dossier);
    switch (lu.etat) {
        case LectureDefaut::Etat::Absent:
            return QStringLiteral(
                       "Le fichier default.txt est absent du dossier « %1 » : "
                       "l'analyse en a besoin pour compléter les clients sans ville ni "
                       "code postal. Lancez une fois verifclients sans verbe pour "
                       "choisir la ville par défaut, ou créez ce fichier (la ville sur "
                       "la première ligne, son code postal sur la seconde).")
                .arg(ou);
        case LectureDefaut::Etat::Illisible:
            return QStringLiteral(
                       "Le fichier default.txt du dossier « %1 » ne peut pas être lu : "
                       "%2. Renommez-le ou supprimez-le, puis lancez une fois "
                       "verifclients sans verbe pour choisir la ville par défaut, ou "
                       "créez le fichier (la ville sur la première ligne, son code "
                       "postal sur la seconde, par exemple PARIS puis 75001).")
                .arg(ou, lu.cause);
        case LectureDefaut::Etat::Lu:
            break;
    }
    return QStringLiteral(
               "Le fichier default.txt du dossier « %1 » ne donne pas une ville par "
               "défaut : %2. Il doit contenir une ville du référentiel des communes "
               "sur la première ligne et son code postal sur la seconde (par exemple "
               "PARIS puis 75001) : corrigez-le, ou supprimez-le et lancez une fois "
               "verifclients sans verbe pour choisir la ville par défaut.")
        .arg(ou, raison);
}

bool ecrireDefaut(const QString& dossier, const VilleDefaut& defaut, bool remplacer) {
    const QString chemin = cheminDefaut(dossier);
    const QFileInfo existant(chemin);
    if (existant.exists() || existant.isSymLink()) {
        // A folder, a pipe or a broken link in the way: never written over.
        if (!existant.isFile()) {
            return false;
        }
        if (!remplacer) {
            return true;
        }
    }
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    f.write(platform::versCp1252(defaut.ville + QStringLiteral("\r\n") + defaut.codePostal +
                                 QStringLiteral("\r\n")));
    return f.commit();
}

}  // namespace communes
