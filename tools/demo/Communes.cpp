#include "demo/Communes.h"

#include <QRegularExpression>

#include "demo/Lexique.h"
#include "store/Connexion.h"
#include "store/Erreur.h"

namespace demo {

std::vector<Commune> chargerCommunes(const QString& chemin) {
    std::vector<Commune> l;
    if (chemin.isEmpty()) {
        for (const auto& [cp, ville] : lexique::communesIntegrees()) {
            l.push_back({cp, ville});
        }
        return l;
    }
    store::Connexion cn(chemin, store::Connexion::Acces::Lecture);
    store::Instruction i(cn, QStringLiteral("SELECT DISTINCT CodePostal, Commune FROM communes "
                                            "WHERE length(CodePostal) = 5 AND Commune <> '' "
                                            "ORDER BY CodePostal, Commune"));
    while (i.avancer()) {
        l.push_back({i.colonneTexte(0), i.colonneTexte(1)});
    }
    if (l.empty()) {
        throw store::ErreurStore(
            QStringLiteral("Le référentiel « %1 » ne contient aucune commune.").arg(chemin));
    }
    return l;
}

Voisinage::Voisinage(const std::vector<Commune>& communes, Hasard& h) : m_communes(communes) {
    const QString departement = h.parmi(communes).codePostal.left(2);
    std::vector<double> poids;
    for (int i = 0; i < static_cast<int>(communes.size()); ++i) {
        if (communes[i].codePostal.startsWith(departement)) {
            m_proches.push_back(i);
        }
        if (communes[i].codePostal.startsWith(u'0')) {
            m_zeroInitial.push_back(i);
        }
    }
    // A few towns gather most clients: weights fall with a shuffled rank.
    for (std::size_t i = m_proches.size(); i > 1; --i) {
        std::swap(m_proches[i - 1],
                  m_proches[static_cast<std::size_t>(h.entre(0, static_cast<int>(i) - 1))]);
    }
    for (std::size_t rang = 0; rang < m_proches.size(); ++rang) {
        poids.push_back(1.0 / static_cast<double>(rang + 1));
    }
    m_tirageProches = Tirage(poids);
}

const Commune& Voisinage::tirer(Hasard& h) const {
    if (h.chance(0.7)) {
        return m_communes[static_cast<std::size_t>(m_proches[m_tirageProches.tirer(h)])];
    }
    return h.parmi(m_communes);
}

const Commune* Voisinage::tirerAvecZeroInitial(Hasard& h) const {
    if (m_zeroInitial.empty()) {
        return nullptr;
    }
    return &m_communes[static_cast<std::size_t>(h.parmi(m_zeroInitial))];
}

namespace {

QString faute(const QString& ville, Hasard& h) {
    QString v = ville;
    const int i = h.entre(1, static_cast<int>(v.size()) - 2);
    switch (h.entre(0, 2)) {
        case 0:  // two letters swapped
            std::swap(v[i], v[i + 1]);
            break;
        case 1:  // one letter dropped
            v.remove(i, 1);
            break;
        default:  // one letter doubled
            v.insert(i, v[i]);
            break;
    }
    return v;
}

}  // namespace

QString malOrthographier(const QString& ville, const QString& codePostal, Hasard& h) {
    static const QRegularExpression saint(QStringLiteral("\\bSAINT(E?)[- ]"));
    static const QRegularExpression st(QStringLiteral("\\bST(E?)[- ]"));
    static const QRegularExpression article(QStringLiteral("\\b([LD]) "));
    static const QRegularExpression arrondissements(QStringLiteral("^(PARIS|LYON|MARSEILLE)$"));

    QStringList variantes;
    if (arrondissements.match(ville).hasMatch()) {
        const int n = codePostal.right(2).toInt();
        const QString numero = ville == QLatin1String("PARIS") ? QString::number(n)
                               : n == 1                        ? QStringLiteral("1ER")
                                                               : QString::number(n) + u'E';
        variantes << ville + u' ' + numero;
    }
    if (ville.contains(saint)) {
        variantes << QString(ville).replace(saint, QStringLiteral("ST\\1 "));
    } else if (ville.contains(st)) {
        variantes << QString(ville).replace(st, QStringLiteral("SAINT\\1 "));
    }
    if (ville.contains(article)) {
        variantes << QString(ville).replace(article, QStringLiteral("\\1'"));
    }
    // The telling mistakes first; the common ones now and then, or when none fits.
    if (variantes.isEmpty() || h.chance(0.3)) {
        if (ville.contains(u'-')) {
            variantes << QString(ville).replace(u'-', u' ');
        } else if (ville.contains(u' ')) {
            variantes << QString(ville).replace(u' ', u'-');
        }
        if (const qsizetype e = ville.indexOf(u'E'); e >= 0) {
            variantes << QString(ville).replace(e, 1, QStringLiteral("É"));
        }
        if (ville.size() >= 3) {
            variantes << faute(ville, h);
        }
    }
    variantes.removeIf(
        [&](const QString& v) { return v.compare(ville, Qt::CaseInsensitive) == 0; });
    return variantes.isEmpty() ? ville + QStringLiteral("X") : h.parmi(variantes);
}

}  // namespace demo
