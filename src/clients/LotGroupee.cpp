#include "clients/LotGroupee.h"

#include "app/Batch.h"
#include "clients/Analyse.h"
#include "clients/Groupee.h"
#include "clients/LotClients.h"
#include "store/Connexion.h"
#include "store/Journal.h"
#include "store/Schema.h"

namespace clients {

namespace {

// Keeps the clients the run lists, with their marks.
class Liste : public ObservateurAnalyse {
public:
    void clientEnErreur(const Evaluation& e, int, int) override {
        clients.push_back({e.CodeClient, e.drapeaux});
    }
    std::vector<ClientListe> clients;
};

}  // namespace

int lotSuggestions(app::batch::Contexte& c) {
    if (!preparerLot(c)) {
        return app::batch::kEchec;
    }
    app::Variables& vars = c.variables;
    Liste liste;
    AnalyseBd(vars, liste);
    const std::vector<ValeurFautive> valeurs = ValeursFautives(vars, liste.clients);
    for (const ValeurFautive& v : valeurs) {
        c.out << app::batch::ligneListe(
                     colonnesJugees()[v.drapeau],
                     QStringList{v.texte, QString::number(v.nombre)} + v.suggestions)
              << '\n';
    }
    c.out << QStringLiteral("%1 valeur(s) en erreur chez %2 client(s) en erreur.")
                 .arg(valeurs.size())
                 .arg(liste.clients.size())
          << '\n';
    return app::batch::kFait;
}

int lotJournal(app::batch::Contexte& c) {
    app::Variables& vars = c.variables;
    vars.CheminBd = vars.cheminBd();
    // An empty or foreign file is no client database, as for every verb.
    store::schema::verifier(vars.CheminBd, {{QStringLiteral("FCLI"), {}}}, false);
    const store::Connexion cn(vars.CheminBd, store::Connexion::Acces::Lecture);
    const auto entrees = store::journal::lire(cn);
    for (const store::journal::Entree& e : entrees) {
        c.out << app::batch::ligneListe(
                     e.quand, {QString::number(e.lot), e.operation, e.table, e.cle.texte(),
                               e.colonne, e.avant.texte(), e.apres.texte()})
              << '\n';
    }
    c.out << (entrees.empty()
                  ? QStringLiteral("Le journal des modifications est vide.")
                  : QStringLiteral("%1 modification(s) au journal.").arg(entrees.size()))
          << '\n';
    return app::batch::kFait;
}

}  // namespace clients
