#include "clients/LotGroupee.h"

#include <QDir>

#include "app/Batch.h"
#include "clients/Analyse.h"
#include "clients/Groupee.h"
#include "communes/FichierDefaut.h"
#include "platform/ErreurFichier.h"
#include "store/Connexion.h"
#include "store/Erreur.h"
#include "store/Journal.h"

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

int echec(app::batch::Contexte& c, const QString& message) {
    c.out.flush();
    c.err << message << '\n';
    return app::batch::kEchec;
}

}  // namespace

int lotSuggestions(app::batch::Contexte& c) {
    app::Variables& vars = c.variables;
    const auto defaut = communes::lireDefaut(vars.dossier);
    if (!defaut) {
        return echec(c, QStringLiteral("Le fichier default.txt est absent du dossier « %1 » : "
                                       "l'analyse en a besoin. Lancez une fois verifclients sans "
                                       "verbe pour choisir la ville par défaut, ou créez ce "
                                       "fichier (la ville sur la première ligne, son code postal "
                                       "sur la seconde).")
                            .arg(QDir::toNativeSeparators(vars.dossier)));
    }
    vars.VilleDefaut = defaut->ville;
    vars.CpDefaut = defaut->codePostal;
    vars.NbFichiersRTF = app::compterFichiersRtf(vars.dossier);
    Liste liste;
    try {
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
    } catch (const store::ErreurStore& e) {
        return echec(c, e.message());
    } catch (const platform::ErreurFichier& e) {
        return echec(c, e.message());
    }
    return app::batch::kFait;
}

int lotJournal(app::batch::Contexte& c) {
    app::Variables& vars = c.variables;
    try {
        vars.CheminBd = vars.cheminBd();
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
    } catch (const store::ErreurStore& e) {
        return echec(c, e.message());
    }
    return app::batch::kFait;
}

}  // namespace clients
