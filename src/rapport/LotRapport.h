#pragma once

#include "app/Batch.h"

namespace rapport {

// --rapport FICHIER.pdf: both analyses, as their verbs run them, then the
// report of the folder written as a PDF.
int lotRapport(commun::Contexte& contexte);

// The verb's row, which the program adds to the batch table at start-up: the
// report is painted, and painting belongs to the window layer.
app::batch::Verbe verbeRapport();

}  // namespace rapport
