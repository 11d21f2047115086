#pragma once

#include <QString>
#include <vector>

#include "demo/Hasard.h"

namespace demo {

struct Commune {
    QString codePostal;
    QString ville;
};

// The (postal code, town) pairs of a towns reference, in a fixed order; an
// empty path gives the built-in list. Throws store::ErreurStore.
std::vector<Commune> chargerCommunes(const QString& chemin);

// Where the salon's clients live: mostly a handful of towns of one department,
// the rest anywhere in the list.
class Voisinage {
public:
    Voisinage(const std::vector<Commune>& communes, Hasard& h);
    const Commune& tirer(Hasard& h) const;
    // A town whose postal code starts with 0 (nullptr when the list has none).
    const Commune* tirerAvecZeroInitial(Hasard& h) const;

private:
    const std::vector<Commune>& m_communes;
    std::vector<int> m_proches;
    Tirage m_tirageProches;
    std::vector<int> m_zeroInitial;
};

// A wrong spelling of a town a clerk could type: ST for SAINT, blanks for
// dashes, an accent, the district number, an apostrophe, a typo. Never the
// same text, letter case aside.
QString malOrthographier(const QString& ville, const QString& codePostal, Hasard& h);

}  // namespace demo
