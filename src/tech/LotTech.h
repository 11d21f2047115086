#pragma once

#include <QSet>
#include <QStringList>
#include <QTextStream>

#include "tech/AnalyseTech.h"

namespace commun {
struct Contexte;
}

namespace tech {

// The rows of the two lists as the batch prints them, list by list, and the
// numbers of the sheets without family.
class SortieLot : public ObservateurAnalyse {
public:
    void ligne(Liste liste, const LigneTech& ligne) override;
    void imprimer(QTextStream& out) const;

    QStringList familles;
    QStringList memos;
    QSet<qint64> exclus;
};

// --analyse-techniques: the sheet analysis without a window. Prints the rows
// of ListCliTech, then those of ListMemo, then the count caption and, when no
// sheet lacks its family, the window's message.
int analyserTechniques(commun::Contexte& contexte);

}  // namespace tech
