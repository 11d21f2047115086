#pragma once

#include <QDate>
#include <QString>

namespace commun {
struct Contexte;
}

namespace purge {

// A date of the command line: "JJ/MM/AAAA" or "AAAA-MM-JJ"; invalid otherwise.
QDate lireDateCommande(const QString& texte);

// --purge-clients DATE [--oui], --purge-techniques DATE [--oui]: the count
// alone on its line, then with --oui the deletion and "Purge effecuée.".
int verbePurgeClients(commun::Contexte& contexte);
int verbePurgeTechniques(commun::Contexte& contexte);
// --annuler-purge: puts back what the last purge deleted and says how many.
int verbeAnnulerPurge(commun::Contexte& contexte);

}  // namespace purge
