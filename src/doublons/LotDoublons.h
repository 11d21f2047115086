#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// The batch verbs on duplicate clients. Each takes the application folder,
// its parameters and the two output streams, and returns the exit code
// (0 done, 1 failed with a message, 2 misused).
namespace doublons {

// --doublons: one line per candidate pair, best first
// ("Doublon<TAB>code1<TAB>code2<TAB>score<TAB>Nom,Prénom,Téléphone"), then
// the caption with the number of groups.
int lotDoublons(const QString& dossier, QTextStream& out, QTextStream& err);

// --fusionner CODE_GARDE CODE [CODE…]: merges the clients of these codes into
// the first, keeping its own values, as the window does; says what moved and
// which notes were left in place. An unknown code, a code given twice or held
// by several clients changes nothing and gives 1.
int lotFusionner(const QString& dossier, const QStringList& codes, QTextStream& out,
                 QTextStream& err);

}  // namespace doublons
