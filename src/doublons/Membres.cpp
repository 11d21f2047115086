#include "doublons/Membres.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "store/Connexion.h"
#include "store/Dates.h"
#include "store/Erreur.h"

namespace doublons {

std::optional<double> serieDate(const store::Valeur& valeur) {
    switch (valeur.type()) {
        case store::Valeur::Type::Date:
        case store::Valeur::Type::Entier:
        case store::Valeur::Type::Reel:
            return valeur.serie();
        case store::Valeur::Type::Texte: {
            const QString t = valeur.texte().trimmed();
            if (const auto s = store::dates::lireIso(t)) {
                return s;
            }
            return store::dates::lireLocal(t, QLocale(QLocale::French, QLocale::France));
        }
        default:
            return std::nullopt;
    }
}

int DetailGroupe::aGarder() const {
    int garde = -1;
    for (int k = 0; k < static_cast<int>(membres.size()); ++k) {
        if (garde < 0) {
            garde = k;
            continue;
        }
        const Membre& m = membres[static_cast<std::size_t>(k)];
        const Membre& g = membres[static_cast<std::size_t>(garde)];
        const int activite = m.nbFiches + m.nbVisites;
        const int activiteGarde = g.nbFiches + g.nbVisites;
        if (activite != activiteGarde) {
            if (activite > activiteGarde) {
                garde = k;
            }
        } else if (m.derniereVisite.value_or(-1e9) > g.derniereVisite.value_or(-1e9)) {
            garde = k;
        }
    }
    return garde;
}

DetailGroupe lireGroupe(const QString& dossier, const Resultat& resultat, const Groupe& groupe) {
    store::Connexion cn(QDir(dossier).filePath(QStringLiteral("BdClient.mdb")),
                        store::Connexion::Acces::Lecture);
    // One read transaction: the members and their counts as of one moment.
    const store::TransactionLecture lecture(cn);
    store::Instruction ligne(cn, QStringLiteral("SELECT * FROM FCLI WHERE rowid = ?"));
    // Codes compared without regard to letter case, as every look-up by code.
    store::Instruction fiches(
        cn, QStringLiteral("SELECT count(*) FROM FTEC WHERE \"Code_Client\" = ? COLLATE NOCASE"));
    store::Instruction visites(cn, QStringLiteral("SELECT \"DATE_VISITE\" FROM FCONS WHERE "
                                                  "\"CODE_CLIENT\" = ? COLLATE NOCASE"));
    DetailGroupe d;
    for (int i = 0; i < ligne.nbColonnes(); ++i) {
        d.colonnes << ligne.nomColonne(i);
    }
    for (const int k : groupe.membres) {
        const Client& c = resultat.clients.at(static_cast<std::size_t>(k));
        Membre m;
        m.rowid = c.rowid;
        m.code = c.code;
        ligne.reinitialiser();
        ligne.lier(1, c.rowid);
        if (!ligne.avancer()) {
            throw store::ErreurStore(
                QStringLiteral("Le client « %1 » n'est plus dans la base de données « %2 » : "
                               "cherchez les doublons de nouveau.")
                    .arg(c.code, QFileInfo(cn.chemin()).fileName()));
        }
        for (int i = 0; i < ligne.nbColonnes(); ++i) {
            m.valeurs.push_back(ligne.colonne(i, store::typeDate(ligne.typeDeclare(i))));
        }
        fiches.reinitialiser();
        fiches.lier(1, c.code);
        fiches.avancer();
        m.nbFiches = static_cast<int>(fiches.colonneEntier(0));
        visites.reinitialiser();
        visites.lier(1, c.code);
        while (visites.avancer()) {
            ++m.nbVisites;
            if (const auto s = serieDate(visites.colonne(0, true))) {
                m.derniereVisite = std::max(*s, m.derniereVisite.value_or(*s));
            }
        }
        d.membres.push_back(std::move(m));
    }
    return d;
}

}  // namespace doublons
