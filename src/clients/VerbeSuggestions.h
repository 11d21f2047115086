#pragma once

namespace commun {
struct Contexte;
}

namespace clients {

// --suggestions: the client analysis, then one line per value in error: its
// field, the value, how many clients hold it and its suggestions.
int verbeSuggestions(commun::Contexte& c);

}  // namespace clients
