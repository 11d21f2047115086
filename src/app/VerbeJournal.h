#pragma once

namespace commun {
struct Contexte;
}

namespace app {

// --journal: every change recorded in the journal, whichever run made it
// (corrections, purges, their undoing), one line each, then their count.
int verbeJournal(commun::Contexte& c);

}  // namespace app
