#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// What the migration report says of duplicate clients.
namespace doublons {

struct GroupeTrouve {
    int score = 0;
    QStringList clients;  // "Code Nom Prénom", in the order of FCLI
};

struct FusionFaite {
    QString quand;  // as the journal keeps it, "YYYY-MM-DD HH:MM:SS"
    QString codeGarde;
    QStringList codes;  // the clients merged into it and deleted
    QString annulee;    // when an undo put them back; empty otherwise
    // Notes of the deleted clients still in the folder (the kept one had its
    // own); none once undone.
    QStringList notesLaissees;
};

struct PaireRefusee {
    QString code1;
    QString code2;
    QString quand;
};

struct BilanDoublons {
    int nbClients = 0;
    std::vector<GroupeTrouve> groupes;   // best first
    std::vector<FusionFaite> fusions;    // in order
    std::vector<PaireRefusee> refusees;  // "pas un doublon", in order
};

// Searches the candidates and reads the merges and the declined pairs,
// writing nothing. Throws store::ErreurStore.
BilanDoublons lireBilanDoublons(const QString& dossier);

}  // namespace doublons
