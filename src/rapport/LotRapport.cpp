#include "rapport/LotRapport.h"

#include <QDir>
#include <QFileInfo>

#include "clients/Analyse.h"
#include "clients/LotClients.h"
#include "platform/ErreurFichier.h"
#include "rapport/Chiffres.h"
#include "rapport/Document.h"
#include "store/Erreur.h"
#include "tech/AnalyseTech.h"

namespace rapport {

namespace {

// The sheet analysis's count of sheets without family, for its caption.
class CompteFiches : public tech::ObservateurAnalyse {
public:
    void ligne(tech::Liste liste, const tech::LigneTech&) override {
        nbSansFamille += liste == tech::Liste::CliTech;
    }
    qint64 nbSansFamille = 0;
};

}  // namespace

int lotRapport(commun::Contexte& c) {
    const QString cible = QFileInfo(c.commande.parametres.value(0)).absoluteFilePath();
    // Said before the analyses run, not after.
    if (!QFileInfo(cible).absoluteDir().exists()) {
        c.err << QStringLiteral(
                     "Impossible d'écrire le rapport « %1 » : le dossier « %2 » "
                     "n'existe pas.\n")
                     .arg(QDir::toNativeSeparators(cible),
                          QDir::toNativeSeparators(QFileInfo(cible).absolutePath()));
        return commun::kEchec;
    }
    if (!clients::preparerLot(c)) {
        return commun::kEchec;
    }
    commun::Variables& v = c.variables;
    try {
        clients::ObservateurAnalyse silence;
        const clients::BilanAnalyse bilan = clients::AnalyseBd(v, silence);
        c.out << clients::messageAnalyseTerminee() << '\n'
              << clients::legendeListe(bilan.NbCliErr, bilan.NbCli) << '\n';
        v.CheminBd = v.cheminBd();
        CompteFiches fiches;
        try {
            v.NbTech = tech::AnalyseTech(v.CheminBd, fiches);
        } catch (const store::ErreurStore& e) {
            throw store::ErreurStore(tech::messageEchecAnalyse(e.message()), e.code(),
                                     e.codeEtendu(), e.sql(), e.detail());
        }
        c.out << tech::legendeListeTech(fiches.nbSansFamille, v.NbTech) << '\n';
        const Chiffres chiffres = rassembler(v);
        const int pages = ecrirePdf(chiffres, cible);
        c.out << QStringLiteral("Rapport écrit : %1 (%2 page%3).")
                     .arg(QDir::toNativeSeparators(cible))
                     .arg(pages)
                     .arg(pages > 1 ? QStringLiteral("s") : QString())
              << '\n';
    } catch (const store::ErreurStore& e) {
        c.out.flush();
        c.err << e.message() << '\n';
        return commun::kEchec;
    } catch (const platform::ErreurFichier& e) {
        c.out.flush();
        c.err << e.message() << '\n';
        return commun::kEchec;
    }
    v.cnCommunes.Fermer();
    return commun::kFait;
}

app::batch::Verbe verbeRapport() {
    return {QStringLiteral("--rapport"),
            1,
            false,
            QStringLiteral("--rapport FICHIER.pdf"),
            QStringLiteral("analyse les clients et les fiches techniques puis écrit le rapport de "
                           "migration en PDF"),
            &lotRapport};
}

}  // namespace rapport
