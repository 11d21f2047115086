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

#include "app/Controles.h"
#include "app/Form1.h"
#include "app/Messages.h"
#include "app/Variables.h"
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
        QTextStream(stderr) << "usage : bench-fenetre-clients --dossier DOSSIER\n";
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
