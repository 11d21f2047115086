#pragma once

namespace app::batch {
struct Contexte;
}

namespace clients {

// --analyse-clients: the client analysis run, printed.
int lotAnalyseClients(app::batch::Contexte& c);
// --texte-note FILE: the plain text of a note, as UTF-8.
int lotTexteNote(app::batch::Contexte& c);

}  // namespace clients
