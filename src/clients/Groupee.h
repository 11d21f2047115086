#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "clients/Regles.h"
#include "store/Valeur.h"

namespace commun {
struct Variables;
}
namespace store {
class Connexion;
}

namespace clients {

// A client listed in error (a row of ListCli) and the fields its row marks.
struct ClientListe {
    QString code;
    Drapeaux drapeaux{};
};

// Suggestions offered for one value, at most.
inline constexpr int kNbSuggestions = 5;

// One value in error in one field, and the clients that hold it.
struct ValeurFautive {
    Drapeau drapeau = ErrNom;
    store::Valeur valeur;  // as stored: the clients that hold it are found by it
    QString texte;         // as shown
    int nombre = 0;        // clients of FCLI holding it
    // Best first, each one passing the field's rule:
    // Ville: towns of the reference whose name is close once normalised, the
    //   towns of the clients' own valid postal code first;
    // Code Postal: the 4-digit code with its leading zero, the codes that all
    //   the clients' valid towns share;
    // Tel1, Tel2: the value without blanks, dots and dashes;
    // Email: the value without blanks, or with its commas as full stops.
    QStringList suggestions;
};

// The values in error of the listed clients, field by field in the order of
// the rules, most frequent first. Each value is judged again, and one that
// now passes is left out. Opens the towns reference when it is not open.
// Throws store::ErreurStore.
std::vector<ValeurFautive> ValeursFautives(commun::Variables& vars,
                                           const std::vector<ClientListe>& liste);

// A replacement chosen for one value of one field.
struct Remplacement {
    Drapeau drapeau = ErrNom;
    store::Valeur valeur;  // the value replaced, as stored
    QString nouveau;       // as typed or picked
};

// The text a replacement writes: "5" becomes "05" for Cat, Age and Mois Nais.
QString texteRemplacement(Drapeau drapeau, const QString& nouveau);
// Why a replacement cannot be written, in French; empty when it can: it must
// pass the field's rule (a town or a postal code must be in the reference).
QString refusRemplacement(Drapeau drapeau, const QString& nouveau, Juge& juge);

struct BilanGroupe {
    std::vector<Evaluation> clients;  // every client written, judged again
    int nbClients = 0;                // records of FCLI
    int nbCorriges() const;           // written and no longer in error
    int nbEnErreur() const;           // written and still in error
};

// Writes each replacement into every client that holds that value in that
// field, all in one transaction recorded in the journal as one batch ("a
// failure half-way changes nothing"), then judges those clients again.
// A replacement that the rules refuse stops everything before any write.
// Throws store::ErreurStore.
BilanGroupe AppliquerGroupe(commun::Variables& vars,
                            const std::vector<Remplacement>& remplacements);

// "Correction groupée enregistrée : 212 clients modifiés, …"
QString messageBilan(const BilanGroupe& bilan);
// The value as a list shows it: the empty text as "(vide)".
QString texteAffiche(const QString& texte);

// The clients of FCLI at these row ids, judged; a row gone is skipped.
std::vector<Evaluation> jugerLignes(const store::Connexion& cn, Juge& juge,
                                    const std::vector<qint64>& lignes);

}  // namespace clients
