#pragma once

#include <QString>
#include <QtGlobal>

class QTreeWidget;
namespace app {
class Form1;
}

namespace exports {

// The confirmations of the two Export buttons: the question, then a warning
// when the error list has rows ("Attention 5 clients sur 120 ne seront pas
// importés." and "dans TRELLINAX PRO." on their own lines), then one when
// records to write hold a value the importer may misread.
QString confirmationClients(int nbLignesListCli, int NbCli, qsizetype nbAmbigus = 0);
QString confirmationTechniques(int nbLignesListCliTech, int NbTech, qsizetype nbAmbigus = 0);

// btnExportClients: confirmation, then the export with its progress in Frame6
// and Listelog, leaving out the clients of ListCli; the closing message.
void btnExportClients_Click(app::Form1& form, const QTreeWidget& ListCli);
// btnExportTech: confirmation, then the export leaving out the sheets of
// ListCliTech; the closing message.
void btnExportTech_Click(app::Form1& form, const QTreeWidget& ListCliTech);

}  // namespace exports
