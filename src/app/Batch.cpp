#include "app/Batch.h"

#include <QDir>
#include <QFileInfo>

#include "access/Conversion.h"
#include "access/Erreur.h"
#include "access/Valeurs.h"
#include "access/VerbeConversion.h"
#include "app/VerbeJournal.h"
#include "clients/VerbeSuggestions.h"
#include "clients/VerbesClients.h"
#include "doublons/VerbesDoublons.h"
#include "export/LotFichiers.h"
#include "export/VerbesExport.h"
#include "platform/Erreur.h"
#include "purge/VerbesPurge.h"
#include "rapport/VerbeRapport.h"
#include "tech/VerbesTech.h"

namespace app::batch {

namespace {

int aide(commun::Contexte& c) {
    c.out << usage();
    return commun::kFait;
}

// Verbs that never open BdClient.mdb or communes.mdb.
bool sansBase(const QString& verbe) {
    return verbe == QLatin1String("--help") || verbe == QLatin1String("--convertir-access") ||
           verbe == QLatin1String("--texte-note");
}

}  // namespace

const std::vector<commun::Verbe>& verbes() {
    static const std::vector<commun::Verbe> table = {
        {QStringLiteral("--help"), 0, false, QStringLiteral("--help"),
         QStringLiteral("affiche cette aide"), &aide},
        {QStringLiteral("--analyse-clients"), 0, false, QStringLiteral("--analyse-clients"),
         QStringLiteral("analyse le fichier clients (sauvegarde, rangement, notes trop longues, "
                        "clients en erreur)"),
         &clients::verbeAnalyseClients},
        {QStringLiteral("--export-clients"), 0, false, QStringLiteral("--export-clients"),
         QStringLiteral("analyse le fichier clients puis exporte les clients sans erreur "
                        "(FCLI_1.txt…)"),
         &exports::verbeExportClients},
        {QStringLiteral("--texte-note"), 1, false, QStringLiteral("--texte-note FICHIER"),
         QStringLiteral("affiche en UTF-8 le texte brut d'une note RTF"), &clients::verbeTexteNote},
        {QStringLiteral("--suggestions"), 0, false, QStringLiteral("--suggestions"),
         QStringLiteral("analyse le fichier clients puis affiche chaque valeur en erreur : champ, "
                        "valeur, nombre de clients, corrections proposées"),
         &clients::verbeSuggestions},
        {QStringLiteral("--journal"), 0, false, QStringLiteral("--journal"),
         QStringLiteral("affiche le journal des modifications faites par VerifClients : date, "
                        "lot, opération, table, clé, colonne, avant, après"),
         &app::verbeJournal},
        {QStringLiteral("--doublons"), 0, false, QStringLiteral("--doublons"),
         QStringLiteral("affiche les paires de clients qui sont peut-être la même personne : "
                        "codes, score, champs qui concordent ; puis le nombre de groupes"),
         &doublons::verbeDoublons},
        {QStringLiteral("--fusionner"), -2, false,
         QStringLiteral("--fusionner CODE_GARDE CODE [CODE…]"),
         QStringLiteral("fusionne ces clients dans le premier (ses valeurs gardées) : leurs fiches "
                        "et visites passent à son code, les autres sont supprimés"),
         &doublons::verbeFusionner},
        {QStringLiteral("--analyse-techniques"), 0, false, QStringLiteral("--analyse-techniques"),
         QStringLiteral("analyse les fiches techniques : fiches sans famille, mémos trop longs"),
         &tech::verbeAnalyseTechniques},
        {QStringLiteral("--export-techniques"), 0, false, QStringLiteral("--export-techniques"),
         QStringLiteral("analyse les fiches techniques puis exporte celles qui ont une famille "
                        "(FTEC_1.txt…)"),
         &exports::verbeExportTechniques},
        {QStringLiteral("--purge-clients"), 1, true, QStringLiteral("--purge-clients DATE [--oui]"),
         QStringLiteral("compte (et avec --oui supprime) les clients non venus depuis DATE "
                        "(JJ/MM/AAAA ou AAAA-MM-JJ)"),
         &purge::verbePurgeClients},
        {QStringLiteral("--purge-techniques"), 1, true,
         QStringLiteral("--purge-techniques DATE [--oui]"),
         QStringLiteral("compte (et avec --oui supprime) les fiches techniques créées avant DATE"),
         &purge::verbePurgeTechniques},
        {QStringLiteral("--annuler-purge"), 0, false, QStringLiteral("--annuler-purge"),
         QStringLiteral("remet les clients ou les fiches techniques supprimés par la dernière "
                        "purge, tels qu'ils étaient"),
         &purge::verbeAnnulerPurge},
        {QStringLiteral("--convertir-access"), 0, true,
         QStringLiteral("--convertir-access [--oui] [--page-code CP]"),
         QStringLiteral("convertit les bases Microsoft Access du dossier (sans --oui : dit ce qui "
                        "serait converti ; CP : page de code des fichiers Access 97, CP1252 par "
                        "défaut)"),
         &acces::verbeConvertirAccess},
        {QStringLiteral("--rapport"), 1, false, QStringLiteral("--rapport FICHIER.pdf"),
         QStringLiteral("analyse les clients et les fiches techniques puis écrit le rapport de "
                        "migration en PDF"),
         &rapport::verbeRapport, true},
    };
    return table;
}

const commun::Verbe* trouverVerbe(const QString& nom) {
    for (const commun::Verbe& v : verbes()) {
        if (v.nom == nom) {
            return &v;
        }
    }
    return nullptr;
}

bool estVerbe(const QString& argument) {
    if (argument == QLatin1String("-h")) {
        return true;
    }
    return trouverVerbe(argument) != nullptr;
}

bool valeurDeDossier(const QString& argument) {
    // An option right after --dossier means its value was forgotten; a folder
    // whose name starts with "--" is written "./--x".
    return !argument.isEmpty() && !argument.startsWith(QLatin1String("--"));
}

QString usage() {
    QString texte = QStringLiteral(
        "Usage : verifclients [--dossier DOSSIER] [VERBE]\n"
        "Sans verbe, ouvre les fenêtres. DOSSIER est le dossier de l'application (par défaut "
        "celui de l'exécutable) : BdClient.mdb, communes.mdb, default.txt, notes Cli*.RTF.\n"
        "Verbes :\n");
    for (const commun::Verbe& v : verbes()) {
        texte += QStringLiteral("  %1\n      %2\n").arg(v.synopsis, v.aide);
    }
    texte += QStringLiteral(
        "Codes de sortie : 0 fait, 1 échec (message clair, rien de perdu), 2 mauvais usage.\n");
    return texte;
}

std::variant<commun::Commande, QString> analyser(const QStringList& arguments) {
    commun::Commande c;
    const commun::Verbe* verbe = nullptr;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--dossier")) {
            if (!valeurDeDossier(arguments.value(i + 1))) {
                return QStringLiteral("--dossier attend le chemin d'un dossier.");
            }
            c.dossier = arguments[++i];
        } else if (a == QLatin1String("--oui")) {
            c.oui = true;
        } else if (a == QLatin1String("--page-code")) {
            if (i + 1 >= arguments.size()) {
                return QStringLiteral(
                    "--page-code attend un nom de page de code (par exemple GBK).");
            }
            c.pageCode = arguments[++i];
        } else if (estVerbe(a)) {
            if (verbe) {
                return QStringLiteral("Un seul verbe à la fois : %1 et %2.").arg(c.verbe, a);
            }
            c.verbe = a == QLatin1String("-h") ? QStringLiteral("--help") : a;
            verbe = trouverVerbe(c.verbe);
        } else if (verbe &&
                   (verbe->nbParametres < 0 || c.parametres.size() < verbe->nbParametres) &&
                   !a.startsWith(QLatin1String("--"))) {
            c.parametres << a;
        } else {
            return QStringLiteral("Argument inconnu : %1").arg(a);
        }
    }
    if (verbe) {
        if (verbe->nbParametres < 0 ? c.parametres.size() < -verbe->nbParametres
                                    : c.parametres.size() != verbe->nbParametres) {
            return QStringLiteral("Usage : verifclients [--dossier DOSSIER] %1")
                .arg(verbe->synopsis);
        }
        if (c.oui && !verbe->accepteOui) {
            return QStringLiteral("%1 ne prend pas --oui.").arg(verbe->nom);
        }
    } else if (c.oui || !c.pageCode.isEmpty()) {
        return QStringLiteral("--oui et --page-code vont avec un verbe.");
    }
    if (!c.pageCode.isEmpty()) {
        try {
            acces::PageCode page(c.pageCode);
        } catch (const acces::ErreurAccess& e) {
            return e.message();
        }
    }
    return c;
}

int executer(const commun::Commande& commande, const QString& dossierParDefaut, QTextStream& out,
             QTextStream& err) {
    const commun::Verbe* verbe = trouverVerbe(commande.verbe);
    if (!verbe) {
        err << usage();
        return commun::kUsage;
    }
    commun::Contexte contexte{commun::Variables{}, commande, out, err};
    const QString dossier = commande.dossier.isEmpty() ? dossierParDefaut : commande.dossier;
    if (!QFileInfo(dossier).isDir()) {
        err << QStringLiteral("Le dossier « %1 » n'existe pas.\n")
                   .arg(QDir::toNativeSeparators(dossier));
        return commun::kEchec;
    }
    contexte.variables.dossier = QFileInfo(dossier).absoluteFilePath();
    for (const QString& ligne : reprendreTravaux(contexte.variables.dossier)) {
        err << ligne << '\n';
    }
    // An Access database must be converted before any run opens or copies it.
    if (!sansBase(verbe->nom)) {
        if (const QString message = acces::messageAConvertir(contexte.variables.dossier);
            !message.isEmpty()) {
            err << message << "\n";
            return commun::kEchec;
        }
    }
    int code = commun::kEchec;
    try {
        code = verbe->action(contexte);
    } catch (const platform::Erreur& e) {
        // What a verb lets through is reported here, once for all.
        out.flush();
        err << e.message() << '\n';
    }
    out.flush();
    err.flush();
    return code;
}

QStringList reprendreTravaux(const QString& dossier) {
    // A conversion first: until it is done the folder may have no BdClient.mdb.
    return acces::reprendreConversions(dossier) + exports::reprendreExports(dossier);
}

}  // namespace app::batch
