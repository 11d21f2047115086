#include "tech/LotTech.h"

#include "app/Batch.h"
#include "store/Erreur.h"
#include "tech/AnalyseTech.h"

namespace tech {

void SortieLot::ligne(Liste liste, const LigneTech& ligne) {
    const QString texte = commun::ligneListe(nomListe(liste), colonnes(liste, ligne));
    if (liste != Liste::CliTech) {
        memos << texte;
        return;
    }
    familles << texte;
    bool ok = false;
    const qint64 numero = ligne.numero.toLongLong(&ok);
    if (ok) {
        exclus.insert(numero);
    }
}

void SortieLot::imprimer(QTextStream& out) const {
    for (const QStringList* l : {&familles, &memos}) {
        for (const QString& texte : *l) {
            out << texte << '\n';
        }
    }
}

int analyserTechniques(commun::Contexte& contexte) {
    commun::Variables& v = contexte.variables;
    v.CheminBd = v.cheminBd();
    SortieLot sortie;
    try {
        v.NbTech = AnalyseTech(v.CheminBd, sortie);
    } catch (const store::ErreurStore& e) {
        sortie.imprimer(contexte.out);
        contexte.out.flush();
        contexte.err << messageEchecAnalyse(e.message()) << '\n';
        return commun::kEchec;
    }
    sortie.imprimer(contexte.out);
    contexte.out << legendeListeTech(sortie.familles.size(), v.NbTech) << '\n';
    if (sortie.familles.isEmpty()) {
        contexte.out << messageSansErreur() << '\n';
    }
    return commun::kFait;
}

}  // namespace tech
