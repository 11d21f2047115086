#pragma once

#include <QSet>
#include <QString>

#include "clients/Analyse.h"

namespace commun {
struct Contexte;
}

namespace clients {

// What a batch client analysis needs first: the default town of default.txt,
// a pair of the towns reference (false, with the message saying how to mend
// the file printed, when it is absent, unreadable or not such a pair), and
// the note count.
bool preparerAnalyse(commun::Contexte& c);
// The client analysis run as --analyse-clients prints it (the rows of ListBN
// and ListCli, "Analyse terminée.", the count caption), after preparerAnalyse.
// The codes of the clients in error go into `exclus` when given. A store or
// file failure is thrown.
BilanAnalyse analyserClients(commun::Contexte& c, QSet<QString>* exclus = nullptr);
// --analyse-clients: the client analysis run, printed.
int verbeAnalyseClients(commun::Contexte& c);
// --texte-note FILE: the plain text of a note, as UTF-8.
int verbeTexteNote(commun::Contexte& c);

}  // namespace clients
