#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <random>
#include <vector>

namespace demo {

// The one source of chance of a run. std::mt19937_64 gives the same sequence
// everywhere; the standard distributions do not, hence the helpers below.
class Hasard {
public:
    // Each part of a run (clients, notes, sheets…) draws from its own stream, so
    // that leaving the notes out changes nothing in the database.
    Hasard(std::uint64_t graine, std::uint32_t partie) {
        std::seed_seq graines{static_cast<std::uint32_t>(graine),
                              static_cast<std::uint32_t>(graine >> 32), partie};
        m_gen.seed(graines);
    }

    std::uint64_t brut() { return m_gen(); }
    // In [0, 1).
    double reel() { return static_cast<double>(m_gen() >> 11) * (1.0 / 9007199254740992.0); }
    // Both bounds included.
    int entre(int min, int max) {
        return min + static_cast<int>(m_gen() % static_cast<std::uint64_t>(max - min + 1));
    }
    bool chance(double p) { return reel() < p; }

    template <typename T>
    const T& parmi(const std::vector<T>& liste) {
        return liste[static_cast<std::size_t>(entre(0, static_cast<int>(liste.size()) - 1))];
    }
    const QString& parmi(const QStringList& liste) { return liste.at(entre(0, liste.size() - 1)); }

    QString chiffres(int n) {
        QString t(n, u'0');
        for (int i = 0; i < n; ++i) {
            t[i] = QChar(u'0' + entre(0, 9));
        }
        return t;
    }

private:
    std::mt19937_64 m_gen;
};

// Draws from a list without repeating an item before all have come out.
class Pioche {
public:
    explicit Pioche(const QStringList& liste) : m_liste(liste) {}
    const QString& tirer(Hasard& h) {
        if (m_reste.empty()) {
            for (int i = 0; i < m_liste.size(); ++i) {
                m_reste.push_back(i);
            }
        }
        const auto i = static_cast<std::size_t>(h.entre(0, static_cast<int>(m_reste.size()) - 1));
        const int choisi = m_reste[i];
        m_reste[i] = m_reste.back();
        m_reste.pop_back();
        return m_liste.at(choisi);
    }

private:
    const QStringList& m_liste;
    std::vector<int> m_reste;
};

// Index drawn in proportion to the weights (cumulated once, looked up by halves).
class Tirage {
public:
    Tirage() = default;
    explicit Tirage(const std::vector<double>& poids) {
        m_cumul.reserve(poids.size());
        double total = 0;
        for (double p : poids) {
            total += p;
            m_cumul.push_back(total);
        }
    }
    bool vide() const { return m_cumul.empty() || m_cumul.back() <= 0; }
    int tirer(Hasard& h) const {
        const double cible = h.reel() * m_cumul.back();
        std::size_t bas = 0;
        std::size_t haut = m_cumul.size() - 1;
        while (bas < haut) {
            const std::size_t milieu = (bas + haut) / 2;
            if (m_cumul[milieu] > cible) {
                haut = milieu;
            } else {
                bas = milieu + 1;
            }
        }
        return static_cast<int>(bas);
    }

private:
    std::vector<double> m_cumul;
};

}  // namespace demo
