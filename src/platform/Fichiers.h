#pragma once

#include <QHash>
#include <QString>

class QFileDevice;

namespace platform {

// The salon's files come from Windows, where letter case never matters:
// "bdclient.mdb" must find "BdClient.mdb", "Cli12.RTF" must find "cli12.rtf".

// Full path of the file `nom` in `dossier`, matched without regard to letter case.
// When no file matches, the path built as written (so callers can create it or
// report it missing).
QString resoudre(const QString& dossier, const QString& nom);

// True when `dossier` holds a file named `nom`, letter case aside.
bool existe(const QString& dossier, const QString& nom);

// One listing of a folder, for runs that look up thousands of names
// (a note file per client) without reading the folder each time.
class IndexDossier {
public:
    explicit IndexDossier(const QString& dossier);
    // Full path of the existing file, or an empty text when none matches.
    QString chercher(const QString& nom) const;
    const QString& dossier() const { return m_dossier; }

private:
    QString m_dossier;
    QHash<QString, QString> m_noms;  // folded name -> name on disk
};

// Folds a file name the way a case-insensitive file system compares names.
QString pliage(const QString& nom);

// The content of a file, or why it cannot be read. Only a regular file (or a
// link to one) is read: a pipe or a device could block or never end.
struct Lecture {
    QByteArray contenu;
    QString cause;  // empty when read: "fichier introuvable", "permission refusée"…
    bool lu() const { return cause.isEmpty(); }
};
// At most `maximum` bytes when it is not negative.
Lecture lireFichier(const QString& chemin, qint64 maximum = -1);

// Why a file could not be opened, read, written or renamed: a few French words
// for the end of a message ("… : accès refusé (…)").
QString cause(const QFileDevice& fichier);

}  // namespace platform
