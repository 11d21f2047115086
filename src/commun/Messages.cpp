#include "commun/Messages.h"

#include "platform/Erreur.h"

namespace commun {

bool tenter(Messages& messages, const std::function<void()>& etape, const QString& avant) {
    try {
        etape();
        return true;
    } catch (const platform::Erreur& e) {
        messages.exclamation(avant + e.message());
        return false;
    }
}

QString titreApplication() {
    return QStringLiteral("Vérification des fichiers clients/techniques");
}

}  // namespace commun
