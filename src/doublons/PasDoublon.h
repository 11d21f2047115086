#pragma once

#include <QString>
#include <QStringList>

#include "doublons/Doublons.h"

// Groups the user said are not doubles, remembered in BdClient.mdb.
namespace doublons {

// The table, created on first use beside the journal.
const QString& tablePasDoublon();

// Remembers every pair of these clients' codes (letter case aside) as not a
// double. Throws store::ErreurStore.
void noterPasDoublon(const QString& dossier, const QStringList& codes);

// Takes out of the result every pair remembered as not a double. A group
// that later gains a member is still proposed, for the new pairs only: the
// members linked only through declined pairs fall out, the group splits when
// its links do. `clients` keeps its entries, so that the indexes hold. Reads
// without writing; nothing to do without the table.
void retirerPasDoublons(const QString& dossier, Resultat& resultat);

}  // namespace doublons
