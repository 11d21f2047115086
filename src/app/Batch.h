#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <variant>

#include "commun/Verbes.h"

namespace app::batch {

// Every verb, built once, in the order the usage lists them.
const std::vector<commun::Verbe>& verbes();
bool estVerbe(const QString& argument);
// The verb named so, if any.
const commun::Verbe* trouverVerbe(const QString& nom);

// True when the argument after --dossier can be its value.
bool valeurDeDossier(const QString& argument);

// A parsed command, or the French message of a usage error.
std::variant<commun::Commande, QString> analyser(const QStringList& arguments);
QString usage();

// Runs the verb of the command; `dossierParDefaut` is the executable's folder.
// An error that a verb lets through is printed on `err`, once for all, and
// gives the exit code 1: verbs do not catch it themselves.
int executer(const commun::Commande& commande, const QString& dossierParDefaut, QTextStream& out,
             QTextStream& err);

// What a killed export or conversion left unfinished in the folder, completed
// or dropped; every start does it before anything else. A French line for each.
QStringList reprendreTravaux(const QString& dossier);

}  // namespace app::batch
