#pragma once

#include "commun/Verbes.h"

// The batch verbs on duplicate clients; each returns the exit code (0 done,
// 1 failed with a message, 2 misused).
namespace doublons {

// --doublons: one line per candidate pair, best first
// ("Doublon<TAB>code1<TAB>code2<TAB>score<TAB>Nom,Prénom,Téléphone"), then
// the caption with the number of groups.
int verbeDoublons(commun::Contexte& c);

// --fusionner CODE_GARDE CODE [CODE…]: merges the clients of these codes into
// the first, keeping its own values, as the window does; says what moved and
// which notes were left in place. An unknown code, a code given twice or held
// by several clients changes nothing and gives 1.
int verbeFusionner(commun::Contexte& c);

}  // namespace doublons
