#pragma once

#include <QString>
#include <optional>

class QSettings;

namespace commun {
class Messages;
}

namespace app {

// The towns reference that comes with the program: beside the executable in
// the build tree, under share/verifclients once installed. Empty when neither
// holds one.
QString referenceInstallee();

// The salon folder, asked with a folder dialog when the command names none
// and the executable's folder holds no client database. The last folder chosen
// is offered first. A folder without BdClient.mdb is refused and the dialog
// comes back; one without communes.mdb gets a copy of `reference` after the
// user is told. Nothing, and nothing written, when the user cancels.
std::optional<QString> choisirDossierSalon(commun::Messages& messages, QSettings& reglages,
                                           const QString& reference);

// The key under which the last folder chosen is remembered.
inline constexpr const char* kCleDossier = "dossierSalon";

}  // namespace app
