#include "app/Demarrage.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>
#include <QTextStream>
#include <memory>

#include "access/DialogueConversion.h"
#include "app/Batch.h"
#include "app/ChoixDossier.h"
#include "app/Form1.h"
#include "app/MessagesQt.h"
#include "commun/Controles.h"
#include "commun/Variables.h"
#include "communes/Form2.h"

namespace app {

namespace {

int fenetres(int argc, char** argv) {
    QApplication application(argc, argv);
    commun::appliquerPolices();
    QTextStream err(stderr);
    // Qt has taken its own options; what is left must be ours.
    const auto analyse = batch::analyser(application.arguments().mid(1));
    if (const auto* erreur = std::get_if<QString>(&analyse)) {
        err << *erreur << "\n\n" << batch::usage();
        return commun::kUsage;
    }
    const commun::Commande& commande = std::get<commun::Commande>(analyse);

    commun::Variables variables;
    MessagesQt messages;
    variables.dossier = commande.dossier;
    if (variables.dossier.isEmpty()) {
        // Beside the salon's files, the program works where it stands; installed
        // elsewhere, it asks where they are.
        const QString ici = QCoreApplication::applicationDirPath();
        if (QFileInfo::exists(QDir(ici).filePath(QStringLiteral("BdClient.mdb")))) {
            variables.dossier = ici;
        } else {
            QSettings reglages(QStringLiteral("VerifClients"), QStringLiteral("verifclients"));
            const auto choix = choisirDossierSalon(messages, reglages, referenceInstallee());
            if (!choix) {
                return commun::kFait;
            }
            variables.dossier = *choix;
        }
    }
    if (!QFileInfo(variables.dossier).isDir()) {
        messages.exclamation(QStringLiteral("Le dossier « %1 » n'existe pas.")
                                 .arg(QDir::toNativeSeparators(variables.dossier)));
        return commun::kEchec;
    }
    variables.dossier = QFileInfo(variables.dossier).absoluteFilePath();
    for (const QString& ligne : batch::reprendreTravaux(variables.dossier)) {
        messages.information(ligne);
    }
    // Access databases are converted (or the program ends) before anything opens them.
    if (const auto suite = acces::convertirAuDemarrage(variables.dossier, messages);
        suite != acces::Suite::Continuer) {
        return suite == acces::Suite::Abandon ? commun::kFait : commun::kEchec;
    }

    std::unique_ptr<Form1> form1;
    communes::Form2 form2(variables, messages);
    messages.setParent(&form2);
    QObject::connect(&form2, &communes::Form2::choixConfirme, [&] {
        form1 = std::make_unique<Form1>(variables, messages);
        messages.setParent(form1.get());
        form1->show();
    });
    form2.Form2_Load();
    if (!form2.confirme()) {
        form2.show();
    }
    const int code = application.exec();
    messages.setParent(nullptr);
    return code;
}

}  // namespace

int demarrer(int argc, char** argv) {
    // A verb means no window at all: no display is needed.
    // So does any option of ours other than --dossier: a misspelt one must get
    // its usage message even on a machine without a display.
    bool lot = false;
    bool peint = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--dossier")) {
            // Without its value, a usage error: said even without a display.
            if (i + 1 < argc && batch::valeurDeDossier(QString::fromLocal8Bit(argv[i + 1]))) {
                ++i;
            } else {
                lot = true;
            }
        } else if (batch::estVerbe(a) || a.startsWith(QLatin1String("--"))) {
            lot = true;
            const commun::Verbe* verbe = batch::trouverVerbe(a);
            peint = peint || (verbe && verbe->peint);
        }
    }
    if (!lot) {
        const bool affichage = !qEnvironmentVariableIsEmpty("DISPLAY") ||
                               !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                               !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
        if (!affichage) {
            QTextStream(stderr) << "Pas d'affichage graphique : les fenêtres ne peuvent pas "
                                   "s'ouvrir. Le mode batch fonctionne sans elles (verifclients "
                                   "--help).\n";
            return commun::kEchec;
        }
        return fenetres(argc, argv);
    }
    // Painting needs fonts, hence a GUI application; the offscreen platform
    // gives it one without a display.
    std::unique_ptr<QCoreApplication> application;
    if (peint) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto analyse = batch::analyser(QCoreApplication::arguments().mid(1));
    if (const auto* erreur = std::get_if<QString>(&analyse)) {
        err << *erreur << "\n\n" << batch::usage();
        return commun::kUsage;
    }
    return batch::executer(std::get<commun::Commande>(analyse),
                           QCoreApplication::applicationDirPath(), out, err);
}

}  // namespace app
