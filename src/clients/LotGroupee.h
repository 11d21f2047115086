#pragma once

namespace app::batch {
struct Contexte;
}

namespace clients {

// --suggestions: the client analysis, then one line per value in error: its
// field, the value, how many clients hold it and its suggestions.
int lotSuggestions(app::batch::Contexte& c);
// --journal: every change recorded in the journal, one line each.
int lotJournal(app::batch::Contexte& c);

}  // namespace clients
