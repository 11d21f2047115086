#pragma once

namespace app::batch {
struct Contexte;
}

namespace acces {

// --convertir-access [--oui] [--page-code CP]: without --oui, says what would
// be converted; with it, converts every Access database of the folder.
int convertirAccess(app::batch::Contexte& contexte);

}  // namespace acces
