#pragma once

#include <QString>
#include <utility>

#include "store/Valeur.h"

namespace store {
class ErreurStore;
}

namespace tech {

// The fields of a sheet that the correction panels show.
struct FicheTech {
    store::Valeur Date;
    store::Valeur Tech;
    store::Valeur Serv;
    store::Valeur Divers1;
    store::Valeur Divers2;
    store::Valeur Famille;
    store::Valeur Memo;
};

// The sheet whose Numéro is `numero`, the text of a list row. A number that
// is not a whole number, or that no sheet has, throws store::ErreurStore.
FicheTech LireFiche(const QString& cheminBd, const QString& numero);

// Stores `famille` into the sheet's Famille; returns whether the stored
// family is still in error (ErrFamille).
bool EcrireFamille(const QString& cheminBd, const QString& numero, const QString& famille);

// A memo as the two memo boxes show it: up to its 500th character, then the
// rest (empty when the memo is not too long).
std::pair<QString, QString> couperMemo(const QString& memo);

// A failure to store a value of the wrong type in a column.
bool erreurConversion(const store::ErreurStore& erreur);

}  // namespace tech
