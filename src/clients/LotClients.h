#pragma once

namespace app::batch {
struct Contexte;
}

namespace clients {

// What a batch client analysis needs first: the default town of default.txt
// (false, with the message printed, when there is none) and the note count.
bool preparerLot(app::batch::Contexte& c);
// --analyse-clients: the client analysis run, printed.
int lotAnalyseClients(app::batch::Contexte& c);
// --texte-note FILE: the plain text of a note, as UTF-8.
int lotTexteNote(app::batch::Contexte& c);

}  // namespace clients
