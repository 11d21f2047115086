#include "doublons/Doublons.h"

#include <QDir>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

#include "communes/IndexCommunes.h"
#include "doublons/Membres.h"
#include "doublons/Normalisation.h"
#include "doublons/PasDoublon.h"
#include "store/Connexion.h"

namespace doublons {

namespace {

// A client as compared: every value in its normalised form.
struct Fiche {
    qint64 rowid = 0;
    QString code;
    QString libelle;  // "Nom Prénom" as stored
    QString nom;      // normalised, words kept apart
    QString prenom;
    QString sonNom;  // clePhonetique
    QString sonPrenom;
    QChar sexe;            // F or M, null when not given
    qint32 naissance = 0;  // day serial, 0 when unknown
    QString tel1, tel2;
    QString email;
    QString adresse;  // normalised
    QString codePostal;
    QString ville;
};

QString sansBlancs(const QString& norme) {
    QString r = norme;
    r.remove(u' ');
    return r;
}

QChar sexeDe(const QString& texte) {
    const QString s = normaliserNom(texte);
    if (s == u"F" || s.startsWith(QLatin1String("FEM")) || s == u"MME" || s == u"MLLE") {
        return u'F';
    }
    if (s == u"M" || s == u"H" || s.startsWith(QLatin1String("MASC")) ||
        s.startsWith(QLatin1String("HOM"))) {
        return u'M';
    }
    return {};
}

// A telephone, e-mail or birth date held by more clients than this is the
// salon's own or a placeholder ("0000000000", 01/01/1900), not a person's.
constexpr int kValeurCommune = 8;

void oublierValeursCommunes(std::vector<Fiche>& fiches) {
    QHash<QString, int> nombres;
    const auto compter = [&nombres](QChar genre, const QString& v) {
        if (!v.isEmpty()) {
            ++nombres[genre + v];
        }
    };
    for (const Fiche& f : fiches) {
        compter(u't', f.tel1);
        compter(u't', f.tel2);
        compter(u'e', f.email);
        compter(u'd', f.naissance == 0 ? QString() : QString::number(f.naissance));
    }
    const auto commune = [&nombres](QChar genre, const QString& v) {
        return nombres.value(genre + v) > kValeurCommune;
    };
    for (Fiche& f : fiches) {
        for (QString* t : {&f.tel1, &f.tel2}) {
            if (commune(u't', *t)) {
                t->clear();
            }
        }
        if (commune(u'e', f.email)) {
            f.email.clear();
        }
        if (f.naissance != 0 && commune(u'd', QString::number(f.naissance))) {
            f.naissance = 0;
        }
    }
}

std::vector<Fiche> lireFiches(const QString& dossier) {
    store::Connexion cn(QDir(dossier).filePath(QStringLiteral("BdClient.mdb")),
                        store::Connexion::Acces::Lecture);
    QStringList colonnes;
    for (const char* c : {"Code", "Nom", "Prénom", "Sexe", "DateNaissance", "Tel1", "Tel2", "Email",
                          "Adresse", "Code Postal", "Ville"}) {
        colonnes << store::citer(QString::fromUtf8(c));
    }
    store::Instruction i(
        cn, QStringLiteral("SELECT rowid, %1 FROM FCLI ORDER BY rowid").arg(colonnes.join(u',')));
    std::vector<Fiche> fiches;
    while (i.avancer()) {
        Fiche f;
        f.rowid = i.colonneEntier(0);
        f.code = i.colonne(1).texte();
        f.libelle = (i.colonneTexte(2) + u' ' + i.colonneTexte(3)).trimmed();
        f.nom = normaliserNom(i.colonneTexte(2));
        f.prenom = normaliserNom(i.colonneTexte(3));
        f.sonNom = clePhonetique(f.nom);
        f.sonPrenom = clePhonetique(f.prenom);
        f.sexe = sexeDe(i.colonneTexte(4));
        // Before 1900 a birth date is a placeholder, not a day anybody was born.
        if (const auto s = serieDate(i.colonne(5, true)); s && *s >= 1) {
            f.naissance = static_cast<qint32>(std::floor(*s));
        }
        f.tel1 = normaliserTelephone(i.colonneTexte(6));
        f.tel2 = normaliserTelephone(i.colonneTexte(7));
        if (f.tel2 == f.tel1) {
            f.tel2.clear();
        }
        f.email = normaliserEmail(i.colonneTexte(8));
        f.adresse = normaliserNom(i.colonneTexte(9));
        f.codePostal = i.colonneTexte(10).trimmed();
        f.ville = sansBlancs(normaliserNom(i.colonneTexte(11)));
        fiches.push_back(std::move(f));
    }
    oublierValeursCommunes(fiches);
    return fiches;
}

// ------------------------------------------------------------------ blocking

// Clients sharing a key are compared. A key held by more clients than this
// (a salon's own number typed for everyone, a placeholder e-mail) tells
// nothing and would make the comparisons quadratic.
constexpr int kBlocMax = 150;

// (key, client) couples; a key is a 64-bit hash of its kind and text, so that
// no string is kept per key. Two keys that collide only cost a comparison.
std::vector<std::pair<quint64, int>> clesDeBlocage(const std::vector<Fiche>& fiches) {
    std::vector<std::pair<quint64, int>> cles;
    cles.reserve(fiches.size() * 4);
    const auto ajouter = [&cles](char16_t genre, QStringView texte, int k) {
        if (!texte.isEmpty()) {
            cles.emplace_back(qHash(texte, static_cast<size_t>(genre)), k);
        }
    };
    for (int k = 0; k < static_cast<int>(fiches.size()); ++k) {
        const Fiche& f = fiches[static_cast<std::size_t>(k)];
        // The two sounds in either order: a swapped record meets its double.
        if (!f.sonNom.isEmpty() || !f.sonPrenom.isEmpty()) {
            const bool ordre = f.sonNom <= f.sonPrenom;
            ajouter(u'n',
                    (ordre ? f.sonNom : f.sonPrenom) + u'|' + (ordre ? f.sonPrenom : f.sonNom), k);
        }
        ajouter(u't', f.tel1, k);
        ajouter(u't', f.tel2, k);
        ajouter(u'e', f.email, k);
        if (f.naissance != 0) {
            ajouter(u'd', QString::number(f.naissance), k);
        }
        if (!f.adresse.isEmpty()) {
            ajouter(u'a', sansBlancs(f.adresse) + u'|' + f.codePostal, k);
        }
    }
    std::sort(cles.begin(), cles.end());
    return cles;
}

// Every pair of clients that share a key, once, as (first << 32 | second).
std::vector<quint64> pairesABlocs(const std::vector<Fiche>& fiches) {
    const auto cles = clesDeBlocage(fiches);
    std::vector<quint64> paires;
    for (std::size_t debut = 0; debut < cles.size();) {
        std::size_t fin = debut + 1;
        while (fin < cles.size() && cles[fin].first == cles[debut].first) {
            ++fin;
        }
        if (fin - debut <= static_cast<std::size_t>(kBlocMax)) {
            for (std::size_t x = debut; x < fin; ++x) {
                for (std::size_t y = x + 1; y < fin; ++y) {
                    const auto a = static_cast<quint64>(cles[x].second);
                    const auto b = static_cast<quint64>(cles[y].second);
                    if (a != b) {
                        paires.push_back(a < b ? (a << 32 | b) : (b << 32 | a));
                    }
                }
            }
        }
        debut = fin;
    }
    std::sort(paires.begin(), paires.end());
    paires.erase(std::unique(paires.begin(), paires.end()), paires.end());
    return paires;
}

// ------------------------------------------------------------------ scoring

// Typing errors allowed between two names of this length (the shorter one):
// short first names allow none, so that ANNE is not ANNIE.
int ecartPermis(qsizetype longueur, bool prenom) {
    if (prenom) {
        return longueur <= 4 ? 0 : longueur <= 8 ? 1 : 2;
    }
    return longueur <= 2 ? 0 : longueur <= 6 ? 1 : 2;
}

// Every word of `court` is in `long_`; for first names, as its first words.
bool motsInclus(const QString& court, const QString& long_, bool prenom) {
    const QStringList a = court.split(u' ');
    const QStringList b = long_.split(u' ');
    if (a.size() >= b.size()) {
        return false;
    }
    if (prenom) {
        return std::equal(a.begin(), a.end(), b.begin());
    }
    return std::all_of(a.begin(), a.end(), [&b](const QString& m) { return b.contains(m); });
}

Accord comparerNoms(const QString& a, const QString& sonA, const QString& b, const QString& sonB,
                    bool prenom) {
    if (a.isEmpty() || b.isEmpty()) {
        return Accord::Absent;
    }
    const QString x = sansBlancs(a);
    const QString y = sansBlancs(b);
    if (x == y) {
        return Accord::Egal;
    }
    if (!sonA.isEmpty() && sonA == sonB) {
        return Accord::Proche;
    }
    const int ecart = ecartPermis(std::min(x.size(), y.size()), prenom);
    if (ecart > 0 && communes::distanceBornee(x, y, ecart) <= ecart) {
        return Accord::Proche;
    }
    if (motsInclus(a, b, prenom) || motsInclus(b, a, prenom)) {
        return Accord::Partiel;
    }
    return Accord::Different;
}

int pointsNom(Accord a) {
    switch (a) {
        case Accord::Egal:
            return 30;
        case Accord::Proche:
            return 20;
        case Accord::Partiel:
            return 15;
        case Accord::Different:
            return -10;
        default:
            return 0;
    }
}

int pointsPrenom(Accord a) {
    switch (a) {
        case Accord::Egal:
            return 30;
        case Accord::Proche:
            return 20;
        case Accord::Partiel:
            return 5;
        default:
            return 0;
    }
}

// Agreement and disagreement points of the other fields.
struct Poids {
    int egal;
    int different;
};
constexpr Poids kPoids[kNbChamps] = {
    {0, 0},    {0, 0},  // names: pointsNom, pointsPrenom
    {40, -40},          // Naissance: a different birth date is a different person
    {30, -5},           // Telephone: people change numbers
    {40, -5},           // Email
    {15, -5},           // Adresse (close: 10)
    {3, -3},            // CodePostal
    {2, -2},            // Ville
};

Accord egalite(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return Accord::Absent;
    }
    return a == b ? Accord::Egal : Accord::Different;
}

Accord comparerTelephones(const Fiche& x, const Fiche& y) {
    if ((x.tel1.isEmpty() && x.tel2.isEmpty()) || (y.tel1.isEmpty() && y.tel2.isEmpty())) {
        return Accord::Absent;
    }
    for (const QString* t : {&x.tel1, &x.tel2}) {
        if (!t->isEmpty() && (*t == y.tel1 || *t == y.tel2)) {
            return Accord::Egal;
        }
    }
    return Accord::Different;
}

QString chiffres(const QString& t) {
    QString r;
    for (const QChar c : t) {
        if (c.isDigit()) {
            r += c;
        }
    }
    return r;
}

// The same street and number, a letter or two apart ("12 RUE DES LILAS" and
// "12 R DES LILAS" are not; "12 RUE DES LILAS" and "12 RUE DES LILLAS" are).
Accord comparerAdresses(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return Accord::Absent;
    }
    const QString x = sansBlancs(a);
    const QString y = sansBlancs(b);
    if (x == y) {
        return Accord::Egal;
    }
    if (chiffres(x) == chiffres(y) && communes::distanceBornee(x, y, 2) <= 2) {
        return Accord::Proche;
    }
    return Accord::Different;
}

// The pair when it is to be proposed.
std::optional<Paire> comparer(const Fiche& x, const Fiche& y) {
    if (!x.sexe.isNull() && !y.sexe.isNull() && x.sexe != y.sexe) {
        return std::nullopt;
    }
    // Names as written, then with one record's first and last names swapped:
    // a swap keeps both names, so each must be close to the other record's.
    struct Sens {
        Accord nom, prenom;
        bool valable;
        int points() const { return valable ? pointsNom(nom) + pointsPrenom(prenom) : -1000; }
    };
    const auto proches = [](Accord a) { return a == Accord::Egal || a == Accord::Proche; };
    Sens droit{comparerNoms(x.nom, x.sonNom, y.nom, y.sonNom, false),
               comparerNoms(x.prenom, x.sonPrenom, y.prenom, y.sonPrenom, true), true};
    // Family members share a surname, an address, a telephone, twins a birth
    // date: first names that plainly differ rule the pair out.
    droit.valable = droit.prenom != Accord::Different;
    Sens croise{comparerNoms(x.nom, x.sonNom, y.prenom, y.sonPrenom, false),
                comparerNoms(x.prenom, x.sonPrenom, y.nom, y.sonNom, false), false};
    croise.valable = proches(croise.nom) && proches(croise.prenom);
    const bool inverses = croise.points() > droit.points();
    const Sens& s = inverses ? croise : droit;
    if (!s.valable) {
        return std::nullopt;
    }
    const int pointsNoms = s.points();
    Paire p;
    p.inverses = inverses;
    p.accords[Nom] = s.nom;
    p.accords[Prenom] = s.prenom;
    p.accords[Naissance] = x.naissance == 0 || y.naissance == 0
                               ? Accord::Absent
                               : (x.naissance == y.naissance ? Accord::Egal : Accord::Different);
    p.accords[Telephone] = comparerTelephones(x, y);
    p.accords[Email] = egalite(x.email, y.email);
    p.accords[CodePostal] = egalite(x.codePostal, y.codePostal);
    p.accords[Ville] = egalite(x.ville, y.ville);
    // The same street in another town is another address.
    p.accords[Adresse] = comparerAdresses(x.adresse, y.adresse);
    if (p.accords[Adresse] != Accord::Absent && p.accords[CodePostal] == Accord::Different &&
        p.accords[Ville] == Accord::Different) {
        p.accords[Adresse] = Accord::Different;
    }

    int points = pointsNoms;
    for (int c = Naissance; c < kNbChamps; ++c) {
        const Accord a = p.accords[static_cast<std::size_t>(c)];
        if (a == Accord::Egal) {
            points += kPoids[c].egal;
        } else if (a == Accord::Proche) {
            points += kPoids[c].egal * 2 / 3;
        } else if (a == Accord::Different) {
            points += kPoids[c].different;
        }
    }
    p.score = points;
    // Names alone make homonyms: something that belongs to the person must
    // agree, two things when the surnames differ (a married name).
    const bool fort = p.accords[Naissance] == Accord::Egal || p.accords[Email] == Accord::Egal;
    const int temoins =
        (p.accords[Naissance] == Accord::Egal ? 1 : 0) +
        (p.accords[Email] == Accord::Egal ? 1 : 0) +
        (p.accords[Telephone] == Accord::Egal ? 1 : 0) +
        (p.accords[Adresse] == Accord::Egal || p.accords[Adresse] == Accord::Proche ? 1 : 0);
    if (points < kSeuil || temoins < (s.nom == Accord::Different ? 2 : 1)) {
        return std::nullopt;
    }
    // "MARIE" and "MARIE CLAIRE" may be mother and daughter.
    if (s.prenom == Accord::Partiel && !fort) {
        return std::nullopt;
    }
    return p;
}

// ------------------------------------------------------------------ groups

class Ensembles {
public:
    explicit Ensembles(std::size_t n) : m_parent(n) {
        std::iota(m_parent.begin(), m_parent.end(), 0);
    }
    int racine(int k) {
        while (m_parent[static_cast<std::size_t>(k)] != k) {
            int& p = m_parent[static_cast<std::size_t>(k)];
            p = m_parent[static_cast<std::size_t>(p)];
            k = p;
        }
        return k;
    }
    void unir(int a, int b) {
        a = racine(a);
        b = racine(b);
        if (a != b) {
            m_parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
        }
    }

private:
    std::vector<int> m_parent;
};

bool meilleure(const Paire& p, const Paire& q) {
    if (p.score != q.score) {
        return p.score > q.score;
    }
    return p.a != q.a ? p.a < q.a : p.b < q.b;
}

}  // namespace

QString libelle(Champ champ) {
    static const QStringList libelles = {QStringLiteral("Nom"),
                                         QStringLiteral("Prénom"),
                                         QStringLiteral("Date de naissance"),
                                         QStringLiteral("Téléphone"),
                                         QStringLiteral("Email"),
                                         QStringLiteral("Adresse"),
                                         QStringLiteral("Code Postal"),
                                         QStringLiteral("Ville")};
    return libelles.value(champ);
}

namespace {

// The fields of a pair whose agreement is one of the two given (a field empty
// on one side is in neither list).
QStringList champsSelon(const Paire& p, Accord un, Accord autre) {
    QStringList l;
    for (int c = 0; c < kNbChamps; ++c) {
        const Accord a = p.accords[static_cast<std::size_t>(c)];
        if (a == un || a == autre) {
            l << libelle(static_cast<Champ>(c));
        }
    }
    return l;
}

}  // namespace

QStringList Paire::champsEnAccord() const {
    return champsSelon(*this, Accord::Egal, Accord::Proche);
}

QStringList Paire::champsEnEcart() const {
    return champsSelon(*this, Accord::Partiel, Accord::Different);
}

int Resultat::nbPaires() const {
    int n = 0;
    for (const Groupe& g : groupes) {
        n += static_cast<int>(g.paires.size());
    }
    return n;
}

Resultat chercherDoublons(const QString& dossier) {
    const std::vector<Fiche> fiches = lireFiches(dossier);
    Resultat r;
    r.nbClients = static_cast<int>(fiches.size());

    std::vector<Paire> paires;
    for (const quint64 ab : pairesABlocs(fiches)) {
        const auto a = static_cast<int>(ab >> 32);
        const auto b = static_cast<int>(ab & 0xFFFFFFFFu);
        if (auto p = comparer(fiches[static_cast<std::size_t>(a)],
                              fiches[static_cast<std::size_t>(b)])) {
            p->a = a;
            p->b = b;
            paires.push_back(*p);
        }
    }

    Ensembles ensembles(fiches.size());
    for (const Paire& p : paires) {
        ensembles.unir(p.a, p.b);
    }
    // Groups by their smallest member, each member once, in the order of FCLI.
    QHash<int, int> groupeDe;
    std::vector<Groupe> groupes;
    std::vector<int> membres;
    for (const Paire& p : paires) {
        membres.push_back(p.a);
        membres.push_back(p.b);
    }
    std::sort(membres.begin(), membres.end());
    membres.erase(std::unique(membres.begin(), membres.end()), membres.end());
    for (const int m : membres) {
        const int racine = ensembles.racine(m);
        auto it = groupeDe.constFind(racine);
        if (it == groupeDe.constEnd()) {
            it = groupeDe.insert(racine, static_cast<int>(groupes.size()));
            groupes.emplace_back();
        }
        groupes[static_cast<std::size_t>(it.value())].membres.push_back(m);
    }
    for (const Paire& p : paires) {
        Groupe& g = groupes[static_cast<std::size_t>(groupeDe.value(ensembles.racine(p.a)))];
        g.paires.push_back(p);
        g.score = std::max(g.score, p.score);
    }
    std::stable_sort(groupes.begin(), groupes.end(),
                     [](const Groupe& g, const Groupe& h) { return g.score > h.score; });

    // Members numbered in the order of the groups.
    QHash<int, int> indexDe;
    for (Groupe& g : groupes) {
        for (int& m : g.membres) {
            const Fiche& f = fiches[static_cast<std::size_t>(m)];
            indexDe.insert(m, static_cast<int>(r.clients.size()));
            r.clients.push_back({f.rowid, f.code, f.libelle});
            m = indexDe.value(m);
        }
        for (Paire& p : g.paires) {
            p.a = indexDe.value(p.a);
            p.b = indexDe.value(p.b);
        }
        std::sort(g.paires.begin(), g.paires.end(), meilleure);
    }
    r.groupes = std::move(groupes);
    retirerPasDoublons(dossier, r);
    return r;
}

QString ligneDoublon(const Resultat& resultat, const Paire& paire) {
    return QStringLiteral("Doublon\t%1\t%2\t%3\t%4")
        .arg(resultat.clients[static_cast<std::size_t>(paire.a)].code,
             resultat.clients[static_cast<std::size_t>(paire.b)].code, QString::number(paire.score),
             paire.champsEnAccord().join(u','));
}

QString legendeDoublons(const Resultat& resultat) {
    return QStringLiteral("Doublons possibles : %1 groupe(s), %2 paire(s) sur %3 clients")
        .arg(resultat.groupes.size())
        .arg(resultat.nbPaires())
        .arg(resultat.nbClients);
}

}  // namespace doublons
