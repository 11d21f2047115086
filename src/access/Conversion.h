#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace acces {

// The salon's databases may still be Microsoft Access (Jet) files. They are
// converted once into the SQLite files the system works on; the original is
// kept, byte for byte, under another name.

struct FichierAccess {
    QString chemin;   // full path, as written on disk
    QString nom;      // "BdClient.mdb"
    QString version;  // "Jet 3", "Jet 4", "ACE"
};

// BdClient.mdb then communes.mdb, those of the folder that are Access files.
std::vector<FichierAccess> fichiersAccess(const QString& dossier);
FichierAccess decrire(const QString& chemin);
// The lock file that Access keeps beside an open database (.ldb, .laccdb), or
// an empty text.
QString fichierVerrou(const QString& chemin);
// Where the original goes: "BdClient.access.mdb", or "BdClient.access-2.mdb"…
// when that name is taken. Never an existing file.
QString nomSauvegarde(const QString& chemin);
// What a run says when the folder still holds an Access database; empty when
// there is none.
QString messageAConvertir(const QString& dossier);

struct TableConvertie {
    QString nom;
    qint64 lignes = 0;  // as the file counts them, then as copied
    qint64 remplaces = 0;
    QStringList colonnes;
};

struct Resultat {
    QString fichier;     // the new database, under the original's name
    QString sauvegarde;  // the original, renamed
    QString version;
    QString pageCode;
    std::vector<TableConvertie> tables;
    qint64 lignes = 0;
    qint64 remplaces = 0;      // characters with no equivalent, replaced by U+FFFD
    qint64 microsecondes = 0;  // reading and writing the rows
};

// Progress of one conversion. The reader's lines come in between, so a window
// can repaint; the conversion never processes events itself.
class ObservateurConversion {
public:
    virtual ~ObservateurConversion() = default;
    // Every table to copy with its row count, before the first row.
    virtual void tables(const std::vector<TableConvertie>& tables) {}
    virtual void progression(int table, qint64 faites, qint64 total) {}
    virtual void tableFaite(int table, qint64 lignes) {}
    // "Copie de l'original…", "Vérification de la base convertie…"
    virtual void etape(const QString& texte) {}
    // Called at least every tenth of a second while the conversion waits.
    virtual void attente() {}
};

struct Options {
    QString pageCode;  // Jet 3 text; Windows-1252 when empty
    QString lecteur;   // the reader program; by default beside the running one
};

// Converts one file in place:
// - the original is only read, through a read-only snapshot, and its size and
//   SHA-256 must be the same before and after;
// - the reader program (a child process, so that a damaged file cannot bring
//   down the caller) writes the new file in a hidden work folder beside the
//   original, in one transaction;
// - the new file is checked (columns, row counts), the original renamed to
//   nomSauvegarde(), and only then the new file takes the original's name.
//   A kill between the two renames is completed by reprendreConversions().
// Any failure leaves the file as it was and throws ErreurAccess, whose message
// says why; conclusionEchec() says what the run had done before it.
Resultat convertir(const FichierAccess& fichier, const Options& options,
                   ObservateurConversion& observateur);

// The last sentence of a failed run: the folder unchanged, or which files of
// the run (`faits`) were converted before `echoue` failed.
QString conclusionEchec(const FichierAccess& echoue, const std::vector<Resultat>& faits);

// Completes or drops what conversions stopped by a kill left in the folder:
// once the original has moved aside, the new file takes its name; before,
// nothing was replaced and the work is dropped. One French line for each.
QStringList reprendreConversions(const QString& dossier);

// The program that reads Access files, installed beside verifclients.
QString nomLecteur();

}  // namespace acces
