#pragma once

#include <cstdint>
#include <vector>

#include "demo/Clients.h"

namespace store {
class Connexion;
}

namespace demo {

struct BilanFiches {
    int fiches = 0;
    int clientsInconnus = 0;  // sheets of a code missing from FCLI
    int familleAbsente = 0;   // Null or empty
    int familleBlancs = 0;    // blanks only
    int memoNull = 0;
    int memoLong = 0;       // over 500 stored characters
    int memoFinBlancs = 0;  // blanks or line breaks after the closing brace
};

struct BilanVisites {
    int visites = 0;
    int clientsSansVisite = 0;
    int clientsAnciens = 0;  // with old visits only
};

// Technical sheets into FTEC, numbered in date order, inside the caller's
// transaction.
void ecrireFiches(store::Connexion& cn, const std::vector<Client>& clients, int nombre,
                  qint64 plusGrandCode, std::uint64_t graine, BilanFiches& bilan);

// Visits into FCONS, in date order, inside the caller's transaction.
void ecrireVisites(store::Connexion& cn, const std::vector<Client>& clients, int nombre,
                   std::uint64_t graine, BilanVisites& bilan);

}  // namespace demo
