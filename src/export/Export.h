#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace exports {

// What a window or the batch mode sees of an export while it runs.
class ObservateurExport {
public:
    virtual ~ObservateurExport() = default;
    // The database is open; nothing is written yet.
    virtual void debut() {}
    // A line of the progress list: "Création de 3 fichiers en cours.",
    // "<dossier>/FCLI_1.txt créé", " Exportation terminée". The sheet export has none.
    virtual void ligne(const QString& texte) { Q_UNUSED(texte); }
};

struct Bilan {
    int nbFichiers = 0;
    QStringList fichiers;  // full paths, in order
    // The records written with a value the importer may misread (their Code or
    // Numéro, in table order).
    QStringList ambigus;
};

// Values of FCLI, then the note, make a client's line; values of FTEC, the
// memo last, a sheet's.
inline constexpr int kColonnesClients = 23;
inline constexpr int kColonnesTechniques = 9;

// A value the importer may misread, though the format writes it unchanged: a
// ";" in a value that is not the line's last (the values after it shift), or
// a CR or LF that is not part of a CR LF pair (the line splits).
bool valeurAmbigue(QStringView valeur, bool derniere);

// The clients (their Code) and the sheets (their Numéro) that an export made
// now would write with such a value, in table order; those of `exclus` are
// not written. Throws store::ErreurStore or platform::ErreurFichier.
QStringList ClientsAmbigus(const QString& dossier, const QSet<QString>& exclus);
QStringList FichesAmbigues(const QString& dossier, const QSet<qint64>& exclus);

// The warning about them, for the confirmation, the batch output and the
// report: "Attention : 2 clients ont … leur ligne."
QString avertissementAmbigus(qsizetype nombre, bool fiches);

// The closing message of an export, which the window shows and the batch
// prints: "2 Fichier(s) CSV créé(s)." (the sheets' says "CSV Tecnique").
QString messageExportFait(int nbFichiers, bool fiches);

// Writes the clients of FCLI into FCLI_1.txt, FCLI_2.txt… of the folder (UTF-16
// with byte order mark, 800 clients a file), leaving out those whose Code is in
// `exclus`. The earlier export (FCLI.csv, FCLI_<n>.txt) is replaced; other files
// are kept. Either every file is written or the folder is left as it was: a
// failure throws store::ErreurStore or platform::ErreurFichier, whose message
// names the file, the cause and says that the earlier export is untouched.
Bilan ExportClients(const QString& dossier, const QSet<QString>& exclus,
                    ObservateurExport* observateur = nullptr);

// Same for FTEC into FTEC_1.txt…, leaving out the sheets whose Numéro is in `exclus`.
Bilan ExportTechniques(const QString& dossier, const QSet<qint64>& exclus,
                       ObservateurExport* observateur = nullptr);

}  // namespace exports
