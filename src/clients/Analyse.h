#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "clients/Regles.h"

namespace commun {
struct Variables;
}

namespace clients {

// A client whose note is longer than the export carries.
struct NoteLongue {
    QString code;
    QString nom;            // Nom + " " + Prénom
    QString garde;          // the first 500 characters
    QString perdu;          // the rest
    int nbLongues = 0;      // over-long notes found so far in this pass
    int nbFichiersRtf = 0;  // note files of the folder
};

// What the client analysis run reports while it goes; the window shows it and
// lets events through (SuiviAnalyseClients), the batch mode prints it
// (SortieAnalyseClients). Every run names its observer so: Observateur<Run>,
// Suivi<Run> for the window's face, Sortie<Run> for the batch's; the two
// analyses share their hooks: rangement while tidying, then debut and
// progression while judging.
class ObservateurAnalyseClients {
public:
    virtual ~ObservateurAnalyseClients() = default;
    // The tidy pass begins: the long-note list starts empty.
    virtual void debutRangement(int /*nbClients*/) {}
    virtual void rangement(int /*n*/, int /*total*/) {}
    virtual void noteTropLongue(const NoteLongue& /*note*/) {}
    // The judgement begins: the error list starts empty.
    virtual void debut(int /*nbClients*/) {}
    virtual void progression(int /*n*/, int /*total*/) {}
    virtual void clientEnErreur(const Evaluation& /*e*/, int /*nbCliErr*/, int /*total*/) {}
    // What the user must know and that does not stop the run (a note that
    // could not be read, an old backup set aside), in French.
    virtual void avertissement(const QString& /*texte*/) {}
};

// Longest note text the client export carries.
constexpr int kLimiteNote = 500;

// What the run needs, checked before its first change so that nothing is
// written when one is missing: the towns reference and its table, the client
// database with FCLI and the columns the run reads, the database and its
// folder writable. Throws store::ErreurStore naming what is missing.
void verifierPrealables(const commun::Variables& vars);

// Makes BdClient.sav when there is no backup yet, only of a database that
// holds FCLI: a consistent copy written under a temporary name and renamed, so
// a crash never leaves a half backup behind. A BdClient.sav that is not such
// a database is no backup: it is kept under another name and a real one is
// made. Returns the sentence that says so, empty otherwise.
QString SauvegardeBd(const QString& dossier);

// Turns the FCLI column "Ville" (exactly that name) into text of 50
// characters; values are kept whole, longer towns included.
void VerifColonneVille(commun::Variables& vars);

// Backup, then one pass over FCLI that tidies every record (one write each,
// committed in batches so that a stopped pass leaves every record tidied or
// untouched) and reports the over-long notes. Returns how many there are.
int PreAnalyseCli(commun::Variables& vars, ObservateurAnalyseClients& obs);

struct BilanAnalyse {
    int NbCli = 0;     // clients of FCLI
    int NbCliErr = 0;  // clients in error
    int nbNotesLongues = 0;
    std::array<int, kNbDrapeaux> erreursParChamp{};  // clients in error on each field
};

// The whole client analysis run: backup, town column, tidying and note check,
// then the rules on every client, and what it found noted in the journal
// (see AnalysesNotees.h). Leaves the towns reference open in `vars` for the
// re-checks. Throws store::ErreurStore or platform::ErreurFichier.
BilanAnalyse AnalyseBd(commun::Variables& vars, ObservateurAnalyseClients& obs);

// Captions and messages of the run.
QString legendeListe(int nbListes, int nbClients);    // "Liste des clients avec erreur (3 / 230)"
QString legendeProgression(int n, int total);         // "15 / 230"
QString legendeNotes(int nbLongues, int nbFichiers);  // "3 / 120"
QString messageAnalyseTerminee();                     // "Analyse terminée."
QString messageSansErreur();  // "Votre fichier clients ne comporte pas d'erreur."
// The run's warnings in one message, the first few of a long list only.
QString messageAvertissements(const QStringList& avertissements);

}  // namespace clients
