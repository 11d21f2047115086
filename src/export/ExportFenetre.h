#pragma once

#include <QString>
#include <QtGlobal>

class QTreeWidget;
namespace commun {
struct Variables;
class Messages;
class Cadre;
}  // namespace commun

namespace exports {

// The confirmations of the two Export buttons: the question, then a warning
// when the error list has rows ("Attention 5 clients sur 120 ne seront pas
// importés." and "dans TRELLINAX PRO." on their own lines), then one when
// records to write hold a value the importer may misread.
QString confirmationClients(int nbLignesListCli, int NbCli, qsizetype nbAmbigus = 0);
QString confirmationTechniques(int nbLignesListCliTech, int NbTech, qsizetype nbAmbigus = 0);

// btnExportClients: confirmation, then the export with its progress in the
// window's progress panel, leaving out the clients of ListCli; the closing
// message. The window of ListCli cannot be closed while the export runs.
void btnExportClients_Click(commun::Variables& vars, commun::Messages& messages,
                            commun::Cadre& cadre, const QTreeWidget& ListCli);
// btnExportTech: confirmation, then the export leaving out the sheets of
// ListCliTech; the closing message.
void btnExportTech_Click(commun::Variables& vars, commun::Messages& messages,
                         const QTreeWidget& ListCliTech);

}  // namespace exports
