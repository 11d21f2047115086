#include "rapport/VerbeRapport.h"

#include <QDir>
#include <QFileInfo>

#include "clients/Analyse.h"
#include "clients/VerbesClients.h"
#include "commun/Verbes.h"
#include "rapport/Chiffres.h"
#include "rapport/Document.h"
#include "tech/VerbesTech.h"

namespace rapport {

int verbeRapport(commun::Contexte& c) {
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
    if (!clients::preparerAnalyse(c)) {
        return commun::kEchec;
    }
    commun::Variables& v = c.variables;
    clients::ObservateurAnalyseClients silence;
    const clients::BilanAnalyse bilan = clients::AnalyseBd(v, silence);
    c.out << clients::messageAnalyseTerminee() << '\n'
          << clients::legendeListe(bilan.NbCliErr, bilan.NbCli) << '\n';
    if (!tech::analyserFiches(c, false)) {
        return commun::kEchec;
    }
    const Chiffres chiffres = rassembler(v);
    const int pages = ecrirePdf(chiffres, cible);
    c.out << QStringLiteral("Rapport écrit : %1 (%2 page%3).")
                 .arg(QDir::toNativeSeparators(cible))
                 .arg(pages)
                 .arg(pages > 1 ? QStringLiteral("s") : QString())
          << '\n';
    v.cnCommunes.Fermer();
    return commun::kFait;
}

}  // namespace rapport
