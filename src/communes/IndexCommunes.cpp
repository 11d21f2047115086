#include "communes/IndexCommunes.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <mutex>
#include <utility>

#include "platform/Fichiers.h"
#include "store/Connexion.h"

namespace communes {

namespace {

bool estTiret(QChar c) {
    return c == u'-' || c == u'\u2010' || c == u'\u2011' || c == u'\u2013' || c == u'\u2014';
}

bool estApostrophe(QChar c) {
    return c == u'\'' || c == u'\u2019' || c == u'\u2018' || c == u'`';
}

// The three-letter pieces of a name padded at both ends, so that its start
// and its end count as pieces of their own.
std::vector<quint64> trigrammes(const QString& norme) {
    const QString p = QStringLiteral("\x01\x01") + norme + QStringLiteral("\x02\x02");
    std::vector<quint64> t;
    t.reserve(static_cast<std::size_t>(p.size()));
    for (qsizetype i = 0; i + 2 < p.size(); ++i) {
        t.push_back((quint64(p[i].unicode()) << 32) | (quint64(p[i + 1].unicode()) << 16) |
                    quint64(p[i + 2].unicode()));
    }
    std::sort(t.begin(), t.end());
    t.erase(std::unique(t.begin(), t.end()), t.end());
    return t;
}

}  // namespace

IndexCommunes::Sac IndexCommunes::sacDe(const QString& norme) {
    Sac sac{};
    for (const QChar c : norme) {
        const char16_t u = c.unicode();
        const int case_ = u >= u'A' && u <= u'Z'   ? u - u'A'
                          : u == u' '              ? 26
                          : u >= u'0' && u <= u'9' ? 27
                                                   : 28 + u % 4;
        if (sac[static_cast<std::size_t>(case_)] < 255) {
            ++sac[static_cast<std::size_t>(case_)];
        }
    }
    return sac;
}

int IndexCommunes::distanceDeSacs(const Sac& a, const Sac& b) {
    // Letters one name has and the other lacks: no edit adds or removes more
    // than one, a swap none, so it never exceeds the edit distance.
    int plus = 0;
    int moins = 0;
    for (std::size_t k = 0; k < a.size(); ++k) {
        const int d = int(a[k]) - int(b[k]);
        (d > 0 ? plus : moins) += std::abs(d);
    }
    return std::max(plus, moins);
}

QString normaliserVille(const QString& ville) {
    // Decomposing is slow and only matters for letters beyond ASCII.
    const bool ascii =
        std::all_of(ville.begin(), ville.end(), [](QChar c) { return c.unicode() < 0x80; });
    const QString source = ascii ? ville : ville.normalized(QString::NormalizationForm_D);
    QString r;
    r.reserve(source.size() + 2);
    qsizetype debutMot = 0;
    const auto finirMot = [&r, &debutMot] {
        const QStringView mot = QStringView(r).mid(debutMot);
        if (mot == u"SAINT") {
            r.truncate(debutMot);
            r += u"ST";
        } else if (mot == u"SAINTE") {
            r.truncate(debutMot);
            r += u"STE";
        }
    };
    for (const QChar c : source) {
        if (estTiret(c) || estApostrophe(c) || c.isSpace()) {
            if (!r.isEmpty() && r.back() != u' ') {
                finirMot();
                r += u' ';
                debutMot = r.size();
            }
        } else if (ascii) {
            const char16_t u = c.unicode();
            r += QChar(u >= u'a' && u <= u'z' ? u - 32 : u);
        } else if (c.category() == QChar::Mark_NonSpacing) {
            continue;
        } else if (c == u'\u0152' || c == u'\u0153') {
            r += u"OE";
        } else if (c == u'\u00C6' || c == u'\u00E6') {
            r += u"AE";
        } else {
            r += c.toUpper();
        }
    }
    if (!r.isEmpty() && r.back() == u' ') {
        r.chop(1);
    } else {
        finirMot();
    }
    return r;
}

int distanceBornee(QStringView a, QStringView b, int max) {
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    if (max < 0 || std::abs(n - m) > max) {
        return max + 1;
    }
    // Only a band of the table around its diagonal can stay within `max`;
    // three rows of it (two back for the swaps), on the stack for town names.
    const int horsBande = max + 1;
    constexpr qsizetype kCourt = 64;
    int pile[3][kCourt + 2];
    std::vector<int> tas;
    int* avant = pile[0];
    int* prec = pile[1];
    int* cour = pile[2];
    if (m + 2 > kCourt) {
        tas.assign(static_cast<std::size_t>(3 * (m + 2)), horsBande);
        avant = tas.data();
        prec = avant + m + 2;
        cour = prec + m + 2;
    }
    for (qsizetype j = 0; j <= m + 1; ++j) {
        prec[j] = j <= max ? static_cast<int>(j) : horsBande;
        avant[j] = horsBande;
    }
    for (qsizetype i = 1; i <= n; ++i) {
        const qsizetype debut = std::max<qsizetype>(1, i - max);
        const qsizetype fin = std::min<qsizetype>(m, i + max);
        cour[debut - 1] = debut == 1 && i <= max ? static_cast<int>(i) : horsBande;
        int minimum = cour[debut - 1];
        for (qsizetype j = debut; j <= fin; ++j) {
            const int cout = a[i - 1] == b[j - 1] ? 0 : 1;
            int d = std::min({prec[j] + 1, cour[j - 1] + 1, prec[j - 1] + cout});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d = std::min(d, avant[j - 2] + 1);
            }
            d = std::min(d, horsBande);
            cour[j] = d;
            minimum = std::min(minimum, d);
        }
        if (fin < m) {
            cour[fin + 1] = horsBande;
        }
        if (minimum > max) {
            return max + 1;
        }
        int* libre = avant;
        avant = prec;
        prec = cour;
        cour = libre;
    }
    return std::min(prec[m], max + 1);
}

int ecartPermis(qsizetype longueur) {
    return longueur <= 5 ? 1 : longueur <= 11 ? 2 : 3;
}

IndexCommunes::IndexCommunes(const std::vector<std::pair<QString, QString>>& lignes) {
    for (const auto& [cp, ville] : lignes) {
        if (!m_normeDe.contains(ville)) {
            m_noms.push_back(ville);
            const QString norme = normaliserVille(ville);
            auto it = m_indexNorme.constFind(norme);
            if (it == m_indexNorme.constEnd()) {
                it = m_indexNorme.insert(norme, static_cast<int>(m_normes.size()));
                m_normes.push_back(norme);
                m_nomsParNorme.emplace_back();
            }
            m_nomsParNorme[static_cast<std::size_t>(it.value())].push_back(
                static_cast<int>(m_noms.size() - 1));
            m_normeDe.insert(ville, it.value());
        }
        QStringList& codes = m_codes[store::sansCasse(ville)];
        if (!codes.contains(cp)) {
            codes << cp;
        }
        QStringList& villes = m_villes[store::sansCasse(cp)];
        if (!villes.contains(ville)) {
            villes << ville;
        }
    }
    for (std::size_t n = 0; n < m_normes.size(); ++n) {
        m_longueurs.push_back(static_cast<int>(m_normes[n].size()));
        m_sacs.push_back(sacDe(m_normes[n]));
        for (const quint64 t : trigrammes(m_normes[n])) {
            m_trigrammes[t].push_back(static_cast<int>(n));
        }
    }
    for (auto& [piece, liste] : m_trigrammes) {
        std::stable_sort(liste.begin(), liste.end(), [this](int a, int b) {
            return m_longueurs[static_cast<std::size_t>(a)] <
                   m_longueurs[static_cast<std::size_t>(b)];
        });
    }
}

std::shared_ptr<const IndexCommunes> IndexCommunes::charger(const QString& dossier) {
    static std::mutex verrou;
    static std::shared_ptr<const IndexCommunes> index;
    static QString cle;

    const QString chemin = platform::resoudre(dossier, QStringLiteral("communes.mdb"));
    const QFileInfo info(chemin);
    const QString cleFichier = info.absoluteFilePath() + u'|' + QString::number(info.size()) +
                               u'|' + QString::number(info.lastModified().toMSecsSinceEpoch());
    const std::lock_guard<std::mutex> garde(verrou);
    if (index && cle == cleFichier) {
        return index;
    }
    store::Connexion cn(chemin, store::Connexion::Acces::Lecture);
    store::Instruction i(cn, QStringLiteral("SELECT CodePostal, Commune FROM communes"));
    std::vector<std::pair<QString, QString>> lignes;
    while (i.avancer()) {
        lignes.emplace_back(i.colonneTexte(0), i.colonneTexte(1));
    }
    index = std::make_shared<const IndexCommunes>(lignes);
    cle = cleFichier;
    return index;
}

std::vector<IndexCommunes::Proche> IndexCommunes::proches(const QString& valeur) const {
    std::vector<Proche> resultat;
    const QString norme = normaliserVille(valeur);
    if (norme.isEmpty()) {
        return resultat;
    }
    const int longueur = static_cast<int>(norme.size());
    const int ecart = ecartPermis(longueur);
    const std::vector<quint64> pieces = trigrammes(norme);
    // Within `ecart` edits a name keeps most of the value's pieces: each edit
    // spoils at most four of them (a swap), one more is left for repeated
    // pieces. Only the names that keep enough are measured.
    const int seuil = std::max(1, static_cast<int>(pieces.size()) - 4 * ecart - 1);
    // Counters kept from one search to the next, all back to zero after each.
    thread_local std::vector<int> communs;
    thread_local std::vector<int> touches;
    communs.resize(m_normes.size(), 0);
    touches.clear();
    const auto longueurDe = [this](int n) { return m_longueurs[static_cast<std::size_t>(n)]; };
    for (const quint64 t : pieces) {
        const auto it = m_trigrammes.find(t);
        if (it == m_trigrammes.end()) {
            continue;
        }
        // Each list runs by length: only the names of a length within reach.
        const std::vector<int>& liste = it->second;
        auto n = std::lower_bound(liste.begin(), liste.end(), longueur - ecart,
                                  [&](int a, int l) { return longueurDe(a) < l; });
        for (; n != liste.end() && longueurDe(*n) <= longueur + ecart; ++n) {
            if (communs[static_cast<std::size_t>(*n)]++ == 0) {
                touches.push_back(*n);
            }
        }
    }
    const Sac sac = sacDe(norme);
    std::vector<std::pair<int, int>> trouves;  // (distance, normalised)
    for (const int n : touches) {
        const int nbCommuns = std::exchange(communs[static_cast<std::size_t>(n)], 0);
        // A longer name has more pieces of its own to keep.
        if (nbCommuns < std::max(seuil, longueurDe(n) + 2 - 4 * ecart - 1) ||
            distanceDeSacs(sac, m_sacs[static_cast<std::size_t>(n)]) > ecart) {
            continue;
        }
        const int d = distanceBornee(norme, m_normes[static_cast<std::size_t>(n)], ecart);
        if (d <= ecart) {
            trouves.emplace_back(d, n);
        }
    }
    for (const auto& [d, n] : trouves) {
        for (const int nom : m_nomsParNorme[static_cast<std::size_t>(n)]) {
            resultat.push_back({m_noms[static_cast<std::size_t>(nom)], d});
        }
    }
    std::sort(resultat.begin(), resultat.end(), [](const Proche& a, const Proche& b) {
        return a.distance != b.distance ? a.distance < b.distance : a.ville < b.ville;
    });
    return resultat;
}

QString IndexCommunes::norme(const QString& ville) const {
    const auto it = m_normeDe.constFind(ville);
    return it == m_normeDe.constEnd() ? normaliserVille(ville)
                                      : m_normes[static_cast<std::size_t>(it.value())];
}

QStringList IndexCommunes::codesDe(const QString& ville) const {
    return m_codes.value(store::sansCasse(ville));
}

QStringList IndexCommunes::villesDe(const QString& codePostal) const {
    return m_villes.value(store::sansCasse(codePostal));
}

}  // namespace communes
