#include "tech/VerbesTech.h"

#include "commun/Verbes.h"
#include "store/Erreur.h"
#include "tech/AnalyseTech.h"

namespace tech {

void SortieAnalyseFiches::ligne(Liste liste, const LigneTech& ligne) {
    if (liste != Liste::CliTech) {
        if (m_lignes) {
            m_memos << commun::ligneListe(nomListe(liste), colonnes(liste, ligne));
        }
        return;
    }
    ++nbSansFamille;
    if (m_lignes) {
        m_familles << commun::ligneListe(nomListe(liste), colonnes(liste, ligne));
    }
    bool ok = false;
    const qint64 numero = ligne.numero.toLongLong(&ok);
    if (ok) {
        exclus.insert(numero);
    }
}

void SortieAnalyseFiches::imprimer(QTextStream& out) const {
    for (const QStringList* l : {&m_familles, &m_memos}) {
        for (const QString& texte : *l) {
            out << texte << '\n';
        }
    }
}

std::optional<SortieAnalyseFiches> analyserFiches(commun::Contexte& c, bool lignes) {
    commun::Variables& v = c.variables;
    v.CheminBd = v.cheminBd();
    SortieAnalyseFiches sortie(lignes);
    try {
        v.NbTech = AnalyseTech(v.CheminBd, sortie);
    } catch (const store::ErreurStore& e) {
        sortie.imprimer(c.out);
        c.out.flush();
        c.err << messageEchecAnalyse(e.message()) << '\n';
        return std::nullopt;
    }
    sortie.imprimer(c.out);
    c.out << legendeListeTech(sortie.nbSansFamille, v.NbTech) << '\n';
    return sortie;
}

int verbeAnalyseTechniques(commun::Contexte& contexte) {
    const auto analyse = analyserFiches(contexte);
    if (!analyse) {
        return commun::kEchec;
    }
    if (analyse->nbSansFamille == 0) {
        contexte.out << messageSansErreur() << '\n';
    }
    return commun::kFait;
}

}  // namespace tech
