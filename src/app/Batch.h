#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <variant>

#include "commun/Verbes.h"

namespace app::batch {

struct Verbe {
    QString nom;       // "--analyse-clients"
    int nbParametres;  // positional parameters after the verb
    bool accepteOui;   // takes --oui
    QString synopsis;  // "--purge-clients DATE [--oui]"
    QString aide;      // one French line
    int (*action)(commun::Contexte&);
};

const std::vector<Verbe>& verbes();
bool estVerbe(const QString& argument);
// Adds a verb of the window layer (one that paints), which this table cannot
// name; the program does it at start-up. A verb already there is left as it is.
void ajouterVerbe(const Verbe& verbe);

// True when the argument after --dossier can be its value.
bool valeurDeDossier(const QString& argument);

// A parsed command, or the French message of a usage error.
std::variant<commun::Commande, QString> analyser(const QStringList& arguments);
QString usage();

// Runs the verb of the command; `dossierParDefaut` is the executable's folder.
// A store or file failure that a verb lets through is printed on `err` and
// gives the exit code 1.
int executer(const commun::Commande& commande, const QString& dossierParDefaut, QTextStream& out,
             QTextStream& err);

// What a killed export or conversion left unfinished in the folder, completed
// or dropped; every start does it before anything else. A French line for each.
QStringList reprendreTravaux(const QString& dossier);

}  // namespace app::batch
