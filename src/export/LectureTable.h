#pragma once

#include <QString>
#include <vector>

#include "store/Connexion.h"
#include "store/Valeur.h"

namespace exports {

// One read pass over a whole table, in its stored order (row id), as a single
// snapshot: the count and the rows come from one read transaction. The first
// `nbColonnes` columns are read by position; `cle` is read by name.
class LectureTable {
public:
    LectureTable(store::Connexion& cn, const QString& table, int nbColonnes, const QString& cle);
    LectureTable(const LectureTable&) = delete;
    LectureTable& operator=(const LectureTable&) = delete;

    qint64 total() const { return m_total; }
    // Moves to the next row; false at the end.
    bool suivante();
    // Column `position` (0-based, below nbColonnes) of the current row.
    store::Valeur valeur(int position) const;
    store::Valeur cle() const;

private:
    // The count announced and the rows written must agree. Declared first, it
    // ends after the rows' statement is finalised.
    store::TransactionLecture m_lecture;
    store::Instruction m_lignes;
    std::vector<bool> m_dates;
    int m_indexCle = -1;
    qint64 m_total = 0;
};

}  // namespace exports
