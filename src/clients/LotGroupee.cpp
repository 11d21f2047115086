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

int lotSuggestions(commun::Contexte& c) {
    if (!preparerLot(c)) {
        return commun::kEchec;
    }
    commun::Variables& vars = c.variables;
    Liste liste;
    AnalyseBd(vars, liste);
    const std::vector<ValeurFautive> valeurs = ValeursFautives(vars, liste.clients);
    for (const ValeurFautive& v : valeurs) {
        c.out << commun::ligneListe(colonnesJugees()[v.drapeau],
                                    QStringList{v.texte, QString::number(v.nombre)} + v.suggestions)
              << '\n';
    }
    c.out << QStringLiteral("%1 valeur(s) en erreur chez %2 client(s) en erreur.")
                 .arg(valeurs.size())
                 .arg(liste.clients.size())
          << '\n';
    return commun::kFait;
}

int lotJournal(commun::Contexte& c) {
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

}  // namespace clients
