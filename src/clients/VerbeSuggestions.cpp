#include "clients/VerbeSuggestions.h"

#include "clients/Analyse.h"
#include "clients/Groupee.h"
#include "clients/VerbesClients.h"
#include "commun/Verbes.h"

namespace clients {

namespace {

// Keeps the clients the run lists, with their marks.
class CollecteAnalyseClients : public ObservateurAnalyseClients {
public:
    void clientEnErreur(const Evaluation& e, int, int) override {
        clients.push_back({e.CodeClient, e.drapeaux});
    }
    std::vector<ClientListe> clients;
};

}  // namespace

int verbeSuggestions(commun::Contexte& c) {
    if (!preparerAnalyse(c)) {
        return commun::kEchec;
    }
    commun::Variables& vars = c.variables;
    CollecteAnalyseClients liste;
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

}  // namespace clients
