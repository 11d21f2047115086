#pragma once

#include <QSet>
#include <QStringList>
#include <QTextStream>
#include <optional>

#include "tech/AnalyseTech.h"

namespace commun {
struct Contexte;
}

namespace tech {

// The sheet analysis as the batch mode prints it: the rows of the two lists,
// list by list, and the numbers of the sheets without family.
class SortieAnalyseFiches : public ObservateurAnalyseFiches {
public:
    explicit SortieAnalyseFiches(bool lignes) : m_lignes(lignes) {}
    void ligne(Liste liste, const LigneTech& ligne) override;
    void imprimer(QTextStream& out) const;

    qint64 nbSansFamille = 0;
    QSet<qint64> exclus;

private:
    bool m_lignes;
    QStringList m_familles;
    QStringList m_memos;
};

// The sheet analysis of every verb that runs it: the rows of ListCliTech then
// those of ListMemo when `lignes`, then the count caption. When it fails, the
// rows found so far and the failure are printed and there is no result.
std::optional<SortieAnalyseFiches> analyserFiches(commun::Contexte& c, bool lignes = true);

// --analyse-techniques: the sheet analysis without a window, then, when no
// sheet lacks its family, the window's message.
int verbeAnalyseTechniques(commun::Contexte& contexte);

}  // namespace tech
