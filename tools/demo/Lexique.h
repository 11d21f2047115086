#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// French words the generator draws from. Every person, street and product is
// made up by combining them; only the towns are real.
namespace demo::lexique {

const QStringList& noms();            // surnames, upper case
const QStringList& nomsApostrophe();  // surnames with an apostrophe ("D'ALMEIDA")
const QStringList& prenomsFeminins();
const QStringList& prenomsMasculins();
const QStringList& equipe();              // the salon's hairdressers
const QStringList& typesVoie();           // "rue", "avenue"…
const QStringList& nomsVoie();            // "des Lilas", "Jean Jaurès"…
const QStringList& complementsAdresse();  // "Bâtiment B", "Résidence du Parc"…
const QStringList& domainesMessagerie();

// The text without its accents ("Élodie" -> "Elodie").
QString sansAccents(const QString& t);

// A service and its family ("Couleur racines" -> "Coloration").
struct Prestation {
    QString service;
    QString famille;
};
const std::vector<Prestation>& prestations();
const QStringList& divers1();
const QStringList& divers2();

// Sentences of a client's note, of a technical sheet's memo, and short labels
// set in bold at the start of a paragraph.
const QStringList& phrasesNote();
const QStringList& phrasesMemo();
const QStringList& etiquettes();

// Real (postal code, town) pairs spelt as in the towns reference, for runs
// without one.
const std::vector<std::pair<QString, QString>>& communesIntegrees();

}  // namespace demo::lexique
