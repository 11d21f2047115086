#include "app/Messages.h"

namespace app {

QString titreApplication() {
    return QStringLiteral("Vérification des fichiers clients/techniques");
}

}  // namespace app
