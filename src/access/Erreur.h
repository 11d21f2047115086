#pragma once

#include <QString>

#include "platform/Erreur.h"

namespace acces {

// A conversion that cannot be done: a French sentence for the user. `endommage`
// when the Access file itself looks damaged, so the message can send the user
// to Access's "Compacter et réparer".
class ErreurAccess : public platform::Erreur {
public:
    enum class Genre { Autre, Endommage };

    explicit ErreurAccess(const QString& message, Genre genre = Genre::Autre)
        : platform::Erreur(message), m_genre(genre) {}

    Genre genre() const { return m_genre; }
    bool endommage() const { return m_genre == Genre::Endommage; }

private:
    Genre m_genre;
};

}  // namespace acces
