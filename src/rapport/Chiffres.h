#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "clients/AnalysesNotees.h"
#include "clients/Regles.h"
#include "doublons/BilanDoublons.h"
#include "store/Valeur.h"

namespace commun {
struct Variables;
}

namespace rapport {

// A client's note that could not be read, and why.
struct NoteIllisible {
    QString code;
    QString nom;
    QString fichier;  // "Cli24.RTF"
    QString cause;    // "ce n'est pas un fichier ordinaire"…
};

// A client whose note is longer than the export carries.
struct NoteLongue {
    QString code;
    QString nom;       // Nom + " " + Prénom
    int longueur = 0;  // characters of the note's plain text
    int perdus = 0;    // characters the export leaves out
};

// A technical sheet that a rule faults.
struct FicheEnErreur {
    QString numero;
    QString code;  // its client's Code and "Nom Prénom", empty when no client has that code
    QString nom;
    bool sansFamille = false;  // left out of the export
    bool memoLong = false;
    int longueurMemo = 0;  // characters of the stored memo
};

// A record an export made now would write with a value the importer may
// misread (a ";" not in the line's last value, a lone CR or LF).
struct LigneAmbigue {
    QString cle;  // the client's Code, or the sheet's Numéro
    QString nom;  // the client's "Nom Prénom", or the sheet's client's Code
};

// An export file of the folder (FCLI_1.txt…, FTEC_1.txt…).
struct FichierExport {
    QString nom;
    qint64 lignes = 0;  // records, the header line aside
    qint64 octets = 0;
    QDateTime date;
};

// One value changed, as the journal keeps it.
struct Changement {
    QDateTime quand;  // start of its run
    QString operation;
    QString cle;  // the client's Code or the sheet's Numéro
    // Who it concerns now: the client's "Nom Prénom", or for a sheet its
    // client's "Code Nom Prénom"; empty when gone.
    QString nom;
    QString colonne;
    store::Valeur avant;
    store::Valeur apres;
    std::optional<QDateTime> annulee;  // when an undo put the value back
};

// What the tidying changed in one column of FCLI.
struct ColonneRangee {
    QString colonne;
    qint64 nbValeurs = 0;
    std::vector<Changement> exemples;  // a few, each showing a different change
};

// One value of one field replaced for every client that held it.
struct ValeurRemplacee {
    QString colonne;
    store::Valeur avant;
    store::Valeur apres;
    qint64 nbClients = 0;
};

// One grouped correction, its replacements in the fields' order.
struct CorrectionGroupee {
    QDateTime quand;
    std::vector<ValeurRemplacee> remplacements;
    qint64 nbClients = 0;  // clients changed
    std::optional<QDateTime> annulee;
};

struct PurgeFaite {
    QDateTime quand;
    bool clients = true;              // a purge of clients, or of technical sheets
    std::optional<QDate> dateLimite;  // not known for purges made before it was noted
    qint64 nbSupprimes = 0;
    std::optional<QDateTime> annulee;  // when an undo put its rows back
};

// What the journal of the database tells: every change the program made and
// the figures of each client analysis.
struct Journal {
    // The first analysis the journal keeps, and how many it keeps.
    std::optional<clients::AnalyseNotee> premiereAnalyse;
    qint64 nbAnalyses = 0;

    // The tidying of the analyses, in FCLI's column order.
    std::vector<ColonneRangee> rangement;
    qint64 nbValeursRangees = 0;
    qint64 nbClientsRanges = 0;

    // Saves of the correction panel and of the postal code panel, in order.
    std::vector<Changement> correctionsMain;
    std::vector<CorrectionGroupee> correctionsGroupees;

    // Families chosen for technical sheets, in order; memos whose end was tidied.
    std::vector<Changement> familles;
    qint64 nbMemosNettoyes = 0;

    std::vector<PurgeFaite> purges;
};

// What the migration report says, as figures: the store and the folder as
// they are when gathered, judged by the analysis rules, nothing written.
struct Chiffres {
    // The folder and the database.
    QString dossier;
    QDateTime date;
    qint64 tailleBase = 0;  // bytes of BdClient.mdb
    qint64 nbClients = 0;
    qint64 nbFiches = 0;
    qint64 nbVisites = 0;
    QString villeDefaut;
    QString cpDefaut;
    std::optional<QDateTime> sauvegarde;  // BdClient.sav, when there is one

    // Clients judged by the thirteen rules, those in error in table order.
    std::vector<clients::Evaluation> clientsEnErreur;
    std::array<qint64, clients::kNbDrapeaux> erreursParChamp{};

    // Notes longer than the export carries, in table order.
    int nbFichiersNotes = 0;
    std::vector<NoteLongue> notesLongues;
    // Notes that could not be read (not a regular file, no permission), in
    // table order: the report goes on without them.
    std::vector<NoteIllisible> notesIllisibles;

    // Sheets in error, in table order.
    std::vector<FicheEnErreur> fiches;
    qint64 nbSansFamille = 0;
    qint64 nbMemosLongs = 0;

    // Records an export made now would write, that the importer may misread;
    // in table order.
    std::vector<LigneAmbigue> clientsAmbigus;
    std::vector<LigneAmbigue> fichesAmbigues;

    // Export files present, in their number's order.
    std::vector<FichierExport> fichiersClients;
    std::vector<FichierExport> fichiersFiches;

    Journal journal;
    // Candidate duplicate clients, merges made and groups declined.
    doublons::BilanDoublons doublons;

    qint64 nbClientsEnErreur() const { return static_cast<qint64>(clientsEnErreur.size()); }
    // What an export made now would write.
    qint64 nbClientsExportables() const { return nbClients - nbClientsEnErreur(); }
    qint64 nbFichesExportables() const { return nbFiches - nbSansFamille; }
};

// What gathering reports while it goes (it reads every client, note and sheet).
class ObservateurRassemblement {
public:
    virtual ~ObservateurRassemblement() = default;
    virtual void clients(qint64 /*n*/, qint64 /*total*/) {}
    virtual void fiches(qint64 /*n*/, qint64 /*total*/) {}
};

// Gathers the figures of the folder of `vars` (its default town included)
// from one consistent reading of BdClient.mdb. The clients are judged with
// the towns reference of `vars`, opened when it is not open yet and left so.
// Nothing is written. Throws store::ErreurStore or platform::ErreurFichier.
Chiffres rassembler(commun::Variables& vars, ObservateurRassemblement* observateur = nullptr);

// "Nom", "Prénom" … "Date de naissance": the judged fields as a reader names them.
const QStringList& libellesChamps();
// A column of FCLI or FTEC as a reader names it: "Code Postal" is "Code postal".
QString libelleColonne(const QString& colonne);

// The fields in error of a client, joined: "Ville, Code postal".
QString champsEnErreur(const clients::Evaluation& e);

// The export files of the folder whose names are "<prefixe>_<n>.txt".
std::vector<FichierExport> fichiersExport(const QString& dossier, const QString& prefixe);

// Lines of an export file's content, the header aside: UTF-16 with its byte
// order mark as the export writes it, or 8-bit text.
qint64 compterLignes(const QByteArray& contenu);

}  // namespace rapport
