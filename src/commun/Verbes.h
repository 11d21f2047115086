#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "commun/Variables.h"

namespace commun {

// What every verb of the batch mode is given and gives back.

// Exit codes of the batch mode.
enum Sortie { kFait = 0, kEchec = 1, kUsage = 2 };

// The command line: [--dossier DIR] VERB [parameters] [options].
struct Commande {
    QString dossier;  // empty: the executable's folder
    QString verbe;    // empty: open the windows
    QStringList parametres;
    bool oui = false;
    QString pageCode;  // --page-code, for Access files in a code page other than 1252
};

// What a verb works with: fresh shared state on the application folder, and
// the two output streams (French text, UTF-8).
struct Contexte {
    Variables variables;
    const Commande& commande;
    QTextStream& out;
    QTextStream& err;
};

// One verb of the batch mode: its name, what it takes, its line of help and
// the function that runs it, named after it (--analyse-clients:
// verbeAnalyseClients).
struct Verbe {
    QString nom;       // "--analyse-clients"
    int nbParametres;  // positional parameters after the verb; -n: n or more
    bool accepteOui;   // takes --oui
    QString synopsis;  // "--purge-clients DATE [--oui]"
    QString aide;      // one French line
    int (*action)(Contexte&);
    bool peint = false;  // paints (the report's PDF): needs a GUI application
};

// One row of a list, as the window would show it: the list's name, then the
// row's text and sub-items, tab-separated (a tab inside a value as "\t").
QString ligneListe(const QString& liste, const QStringList& colonnes);

}  // namespace commun
