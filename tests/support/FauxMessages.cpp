#include "support/FauxMessages.h"

namespace test {

void FauxMessages::information(const QString& texte) {
    if (pendant) {
        pendant();
    }
    m_messages.push_back({Message::Genre::Information, texte});
}

void FauxMessages::exclamation(const QString& texte) {
    if (pendant) {
        pendant();
    }
    m_messages.push_back({Message::Genre::Exclamation, texte});
}

bool FauxMessages::question(const QString& texte) {
    m_messages.push_back({Message::Genre::Question, texte});
    if (m_reponses.empty()) {
        return true;
    }
    const bool r = m_reponses.front();
    m_reponses.pop_front();
    return r;
}

QStringList FauxMessages::textes() const {
    QStringList t;
    for (const auto& m : m_messages) {
        t << m.texte;
    }
    return t;
}

}  // namespace test
