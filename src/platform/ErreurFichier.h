#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// A file of the salon's folder that could not be read: a French sentence for
// the user, naming the file and the cause.
class ErreurFichier : public std::runtime_error {
public:
    ErreurFichier(const QString& chemin, const QString& message)
        : std::runtime_error(message.toStdString()), m_chemin(chemin), m_message(message) {}

    const QString& chemin() const { return m_chemin; }
    const QString& message() const { return m_message; }

private:
    QString m_chemin;
    QString m_message;
};

}  // namespace platform
