#include "demo/Doubles.h"

#include <QDate>

#include "demo/Dates.h"
#include "demo/Lexique.h"
#include "store/Dates.h"

namespace demo {

using store::Valeur;

namespace {

bool renseigne(const Valeur& v) {
    return v.estTexte() && !v.texte().trimmed().isEmpty();
}

// "Marie-Claire" from "MARIE-CLAIRE".
QString capitales(const QString& t) {
    QString r = t.toLower();
    for (qsizetype i = 0; i < r.size(); ++i) {
        if (i == 0 || !r[i - 1].isLetter()) {
            r[i] = r[i].toUpper();
        }
    }
    return r;
}

// Another way to write a name: capitals or not, blanks for hyphens and back,
// no accents, no apostrophe. Never the same text.
QString autreEcriture(const QString& nom, Hasard& h) {
    QString r = nom;
    if (r.contains(u'-') && h.chance(0.7)) {
        r.replace(u'-', u' ');
    } else if (r.contains(u' ') && h.chance(0.7)) {
        r.replace(u' ', h.chance(0.5) ? QStringLiteral("-") : QString());
    }
    if (h.chance(0.5)) {
        r = lexique::sansAccents(r);
    }
    if (r.contains(u'\'') && h.chance(0.7)) {
        r.remove(u'\'');
    }
    if (r == nom || h.chance(0.5)) {
        r = r == r.toUpper() ? capitales(r) : r.toUpper();
    }
    return r;
}

// One typing error: two letters swapped, one dropped, doubled or struck beside.
QString faute(const QString& mot, Hasard& h) {
    static const QString voisines = QStringLiteral("AZERTYUIOPQSDFGHJKLMWXCVBN");
    if (mot.size() < 3) {
        return mot + mot.back();
    }
    const int i = h.entre(1, static_cast<int>(mot.size()) - 2);
    QString r = mot;
    switch (h.entre(0, 3)) {
        case 0:
            std::swap(r[i], r[i + 1]);
            break;
        case 1:
            r.remove(i, 1);
            break;
        case 2:
            r.insert(i, r[i]);
            break;
        default: {
            const qsizetype k = voisines.indexOf(r[i].toUpper());
            const QChar c = voisines.at(k < 0 ? 0 : (k + 1) % voisines.size());
            r[i] = r[i].isLower() ? c.toLower() : c;
            break;
        }
    }
    return r == mot ? r + r.back() : r;
}

QString chiffres(const QString& t) {
    QString d;
    for (const QChar c : t) {
        if (c.isDigit()) {
            d += c;
        }
    }
    if (d.startsWith(QLatin1String("33")) && d.size() == 11) {
        d = u'0' + d.mid(2);
    }
    return d;
}

QString parPaires(const QString& chiffres, const QString& separateur) {
    QString r;
    for (qsizetype i = 0; i < chiffres.size(); i += 2) {
        r += (i > 0 ? separateur : QString()) + chiffres.mid(i, 2);
    }
    return r;
}

// The number of a record written the `rang`-th way that differs from `ecrit`.
QString autreTelephone(const QString& ecrit, int rang) {
    const QString n = chiffres(ecrit);
    const QString formes[] = {
        parPaires(n, QStringLiteral(" ")),
        QStringLiteral("+33 ") + n.mid(1, 1) + u' ' + parPaires(n.mid(2), QStringLiteral(" ")),
        parPaires(n, QStringLiteral(".")),
        QStringLiteral("0033") + n.mid(1),
        n,
    };
    for (int k = 0; k < 5; ++k) {
        const QString& f = formes[(rang + k) % 5];
        if (f != ecrit) {
            return f;
        }
    }
    return n;
}

// How many of the fields that tell a person are given.
int temoins(const Identite& p) {
    return (renseigne(p.tel1) || renseigne(p.tel2) ? 1 : 0) + (renseigne(p.email) ? 1 : 0) +
           (renseigne(p.naissance) ? 1 : 0) + (renseigne(p.adresse) ? 1 : 0);
}

}  // namespace

QString libelle(Variation v) {
    switch (v) {
        case Variation::Ressaisie:
            return QStringLiteral("ressaisie");
        case Variation::JeuneFille:
            return QStringLiteral("nom de jeune fille");
        case Variation::Ecriture:
            return QStringLiteral("écriture");
        case Variation::Telephone:
            return QStringLiteral("téléphone");
        case Variation::Fautes:
            return QStringLiteral("fautes de frappe");
        case Variation::Inversion:
            return QStringLiteral("nom et prénom inversés");
        case Variation::DeuxFois:
            return QStringLiteral("fiche faite deux fois");
    }
    return {};
}

Variation tirerVariation(Hasard& h) {
    static const Tirage tirage({25, 15, 15, 15, 15, 7, 8});
    return static_cast<Variation>(tirage.tirer(h));
}

Identite doubler(const Identite& modele, Variation v, int rang, Hasard& h) {
    Identite d = modele;
    // Fields left out at a later visit, one at a time, while another one stays.
    const auto omettre = [&](double part) {
        for (Valeur* champ : {&d.naissance, &d.email, &d.tel2, &d.adresse}) {
            if (renseigne(*champ) && temoins(d) > 1 && h.chance(part)) {
                *champ = h.chance(0.5) ? Valeur() : Valeur(QString(QLatin1String("")));
                if (champ == &d.naissance) {
                    d.mois = Valeur();
                }
            }
        }
    };
    switch (v) {
        case Variation::Ressaisie:
            if (renseigne(d.nom) && h.chance(0.4)) {
                d.nom = autreEcriture(d.nom.texte(), h);
            }
            if (renseigne(d.tel1) && h.chance(0.3)) {
                d.tel1 = autreTelephone(d.tel1.texte(), rang);
            }
            omettre(0.4);
            break;
        case Variation::JeuneFille:
            if (d.sexe == Valeur(QStringLiteral("F")) && renseigne(d.nom)) {
                const QString epoux = h.parmi(lexique::noms());
                d.nom = h.chance(0.3) ? d.nom.texte() + u'-' + epoux : epoux;
                // A new home, sometimes: the telephone and the birth date stay.
                if (h.chance(0.5) && (renseigne(d.naissance) || renseigne(d.email))) {
                    d.adresse = Valeur();
                    d.tel2 = Valeur();
                }
            } else if (renseigne(d.nom)) {
                d.nom = autreEcriture(d.nom.texte(), h);
            }
            break;
        case Variation::Ecriture:
            for (Valeur* nom : {&d.nom, &d.prenom}) {
                if (renseigne(*nom)) {
                    *nom = autreEcriture(nom->texte(), h);
                }
            }
            omettre(0.2);
            break;
        case Variation::Telephone:
            if (renseigne(d.tel1)) {
                d.tel1 = autreTelephone(d.tel1.texte(), rang);
            } else if (renseigne(d.nom)) {
                d.nom = autreEcriture(d.nom.texte(), h);
            }
            omettre(0.3);
            break;
        case Variation::Fautes: {
            // Long first names take a typing error too, short ones never.
            const bool prenom =
                (d.prenom.texte().size() >= 6 && h.chance(0.3)) || !renseigne(d.nom);
            Valeur& nom = prenom ? d.prenom : d.nom;
            if (!renseigne(nom)) {
                break;
            }
            QString t = faute(nom.texte(), h);
            if (!prenom && t.size() >= 7 && h.chance(0.35)) {
                t = faute(t, h);
            }
            nom = t;
            omettre(0.2);
            break;
        }
        case Variation::Inversion:
            std::swap(d.nom, d.prenom);
            omettre(0.2);
            break;
        case Variation::DeuxFois:
            break;
    }
    return d;
}

Identite enfant(const Identite& mere, bool jumelle, Hasard& h) {
    Identite e = mere;
    const QChar initiale = mere.prenom.texte().isEmpty() ? QChar() : mere.prenom.texte().at(0);
    QString prenom;
    do {
        prenom = h.parmi(lexique::prenomsFeminins());
    } while (prenom.at(0) == initiale);
    e.prenom = prenom;
    e.sexe = QStringLiteral("F");
    e.email = Valeur();
    e.tel2 = Valeur();
    if (!jumelle) {
        const auto naissance = store::dates::lireIso(mere.naissance.texte());
        if (naissance && h.chance(0.6)) {
            const QDate jour =
                store::dates::depuisSerie(*naissance).date().addDays(h.entre(20 * 365, 35 * 365));
            e.naissance = texteDate(store::dates::serie(jour));
            e.mois = QStringLiteral("%1").arg(jour.month(), 2, 10, QChar(u'0'));
        } else {
            e.naissance = Valeur();
            e.mois = Valeur();
        }
    }
    return e;
}

}  // namespace demo
