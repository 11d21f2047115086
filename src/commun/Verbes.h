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

// One row of a list, as the window would show it: the list's name, then the
// row's text and sub-items, tab-separated (a tab inside a value as "\t").
QString ligneListe(const QString& liste, const QStringList& colonnes);

}  // namespace commun
