#include "clients/Regles.h"

#include <cmath>
#include <map>
#include <regex>

#include "commun/Communes.h"
#include "platform/Locale.h"
#include "store/Dates.h"
#include "store/Erreur.h"
#include "store/Recordset.h"

namespace clients {

namespace motifs {
const QString kDeuxChiffres = QStringLiteral("^([0-9]{2})");
const QString kTelephone = QStringLiteral(R"(^[+]?\d*$)");
const QString kGenCode = QStringLiteral("^([0-9])");
// The address pattern of the salon's rules is
//   ^([0-9a-zA-Z]([-\.\w]*[0-9a-zA-Z])*@([0-9a-zA-Z][-\w]*[0-9a-zA-Z]\.)+[a-zA-Z]{2,9})$
// Its repeated group before "@" accepts exactly the texts over [-.\w] that end
// with a letter or digit, so it is written here as one optional group: same
// addresses, but a backtracking engine no longer takes exponential time on a
// long local part that fails.
const QString kEmail = QStringLiteral(
    R"(^([0-9a-zA-Z](?:[-\.\w]*[0-9a-zA-Z])?@([0-9a-zA-Z][-\w]*[0-9a-zA-Z]\.)+[a-zA-Z]{2,9})$)");
}  // namespace motifs

namespace {

const QString kCatAge = QStringLiteral("Cat, Age");
const QString kMoisNais = QStringLiteral("Mois Nais");
const QString kTel1 = QStringLiteral("Tel1");
const QString kTel2 = QStringLiteral("Tel2");
const QString kGenCode = QStringLiteral("GenCode");
const QString kEmail = QStringLiteral("Email");

// Each pattern is compiled once: ECMAScript, letter case ignored, and "$" only
// at the very end of the text (no multi-line mode).
const std::wregex& motif(const QString& expression) {
    static std::map<QString, std::wregex> compiles;
    auto it = compiles.find(expression);
    if (it == compiles.end()) {
        it = compiles
                 .emplace(expression,
                          std::wregex(expression.toStdWString(), std::regex_constants::ECMAScript |
                                                                     std::regex_constants::icase))
                 .first;
    }
    return it->second;
}

bool correspond(const QString& texte, const QString& expression) {
    return std::regex_search(texte.toStdWString(), motif(expression));
}

// The extra rule of a column once its pattern has matched.
bool erreurApresCorrespondance(const QString& nom, const QString& texte) {
    if (nom == kCatAge || nom == kMoisNais) {
        const auto n = lireNombre(texte);
        return !n || *n > (nom == kCatAge ? 10 : 12);
    }
    if (nom == kTel1 || nom == kTel2) {
        return !texte.isEmpty() && (texte.size() < 10 || texte.size() > 12);
    }
    if (nom == kGenCode) {
        return !texte.isEmpty() && texte.size() != 13;
    }
    return false;
}

bool videPermis(const QString& nom) {
    return nom == kEmail || nom == kCatAge || nom == kMoisNais || nom == kGenCode;
}

}  // namespace

const QStringList& nomsDrapeaux() {
    static const QStringList n = {QStringLiteral("ErrNom"),          QStringLiteral("ErrPrenom"),
                                  QStringLiteral("ErrAdresse"),      QStringLiteral("ErrAdresse2"),
                                  QStringLiteral("ErrVille"),        QStringLiteral("ErrCP"),
                                  QStringLiteral("ErrCatAge"),       QStringLiteral("ErrMoisNais"),
                                  QStringLiteral("ErrTel1"),         QStringLiteral("ErrTel2"),
                                  QStringLiteral("ErrGenCode"),      QStringLiteral("ErrEmail"),
                                  QStringLiteral("ErrDateNaissance")};
    return n;
}

const QStringList& colonnesJugees() {
    static const QStringList c = {
        QStringLiteral("Nom"),          QStringLiteral("Prénom"),    QStringLiteral("Adresse"),
        QStringLiteral("Adresse2"),     QStringLiteral("Ville"),     QStringLiteral("Code Postal"),
        QStringLiteral("Cat, Age"),     QStringLiteral("Mois Nais"), QStringLiteral("Tel1"),
        QStringLiteral("Tel2"),         QStringLiteral("GenCode"),   QStringLiteral("Email"),
        QStringLiteral("DateNaissance")};
    return c;
}

bool Evaluation::enErreur() const {
    for (bool d : drapeaux) {
        if (d) {
            return true;
        }
    }
    return false;
}

QStringList Evaluation::marques() const {
    QStringList m;
    m.reserve(kNbDrapeaux);
    for (bool d : drapeaux) {
        m << (d ? QStringLiteral("x") : QString());
    }
    return m;
}

bool ErrExpression(const QString& NomChamp, const store::Valeur& ValChamp,
                   const QString& Expression, int lng) {
    if (ValChamp.estNull() || lng <= 0) {
        return false;
    }
    const QString texte = ValChamp.texte();
    const bool tropLong = texte.size() > lng;
    // Too long is an error whatever the pattern says, and the pattern engine
    // then never sees a long text.
    if (tropLong || Expression.isEmpty()) {
        return tropLong;
    }
    if (!correspond(texte, Expression)) {
        return !(texte.isEmpty() && videPermis(NomChamp));
    }
    return erreurApresCorrespondance(NomChamp, texte);
}

bool ErrDate(const QString& /*NomChamp*/, const store::Valeur& ValChamp) {
    constexpr double kSeuil = 1.0 / 1900.0;
    switch (ValChamp.type()) {
        case store::Valeur::Type::Date:
        case store::Valeur::Type::Entier:
        case store::Valeur::Type::Reel:
            return ValChamp.serie() < kSeuil;
        case store::Valeur::Type::Texte: {
            // A date kept as text: judged by its date when it reads as one.
            const QString t = ValChamp.texte().trimmed();
            auto serie = store::dates::lireIso(t);
            if (!serie) {
                serie = store::dates::lireLocal(t, platform::localeTravail());
            }
            return serie && *serie < kSeuil;
        }
        default:
            return false;
    }
}

int indexColonne(const store::Recordset& rs, const QString& nom) {
    const int i = rs.IndexChamp(nom);
    if (i < 0) {
        throw store::ErreurStore(
            QStringLiteral("Le champ « %1 » est introuvable dans la table « %2 ».")
                .arg(nom, rs.TableSource()));
    }
    return i;
}

namespace {

// The rules that need no reference, flag by flag, in the fixed order.
bool errSansReference(Drapeau d, const store::Valeur& v) {
    const QString& colonne = colonnesJugees()[d];
    switch (d) {
        case ErrNom:
        case ErrPrenom:
        case ErrAdresse:
        case ErrAdresse2:
            return ErrExpression(colonne, v, {}, 50);
        case ErrCatAge:
        case ErrMoisNais:
            return ErrExpression(colonne, v, motifs::kDeuxChiffres, 2);
        case ErrTel1:
        case ErrTel2:
            return ErrExpression(colonne, v, motifs::kTelephone, 20);
        case ErrGenCode:
            return ErrExpression(colonne, v, motifs::kGenCode, 13);
        case ErrEmail:
            return ErrExpression(colonne, v, motifs::kEmail, 100);
        case ErrDateNaissance:
            return ErrDate(QStringLiteral("Datenaissance"), v);
        default:
            return false;
    }
}

}  // namespace

bool ErrChamp(Drapeau drapeau, const store::Valeur& valeur, commun::Communes& communes) {
    switch (drapeau) {
        case ErrVille:
            return !communes.ExisteVille(valeur.texte());
        case ErrCP:
            return !communes.ExisteCp(valeur.texte());
        default:
            return errSansReference(drapeau, valeur);
    }
}

Juge::Juge(const store::Recordset& rs, commun::Communes& communes)
    : m_rs(&rs),
      m_communes(communes),
      m_code(indexColonne(rs, QStringLiteral("Code"))),
      m_nom(indexColonne(rs, QStringLiteral("Nom"))),
      m_prenom(indexColonne(rs, QStringLiteral("Prénom"))) {
    for (int d = 0; d < kNbDrapeaux; ++d) {
        m_colonnes[d] = indexColonne(rs, colonnesJugees()[d]);
    }
}

Juge::Juge(commun::Communes& communes) : m_communes(communes) {}

bool Juge::villeConnue(const QString& ville) {
    auto it = m_villes.constFind(ville);
    if (it == m_villes.constEnd()) {
        it = m_villes.insert(ville, m_communes.ExisteVille(ville));
    }
    return it.value();
}

bool Juge::cpConnu(const QString& cp) {
    auto it = m_cps.constFind(cp);
    if (it == m_cps.constEnd()) {
        it = m_cps.insert(cp, m_communes.ExisteCp(cp));
    }
    return it.value();
}

bool Juge::enErreur(Drapeau drapeau, const store::Valeur& valeur) {
    switch (drapeau) {
        case ErrVille:
            return !villeConnue(valeur.texte());
        case ErrCP:
            return !cpConnu(valeur.texte());
        default:
            return errSansReference(drapeau, valeur);
    }
}

Evaluation Juge::evaluer() {
    if (!m_rs) {
        throw store::ErreurStore(QStringLiteral("Aucun client à juger."));
    }
    ValeursClient v;
    v.code = m_rs->Champ(m_code);
    v.nom = m_rs->Champ(m_nom);
    v.prenom = m_rs->Champ(m_prenom);
    for (int d = 0; d < kNbDrapeaux; ++d) {
        v.champs[d] = m_rs->Champ(m_colonnes[d]);
    }
    return evaluer(v);
}

Evaluation Juge::evaluer(const ValeursClient& v) {
    Evaluation e;
    e.NomClient = v.nom.texte() + u' ' + v.prenom.texte();
    e.CodeClient = v.code.texte();
    for (int d = 0; d < kNbDrapeaux; ++d) {
        e.drapeaux[d] = enErreur(static_cast<Drapeau>(d), v.champs[d]);
    }
    return e;
}

Evaluation AnalyseClient(const store::Recordset& rs, commun::Communes& communes) {
    return Juge(rs, communes).evaluer();
}

std::optional<double> lireNombre(const QString& texte) {
    // Blanks, an optional sign, digits, an optional decimal comma or point and
    // digits, blanks; at least one digit.
    qsizetype i = 0;
    const qsizetype n = texte.size();
    auto chiffre = [&texte](qsizetype k) { return texte[k] >= u'0' && texte[k] <= u'9'; };
    while (i < n && texte[i] == u' ') {
        ++i;
    }
    bool negatif = false;
    if (i < n && (texte[i] == u'+' || texte[i] == u'-')) {
        negatif = texte[i] == u'-';
        ++i;
    }
    double valeur = 0;
    int nbChiffres = 0;
    for (; i < n && chiffre(i); ++i, ++nbChiffres) {
        valeur = valeur * 10 + (texte[i].unicode() - u'0');
    }
    if (i < n && (texte[i] == u',' || texte[i] == u'.')) {
        double poids = 0.1;
        for (++i; i < n && chiffre(i); ++i, ++nbChiffres, poids /= 10) {
            valeur += (texte[i].unicode() - u'0') * poids;
        }
    }
    while (i < n && texte[i] == u' ') {
        ++i;
    }
    if (i != n || nbChiffres == 0) {
        return std::nullopt;
    }
    return negatif ? -valeur : valeur;
}

QString formatDeuxChiffres(double nombre) {
    // Halves go away from zero, as the "00" format rounds.
    const double arrondi = std::round(nombre);
    const QString chiffres =
        QStringLiteral("%1").arg(std::fabs(arrondi), 2, 'f', 0, QLatin1Char('0'));
    return arrondi < 0 ? u'-' + chiffres : chiffres;
}

}  // namespace clients
