#include "app/VerbeJournal.h"

#include "commun/Verbes.h"
#include "store/Connexion.h"
#include "store/Journal.h"
#include "store/Schema.h"

namespace app {

int verbeJournal(commun::Contexte& c) {
    commun::Variables& vars = c.variables;
    vars.CheminBd = vars.cheminBd();
    // An empty or foreign file is no client database, as for every verb.
    store::schema::verifier(vars.CheminBd, {{QStringLiteral("FCLI"), {}}}, false);
    const store::Connexion cn(vars.CheminBd, store::Connexion::Acces::Lecture);
    const auto entrees = store::journal::lire(cn);
    for (const store::journal::Entree& e : entrees) {
        c.out << commun::ligneListe(e.quand,
                                    {QString::number(e.lot), e.operation, e.table, e.cle.texte(),
                                     e.colonne, e.avant.texte(), e.apres.texte()})
              << '\n';
    }
    c.out << (entrees.empty()
                  ? QStringLiteral("Le journal des modifications est vide.")
                  : QStringLiteral("%1 modification(s) au journal.").arg(entrees.size()))
          << '\n';
    return commun::kFait;
}

}  // namespace app
