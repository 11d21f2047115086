#pragma once

#include <QMap>
#include <QString>
#include <optional>

#include "clients/Regles.h"

namespace commun {
struct Variables;
}

namespace clients {

// The search criterion of a listed client: a code that starts with a capital
// letter is quoted, any other is not ("Code = 'A12'", "Code = 1234"). The
// store compares the field's text, so both find their client.
QString critereClient(const QString& code);

// The panel's view of one client: the text of each FCLI column it shows (a
// Null value as the empty text), and whether Prénom etc. were Null.
struct FicheClient {
    QMap<QString, QString> textes;  // column name -> text
    QMap<QString, bool> nuls;       // column name -> the value was Null
    QString texte(const QString& colonne) const { return textes.value(colonne); }
};

// Loads the client from FCLI and sets NbCli to the table's record count.
// Nothing when the code is not found. Throws store::ErreurStore.
std::optional<FicheClient> chargerClient(commun::Variables& vars, const QString& code);

// The save of one corrected field: writes the text into the column (and, for
// the postal code, the town into Ville), updates the record once, then judges
// the client again with the rules (the re-check). Nothing when the client is
// no longer there. Throws store::ErreurStore.
struct Enregistrement {
    QString colonne;
    QString texte;
    std::optional<QString> ville;  // with "Code Postal" only
};
struct Reverification {
    Evaluation evaluation;
    int nbClients = 0;  // records of FCLI
};
std::optional<Reverification> enregistrerChamp(commun::Variables& vars, const QString& code,
                                               const Enregistrement& e);

// The "00" rendering of a typed Cat, Age or Mois Nais: nothing when the text
// does not read as a number; an empty text stays empty.
std::optional<QString> renduDeuxChiffres(const QString& texte);

// "Nom     { 5 }"; a Null value gives "Nom     {  }".
QString legendeLongueur(const QString& nom, const std::optional<QString>& valeur);

}  // namespace clients
