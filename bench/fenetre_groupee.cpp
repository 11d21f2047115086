// The grouped correction as the window opens it: Form1 built on the offscreen
// platform, the client analysis run, then "Correction groupée" clicked; times
// the click until the window of values in error shows, suggestions included.
//
//   bench-fenetre-groupee --dossier DIR
//
// Prints the seconds and the number of values listed. Then every first
// suggestion is taken and applied, and the grouped correction undone, each
// timed.

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

#include "app/Controles.h"
#include "app/Form1.h"
#include "app/Messages.h"
#include "app/Variables.h"
#include "clients/FenetreGroupee.h"
#include "communes/FichierDefaut.h"

namespace {

class MessagesMuets : public app::Messages {
public:
    QStringList textes;
    void information(const QString& t) override { textes << t; }
    void exclamation(const QString& t) override { textes << t; }
    bool question(const QString& t) override {
        textes << t;
        return true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    app::appliquerPolices();
    QTextStream out(stdout);
    const QStringList args = application.arguments();
    const int i = args.indexOf(QStringLiteral("--dossier"));
    if (i < 0 || i + 1 >= args.size()) {
        QTextStream(stderr) << "usage : bench-fenetre-groupee --dossier DOSSIER\n";
        return 2;
    }
    app::Variables vars;
    vars.dossier = args[i + 1];
    const auto defaut = communes::lireDefaut(vars.dossier);
    if (!defaut) {
        QTextStream(stderr) << "default.txt manque dans " << vars.dossier << "\n";
        return 1;
    }
    vars.VilleDefaut = defaut->ville;
    vars.CpDefaut = defaut->codePostal;

    MessagesMuets messages;
    app::Form1 form(vars, messages);
    form.show();
    QCoreApplication::processEvents();
    form.findChild<QPushButton*>(QStringLiteral("btnAnalyseBd"))->click();

    QElapsedTimer chrono;
    double secondes = -1;
    double dureeApplication = -1;
    int nbValeurs = 0;
    int nbAppliquees = 0;
    // Inside the window's own event loop: as soon as it shows, note the time
    // and close it.
    QTimer guet;
    QObject::connect(&guet, &QTimer::timeout, [&] {
        auto* fenetre = qobject_cast<clients::FenetreGroupee*>(QApplication::activeModalWidget());
        if (fenetre && fenetre->isVisible()) {
            secondes = chrono.elapsed() / 1000.0;
            auto* liste = fenetre->findChild<QTreeWidget*>(QStringLiteral("ListValeurs"));
            nbValeurs = liste->topLevelItemCount();
            fenetre->findChild<QPushButton*>(QStringLiteral("btnToutesSuggestions"))->click();
            QElapsedTimer applique;
            applique.start();
            fenetre->findChild<QPushButton*>(QStringLiteral("btnAppliquer"))->click();
            dureeApplication = applique.elapsed() / 1000.0;
            nbAppliquees = nbValeurs - liste->topLevelItemCount();
            fenetre->reject();
        }
    });
    guet.start(0);
    chrono.start();
    form.findChild<QPushButton*>(QStringLiteral("btnCorrectionGroupee"))->click();
    guet.stop();
    chrono.restart();
    form.findChild<QPushButton*>(QStringLiteral("btnAnnulerCorrection"))->click();
    const double annulation = chrono.elapsed() / 1000.0;
    out << "ouverture de la correction groupée : " << QString::number(secondes, 'f', 2) << " s, "
        << nbValeurs << " valeurs en erreur\n"
        << "application des 1res suggestions : " << QString::number(dureeApplication, 'f', 2)
        << " s, " << nbAppliquees << " valeurs remplacées\n"
        << "annulation : " << QString::number(annulation, 'f', 2) << " s ("
        << messages.textes.value(messages.textes.size() - 1) << ")\n";
    return secondes >= 0 ? 0 : 1;
}
