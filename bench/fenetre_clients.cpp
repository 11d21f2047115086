// The client analysis as the window runs it: Form1 built on the offscreen
// platform, "Analyse Base de données" clicked, message boxes answered at once.
//
//   bench-fenetre-clients --dossier DIR
//
// Prints the run's seconds, the clients listed and the messages shown.

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTextStream>
#include <QTreeWidget>

#include "app/Form1.h"
#include "banc_fenetre.h"

int main(int argc, char** argv) {
    banc::horsEcran();
    QApplication application(argc, argv);
    QTextStream out(stdout);
    commun::Variables vars;
    if (const int code = banc::preparer(application.arguments(), "bench-fenetre-clients", vars);
        code >= 0) {
        return code;
    }

    banc::MessagesMuets messages;
    app::Form1 form(vars, messages);
    form.show();
    QCoreApplication::processEvents();
    auto* bouton = form.findChild<QPushButton*>(QStringLiteral("btnAnalyseBd"));
    QElapsedTimer chrono;
    chrono.start();
    bouton->click();
    const double secondes = chrono.elapsed() / 1000.0;
    out << "analyse en fenêtre : " << QString::number(secondes, 'f', 2) << " s, "
        << form.findChild<QTreeWidget*>(QStringLiteral("ListCli"))->topLevelItemCount()
        << " clients listés ; " << messages.textes.join(QStringLiteral(" | ")) << "\n";
    return messages.textes.value(0) == QStringLiteral("Analyse terminée.") ? 0 : 1;
}
