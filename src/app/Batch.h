#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <variant>

#include "app/Variables.h"

namespace app::batch {

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

struct Verbe {
    QString nom;       // "--analyse-clients"
    int nbParametres;  // positional parameters after the verb; -n: n or more
    bool accepteOui;   // takes --oui
    QString synopsis;  // "--purge-clients DATE [--oui]"
    QString aide;      // one French line
    int (*action)(Contexte&);
};

const std::vector<Verbe>& verbes();
bool estVerbe(const QString& argument);
// Adds a verb of the window layer (one that paints), which this table cannot
// name; the program does it at start-up. A verb already there is left as it is.
void ajouterVerbe(const Verbe& verbe);

// True when the argument after --dossier can be its value.
bool valeurDeDossier(const QString& argument);

// A parsed command, or the French message of a usage error.
std::variant<Commande, QString> analyser(const QStringList& arguments);
QString usage();

// Runs the verb of the command; `dossierParDefaut` is the executable's folder.
// A store or file failure that a verb lets through is printed on `err` and
// gives the exit code 1.
int executer(const Commande& commande, const QString& dossierParDefaut, QTextStream& out,
             QTextStream& err);

// What a killed export or conversion left unfinished in the folder, completed
// or dropped; every start does it before anything else. A French line for each.
QStringList reprendreTravaux(const QString& dossier);

// One row of a list, as the window would show it: the list's name, then the
// row's text and sub-items, tab-separated (a tab inside a value as "\t").
QString ligneListe(const QString& liste, const QStringList& colonnes);

}  // namespace app::batch
