#include "clients/VerbesClients.h"

#include <QFileInfo>

#include "clients/Analyse.h"
#include "commun/Verbes.h"
#include "communes/FichierDefaut.h"
#include "platform/ErreurFichier.h"
#include "platform/Fichiers.h"
#include "platform/Rtf.h"
#include "store/Erreur.h"

namespace clients {

namespace {

// The batch face of the run: every list row as one tab-separated line.
class SortieAnalyseClients : public ObservateurAnalyseClients {
public:
    SortieAnalyseClients(QTextStream& out, QSet<QString>* exclus) : m_out(out), m_exclus(exclus) {}

    void noteTropLongue(const NoteLongue& note) override {
        m_out << commun::ligneListe(QStringLiteral("ListBN"), {note.code, note.nom}) << '\n';
    }
    void avertissement(const QString& texte) override { m_out << texte << '\n'; }
    void clientEnErreur(const Evaluation& e, int, int) override {
        m_out << commun::ligneListe(QStringLiteral("ListCli"),
                                    QStringList{e.CodeClient, e.NomClient} + e.marques())
              << '\n';
        if (m_exclus) {
            m_exclus->insert(e.CodeClient);
        }
    }

private:
    QTextStream& m_out;
    QSet<QString>* m_exclus;
};

}  // namespace

bool preparerAnalyse(commun::Contexte& c) {
    commun::Variables& vars = c.variables;
    const communes::LectureDefaut lu = communes::lireDefaut(vars.dossier);
    // Checked against the reference before the run changes anything.
    const QString raison = lu.etat == communes::LectureDefaut::Etat::Lu
                               ? communes::defautInvalide(vars.dossier, lu.valeurs)
                               : QString();
    if (lu.etat != communes::LectureDefaut::Etat::Lu || !raison.isEmpty()) {
        c.err << communes::messageDefautCommande(vars.dossier, lu, raison) << '\n';
        return false;
    }
    vars.VilleDefaut = lu.valeurs.ville;
    vars.CpDefaut = lu.valeurs.codePostal;
    vars.NbFichiersRTF = commun::compterFichiersRtf(vars.dossier);
    return true;
}

BilanAnalyse analyserClients(commun::Contexte& c, QSet<QString>* exclus) {
    commun::Variables& vars = c.variables;
    SortieAnalyseClients observateur(c.out, exclus);
    const BilanAnalyse bilan = AnalyseBd(vars, observateur);
    vars.NbCli = bilan.NbCli;
    vars.NbCliErr = bilan.NbCliErr;
    c.out << messageAnalyseTerminee() << '\n';
    c.out << legendeListe(bilan.NbCliErr, bilan.NbCli) << '\n';
    return bilan;
}

int verbeAnalyseClients(commun::Contexte& c) {
    if (!preparerAnalyse(c)) {
        return commun::kEchec;
    }
    if (analyserClients(c).NbCliErr == 0) {
        c.out << messageSansErreur() << '\n';
    }
    return commun::kFait;
}

int verbeTexteNote(commun::Contexte& c) {
    QString chemin = c.commande.parametres.value(0);
    // A path as given, or a note of the application folder (whatever it is:
    // reading it says why it is not a note).
    const QFileInfo donne(chemin);
    if (!donne.exists() && !donne.isSymLink() && donne.isRelative()) {
        const QString dansDossier = platform::resoudre(c.variables.dossier, chemin);
        if (QFileInfo(dansDossier).exists() || QFileInfo(dansDossier).isSymLink()) {
            chemin = dansDossier;
        }
    }
    c.out << platform::lireNote(chemin);
    return commun::kFait;
}

}  // namespace clients
