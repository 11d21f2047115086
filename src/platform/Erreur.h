#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// Every failure the user is told about derives from this: a French sentence,
// which a window shows and the batch mode prints as it is. The store's, the
// files' and the Access conversion's failures add what they know beside it.
class Erreur : public std::runtime_error {
public:
    explicit Erreur(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}

    const QString& message() const { return m_message; }

private:
    QString m_message;
};

}  // namespace platform
