#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "store/Valeur.h"

namespace commun {
class Communes;
}
namespace store {
class Recordset;
}

namespace clients {

// The thirteen error flags, in the fixed order of evaluation; each is also the
// ListCli column of the same name (sub-item = flag + 2).
enum Drapeau {
    ErrNom,
    ErrPrenom,
    ErrAdresse,
    ErrAdresse2,
    ErrVille,
    ErrCP,
    ErrCatAge,
    ErrMoisNais,
    ErrTel1,
    ErrTel2,
    ErrGenCode,
    ErrEmail,
    ErrDateNaissance,
    kNbDrapeaux
};
using Drapeaux = std::array<bool, kNbDrapeaux>;

// "ErrNom" … "ErrDateNaissance".
const QStringList& nomsDrapeaux();
// The FCLI column judged by each flag, same order.
const QStringList& colonnesJugees();

// One client judged: the flags, and the name and code shown in its row.
struct Evaluation {
    Drapeaux drapeaux{};
    QString NomClient;   // Nom + " " + Prénom, a Null part as empty text
    QString CodeClient;  // Code as text
    bool enErreur() const;
    // "x" or "" for each flag, in order: the row's sub-items 2 to 14.
    QStringList marques() const;
};

// Length and pattern test of one value; true for an error. A Null value is
// never an error. Lengths count UTF-16 code units.
bool ErrExpression(const QString& NomChamp, const store::Valeur& ValChamp,
                   const QString& Expression, int lng);
// True when the date lies below 1/1900 of a day after 30 December 1899.
bool ErrDate(const QString& NomChamp, const store::Valeur& ValChamp);

// The rule of one flag on the value of its column: each flag looks at its own
// column only. The town and the postal code are asked of the reference.
bool ErrChamp(Drapeau drapeau, const store::Valeur& valeur, commun::Communes& communes);

// One client's values as the rules read them: its code, name and the thirteen
// judged columns in flag order.
struct ValeursClient {
    store::Valeur code, nom, prenom;
    std::array<store::Valeur, kNbDrapeaux> champs;
};

// The rules on the rows of a recordset open on FCLI, or on values read
// elsewhere. Reads only. The columns are looked up once, and each town and
// postal code is asked of the reference once per judge: many clients share a
// town. A missing column throws store::ErreurStore.
class Juge {
public:
    Juge(const store::Recordset& rs, commun::Communes& communes);
    explicit Juge(commun::Communes& communes);
    // The current row of the recordset.
    Evaluation evaluer();
    Evaluation evaluer(const ValeursClient& valeurs);
    // ErrChamp, with the answers of the reference kept.
    bool enErreur(Drapeau drapeau, const store::Valeur& valeur);

private:
    bool villeConnue(const QString& ville);
    bool cpConnu(const QString& cp);

    const store::Recordset* m_rs = nullptr;
    commun::Communes& m_communes;
    int m_code = -1, m_nom = -1, m_prenom = -1;
    std::array<int, kNbDrapeaux> m_colonnes{};
    QHash<QString, bool> m_villes;
    QHash<QString, bool> m_cps;
};

// The rules on the current row of a recordset open on FCLI, for one client.
Evaluation AnalyseClient(const store::Recordset& rs, commun::Communes& communes);

// The index of a column of the recordset; a missing one throws store::ErreurStore.
int indexColonne(const store::Recordset& rs, const QString& nom);

// The patterns, as passed to ErrExpression.
namespace motifs {
extern const QString kDeuxChiffres;  // Cat, Age and Mois Nais
extern const QString kTelephone;
extern const QString kGenCode;
extern const QString kEmail;
}  // namespace motifs

// A text that reads as a number (blanks around it, a sign, a decimal comma or
// point), as the "00" rendering and the type check take it.
std::optional<double> lireNombre(const QString& texte);
// The "00" rendering: rounded to a whole number, at least two digits.
QString formatDeuxChiffres(double nombre);

}  // namespace clients
