#pragma once

#include <QDate>
#include <QString>

namespace app::batch {
struct Contexte;
}

namespace purge {

// A date of the command line: "JJ/MM/AAAA" or "AAAA-MM-JJ"; invalid otherwise.
QDate lireDateLot(const QString& texte);

// --purge-clients DATE [--oui], --purge-techniques DATE [--oui]: the count
// alone on its line, then with --oui the deletion and "Purge effecuée.".
int lotPurgeClients(app::batch::Contexte& contexte);
int lotPurgeTechniques(app::batch::Contexte& contexte);
// --annuler-purge: puts back what the last purge deleted and says how many.
int lotAnnulerPurge(app::batch::Contexte& contexte);

}  // namespace purge
