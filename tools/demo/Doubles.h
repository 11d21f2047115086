#pragma once

#include <QString>

#include "demo/Hasard.h"
#include "store/Valeur.h"

// The same person recorded twice, and relatives who are not the same person:
// what a search for duplicate clients must tell apart.
namespace demo {

// What tells a person from another in a client record.
struct Identite {
    store::Valeur nom, prenom, sexe;
    store::Valeur naissance, mois;  // stored text of the birth date, its month
    store::Valeur tel1, tel2, email;
    store::Valeur adresse, ville, codePostal;
};

// How a second record of one person came to differ from the first.
enum class Variation {
    Ressaisie,   // typed again at a later visit, some fields left out
    JeuneFille,  // a married name for a maiden name (or the two joined)
    Ecriture,    // "MARIE-CLAIRE" for "Marie Claire", accents and apostrophes dropped
    Telephone,   // the number written another way ("06 12…", "+33 6…", "0033…")
    Fautes,      // one or two typing errors in a name
    Inversion,   // first and last names swapped
    DeuxFois,    // the record made twice, as it was
};
QString libelle(Variation v);
Variation tirerVariation(Hasard& h);

// A second record of the person `modele`; `rang` counts the records made with
// Variation::Telephone so that each writes the number its own way. Every
// second record keeps at least one of the telephone, the e-mail, the birth
// date and the address: without any, nobody could tell it is the same person.
Identite doubler(const Identite& modele, Variation v, int rang, Hasard& h);

// A daughter of `mere` (or, for twins, a sister born the same day): same
// surname, address and home telephone, a first name of another initial,
// no e-mail (the caller gives one).
Identite enfant(const Identite& mere, bool jumelle, Hasard& h);

}  // namespace demo
