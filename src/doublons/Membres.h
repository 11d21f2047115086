#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "doublons/Doublons.h"
#include "store/Valeur.h"

// What a merge needs to know of the members of one candidate group.
namespace doublons {

struct Membre {
    qint64 rowid = 0;
    QString code;
    std::vector<store::Valeur> valeurs;    // every column of FCLI, as stored
    int nbFiches = 0;                      // rows of FTEC with its Code_Client
    int nbVisites = 0;                     // rows of FCONS with its CODE_CLIENT
    std::optional<double> derniereVisite;  // day serial
};

struct DetailGroupe {
    QStringList colonnes;         // of FCLI, in their stored order
    std::vector<Membre> membres;  // in the group's order
    // The member kept by default: the most sheets and visits together, then the
    // most recent visit, then the first read.
    int aGarder() const;
};

// Reads the members of one group of `resultat` from the folder's BdClient.mdb,
// without writing anything. A member no longer in FCLI is an error.
// Throws store::ErreurStore.
DetailGroupe lireGroupe(const QString& dossier, const Resultat& resultat, const Groupe& groupe);

// A date as stored (our text form, a date-only text, the French form, a day
// number) as a day serial; nothing when the value is not a date.
std::optional<double> serieDate(const store::Valeur& valeur);

}  // namespace doublons
