#include "clients/Groupee.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <memory>
#include <set>

#include "clients/Annulation.h"
#include "clients/Correction.h"
#include "commun/Variables.h"
#include "communes/IndexCommunes.h"
#include "platform/Locale.h"
#include "store/Connexion.h"
#include "store/Dates.h"
#include "store/Erreur.h"
#include "store/Journal.h"

namespace clients {

namespace {

using store::Valeur;

// The value as stored, as a hash key: its type and its content, so that Null
// and the empty text stay apart.
QString cle(const Valeur& v) {
    switch (v.type()) {
        case Valeur::Type::Null:
            return QStringLiteral("N");
        case Valeur::Type::Entier:
            return u'I' + QString::number(v.enEntier());
        case Valeur::Type::Reel:
            return u'R' + QString::number(v.enReel(), 'g', 17);
        case Valeur::Type::Octets:
            return u'B' + QString::fromLatin1(v.enOctets().toHex());
        default:
            return u'T' + v.texte();
    }
}

// "Code", "Nom", "Prénom" and the thirteen judged columns, as one select list.
QString colonnesClient() {
    QStringList c{store::citer(QStringLiteral("Code")), store::citer(QStringLiteral("Nom")),
                  store::citer(QStringLiteral("Prénom"))};
    for (const QString& colonne : colonnesJugees()) {
        c << store::citer(colonne);
    }
    return c.join(QStringLiteral(", "));
}

// Where each column of colonnesClient() is in a row read with it.
namespace position {
constexpr int kCode = 0;
constexpr int kNom = 1;
constexpr int kPrenom = 2;
// The column of a judged field.
constexpr int champ(int drapeau) {
    return kPrenom + 1 + drapeau;
}
}  // namespace position

// Reads the client at the statement's current row: dates as dates for the rules.
ValeursClient lireClient(const store::Instruction& i) {
    ValeursClient v;
    v.code = i.colonne(position::kCode);
    v.nom = i.colonne(position::kNom);
    v.prenom = i.colonne(position::kPrenom);
    for (int d = 0; d < kNbDrapeaux; ++d) {
        const int c = position::champ(d);
        v.champs[static_cast<std::size_t>(d)] = i.colonne(c, store::typeDate(i.typeDeclare(c)));
    }
    return v;
}

struct Groupe {
    Valeur brute;  // as stored
    Valeur jugee;  // as the rules read it
    int nombre = 0;
    // Ville: the postal codes of its holders; Code Postal: their towns.
    QHash<QString, int> autres;
};

// The values in error of each field, by cle().
using Groupes = std::array<QHash<QString, Groupe>, kNbDrapeaux>;

void ajouter(QStringList& liste, const QString& s, const QString& valeur, Drapeau d, Juge& juge) {
    if (liste.size() < kNbSuggestions && !s.isEmpty() && s != valeur && !liste.contains(s) &&
        !juge.enErreur(d, Valeur::texte(s))) {
        liste << s;
    }
}

// The other field's values of the holders that pass their rule, most held first.
std::vector<std::pair<QString, int>> autresValides(const Groupe& g, Drapeau autre, Juge& juge) {
    std::vector<std::pair<QString, int>> v;
    for (auto it = g.autres.cbegin(); it != g.autres.cend(); ++it) {
        if (!juge.enErreur(autre, Valeur::texte(it.key()))) {
            v.emplace_back(it.key(), it.value());
        }
    }
    std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    return v;
}

// One name is the other followed by more words ("PARIS 15", "MARSEILLE 7E").
bool prefixeDeMots(const QString& a, const QString& b) {
    const QString& court = a.size() < b.size() ? a : b;
    const QString& long_ = a.size() < b.size() ? b : a;
    return !court.isEmpty() && long_.size() > court.size() && long_.startsWith(court) &&
           long_[court.size()] == u' ';
}

QStringList suggestionsVille(const QString& valeur, const Groupe& g,
                             const communes::IndexCommunes& index, Juge& juge) {
    const QString norme = communes::normaliserVille(valeur);
    const int ecart = communes::ecartPermis(norme.size());
    // The towns of the holders' own postal codes come first, when close.
    struct Candidat {
        QString ville;
        int distance;
        int poids;
    };
    std::vector<Candidat> duCp;
    for (const auto& [cp, nombre] : autresValides(g, ErrCP, juge)) {
        for (const QString& ville : index.villesDe(cp)) {
            const QString n = index.norme(ville);
            int d = communes::distanceBornee(norme, n, ecart);
            if (d > ecart && prefixeDeMots(norme, n)) {
                d = ecart + 1;
            } else if (d > ecart) {
                continue;
            }
            auto it = std::find_if(duCp.begin(), duCp.end(),
                                   [&ville](const Candidat& c) { return c.ville == ville; });
            if (it == duCp.end()) {
                duCp.push_back({ville, d, nombre});
            } else {
                it->poids += nombre;
            }
        }
    }
    std::sort(duCp.begin(), duCp.end(), [](const Candidat& a, const Candidat& b) {
        if (a.distance != b.distance) {
            return a.distance < b.distance;
        }
        return a.poids != b.poids ? a.poids > b.poids : a.ville < b.ville;
    });
    QStringList s;
    for (const Candidat& c : duCp) {
        ajouter(s, c.ville, valeur, ErrVille, juge);
    }
    for (const auto& p : index.proches(valeur)) {
        if (s.size() >= kNbSuggestions) {
            break;
        }
        ajouter(s, p.ville, valeur, ErrVille, juge);
    }
    return s;
}

QStringList suggestionsCp(const QString& valeur, const Groupe& g,
                          const communes::IndexCommunes& index, Juge& juge) {
    QString zero;
    if (valeur.size() == 4 &&
        std::all_of(valeur.begin(), valeur.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        zero = u'0' + valeur;
        if (juge.enErreur(ErrCP, Valeur::texte(zero))) {
            zero.clear();
        }
    }
    // Only the codes that every valid town of the holders has: one code is
    // written to all of them.
    const auto villes = autresValides(g, ErrVille, juge);
    QStringList communs;
    for (std::size_t k = 0; k < villes.size(); ++k) {
        const QStringList codes = index.codesDe(villes[k].first);
        if (k == 0) {
            communs = codes;
        } else {
            communs.removeIf([&codes](const QString& c) { return !codes.contains(c); });
        }
    }
    std::stable_sort(communs.begin(), communs.end(), [&valeur](const QString& a, const QString& b) {
        const int da = communes::distanceBornee(valeur, a, 5);
        const int db = communes::distanceBornee(valeur, b, 5);
        return da != db ? da < db : a < b;
    });
    QStringList s;
    const bool zeroDabord = !zero.isEmpty() && (villes.empty() || communs.contains(zero));
    if (zeroDabord) {
        ajouter(s, zero, valeur, ErrCP, juge);
    }
    for (const QString& c : communs) {
        ajouter(s, c, valeur, ErrCP, juge);
    }
    if (!zero.isEmpty()) {
        ajouter(s, zero, valeur, ErrCP, juge);
    }
    return s;
}

QStringList suggestionsTel(const QString& valeur, Drapeau d, Juge& juge) {
    QString t;
    for (const QChar c : valeur) {
        if (!c.isSpace() && c != u'.' && c != u'-') {
            t += c;
        }
    }
    QStringList s;
    ajouter(s, t, valeur, d, juge);
    return s;
}

QStringList suggestionsEmail(const QString& valeur, Juge& juge) {
    QString sansBlancs;
    for (const QChar c : valeur) {
        if (!c.isSpace()) {
            sansBlancs += c;
        }
    }
    QStringList s;
    for (const QString& t : {sansBlancs, QString(valeur).replace(u',', u'.'),
                             QString(sansBlancs).replace(u',', u'.')}) {
        ajouter(s, t, valeur, ErrEmail, juge);
    }
    return s;
}

QStringList suggestions(Drapeau d, const QString& valeur, const Groupe& g,
                        const communes::IndexCommunes& index, Juge& juge) {
    switch (d) {
        case ErrVille:
            return suggestionsVille(valeur, g, index, juge);
        case ErrCP:
            return suggestionsCp(valeur, g, index, juge);
        case ErrTel1:
        case ErrTel2:
            return suggestionsTel(valeur, d, juge);
        case ErrEmail:
            return suggestionsEmail(valeur, juge);
        default:
            return {};
    }
}

// The fields each listed client is marked in, by code.
QHash<QString, Drapeaux> marquesParCode(const std::vector<ClientListe>& liste) {
    QHash<QString, Drapeaux> marques;
    for (const ClientListe& c : liste) {
        Drapeaux& m = marques[c.code];
        for (int d = 0; d < kNbDrapeaux; ++d) {
            m[static_cast<std::size_t>(d)] = m[static_cast<std::size_t>(d)] || c.drapeaux[d];
        }
    }
    return marques;
}

// The values of the listed clients' marked fields, none counted yet.
Groupes collecter(const store::Connexion& cn, const QHash<QString, Drapeaux>& marques) {
    Groupes groupes;
    store::Instruction clients(
        cn, QStringLiteral("SELECT %1 FROM FCLI ORDER BY rowid").arg(colonnesClient()));
    while (clients.avancer()) {
        const auto it = marques.constFind(clients.colonneTexte(position::kCode));
        if (it == marques.constEnd()) {
            continue;
        }
        for (int d = 0; d < kNbDrapeaux; ++d) {
            if (!it.value()[static_cast<std::size_t>(d)]) {
                continue;
            }
            const int c = position::champ(d);
            const Valeur brute = clients.colonne(c);
            QHash<QString, Groupe>& g = groupes[static_cast<std::size_t>(d)];
            const QString k = cle(brute);
            if (!g.contains(k)) {
                g.insert(
                    k, {brute, clients.colonne(c, store::typeDate(clients.typeDeclare(c))), 0, {}});
            }
        }
    }
    return groupes;
}

// Counts every holder of those values, listed or not. SQLite picks the rows
// that hold one of them, letter case aside, and each is then counted exactly.
void compter(store::Connexion& cn, Groupes& groupes) {
    cn.executerSqlite(
        QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS verif_fautes (d INTEGER, v); "
                       "DELETE FROM temp.verif_fautes;"));
    QStringList conditions;
    {
        store::Instruction ajout(cn, QStringLiteral("INSERT INTO temp.verif_fautes VALUES (?, ?)"));
        for (int d = 0; d < kNbDrapeaux; ++d) {
            const QHash<QString, Groupe>& g = groupes[static_cast<std::size_t>(d)];
            const QString colonne = store::citer(colonnesJugees()[d]);
            if (!g.isEmpty()) {
                conditions << QStringLiteral("%1 IN (SELECT v FROM temp.verif_fautes WHERE d = %2)")
                                  .arg(colonne)
                                  .arg(d);
            }
            for (const Groupe& groupe : g) {
                if (groupe.brute.estNull()) {
                    conditions << colonne + QStringLiteral(" IS NULL");
                }
                ajout.reinitialiser();
                ajout.lier(1, qint64{d}).lier(2, groupe.brute).executer();
            }
        }
    }
    if (!conditions.isEmpty()) {
        store::Instruction detenteurs(cn, QStringLiteral("SELECT %1 FROM FCLI WHERE %2")
                                              .arg(colonnesClient(), conditions.join(u" OR ")));
        while (detenteurs.avancer()) {
            for (int d = 0; d < kNbDrapeaux; ++d) {
                QHash<QString, Groupe>& g = groupes[static_cast<std::size_t>(d)];
                if (g.isEmpty()) {
                    continue;
                }
                const auto it = g.find(cle(detenteurs.colonne(position::champ(d))));
                if (it == g.end()) {
                    continue;
                }
                ++it->nombre;
                if (d == ErrVille) {
                    ++it->autres[detenteurs.colonneTexte(position::champ(ErrCP))];
                } else if (d == ErrCP) {
                    ++it->autres[detenteurs.colonneTexte(position::champ(ErrVille))];
                }
            }
        }
    }
    cn.executerSqlite(QStringLiteral("DROP TABLE temp.verif_fautes"));
}

}  // namespace

std::vector<ValeurFautive> ValeursFautives(commun::Variables& vars,
                                           const std::vector<ClientListe>& liste) {
    if (!vars.cnCommunes.ouverte()) {
        vars.cnCommunes.OuvreCommunes(vars.dossier);
    }
    const auto index = communes::IndexCommunes::charger(vars.dossier);
    Juge juge(vars.cnCommunes);

    vars.CheminBd = vars.cheminBd();
    store::Connexion cn(vars.CheminBd);
    Groupes groupes;
    {
        // One read transaction: both passes see the same clients.
        store::TransactionLecture lecture(cn);
        groupes = collecter(cn, marquesParCode(liste));
        compter(cn, groupes);
        lecture.terminer();
    }

    // Each field's values that the rules still refuse, most held first.
    std::vector<ValeurFautive> valeurs;
    for (int d = 0; d < kNbDrapeaux; ++d) {
        const auto drapeau = static_cast<Drapeau>(d);
        std::vector<ValeurFautive> champ;
        for (const Groupe& groupe : groupes[static_cast<std::size_t>(d)]) {
            if (groupe.nombre == 0 || !juge.enErreur(drapeau, groupe.jugee)) {
                continue;
            }
            ValeurFautive v;
            v.drapeau = drapeau;
            v.valeur = groupe.brute;
            v.texte = groupe.jugee.texte();
            v.nombre = groupe.nombre;
            v.suggestions = suggestions(drapeau, v.texte, groupe, *index, juge);
            champ.push_back(std::move(v));
        }
        std::sort(champ.begin(), champ.end(), [](const ValeurFautive& a, const ValeurFautive& b) {
            return a.nombre != b.nombre ? a.nombre > b.nombre : a.texte < b.texte;
        });
        std::move(champ.begin(), champ.end(), std::back_inserter(valeurs));
    }
    return valeurs;
}

QString texteRemplacement(Drapeau drapeau, const QString& nouveau) {
    if (drapeau == ErrCatAge || drapeau == ErrMoisNais) {
        if (const auto rendu = renduDeuxChiffres(nouveau)) {
            return *rendu;
        }
    }
    return nouveau;
}

namespace {

// The value written for a replacement: a birth date is stored as a date.
std::optional<Valeur> valeurEcrite(Drapeau drapeau, const QString& nouveau) {
    const QString texte = texteRemplacement(drapeau, nouveau);
    if (drapeau == ErrDateNaissance) {
        auto serie = store::dates::lireLocal(texte, platform::localeTravail());
        if (!serie) {
            serie = store::dates::lireIso(texte);
        }
        if (!serie) {
            return std::nullopt;
        }
        return Valeur::date(*serie);
    }
    return Valeur::texte(texte);
}

}  // namespace

QString refusRemplacement(Drapeau drapeau, const QString& nouveau, Juge& juge) {
    const QString& champ = colonnesJugees()[drapeau];
    if (nouveau.isEmpty()) {
        return QStringLiteral("%1 : le remplacement est vide.").arg(champ);
    }
    const auto v = valeurEcrite(drapeau, nouveau);
    if (!v) {
        return QStringLiteral("%1 : « %2 » n'est pas une date.").arg(champ, nouveau);
    }
    if (!juge.enErreur(drapeau, *v)) {
        return {};
    }
    if (drapeau == ErrVille) {
        return QStringLiteral("Ville : « %1 » n'est pas une commune du référentiel.").arg(nouveau);
    }
    if (drapeau == ErrCP) {
        return QStringLiteral("Code Postal : « %1 » n'est pas un code postal du référentiel.")
            .arg(nouveau);
    }
    return QStringLiteral("%1 : « %2 » est encore en erreur.")
        .arg(champ, texteRemplacement(drapeau, nouveau));
}

std::vector<Evaluation> jugerLignes(const store::Connexion& cn, Juge& juge,
                                    const std::vector<qint64>& lignes) {
    std::vector<Evaluation> evaluations;
    store::Instruction lire(
        cn, QStringLiteral("SELECT %1 FROM FCLI WHERE rowid = ?").arg(colonnesClient()));
    for (const qint64 ligne : lignes) {
        lire.reinitialiser();
        lire.lier(1, ligne);
        if (lire.avancer()) {
            evaluations.push_back(juge.evaluer(lireClient(lire)));
        }
    }
    return evaluations;
}

BilanGroupe AppliquerGroupe(commun::Variables& vars,
                            const std::vector<Remplacement>& remplacements) {
    if (!vars.cnCommunes.ouverte()) {
        vars.cnCommunes.OuvreCommunes(vars.dossier);
    }
    Juge juge(vars.cnCommunes);
    for (const Remplacement& r : remplacements) {
        if (const QString refus = refusRemplacement(r.drapeau, r.nouveau, juge); !refus.isEmpty()) {
            throw store::ErreurStore(refus);
        }
    }

    vars.CheminBd = vars.cheminBd();
    store::Connexion cn(vars.CheminBd);
    store::journal::activer(cn, operations::kGroupee);
    store::Transaction transaction(cn);
    // The replacements by field, by the value they replace, as the values in
    // error were grouped.
    std::array<QHash<QString, Valeur>, kNbDrapeaux> parChamp;
    for (const Remplacement& r : remplacements) {
        parChamp[static_cast<std::size_t>(r.drapeau)].insert(cle(r.valeur),
                                                             *valeurEcrite(r.drapeau, r.nouveau));
    }
    // One pass over the clients finds every holder, however many values are
    // replaced; each is then written by its row id.
    struct Ecriture {
        qint64 ligne;
        int drapeau;
        Valeur valeur;
    };
    std::vector<Ecriture> ecritures;
    {
        QStringList colonnes;
        for (const QString& c : colonnesJugees()) {
            colonnes << store::citer(c);
        }
        store::Instruction clients(cn, QStringLiteral("SELECT rowid, %1 FROM FCLI ORDER BY rowid")
                                           .arg(colonnes.join(QStringLiteral(", "))));
        // The row id, then the judged fields in their order.
        constexpr int kLigne = 0;
        const auto champ = [](int drapeau) { return kLigne + 1 + drapeau; };
        while (clients.avancer()) {
            for (int d = 0; d < kNbDrapeaux; ++d) {
                const QHash<QString, Valeur>& r = parChamp[static_cast<std::size_t>(d)];
                if (r.isEmpty()) {
                    continue;
                }
                const auto it = r.constFind(cle(clients.colonne(champ(d))));
                if (it != r.constEnd()) {
                    ecritures.push_back({clients.colonneEntier(kLigne), d, it.value()});
                }
            }
        }
    }
    std::array<std::unique_ptr<store::Instruction>, kNbDrapeaux> ecrire;
    std::set<qint64> lignes;
    for (const Ecriture& e : ecritures) {
        auto& instruction = ecrire[static_cast<std::size_t>(e.drapeau)];
        if (!instruction) {
            instruction = std::make_unique<store::Instruction>(
                cn, QStringLiteral("UPDATE FCLI SET %1 = ? WHERE rowid = ?")
                        .arg(store::citer(colonnesJugees()[e.drapeau])));
        }
        instruction->reinitialiser();
        instruction->lier(1, e.valeur).lier(2, e.ligne).executer();
        lignes.insert(e.ligne);
    }
    transaction.valider();
    store::journal::desactiver(cn);

    BilanGroupe bilan;
    bilan.clients = jugerLignes(cn, juge, std::vector<qint64>(lignes.begin(), lignes.end()));
    store::Instruction total(cn, QStringLiteral("SELECT count(*) FROM FCLI"));
    total.avancer();
    bilan.nbClients = static_cast<int>(total.colonneEntier(0));
    return bilan;
}

int BilanGroupe::nbCorriges() const {
    return static_cast<int>(std::count_if(clients.begin(), clients.end(),
                                          [](const Evaluation& e) { return !e.enErreur(); }));
}

int BilanGroupe::nbEnErreur() const {
    return static_cast<int>(clients.size()) - nbCorriges();
}

QString messageBilan(const BilanGroupe& bilan) {
    return QStringLiteral(
               "Correction groupée enregistrée : %1 client(s) modifié(s).\r\n"
               "%2 client(s) corrigé(s), %3 client(s) encore en erreur pour un autre champ.")
        .arg(bilan.clients.size())
        .arg(bilan.nbCorriges())
        .arg(bilan.nbEnErreur());
}

QString texteAffiche(const QString& texte) {
    return texte.isEmpty() ? QStringLiteral("(vide)") : texte;
}

}  // namespace clients
