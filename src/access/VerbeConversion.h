#pragma once

namespace commun {
struct Contexte;
}

namespace acces {

// --convertir-access [--oui] [--page-code CP]: without --oui, says what would
// be converted; with it, converts every Access database of the folder.
int verbeConvertirAccess(commun::Contexte& contexte);

}  // namespace acces
