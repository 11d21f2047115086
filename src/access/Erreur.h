#pragma once

#include <QString>
#include <stdexcept>

namespace acces {

// A conversion that cannot be done: a French sentence for the user. `endommage`
// when the Access file itself looks damaged, so the message can send the user
// to Access's "Compacter et réparer".
class ErreurAccess : public std::runtime_error {
public:
    enum class Genre { Autre, Endommage };

    explicit ErreurAccess(const QString& message, Genre genre = Genre::Autre)
        : std::runtime_error(message.toStdString()), m_message(message), m_genre(genre) {}

    const QString& message() const { return m_message; }
    Genre genre() const { return m_genre; }
    bool endommage() const { return m_genre == Genre::Endommage; }

private:
    QString m_message;
    Genre m_genre;
};

}  // namespace acces
