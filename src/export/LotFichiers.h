#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>

#include "export/Export.h"
#include "platform/Bascule.h"
#include "platform/ErreurFichier.h"

namespace exports {

// The rare failure after which the earlier export could not be moved back.
class ErreurRemiseEnEtat : public platform::ErreurFichier {
public:
    using platform::ErreurFichier::ErreurFichier;
};

// The numbered files of one export run (FCLI_1.txt, FCLI_2.txt…), written in a
// hidden work folder inside the application folder and put in place only by
// valider(): until then the folder keeps the previous export untouched, and a
// failure (or a destroyed lot) removes everything this run wrote. A kill
// during valider() is finished by reprendreExports() at the next start.
class LotFichiers {
public:
    // `prefixe` is "FCLI" or "FTEC". With an observer, each file closed at 800
    // lines is announced as "<dossier>/FCLI_1.txt créé".
    LotFichiers(const QString& dossier, const QString& prefixe, const QString& entete,
                ObservateurExport* observateur);
    ~LotFichiers();
    LotFichiers(const LotFichiers&) = delete;
    LotFichiers& operator=(const LotFichiers&) = delete;

    // Writes one data line (CR LF added); after the 800th line of a file the
    // next file is opened at once with its header.
    void ecrire(QStringView ligne);

    // Replaces the earlier export by this one: the files of the earlier export
    // are moved aside, then the new files moved in; on any failure the moves
    // are undone and the error thrown.
    Bilan valider();

    // Full path of the file `numero` once in place.
    QString cheminFinal(int numero) const;

private:
    QString nomFichier(int numero) const;
    void ouvrir();
    void fermer();
    void vider();
    [[noreturn]] void echecEcriture(int numero) const;

    QString m_dossier;
    QString m_prefixe;
    QString m_entete;
    ObservateurExport* m_observateur;
    QString m_ancienFichier;
    std::unique_ptr<platform::DossierTravail> m_temporaire;
    QFile m_fichier;
    QByteArray m_tampon;
    int m_numero = 0;
    int m_lignes = 0;
};

// Completes or drops what exports stopped by a kill left in the folder: a swap
// that had begun is finished (the folder then holds exactly the new export), an
// export that had not reached it is dropped (exactly the earlier one stays).
// Their work folders go. One French line for each export found.
QStringList reprendreExports(const QString& dossier);

// Lines per export file, header aside.
inline constexpr int kLignesParFichier = 800;

// An older export file that goes with the earlier export: "FCLI.csv" for the
// clients, none for the sheets.
QString ancienFichierExport(const QString& prefixe);

// Files of an earlier export: `ancienFichier` (letter case aside) and
// "<prefixe>_<digits>.txt" (exactly). Other names starting with the prefix are
// the user's.
bool estAncienExport(const QString& nom, const QString& prefixe, const QString& ancienFichier);

// Every CR LF pair becomes backslash and "n"; a lone CR or LF stays.
void remplacerRetours(QString& ligne);

// UTF-16 little-endian bytes of the text, whatever the machine's byte order.
void ajouterUtf16le(QByteArray& octets, QStringView texte);

}  // namespace exports
