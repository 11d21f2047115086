#include "doublons/VerbesDoublons.h"

#include <QDir>
#include <QSet>
#include <algorithm>

#include "doublons/Doublons.h"
#include "doublons/Fusion.h"
#include "store/Connexion.h"

namespace doublons {

using commun::kEchec;
using commun::kFait;
using commun::kUsage;

int verbeDoublons(commun::Contexte& c) {
    const QString& dossier = c.variables.dossier;
    QTextStream& out = c.out;
    const Resultat r = chercherDoublons(dossier);
    std::vector<const Paire*> paires;
    for (const Groupe& g : r.groupes) {
        for (const Paire& p : g.paires) {
            paires.push_back(&p);
        }
    }
    std::stable_sort(paires.begin(), paires.end(),
                     [](const Paire* p, const Paire* q) { return p->score > q->score; });
    for (const Paire* p : paires) {
        out << ligneDoublon(r, *p) << '\n';
    }
    out << legendeDoublons(r) << '\n';
    return kFait;
}

int verbeFusionner(commun::Contexte& c) {
    const QString& dossier = c.variables.dossier;
    const QStringList& codes = c.commande.parametres;
    QTextStream& out = c.out;
    QTextStream& err = c.err;
    if (codes.size() < 2) {
        err << QStringLiteral(
            "Usage : verifclients [--dossier DOSSIER] --fusionner CODE_GARDE "
            "CODE [CODE…]\n");
        return kUsage;
    }
    DemandeFusion demande;
    {
        const store::Connexion cn(QDir(dossier).filePath(QStringLiteral("BdClient.mdb")),
                                  store::Connexion::Acces::Lecture);
        // Codes are looked up letter case aside, as everywhere.
        store::Instruction i(cn, QStringLiteral("SELECT rowid FROM FCLI WHERE \"Code\" = ? "
                                                "COLLATE NOCASE"));
        QSet<QString> vus;
        for (const QString& code : codes) {
            if (vus.contains(store::sansCasse(code))) {
                err << QStringLiteral(
                           "Le code « %1 » est donné deux fois : rien n'a été "
                           "fusionné.\n")
                           .arg(code);
                return kEchec;
            }
            vus.insert(store::sansCasse(code));
            i.reinitialiser();
            i.lier(1, code);
            std::vector<qint64> rowids;
            while (i.avancer()) {
                rowids.push_back(i.colonneEntier(0));
            }
            if (rowids.size() != 1) {
                err << (rowids.empty()
                            ? QStringLiteral("Le code « %1 » est introuvable dans le fichier "
                                             "clients : rien n'a été fusionné.\n")
                                  .arg(code)
                            : QStringLiteral("Le code « %1 » est porté par %2 clients : "
                                             "fusionnez-les depuis la fenêtre Doublons.\n")
                                  .arg(code)
                                  .arg(rowids.size()));
                return kEchec;
            }
            if (demande.garde == 0) {
                demande.garde = rowids.front();
            } else {
                demande.autres.push_back(rowids.front());
            }
        }
    }
    const BilanFusion b = fusionner(dossier, demande);
    for (const QString& code : b.codesFusionnes) {
        out << QStringLiteral("Fusionné\t%1\t%2").arg(code, b.codeGarde) << '\n';
    }
    if (!b.noteRenommee.isEmpty()) {
        out << QStringLiteral("NoteRenommée\t%1\tCli%2.RTF").arg(b.noteRenommee, b.codeGarde)
            << '\n';
    }
    for (const QString& note : b.notesLaissees) {
        out << QStringLiteral("NoteLaissée\t%1").arg(note) << '\n';
    }
    out << messageFusion(b) << '\n';
    return kFait;
}

}  // namespace doublons
