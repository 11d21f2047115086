#include "demo/Lexique.h"

#include <initializer_list>

namespace demo::lexique {

namespace {

QStringList liste(std::initializer_list<const char*> mots) {
    QStringList l;
    l.reserve(static_cast<qsizetype>(mots.size()));
    for (const char* m : mots) {
        l << QString::fromUtf8(m);
    }
    return l;
}

}  // namespace

const QStringList& noms() {
    static const QStringList l = liste({
        "MARTIN",     "BERNARD",   "THOMAS",   "PETIT",      "ROBERT",    "RICHARD",   "DURAND",
        "DUBOIS",     "MOREAU",    "LAURENT",  "SIMON",      "MICHEL",    "LEFEBVRE",  "LEROY",
        "ROUX",       "DAVID",     "BERTRAND", "MOREL",      "FOURNIER",  "GIRARD",    "BONNET",
        "DUPONT",     "LAMBERT",   "FONTAINE", "ROUSSEAU",   "VINCENT",   "MULLER",    "LEFÈVRE",
        "FAURE",      "ANDRÉ",     "MERCIER",  "BLANC",      "GUÉRIN",    "BOYER",     "GARNIER",
        "CHEVALIER",  "FRANÇOIS",  "LEGRAND",  "GAUTHIER",   "GARCIA",    "PERRIN",    "ROBIN",
        "CLÉMENT",    "MORIN",     "NICOLAS",  "HENRY",      "ROUSSEL",   "MATHIEU",   "GAUTIER",
        "MASSON",     "MARCHAND",  "DUVAL",    "DENIS",      "DUMONT",    "LEMAIRE",   "NOËL",
        "MEYER",      "DUFOUR",    "MEUNIER",  "BRUN",       "BLANCHARD", "GIRAUD",    "JOLY",
        "RIVIÈRE",    "LUCAS",     "BRUNET",   "GAILLARD",   "BARBIER",   "ARNAUD",    "MARTINEZ",
        "GÉRARD",     "ROCHE",     "RENARD",   "SCHMITT",    "ROY",       "LEROUX",    "COLIN",
        "VIDAL",      "CARON",     "PICARD",   "ROGER",      "FABRE",     "AUBERT",    "LEMOINE",
        "RENAUD",     "DUMAS",     "LACROIX",  "OLIVIER",    "PHILIPPE",  "BOURGEOIS", "PIERRE",
        "BENOÎT",     "REY",       "LECLERC",  "PAYET",      "ROLLAND",   "LECLERCQ",  "GUILLAUME",
        "LECOMTE",    "LOPEZ",     "JEAN",     "DUPUY",      "GUILLOT",   "HUBERT",    "BERGER",
        "CARPENTIER", "SANCHEZ",   "DUPUIS",   "MOULIN",     "LOUIS",     "DESCHAMPS", "HUET",
        "VASSEUR",    "PEREZ",     "BOUCHER",  "FLEURY",     "ROYER",     "KLEIN",     "JACQUET",
        "ADAM",       "POIRIER",   "MARTY",    "AUBRY",      "GUYOT",     "CARRÉ",     "CHARLES",
        "RENAULT",    "MÉNARD",    "MAILLARD", "BARON",      "BERTIN",    "BAILLY",    "HERVÉ",
        "SCHNEIDER",  "FERNANDEZ", "LE GALL",  "COLLET",     "LÉGER",     "BOUVIER",   "JULIEN",
        "PRÉVOST",    "MILLET",    "PERROT",   "DANIEL",     "LE ROUX",   "COUSIN",    "GERMAIN",
        "BRETON",     "BESSON",    "LANGLOIS", "RÉMY",       "LE GOFF",   "PELLETIER", "LÉVÊQUE",
        "PERRIER",    "LEBLANC",   "BARRÉ",    "LEBRUN",     "MARCHAL",   "WEBER",     "MALLET",
        "HAMON",      "BOULANGER", "JACOB",    "MONNIER",    "MICHAUD",   "RODRIGUEZ", "GUICHARD",
        "GILLET",     "ÉTIENNE",   "GRONDIN",  "POULAIN",    "TESSIER",   "CHAUVIN",   "DA SILVA",
        "BOUCHET",    "GAY",       "LEMAÎTRE", "BÉNARD",     "MARÉCHAL",  "HUMBERT",   "REYNAUD",
        "ANTOINE",    "HOARAU",    "PERRET",   "BARTHÉLEMY", "CORDIER",   "PICHON",    "LEJEUNE",
        "GILBERT",    "LAMY",      "DELAUNAY", "PASQUIER",   "CARLIER",   "LAPORTE",   "DE SOUSA",
    });
    return l;
}

const QStringList& nomsApostrophe() {
    static const QStringList l = liste({"D'ARTAGNAN", "D'ALMEIDA", "L'HERMITE", "D'ANGELO",
                                        "N'DIAYE", "L'HUILLIER", "D'AMOUR", "D'ORNANO"});
    return l;
}

const QStringList& prenomsFeminins() {
    static const QStringList l = liste({
        "Marie",     "Nathalie",  "Isabelle",     "Sylvie",      "Catherine",     "Françoise",
        "Martine",   "Christine", "Monique",      "Valérie",     "Sandrine",      "Sophie",
        "Stéphanie", "Céline",    "Véronique",    "Chantal",     "Nicole",        "Patricia",
        "Anne",      "Brigitte",  "Julie",        "Aurélie",     "Émilie",        "Camille",
        "Léa",       "Manon",     "Chloé",        "Emma",        "Inès",          "Sarah",
        "Laura",     "Pauline",   "Marine",       "Élodie",      "Caroline",      "Virginie",
        "Laurence",  "Hélène",    "Jacqueline",   "Josiane",     "Annie",         "Danielle",
        "Michèle",   "Odile",     "Gisèle",       "Agnès",       "Claire",        "Lucie",
        "Mathilde",  "Océane",    "Anaïs",        "Clémence",    "Zoé",           "Jade",
        "Louise",    "Alice",     "Marie-Claire", "Anne-Sophie", "Marie-Thérèse", "Geneviève",
        "Béatrice",  "Corinne",   "Karine",       "Murielle",    "Fabienne",      "Dominique",
    });
    return l;
}

const QStringList& prenomsMasculins() {
    static const QStringList l = liste({
        "Jean",    "Pierre", "Michel",    "Philippe",  "Alain",       "Nicolas",  "Christophe",
        "Patrick", "Daniel", "Bernard",   "Éric",      "Laurent",     "Frédéric", "Stéphane",
        "David",   "Julien", "Thomas",    "Sébastien", "Olivier",     "Pascal",   "Thierry",
        "Jacques", "Gérard", "René",      "François",  "Claude",      "Hugo",     "Lucas",
        "Théo",    "Louis",  "Nathan",    "Maxime",    "Antoine",     "Mathieu",  "Romain",
        "Kévin",   "Jérôme", "Yves",      "André",     "Jean-Pierre", "Jean-Luc", "Jean-François",
        "Benoît",  "Cédric", "Guillaume", "Fabrice",   "Arnaud",      "Loïc",
    });
    return l;
}

const QStringList& equipe() {
    static const QStringList l =
        liste({"Sandrine", "Karine", "Julie", "Mélanie", "Audrey", "Jessica", "Kevin", "Laetitia",
               "Nadia", "Cindy", "Fanny", "Sabrina", "Yasmine", "Jordan", "Morgane", "Gaëlle"});
    return l;
}

const QStringList& typesVoie() {
    static const QStringList l =
        liste({"rue", "rue", "rue", "rue", "avenue", "avenue", "boulevard", "place", "impasse",
               "allée", "chemin", "route", "quai", "cours", "square"});
    return l;
}

const QStringList& nomsVoie() {
    static const QStringList l = liste({
        "des Lilas",
        "de la République",
        "Victor Hugo",
        "Jean Jaurès",
        "du Général de Gaulle",
        "de la Gare",
        "de l'Église",
        "des Écoles",
        "du Moulin",
        "Pasteur",
        "de la Paix",
        "des Roses",
        "du Stade",
        "de la Mairie",
        "Gambetta",
        "Voltaire",
        "des Peupliers",
        "du Château",
        "de Verdun",
        "de la Liberté",
        "Émile Zola",
        "des Acacias",
        "du 8 Mai 1945",
        "de Paris",
        "des Tilleuls",
        "Carnot",
        "du Marché",
        "des Vignes",
        "de l'Industrie",
        "Saint-Exupéry",
        "des Jardins",
        "de la Fontaine",
        "du Bois",
        "des Cerisiers",
        "Anatole France",
        "Jules Ferry",
        "de la Poste",
        "du Commerce",
        "des Marronniers",
        "de l'Abbaye",
        "des Coquelicots",
        "du Lavoir",
        "des Frères Lumière",
        "de la Croix Blanche",
    });
    return l;
}

const QStringList& complementsAdresse() {
    static const QStringList l =
        liste({"Bâtiment A", "Bâtiment B", "Bât. C", "Appartement 12", "Appt 4", "Escalier 2",
               "3e étage", "Résidence du Parc", "Résidence les Pins", "Lotissement les Chênes",
               "BP 45", "Chez Mme Leroy", "Le Clos des Vignes"});
    return l;
}

const QStringList& domainesMessagerie() {
    static const QStringList l =
        liste({"orange.fr", "orange.fr", "free.fr", "gmail.com", "gmail.com", "wanadoo.fr",
               "sfr.fr", "laposte.net", "hotmail.fr", "yahoo.fr", "outlook.fr", "neuf.fr"});
    return l;
}

const std::vector<Prestation>& prestations() {
    static const std::vector<Prestation> l = [] {
        const std::initializer_list<std::pair<const char*, const char*>> paires = {
            {"Coupe brushing", "Coupe"},
            {"Coupe brushing", "Coupe"},
            {"Coupe homme", "Coupe"},
            {"Coupe enfant", "Coupe"},
            {"Coupe dégradée", "Coupe"},
            {"Brushing", "Coiffage"},
            {"Mise en plis", "Coiffage"},
            {"Chignon", "Coiffage"},
            {"Couleur", "Coloration"},
            {"Couleur racines", "Coloration"},
            {"Ton sur ton", "Coloration"},
            {"Décoloration", "Décoloration"},
            {"Décoloration racines", "Décoloration"},
            {"Rinçage", "Rinçage"},
            {"Reflets", "Rinçage"},
            {"Mèches", "Mèches"},
            {"Mèches papillotes", "Mèches"},
            {"Balayage", "Balayage"},
            {"Permanente", "Permanente"},
            {"Défrisage", "Permanente"},
            {"Shampooing traitant", "Shampooing"},
            {"Shampooing", "Shampooing"},
            {"Soin profond", "Soin"},
            {"Soin kératine", "Soin"},
            {"Renforçateur", "Renforçateur"},
        };
        std::vector<Prestation> v;
        for (const auto& [s, f] : paires) {
            v.push_back({QString::fromUtf8(s), QString::fromUtf8(f)});
        }
        return v;
    }();
    return l;
}

const QStringList& divers1() {
    static const QStringList l = liste(
        {"6.1 + oxydant 20 vol", "7.3 / 7.0 moitié-moitié", "Pose 35 min", "Oxydant 6 %",
         "9.1 + 30 vol", "Hauteur de ton 5", "Mèches fines", "Papier aluminium", "Tondeuse sabot 3",
         "Bigoudis violets", "5.0 racines", "Patine 10.21", "Brosse ronde", "Ciseaux sculpteurs"});
    return l;
}

const QStringList& divers2() {
    static const QStringList l =
        liste({"Résultat satisfaisant", "Cliente ravie", "Trop chaud, refaire plus froid",
               "Cuir chevelu sensible", "Prévoir 1 h 30", "Voir mémo", "Produit offert",
               "Échantillon donné", "À revoir dans 6 semaines", "Payé par chèque"});
    return l;
}

const QStringList& phrasesNote() {
    static const QStringList l = liste({
        "Cliente fidèle depuis l'ouverture du salon.",
        "Coloration 6.1 tous les mois, racines seulement.",
        "Allergie : à vérifier avant toute coloration (test 48 h).",
        "Préfère les rendez-vous le samedi matin.",
        "Cuir chevelu sensible, shampooing doux uniquement.",
        "Ne pas couper trop court sur la nuque.",
        "Carte cadeau de 50 € offerte par sa fille.",
        "Mariage de sa fille prévu en juin : essai de chignon à prévoir.",
        "Cheveux fins, le volume tient mal.",
        "Vient souvent avec son mari, coupe homme à la suite.",
        "A versé un acompte de 20 €.",
        "Ne supporte pas l'ammoniaque.",
        "Rappeler la veille du rendez-vous.",
        "Enceinte : pas de couleur jusqu'en septembre.",
        "Souhaite garder de la longueur devant.",
        "Épi au sommet du crâne, attention à la coupe.",
        "Aime le café sans sucre.",
        "Exigeant sur le dégradé, prévoir du temps.",
        "Cheveux bouclés, séchage au diffuseur.",
        "Prend un thé pendant la pose.",
        "Prix convenu : 45 € la coupe brushing.",
        "Parle peu, préfère le calme.",
        "Chute de cheveux après un traitement, soins doux.",
        "Mèches très claires, oxydant 30 vol au maximum.",
        "Ne veut plus de permanente.",
        "Fidélité : 10e passage offert.",
        "Vient seulement l'été, pendant les vacances.",
        "Appeler sa fille en cas d'absence.",
        "Œil sur les pointes sèches, proposer un soin.",
        "Résultat « trop roux » la dernière fois, revenir à 6.0.",
        "Règle toujours en espèces.",
        "Pas de laque, elle tousse.",
    });
    return l;
}

const QStringList& phrasesMemo() {
    static const QStringList l = liste({
        "Couleur 6.1 + oxydant 20 vol, pose 35 min.",
        "Racines 5.0, longueurs 6.3 les 10 dernières minutes.",
        "Mèches papillotes 9.1, oxydant 30 vol.",
        "Balayage à main levée, patine 10.21.",
        "Coupe dégradée, nuque dégagée, frange effilée.",
        "Brushing volume à la brosse ronde.",
        "Permanente bigoudis violets, pose 15 min.",
        "Soin kératine, 20 min sous le casque.",
        "Shampooing déjaunissant.",
        "Tondeuse sabot 3 sur les côtés, ciseaux dessus.",
        "Cliente contente du résultat.",
        "Trop cuivré, prévoir plus froid la prochaine fois.",
        "Test d'allergie fait, négatif.",
        "Décoloration racines 20 vol + patine.",
        "Renforçateur après le shampooing.",
        "Rinçage ton sur ton 7.1.",
        "Temps de pose : 25 min.",
        "Prix : 68 €.",
        "Cheveux abîmés aux pointes, couper 2 cm.",
        "Reflets cuivrés très légers.",
    });
    return l;
}

const QStringList& etiquettes() {
    static const QStringList l =
        liste({"Allergie", "Attention", "Couleur", "Technique", "À savoir", "Rappel"});
    return l;
}

const std::vector<std::pair<QString, QString>>& communesIntegrees() {
    static const std::vector<std::pair<QString, QString>> l = [] {
        const std::initializer_list<std::pair<const char*, const char*>> paires = {
            {"01000", "BOURG-EN-BRESSE"},
            {"02000", "LAON"},
            {"03100", "MONTLUCON"},
            {"05000", "GAP"},
            {"06000", "NICE"},
            {"06400", "CANNES"},
            {"09000", "FOIX"},
            {"10000", "TROYES"},
            {"13001", "MARSEILLE"},
            {"13008", "MARSEILLE"},
            {"13090", "AIX EN PROVENCE"},
            {"14000", "CAEN"},
            {"17000", "LA ROCHELLE"},
            {"20000", "AJACCIO"},
            {"21000", "DIJON"},
            {"25000", "BESANCON"},
            {"27000", "EVREUX"},
            {"29200", "BREST"},
            {"30000", "NIMES"},
            {"31000", "TOULOUSE"},
            {"33000", "BORDEAUX"},
            {"34000", "MONTPELLIER"},
            {"35000", "RENNES"},
            {"37000", "TOURS"},
            {"38000", "GRENOBLE"},
            {"42000", "SAINT-ETIENNE"},
            {"42100", "SAINT-ETIENNE"},
            {"44000", "NANTES"},
            {"45000", "ORLEANS"},
            {"49000", "ANGERS"},
            {"51100", "REIMS"},
            {"54000", "NANCY"},
            {"57000", "METZ"},
            {"59000", "LILLE"},
            {"63000", "CLERMONT FERRAND"},
            {"64000", "PAU"},
            {"66000", "PERPIGNAN"},
            {"67000", "STRASBOURG"},
            {"68100", "MULHOUSE"},
            {"69001", "LYON"},
            {"69003", "LYON"},
            {"72000", "LE MANS"},
            {"73000", "CHAMBERY"},
            {"74000", "ANNECY"},
            {"75001", "PARIS"},
            {"75011", "PARIS"},
            {"75015", "PARIS"},
            {"76000", "ROUEN"},
            {"78000", "VERSAILLES"},
            {"80000", "AMIENS"},
            {"83000", "TOULON"},
            {"84000", "AVIGNON"},
            {"86000", "POITIERS"},
            {"87000", "LIMOGES"},
            {"92100", "BOULOGNE BILLANCOURT"},
            {"94240", "L HAY LES ROSES"},
            {"97400", "SAINT DENIS"},
        };
        std::vector<std::pair<QString, QString>> v;
        for (const auto& [cp, ville] : paires) {
            v.emplace_back(QString::fromLatin1(cp), QString::fromLatin1(ville));
        }
        return v;
    }();
    return l;
}

QString sansAccents(const QString& t) {
    QString r;
    for (const QChar c : t.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing) {
            r += c;
        }
    }
    return r;
}

}  // namespace demo::lexique
