#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "commun/Messages.h"

namespace test {

// Records every message and answers questions from a script (Yes by default).
class FauxMessages : public commun::Messages {
public:
    struct Message {
        enum class Genre { Information, Exclamation, Question } genre;
        QString texte;
    };

    void information(const QString& texte) override;
    void exclamation(const QString& texte) override;
    bool question(const QString& texte) override;

    // Answers for the next questions, in order.
    void repondre(bool reponse) { m_reponses.push_back(reponse); }

    const std::vector<Message>& messages() const { return m_messages; }
    QStringList textes() const;
    QString dernier() const { return m_messages.empty() ? QString() : m_messages.back().texte; }
    void vider() { m_messages.clear(); }

    // Called as each information or exclamation box shows: a look at the
    // window behind it.
    std::function<void()> pendant;

private:
    std::vector<Message> m_messages;
    std::deque<bool> m_reponses;
};

}  // namespace test
