#include "clients/LotClients.h"

#include <QDir>
#include <QFileInfo>

#include "app/Batch.h"
#include "clients/Analyse.h"
#include "communes/FichierDefaut.h"
#include "platform/ErreurFichier.h"
#include "platform/Fichiers.h"
#include "platform/Rtf.h"
#include "store/Erreur.h"

namespace clients {

namespace {

// The batch face of the run: every list row as one tab-separated line.
class ObservateurLot : public ObservateurAnalyse {
public:
    explicit ObservateurLot(QTextStream& out) : m_out(out) {}

    void noteTropLongue(const NoteLongue& note) override {
        m_out << app::batch::ligneListe(QStringLiteral("ListBN"), {note.code, note.nom}) << '\n';
    }
    void clientEnErreur(const Evaluation& e, int, int) override {
        m_out << app::batch::ligneListe(QStringLiteral("ListCli"),
                                        QStringList{e.CodeClient, e.NomClient} + e.marques())
              << '\n';
    }

private:
    QTextStream& m_out;
};

}  // namespace

bool preparerLot(app::batch::Contexte& c) {
    app::Variables& vars = c.variables;
    const auto defaut = communes::lireDefaut(vars.dossier);
    if (!defaut) {
        c.err
            << QStringLiteral(
                   "Le fichier default.txt est absent du dossier « %1 » : l'analyse en a besoin "
                   "pour compléter les clients sans ville ni code postal. Lancez une fois "
                   "verifclients sans verbe pour choisir la ville par défaut, ou créez ce fichier "
                   "(la ville sur la première ligne, son code postal sur la seconde).\n")
                   .arg(QDir::toNativeSeparators(vars.dossier));
        return false;
    }
    vars.VilleDefaut = defaut->ville;
    vars.CpDefaut = defaut->codePostal;
    vars.NbFichiersRTF = app::compterFichiersRtf(vars.dossier);
    return true;
}

int lotAnalyseClients(app::batch::Contexte& c) {
    if (!preparerLot(c)) {
        return app::batch::kEchec;
    }
    app::Variables& vars = c.variables;
    ObservateurLot observateur(c.out);
    try {
        const BilanAnalyse bilan = AnalyseBd(vars, observateur);
        c.out << messageAnalyseTerminee() << '\n';
        c.out << legendeListe(bilan.NbCliErr, bilan.NbCli) << '\n';
        if (bilan.NbCliErr == 0) {
            c.out << messageSansErreur() << '\n';
        }
    } catch (const store::ErreurStore& e) {
        c.out.flush();
        c.err << e.message() << '\n';
        return app::batch::kEchec;
    } catch (const platform::ErreurFichier& e) {
        c.out.flush();
        c.err << e.message() << '\n';
        return app::batch::kEchec;
    }
    return app::batch::kFait;
}

int lotTexteNote(app::batch::Contexte& c) {
    QString chemin = c.commande.parametres.value(0);
    // A path as given, or a note of the application folder.
    if (!QFileInfo(chemin).isFile() && QFileInfo(chemin).isRelative()) {
        const QString dansDossier = platform::resoudre(c.variables.dossier, chemin);
        if (QFileInfo(dansDossier).isFile()) {
            chemin = dansDossier;
        }
    }
    try {
        c.out << platform::lireNote(chemin);
    } catch (const platform::ErreurFichier& e) {
        c.err << e.message() << '\n';
        return app::batch::kEchec;
    }
    return app::batch::kFait;
}

}  // namespace clients
