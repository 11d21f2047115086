#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace commun {
struct Variables;
}

namespace purge {

namespace operations {
// The batch of the journal that puts a purge back, and its count.
inline const QString kAnnulationPurge = QStringLiteral("Annulation de purge");
inline const QString kLignesRemises = QStringLiteral("Lignes remises");
}  // namespace operations

// The last purge that deleted rows and that no undo put back yet.
struct PurgeAnnulable {
    qint64 lot = 0;
    bool clients = true;  // a purge of clients, or of technical sheets
    QString quand;        // as stored, "YYYY-MM-DD HH:MM:SS"
    std::optional<QDate> dateLimite;
    qint64 nbLignes = 0;
};
std::optional<PurgeAnnulable> dernierePurge(commun::Variables& vars);

struct ResultatAnnulationPurge {
    bool faite = false;
    bool clients = true;
    qint64 nbLignes = 0;  // rows put back
    QString refus;        // why nothing was put back
};

// Puts back every row the purge deleted, rowids and values exactly as they
// were, in one transaction and one batch of the journal. Refused, changing
// nothing, when the journal does not keep the rows whole (a purge of an
// earlier version) or when a client or sheet took their code or number since.
// Throws store::ErreurStore.
ResultatAnnulationPurge AnnulerPurge(commun::Variables& vars, qint64 lot);

// "Annuler la dernière purge (Purge des clients du 06/12/2025 09:12:00, date
// choisie 15/03/2005, 3 client(s)) ?"
QString questionAnnulationPurge(const PurgeAnnulable& p);
QString messageAucunePurge();  // "Aucune purge à annuler."
// "Purge annulée : 3 client(s) remis dans le fichier clients."
QString messagePurgeAnnulee(const ResultatAnnulationPurge& r);

}  // namespace purge
