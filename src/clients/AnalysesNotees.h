#pragma once

#include <QString>
#include <vector>

#include "clients/Analyse.h"

namespace store {
class Connexion;
}

namespace clients {

// What each client analysis run found is kept in the journal, beside the
// changes but never taken for one (neither the journal's list of changes nor
// the undo sees it), so that the first run can be set beside the latest.

// Notes the run's figures: clients judged, in error, over-long notes, and
// the clients in error on each field, named as its column.
void noterAnalyse(store::Connexion& cn, const BilanAnalyse& bilan);

// An analysis run as the journal keeps it.
struct AnalyseNotee {
    QString quand;  // "YYYY-MM-DD HH:MM:SS", local time
    BilanAnalyse bilan;
};
// Every analysis run the journal keeps, oldest first.
std::vector<AnalyseNotee> analysesNotees(const store::Connexion& cn);

}  // namespace clients
