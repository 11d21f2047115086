#include "doublons/BilanDoublons.h"

#include <QDir>
#include <QFileInfo>

#include "doublons/Doublons.h"
#include "doublons/Fusion.h"
#include "doublons/PasDoublon.h"
#include "platform/Fichiers.h"
#include "store/Connexion.h"
#include "store/Journal.h"

namespace doublons {

BilanDoublons lireBilanDoublons(const QString& dossier) {
    BilanDoublons b;
    const Resultat r = chercherDoublons(dossier);
    b.nbClients = r.nbClients;
    for (const Groupe& g : r.groupes) {
        GroupeTrouve t;
        t.score = g.score;
        for (const int m : g.membres) {
            const Client& c = r.clients[static_cast<std::size_t>(m)];
            t.clients << (c.code + u' ' + c.nom).trimmed();
        }
        b.groupes.push_back(std::move(t));
    }

    const store::Connexion cn(QDir(dossier).filePath(QStringLiteral("BdClient.mdb")),
                              store::Connexion::Acces::Lecture);
    if (cn.tableExiste(store::journal::table())) {
        const QString journal = store::citer(store::journal::table());
        // The kept client's row, then each deleted client, batch by batch.
        store::Instruction i(
            cn, QStringLiteral("SELECT \"Lot\", \"Quand\", \"Colonne\", \"Cle\", (SELECT "
                               "min(a.\"Quand\") FROM %1 AS a WHERE a.\"LotAnnule\" = j.\"Lot\") "
                               "FROM %1 AS j WHERE \"Operation\" = ?1 AND \"NomTable\" = 'FCLI' "
                               "AND (\"Colonne\" IS NULL OR \"Colonne\" = ?2) ORDER BY \"Numero\"")
                    .arg(journal));
        i.lier(1, kOperationFusion).lier(2, kColonneGarde);
        const platform::IndexDossier notes(dossier);
        qint64 lot = 0;
        while (i.avancer()) {
            if (i.colonneEntier(0) != lot || b.fusions.empty()) {
                lot = i.colonneEntier(0);
                b.fusions.push_back({i.colonneTexte(1), {}, {}, i.colonneTexte(4), {}});
            }
            FusionFaite& f = b.fusions.back();
            if (!i.colonne(2).estNull()) {
                f.codeGarde = i.colonneTexte(3);
                continue;
            }
            f.codes << i.colonneTexte(3);
            const QString note =
                notes.chercher(QStringLiteral("Cli") + i.colonneTexte(3) + QStringLiteral(".RTF"));
            if (f.annulee.isEmpty() && !note.isEmpty() &&
                store::sansCasse(i.colonneTexte(3)) != store::sansCasse(f.codeGarde)) {
                f.notesLaissees << QFileInfo(note).fileName();
            }
        }
    }
    if (cn.tableExiste(tablePasDoublon())) {
        store::Instruction i(cn, QStringLiteral("SELECT \"Code1\", \"Code2\", \"Quand\" FROM %1 "
                                                "ORDER BY rowid")
                                     .arg(store::citer(tablePasDoublon())));
        while (i.avancer()) {
            b.refusees.push_back({i.colonneTexte(0), i.colonneTexte(1), i.colonneTexte(2)});
        }
    }
    return b;
}

}  // namespace doublons
