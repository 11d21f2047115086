#pragma once

// What the window benchmarks share: message boxes answered at once, and the
// application folder taken from --dossier with its default town.

#include <QStringList>
#include <QTextStream>

#include "commun/Controles.h"
#include "commun/Messages.h"
#include "commun/Variables.h"
#include "communes/FichierDefaut.h"

namespace banc {

class MessagesMuets : public commun::Messages {
public:
    QStringList textes;
    void information(const QString& t) override { textes << t; }
    void exclamation(const QString& t) override { textes << t; }
    bool question(const QString& t) override {
        textes << t;
        return true;
    }
};

// Before the application object: window benchmarks need no display.
inline void horsEcran() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

// The window's fonts, then the folder and the default town from "--dossier
// DIR"; the exit code of a bad call, or -1 when all is ready.
inline int preparer(const QStringList& args, const char* programme, commun::Variables& vars) {
    commun::appliquerPolices();
    const int i = args.indexOf(QStringLiteral("--dossier"));
    if (i < 0 || i + 1 >= args.size()) {
        QTextStream(stderr) << "usage : " << programme << " --dossier DOSSIER\n";
        return 2;
    }
    vars.dossier = args[i + 1];
    const auto defaut = communes::lireDefaut(vars.dossier);
    if (defaut.etat != communes::LectureDefaut::Etat::Lu) {
        QTextStream(stderr) << "default.txt manque dans " << vars.dossier << "\n";
        return 1;
    }
    vars.VilleDefaut = defaut.valeurs.ville;
    vars.CpDefaut = defaut.valeurs.codePostal;
    return -1;
}

}  // namespace banc
