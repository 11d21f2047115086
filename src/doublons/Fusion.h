#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

// Merging the members of a candidate group into one client, and undoing it.
namespace doublons {

// The name under which a merge records its changes in the journal.
inline const QString kOperationFusion = QStringLiteral("Fusion de doublons");
// The journal's rows for a note file renamed by a merge: table, column.
inline const QString kTableNotes = QStringLiteral("Notes");
inline const QString kColonneNote = QStringLiteral("Fichier");
// The journal's row that names the kept client: its code in `Cle`, its rowid
// in `Apres`.
inline const QString kColonneGarde = QStringLiteral("Client gardé");

struct DemandeFusion {
    qint64 garde = 0;            // rowid of the client kept
    std::vector<qint64> autres;  // rowids of the clients merged into it
    // Columns of FCLI whose value the kept client takes from another member
    // (its rowid); every other column keeps the kept client's own. "Code"
    // is never taken (the sheets and visits go to the kept code), nor the
    // table's primary key.
    std::map<QString, qint64> sources;
};

struct BilanFusion {
    qint64 lot = 0;  // the journal's batch
    QString codeGarde;
    QStringList codesFusionnes;  // the others' codes, in the order asked
    int nbFiches = 0;            // sheets moved to the kept code
    int nbVisites = 0;           // visits moved
    QString noteRenommee;        // "CliB7.RTF" become the kept client's note; empty if none
    QStringList notesLaissees;   // the others' notes left in place (the kept one had its own)
};

// Merges, in one transaction recorded in the journal: the kept client takes
// the chosen values, every sheet (FTEC.Code_Client) and visit
// (FCONS.CODE_CLIENT) of the others goes to its code, the others are deleted.
// A note of another member becomes the kept client's when it has none; the
// others are left in place, never deleted. A code another client outside the
// merge still holds keeps its sheets, visits and note. On any failure the
// database and the note files stay as they were.
// Throws store::ErreurStore or platform::ErreurFichier.
BilanFusion fusionner(const QString& dossier, const DemandeFusion& demande);

struct ResultatAnnulationFusion {
    bool faite = false;
    QString refus;      // why it cannot be undone, in French
    QStringList codes;  // the clients put back
    QString codeGarde;
    std::vector<qint64> rowids;  // of the kept client and of those put back
};

// Undoes the merge of that batch: values, sheets, visits, deleted clients
// (rowids included) and note names, in one transaction recorded as an undo
// of that batch. Refused, changing nothing, when anything the merge wrote
// has changed since or a deleted client's code or row was taken.
// Throws store::ErreurStore or platform::ErreurFichier.
ResultatAnnulationFusion annulerFusion(const QString& dossier, qint64 lot);

// "Fusion faite : 3 clients réunis sous le code A12 (2 fiche(s), 5 visite(s) déplacée(s))."
QString messageFusion(const BilanFusion& bilan);

}  // namespace doublons
