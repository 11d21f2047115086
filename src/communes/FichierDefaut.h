#pragma once

#include <QString>

namespace communes {

// default.txt: the default town on line 1, its postal code on line 2, with
// CR LF line ends; written in Windows-1252, read as UTF-8 when it is valid
// UTF-8 (a byte order mark aside) and as Windows-1252 otherwise.
struct VilleDefaut {
    QString ville;
    QString codePostal;
};

// default.txt as found in the folder.
struct LectureDefaut {
    enum class Etat { Absent, Illisible, Lu };
    Etat etat = Etat::Absent;
    // Lu: the first two lines, blanks around them removed; a missing line is
    // an empty text.
    VilleDefaut valeurs;
    // Illisible: why, in French ("c'est un dossier, pas un fichier").
    QString cause;
};

QString cheminDefaut(const QString& dossier);
LectureDefaut lireDefaut(const QString& dossier);
// Why the values are not a default: an empty line, a town the towns
// reference does not know, a postal code that is not the town's. Empty when
// they are a pair of the reference. Throws store::ErreurStore when
// communes.mdb cannot be read.
QString defautInvalide(const QString& dossier, const VilleDefaut& defaut);
// The batch mode's message for a default.txt that is absent, unreadable or
// not a pair of the reference (`raison`, from defautInvalide), saying how to
// mend it.
QString messageDefautCommande(const QString& dossier, const LectureDefaut& lu,
                              const QString& raison);

// Writes default.txt when there is none (an existing file is left as it is)
// or, with `remplacer`, in place of a file that holds no valid default. False
// when it cannot be written (something that is not a file in the way too).
bool ecrireDefaut(const QString& dossier, const VilleDefaut& defaut, bool remplacer = false);

}  // namespace communes
