#pragma once

namespace commun {
struct Contexte;
}

namespace exports {

// --export-clients: the client analysis (printed as --analyse-clients prints
// it), then the export of the clients not in error with its progress lines
// ("Listelog\t…"); prints each file written and the window's closing message.
int verbeExportClients(commun::Contexte& contexte);

// --export-techniques: the sheet analysis (its rows and caption printed as
// --analyse-techniques prints them), then the export of the sheets that have a
// family; prints each file written and the window's closing message.
int verbeExportTechniques(commun::Contexte& contexte);

}  // namespace exports
