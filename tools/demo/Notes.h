#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "demo/Clients.h"

namespace demo {

struct BilanNotes {
    int fichiers = 0;
    int longues = 0;  // over 500 characters of plain text
};

// One client in ten gets a note file Cli<Code>.RTF in `dossier`, most of them a
// few lines long, one in ten over 500 characters. Throws std::runtime_error.
BilanNotes ecrireNotes(const QString& dossier, const std::vector<Client>& clients,
                       std::uint64_t graine);

}  // namespace demo
