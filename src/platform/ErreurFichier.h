#pragma once

#include <QString>

#include "platform/Erreur.h"

namespace platform {

// A file of the salon's folder that could not be read: a French sentence for
// the user, naming the file and the cause.
class ErreurFichier : public Erreur {
public:
    ErreurFichier(const QString& chemin, const QString& message)
        : Erreur(message), m_chemin(chemin) {}

    const QString& chemin() const { return m_chemin; }

private:
    QString m_chemin;
};

}  // namespace platform
