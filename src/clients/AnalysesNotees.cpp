#include "clients/AnalysesNotees.h"

#include "clients/Annulation.h"
#include "store/Journal.h"

namespace clients {

namespace {

const QString kClientsJuges = QStringLiteral("Clients jugés");
const QString kClientsEnErreur = QStringLiteral("Clients en erreur");
const QString kNotesLongues = QStringLiteral("Notes trop longues");

}  // namespace

void noterAnalyse(store::Connexion& cn, const BilanAnalyse& bilan) {
    std::vector<store::journal::Chiffre> chiffres = {
        {kClientsJuges, store::Valeur::entier(bilan.NbCli)},
        {kClientsEnErreur, store::Valeur::entier(bilan.NbCliErr)},
        {kNotesLongues, store::Valeur::entier(bilan.nbNotesLongues)}};
    for (int d = 0; d < kNbDrapeaux; ++d) {
        chiffres.push_back(
            {colonnesJugees()[d],
             store::Valeur::entier(bilan.erreursParChamp[static_cast<std::size_t>(d)])});
    }
    store::journal::noterBilan(cn, operations::kAnalyse, chiffres);
}

std::vector<AnalyseNotee> analysesNotees(const store::Connexion& cn) {
    std::vector<AnalyseNotee> analyses;
    qint64 lot = 0;
    for (const store::journal::Entree& e : store::journal::lireBilans(cn, operations::kAnalyse)) {
        if (analyses.empty() || e.lot != lot) {
            lot = e.lot;
            analyses.push_back({e.quand, {}});
        }
        BilanAnalyse& b = analyses.back().bilan;
        const int n = static_cast<int>(e.apres.texte().toLongLong());
        if (e.colonne == kClientsJuges) {
            b.NbCli = n;
        } else if (e.colonne == kClientsEnErreur) {
            b.NbCliErr = n;
        } else if (e.colonne == kNotesLongues) {
            b.nbNotesLongues = n;
        } else if (const auto d = colonnesJugees().indexOf(e.colonne); d >= 0) {
            b.erreursParChamp[static_cast<std::size_t>(d)] = n;
        }
    }
    return analyses;
}

}  // namespace clients
