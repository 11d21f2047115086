#pragma once

namespace commun {
struct Contexte;
}

namespace rapport {

// --rapport FICHIER.pdf: both analyses, as their verbs run them, then the
// report of the folder written as a PDF.
int verbeRapport(commun::Contexte& contexte);

}  // namespace rapport
