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

#include "app/Form1.h"
#include "banc_fenetre.h"
#include "clients/FenetreGroupee.h"

int main(int argc, char** argv) {
    banc::horsEcran();
    QApplication application(argc, argv);
    QTextStream out(stdout);
    commun::Variables vars;
    if (const int code = banc::preparer(application.arguments(), "bench-fenetre-groupee", vars);
        code >= 0) {
        return code;
    }

    banc::MessagesMuets messages;
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
