#include "clients/Rangement.h"

#include <optional>

#include "clients/Regles.h"
#include "platform/Locale.h"
#include "store/Dates.h"
#include "store/Recordset.h"

namespace clients {

namespace {

using store::Valeur;

QString zerosPourO(QString t) {
    return t.replace(u'O', u'0');
}

}  // namespace

QString rogner(const QString& t) {
    qsizetype debut = 0;
    qsizetype fin = t.size();
    while (debut < fin && t[debut] == u' ') {
        ++debut;
    }
    while (fin > debut && t[fin - 1] == u' ') {
        --fin;
    }
    return (debut == 0 && fin == t.size()) ? t : t.mid(debut, fin - debut);
}

Rangement::Rangement(store::Recordset& rs, const QString& villeDefaut, const QString& cpDefaut)
    : m_rs(rs),
      m_villeDefaut(villeDefaut),
      m_cpDefaut(cpDefaut),
      m_nom(indexColonne(rs, QStringLiteral("Nom"))),
      m_prenom(indexColonne(rs, QStringLiteral("Prénom"))),
      m_adresse(indexColonne(rs, QStringLiteral("Adresse"))),
      m_adresse2(indexColonne(rs, QStringLiteral("Adresse2"))),
      m_catAge(indexColonne(rs, QStringLiteral("Cat, Age"))),
      m_moisNais(indexColonne(rs, QStringLiteral("Mois Nais"))),
      m_email(indexColonne(rs, QStringLiteral("Email"))),
      m_tel1(indexColonne(rs, QStringLiteral("Tel1"))),
      m_tel2(indexColonne(rs, QStringLiteral("Tel2"))),
      m_dateNaissance(indexColonne(rs, QStringLiteral("DateNaissance"))),
      m_cp(indexColonne(rs, QStringLiteral("Code Postal"))),
      m_ville(indexColonne(rs, QStringLiteral("Ville"))),
      m_genCode(indexColonne(rs, QStringLiteral("GenCode"))) {}

QString Rangement::texteOuNul(int colonne, bool& nul) const {
    const Valeur v = m_rs.Champ(colonne);
    nul = v.estNull();
    return v.texte();
}

// Writes the tidied text only when it differs from the field's text, so that
// an untouched field keeps its stored type and the record is not rewritten.
void Rangement::ecrire(int colonne, const QString& avant, const QString& apres) {
    if (apres != avant) {
        m_rs.EcrireChamp(colonne, Valeur::texte(apres));
    }
}

void Rangement::rangerDate() {
    constexpr double kSeuil = 1.0 / 1900.0;
    const Valeur v = m_rs.Champ(m_dateNaissance);
    std::optional<double> serie;
    switch (v.type()) {
        case Valeur::Type::Date:
        case Valeur::Type::Entier:
        case Valeur::Type::Reel:
            serie = v.serie();
            break;
        case Valeur::Type::Texte: {
            // A date kept as text: trimmed, and judged by its date if it reads as one.
            const QString t = rogner(v.texte());
            ecrire(m_dateNaissance, v.texte(), t);
            serie = store::dates::lireIso(t);
            if (!serie) {
                serie = store::dates::lireLocal(t, platform::localeTravail());
            }
            break;
        }
        default:
            return;
    }
    if (serie && *serie < kSeuil) {
        // The zero of the date scale (an empty date) and anything earlier.
        m_rs.EcrireChamp(m_dateNaissance, Valeur::date(1.0));
    }
}

void Rangement::ranger() {
    bool nul = false;
    for (int c : {m_nom, m_prenom, m_adresse, m_adresse2}) {
        const QString v = texteOuNul(c, nul);
        if (!nul && v == QLatin1String(" ")) {
            ecrire(c, v, QString(QLatin1String("")));
        }
    }
    for (int c : {m_catAge, m_moisNais}) {
        const QString v = texteOuNul(c, nul);
        if (!nul) {
            const QString t = rogner(v);
            const auto n = lireNombre(t);
            ecrire(c, v, n ? formatDeuxChiffres(*n) : t);
        }
    }
    if (const QString v = texteOuNul(m_email, nul); !nul) {
        ecrire(m_email, v, rogner(v));
    }
    for (int c : {m_tel1, m_tel2}) {
        const QString v = texteOuNul(c, nul);
        if (!nul) {
            ecrire(c, v, zerosPourO(rogner(v)));
        }
    }
    rangerDate();

    QString cp = texteOuNul(m_cp, nul);
    if (nul) {
        m_rs.EcrireChamp(m_cp, Valeur::texte(QLatin1String("")));
    } else {
        const QString avant = cp;
        cp = rogner(zerosPourO(cp));
        ecrire(m_cp, avant, cp);
    }
    QString ville = texteOuNul(m_ville, nul);
    if (nul) {
        m_rs.EcrireChamp(m_ville, Valeur::texte(QLatin1String("")));
    } else {
        const QString avant = ville;
        ville = rogner(ville);
        ecrire(m_ville, avant, ville);
    }
    if (const QString v = texteOuNul(m_genCode, nul); !nul) {
        ecrire(m_genCode, v, zerosPourO(rogner(v)));
    }

    if (cp.isEmpty() && ville.isEmpty()) {
        m_rs.EcrireChamp(m_ville, Valeur::texte(m_villeDefaut));
        m_rs.EcrireChamp(m_cp, Valeur::texte(m_cpDefaut));
    }
}

}  // namespace clients
