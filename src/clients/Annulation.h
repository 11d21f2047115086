#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "clients/Regles.h"

namespace commun {
struct Variables;
}

namespace clients {

// The names under which the client runs record their changes in the journal.
namespace operations {
inline const QString kRangement = QStringLiteral("Rangement des clients");
inline const QString kCorrection = QStringLiteral("Correction");
inline const QString kCodePostal = QStringLiteral("Code postal et ville");
inline const QString kGroupee = QStringLiteral("Correction groupée");
inline const QString kAnnulation = QStringLiteral("Annulation");
// Not a change: what each analysis run found.
inline const QString kAnalyse = QStringLiteral("Analyse des clients");
// What "Annuler la dernière correction" undoes: a save of the panel (the
// postal code panel's included), a grouped correction or a merge of doubles.
const QStringList& annulables();
}  // namespace operations

// The last correction that can be undone.
struct CorrectionAnnulable {
    qint64 lot = 0;
    QString operation;
    QString quand;  // as stored, "YYYY-MM-DD HH:MM:SS"
    int nbClients = 0;
};
std::optional<CorrectionAnnulable> derniereCorrection(commun::Variables& vars);

struct ResultatAnnulation {
    bool faite = false;
    // Refused: the clients whose values changed since ("A12 DUPONT Marie"),
    // or why, when it is not that.
    QStringList changes;
    QString refus;
    // Done: the clients put back, judged again, and the records of FCLI.
    std::vector<Evaluation> clients;
    int nbClients = 0;
};

// Puts back the values the batch replaced, when every value it wrote is still
// there; otherwise changes nothing and names the clients changed since. The
// undo is one transaction and one batch of the journal. Throws
// store::ErreurStore.
ResultatAnnulation AnnulerCorrection(commun::Variables& vars, qint64 lot);

// "Annuler la dernière correction (Correction groupée du 06/12/2025 09:12, 212 clients) ?"
QString questionAnnulation(const CorrectionAnnulable& c);
QString messageRienAAnnuler();  // "Aucune correction à annuler."
QString messageRefus(const ResultatAnnulation& r);
QString messageAnnulee(const ResultatAnnulation& r);

}  // namespace clients
