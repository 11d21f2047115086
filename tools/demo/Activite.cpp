#include "demo/Activite.h"

#include <QDate>
#include <algorithm>
#include <cmath>

#include "demo/Dates.h"
#include "demo/Lexique.h"
#include "demo/Rtf.h"
#include "store/Connexion.h"
#include "store/Dates.h"
#include "store/Valeur.h"

namespace demo {

using store::Valeur;

namespace {

double serieDu(int annee, int mois, int jour) {
    return store::dates::serie(QDate(annee, mois, jour));
}

// A day drawn in [debut, fin], later days more likely when `recent`.
double jourEntre(Hasard& h, double debut, double fin, bool recent) {
    const double u = recent ? std::sqrt(h.reel()) : h.reel();
    return std::floor(debut + (fin - debut) * u);
}

Valeur peutEtreVide(Hasard& h, double partRemplie, const QStringList& valeurs) {
    const double r = h.reel();
    if (r < partRemplie) {
        return h.parmi(valeurs);
    }
    return r < (1 + partRemplie) / 2 ? Valeur() : Valeur(QString(QLatin1String("")));
}

// The stored rich text: at most 500 characters for most sheets, much more for
// one in twenty.
Valeur memo(Hasard& h, BilanFiches& bilan) {
    const double r = h.reel();
    if (r < 0.04) {
        ++bilan.memoNull;
        return {};
    }
    if (r < 0.05) {
        return QString(QLatin1String(""));
    }
    const bool longue = r < 0.10;
    const StyleRtf style = styleAuHasard(h);
    const int cible = longue ? h.entre(600, 2500) : h.entre(220, 494);
    // The header and the escapes take about 160 characters on top of the text.
    QList<Paragraphe> paragraphes;
    Pioche phrases(lexique::phrasesMemo());
    do {
        Paragraphe p;
        if (h.chance(0.2)) {
            p.gras = h.parmi(lexique::etiquettes());
        }
        p.texte = phrases.tirer(h);
        if (h.chance(0.5)) {
            p.texte += u' ' + phrases.tirer(h);
        }
        paragraphes << p;
    } while (longueurTexte(paragraphes) + 160 < cible);
    QString rtf = rtfRichEdit(paragraphes, style);
    while (!longue && rtf.size() > 494 && paragraphes.size() > 1) {
        paragraphes.removeLast();
        rtf = rtfRichEdit(paragraphes, style);
    }
    if (rtf.size() > 500) {
        ++bilan.memoLong;
    }
    if (h.chance(0.07)) {
        rtf += h.parmi(QStringList{QStringLiteral("  "), QStringLiteral("\r\n"),
                                   QStringLiteral("  \r\n"), QStringLiteral(" \r\n\r\n")});
        ++bilan.memoFinBlancs;
    }
    return rtf;
}

Valeur famille(Hasard& h, const QString& famille, BilanFiches& bilan) {
    const double r = h.reel();
    if (r < 0.03) {
        ++bilan.familleAbsente;
        return r < 0.02 ? Valeur() : Valeur(QString(QLatin1String("")));
    }
    if (r < 0.034) {
        ++bilan.familleBlancs;
        return QString(h.entre(1, 3), u' ');
    }
    return famille;
}

struct Evenement {
    double jour;
    int client;  // index in the clients, or -1 - n for the n-th unknown code
    bool operator<(const Evenement& o) const {
        return jour != o.jour ? jour < o.jour : client < o.client;
    }
};

std::vector<double> poids(const std::vector<Client>& clients, bool fiches) {
    std::vector<double> p;
    p.reserve(clients.size());
    for (const Client& c : clients) {
        p.push_back(fiches ? c.poidsFiches : c.poidsVisites);
    }
    return p;
}

}  // namespace

void ecrireFiches(store::Connexion& cn, const std::vector<Client>& clients, int nombre,
                  qint64 plusGrandCode, std::uint64_t graine, BilanFiches& bilan) {
    Hasard h(graine, 4);
    const QStringList equipe = equipeDuSalon(graine);
    const Tirage tirage(poids(clients, true));
    const double premier = serieDu(2000, 1, 1);
    const double dernier = serieDu(2024, 12, 31);

    std::vector<Evenement> fiches;
    fiches.reserve(static_cast<std::size_t>(nombre));
    for (int i = 0; i < nombre; ++i) {
        if (tirage.vide() || h.chance(0.004)) {
            fiches.push_back({jourEntre(h, premier, dernier, false), -1 - h.entre(1, 200)});
            continue;
        }
        const int k = tirage.tirer(h);
        const Client& c = clients[static_cast<std::size_t>(k)];
        const double debut = std::max(premier, std::floor(c.creation));
        const double fin = std::min(dernier, c.finActivite);
        fiches.push_back(
            {debut <= fin ? jourEntre(h, debut, fin, !c.ancien) : premier + h.entre(0, 365), k});
    }
    std::sort(fiches.begin(), fiches.end());

    store::Instruction insertion(
        cn, QStringLiteral("INSERT INTO FTEC (\"Numéro\", \"Code_Client\", \"Date\", \"Tech\", "
                           "\"Serv\", \"Divers1\", \"Divers2\", \"Famille\", \"Mémo\") "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    qint64 numero = 0;
    for (const Evenement& f : fiches) {
        const lexique::Prestation& p = h.parmi(lexique::prestations());
        const QString code = f.client >= 0 ? clients[static_cast<std::size_t>(f.client)].code
                                           : QString::number(plusGrandCode - f.client);
        if (f.client < 0) {
            ++bilan.clientsInconnus;
        }
        insertion.reinitialiser();
        insertion.lier(1, ++numero)
            .lier(2, code)
            .lier(3, texteDate(f.jour))
            .lier(4, h.chance(0.97) ? Valeur(h.parmi(equipe)) : Valeur())
            .lier(5, h.chance(0.98) ? Valeur(p.service) : Valeur())
            .lier(6, peutEtreVide(h, 0.4, lexique::divers1()))
            .lier(7, peutEtreVide(h, 0.25, lexique::divers2()))
            .lier(8, famille(h, p.famille, bilan))
            .lier(9, memo(h, bilan));
        insertion.executer();
    }
    bilan.fiches = nombre;
}

void ecrireVisites(store::Connexion& cn, const std::vector<Client>& clients, int nombre,
                   std::uint64_t graine, BilanVisites& bilan) {
    Hasard h(graine, 5);
    const Tirage tirage(poids(clients, false));
    std::vector<Evenement> visites;
    if (!tirage.vide()) {
        visites.reserve(static_cast<std::size_t>(nombre));
        for (int i = 0; i < nombre; ++i) {
            const int k = tirage.tirer(h);
            const Client& c = clients[static_cast<std::size_t>(k)];
            // Opening hours, by quarters of an hour.
            const double heure = (9 * 60 + h.entre(0, 40) * 15) / 1440.0;
            visites.push_back(
                {jourEntre(h, std::floor(c.creation), c.finActivite, !c.ancien) + heure, k});
        }
    }
    std::sort(visites.begin(), visites.end());

    std::vector<bool> venu(clients.size(), false);
    store::Instruction insertion(
        cn,
        QStringLiteral("INSERT INTO FCONS (CODE_CLIENT, DATE_VISITE, MONTANT) VALUES (?, ?, ?)"));
    for (const Evenement& v : visites) {
        const double montant =
            h.chance(0.7) ? h.entre(30, 240) / 2.0 : h.entre(1500, 15000) / 100.0;
        insertion.reinitialiser();
        insertion.lier(1, clients[static_cast<std::size_t>(v.client)].code)
            .lier(2, texteDate(v.jour))
            .lier(3, Valeur::reel(montant));
        insertion.executer();
        venu[static_cast<std::size_t>(v.client)] = true;
    }
    bilan.visites = static_cast<int>(visites.size());
    for (std::size_t i = 0; i < clients.size(); ++i) {
        if (!venu[i]) {
            ++bilan.clientsSansVisite;
        } else if (clients[i].ancien) {
            ++bilan.clientsAnciens;
        }
    }
}

}  // namespace demo
