#include "tech/LotTech.h"

#include "app/Batch.h"
#include "store/Erreur.h"
#include "tech/AnalyseTech.h"

namespace tech {

namespace {

// The rows as the two lists would hold them, printed list by list.
class Sortie : public ObservateurAnalyse {
public:
    void ligne(Liste liste, const LigneTech& ligne) override {
        (liste == Liste::CliTech ? familles : memos)
            << app::batch::ligneListe(nomListe(liste), colonnes(liste, ligne));
    }
    void imprimer(QTextStream& out) const {
        for (const QStringList* l : {&familles, &memos}) {
            for (const QString& ligne : *l) {
                out << ligne << '\n';
            }
        }
    }

    QStringList familles;
    QStringList memos;
};

}  // namespace

int analyserTechniques(app::batch::Contexte& contexte) {
    app::Variables& v = contexte.variables;
    v.CheminBd = v.cheminBd();
    Sortie sortie;
    try {
        v.NbTech = AnalyseTech(v.CheminBd, sortie);
    } catch (const store::ErreurStore& e) {
        sortie.imprimer(contexte.out);
        contexte.out.flush();
        contexte.err << messageEchecAnalyse(e.message()) << '\n';
        return app::batch::kEchec;
    }
    sortie.imprimer(contexte.out);
    contexte.out << legendeListeTech(sortie.familles.size(), v.NbTech) << '\n';
    if (sortie.familles.isEmpty()) {
        contexte.out << messageSansErreur() << '\n';
    }
    return app::batch::kFait;
}

}  // namespace tech
