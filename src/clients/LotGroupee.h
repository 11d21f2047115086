#pragma once

namespace commun {
struct Contexte;
}

namespace clients {

// --suggestions: the client analysis, then one line per value in error: its
// field, the value, how many clients hold it and its suggestions.
int lotSuggestions(commun::Contexte& c);
// --journal: every change recorded in the journal, one line each.
int lotJournal(commun::Contexte& c);

}  // namespace clients
