#include "commun/Messages.h"

namespace commun {

QString titreApplication() {
    return QStringLiteral("Vérification des fichiers clients/techniques");
}

}  // namespace commun
