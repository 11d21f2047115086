#include "rapport/Sections.h"

#include <QLocale>
#include <QSet>
#include <optional>

#include "clients/Analyse.h"
#include "clients/Annulation.h"
#include "export/Export.h"
#include "rapport/Chiffres.h"
#include "rapport/Document.h"
#include "rapport/Graphique.h"
#include "rapport/MiseEnPage.h"
#include "store/Dates.h"
#include "tech/AnalyseTech.h"

namespace rapport {

namespace {

const QLocale& francais() {
    static const QLocale l(QLocale::French, QLocale::France);
    return l;
}

QString dateLongue(const QDateTime& d) {
    return francais().toString(d.date(), QStringLiteral("d MMMM yyyy")) + QStringLiteral(" à ") +
           francais().toString(d.time(), QStringLiteral("HH:mm"));
}

// "le 06/12/2025 à 14:05"
QString leDate(const QDateTime& d) {
    return francais().toString(d, QStringLiteral("'le' dd/MM/yyyy 'à' HH:mm"));
}

// "1 client", "2 clients".
QString compte(qint64 n, const QString& singulier, const QString& pluriel) {
    return nombre(n) + u' ' + (n > 1 ? pluriel : singulier);
}

// A value of the journal as a reader sees it: dates as dates, empty and Null
// alike, between quotes when `guillemets` so that blanks at its ends show.
QString valeurLue(const store::Valeur& v, bool guillemets = false) {
    QString t = v.texte();
    if (t.isEmpty()) {
        return QStringLiteral("(vide)");
    }
    if (t.size() == 19 && t[4] == u'-' && t[10] == u' ') {
        if (const auto serie = store::dates::lireIso(t)) {
            const QDateTime d = store::dates::depuisSerie(*serie);
            t = francais().toString(d.date(), QStringLiteral("dd/MM/yyyy"));
            if (d.time() != QTime(0, 0)) {
                t += u' ' + francais().toString(d.time(), QStringLiteral("HH:mm"));
            }
            return t;
        }
    }
    return guillemets ? QStringLiteral("\u201c%1\u201d").arg(t) : t;
}

// The day an undo put the value back, or nothing.
QString annuleeLe(const std::optional<QDateTime>& annulee) {
    return annulee ? francais().toString(annulee->date(), QStringLiteral("dd/MM/yyyy")) : QString();
}

// "1 valeur", "3 valeurs"…: the count and its noun, plural from 2.
QString valeurs(qint64 n) {
    return compte(n, QStringLiteral("valeur"), QStringLiteral("valeurs"));
}

QString clientsDe(qint64 n) {
    return compte(n, QStringLiteral("client"), QStringLiteral("clients"));
}

void partieFichier(Redaction& r, const Chiffres& c) {
    r.section(QStringLiteral("Le fichier du salon"));
    QString defaut = QStringLiteral("aucune");
    if (!c.villeDefaut.isEmpty() || !c.cpDefaut.isEmpty()) {
        defaut = QStringLiteral("%1 (%2), donnée aux clients qui n'avaient ni ville ni code postal")
                     .arg(c.villeDefaut, c.cpDefaut);
    }
    const QString sauvegarde =
        c.sauvegarde ? QStringLiteral(
                           "BdClient.sav, faite %1 avant la première analyse ; "
                           "la base d'origine y est gardée telle quelle")
                           .arg(leDate(*c.sauvegarde))
                     : QStringLiteral("aucune : l'analyse des clients n'a pas encore été lancée");
    r.fiche({
        {QStringLiteral("Dossier"), c.dossier},
        {QStringLiteral("Base de données"),
         QStringLiteral("BdClient.mdb, %1").arg(taille(c.tailleBase))},
        {QStringLiteral("Contenu"),
         QStringLiteral("%1, %2, %3")
             .arg(compte(c.nbClients, QStringLiteral("client"), QStringLiteral("clients")),
                  compte(c.nbFiches, QStringLiteral("fiche technique"),
                         QStringLiteral("fiches techniques")),
                  compte(c.nbVisites, QStringLiteral("visite"), QStringLiteral("visites")))},
        {QStringLiteral("Notes des clients"),
         compte(c.nbFichiersNotes, QStringLiteral("fichier de notes"),
                QStringLiteral("fichiers de notes"))},
        {QStringLiteral("Ville par défaut"), defaut},
        {QStringLiteral("Sauvegarde"), sauvegarde},
    });
}

void partieClients(Redaction& r, const Chiffres& c) {
    r.section(QStringLiteral("Clients"));
    const qint64 nbErreurs = c.nbClientsEnErreur();
    if (c.nbClients == 0) {
        r.paragraphe(QStringLiteral("La base ne contient aucun client."));
    } else if (nbErreurs == 0) {
        r.paragraphe(QStringLiteral("%1 sur %2 champs : aucun n'est en erreur.")
                         .arg(compte(c.nbClients, QStringLiteral("client jugé"),
                                     QStringLiteral("clients jugés")))
                         .arg(clients::kNbDrapeaux));
    } else {
        r.paragraphe(QStringLiteral("%1 sur %2 champs. %3 en erreur (%4) : %5 dans TRELLINAX PRO "
                                    "tant qu'%6 corrigé%7 (liste au chapitre 6).")
                         .arg(compte(c.nbClients, QStringLiteral("client jugé"),
                                     QStringLiteral("clients jugés")))
                         .arg(clients::kNbDrapeaux)
                         .arg(nbErreurs > 1 ? nombre(nbErreurs) + QStringLiteral(" sont")
                                            : QStringLiteral("1 est"),
                              pourcentage(nbErreurs, c.nbClients),
                              nbErreurs > 1 ? QStringLiteral("ils ne seront pas importés")
                                            : QStringLiteral("il ne sera pas importé"),
                              nbErreurs > 1 ? QStringLiteral("ils ne sont pas")
                                            : QStringLiteral("il n'est pas"),
                              nbErreurs > 1 ? QStringLiteral("s") : QString()));
    }
    // The first analysis beside now, when it found something else.
    const std::optional<clients::AnalyseNotee>& premiere = c.journal.premiereAnalyse;
    std::optional<clients::BilanAnalyse> avant;
    if (!premiere) {
        r.paragraphe(QStringLiteral("Le journal ne garde aucune analyse des clients : le nombre de "
                                    "clients en erreur à la première analyse n'est pas connu."),
                     kDiscret);
    } else {
        const clients::BilanAnalyse& b = premiere->bilan;
        const QString quand =
            leDate(QDateTime::fromString(premiere->quand, QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        const bool memes = b.NbCli == c.nbClients && b.NbCliErr == nbErreurs &&
                           std::equal(b.erreursParChamp.begin(), b.erreursParChamp.end(),
                                      c.erreursParChamp.begin());
        if (!memes) {
            r.paragraphe(QStringLiteral("À la première analyse notée au journal, %1 : %2 en erreur "
                                        "sur %3 (%4). Maintenant : %5 sur %6 (%7).")
                             .arg(quand, clientsDe(b.NbCliErr), nombre(b.NbCli),
                                  pourcentage(b.NbCliErr, b.NbCli), clientsDe(nbErreurs),
                                  nombre(c.nbClients), pourcentage(nbErreurs, c.nbClients)));
            avant = b;
        } else if (c.nbClients > 0) {
            r.paragraphe(QStringLiteral("La première analyse notée au journal, %1, trouvait les "
                                        "mêmes chiffres.")
                             .arg(quand));
        }
    }
    if (nbErreurs > 0 || (avant && avant->NbCliErr > 0)) {
        const qreal hauteurLigne = r.ptAppareil(avant ? 20 : 17);
        r.sousTitre(QStringLiteral("Clients en erreur par champ"),
                    hauteurLigne * static_cast<qreal>(clients::kNbDrapeaux) + r.mmAppareil(12));
        Barres barres;
        barres.libelles = libellesChamps();
        for (const qint64 n : c.erreursParChamp) {
            barres.valeurs << n;
        }
        barres.total = c.nbClients;
        if (avant) {
            for (const int n : avant->erreursParChamp) {
                barres.avant << n;
            }
            r.paragraphe(QStringLiteral("En gris, la première analyse ; en rouge, maintenant."),
                         kDiscret, 9);
        }
        r.graphique(barres, hauteurLigne);
        r.paragraphe(
            QStringLiteral("Un client peut être en erreur sur plusieurs champs ; le "
                           "pourcentage est celui des %1.")
                .arg(compte(c.nbClients, QStringLiteral("client"), QStringLiteral("clients"))),
            kDiscret, 9);
    }
}

void partieCorrections(Redaction& r, const Chiffres& c) {
    const Journal& j = c.journal;
    r.section(QStringLiteral("Rangement et corrections"));
    if (j.rangement.empty() && j.correctionsMain.empty() && j.correctionsGroupees.empty()) {
        r.paragraphe(
            QStringLiteral("Le journal ne garde aucune valeur changée, ni par le "
                           "rangement, ni à la main, ni par une correction groupée."));
        return;
    }
    r.paragraphe(QStringLiteral(
        "D'après le journal des modifications de la base. Le rangement met les valeurs en forme "
        "sans les juger (blancs en trop, lettre O tapée pour un zéro, ville par défaut…) ; les "
        "corrections remplacent des valeurs en erreur. Ce qui empêche l'import d'un client est au "
        "chapitre 6."));

    r.sousTitre(QStringLiteral("Rangement fait par l'analyse"));
    if (j.rangement.empty()) {
        r.paragraphe(QStringLiteral("Le journal ne garde aucune valeur changée par le rangement."));
    } else {
        r.paragraphe(QStringLiteral("%1 mise%2 en forme chez %3.")
                         .arg(valeurs(j.nbValeursRangees),
                              j.nbValeursRangees > 1 ? QStringLiteral("s") : QString(),
                              clientsDe(j.nbClientsRanges)));
        QList<QStringList> lignes;
        for (const ColonneRangee& col : j.rangement) {
            QStringList exemples;
            for (const Changement& e : col.exemples) {
                exemples << valeurLue(e.avant, true) + QStringLiteral(" \u2192 ") +
                                valeurLue(e.apres, true);
            }
            lignes << QStringList{libelleColonne(col.colonne), nombre(col.nbValeurs),
                                  exemples.join(QStringLiteral(" ; "))};
        }
        r.tableau({QStringLiteral("Champ"), QStringLiteral("Valeurs changées"),
                   QStringLiteral("Exemples")},
                  lignes, {18, 18, 64},
                  {Alignement::Gauche, Alignement::Droite, Alignement::Gauche});
    }

    r.sousTitre(QStringLiteral("Corrections à la main"));
    if (j.correctionsMain.empty()) {
        r.paragraphe(QStringLiteral("Aucune correction faite à la main."));
    } else {
        QSet<QString> clientsCorriges;
        qint64 parCodePostal = 0;
        qint64 annulees = 0;
        for (const Changement& e : j.correctionsMain) {
            clientsCorriges.insert(e.cle);
            parCodePostal += e.operation == clients::operations::kCodePostal;
            annulees += e.annulee.has_value();
        }
        QString texte = QStringLiteral("%1 changée%2 chez %3 dans le panneau de correction")
                            .arg(valeurs(static_cast<qint64>(j.correctionsMain.size())),
                                 j.correctionsMain.size() > 1 ? QStringLiteral("s") : QString(),
                                 clientsDe(clientsCorriges.size()));
        if (parCodePostal > 0) {
            texte += QStringLiteral(" (dont %1 par le choix d'un code postal et de sa ville)")
                         .arg(nombre(parCodePostal));
        }
        if (annulees > 0) {
            texte += QStringLiteral(" ; %1 remise%2 comme avant par une annulation")
                         .arg(nombre(annulees), annulees > 1 ? QStringLiteral("s") : QString());
        }
        r.paragraphe(texte + u'.');
        QList<QStringList> lignes;
        for (const Changement& e : j.correctionsMain) {
            lignes << QStringList{dateCourte(e.quand),       (e.cle + u' ' + e.nom).trimmed(),
                                  libelleColonne(e.colonne), valeurLue(e.avant),
                                  valeurLue(e.apres),        annuleeLe(e.annulee)};
        }
        r.tableau({QStringLiteral("Date"), QStringLiteral("Client"), QStringLiteral("Champ"),
                   QStringLiteral("Avant"), QStringLiteral("Après"), QStringLiteral("Annulée le")},
                  lignes, {17, 20, 14, 18, 18, 13},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Gauche,
                   Alignement::Gauche, Alignement::Gauche});
    }

    r.sousTitre(QStringLiteral("Corrections groupées"));
    if (j.correctionsGroupees.empty()) {
        r.paragraphe(QStringLiteral("Aucune correction groupée."));
    } else {
        qint64 remplacees = 0;
        qint64 nbClients = 0;
        qint64 annulees = 0;
        for (const CorrectionGroupee& g : j.correctionsGroupees) {
            remplacees += static_cast<qint64>(g.remplacements.size());
            nbClients += g.nbClients;
            annulees += g.annulee.has_value();
        }
        const auto n = static_cast<qint64>(j.correctionsGroupees.size());
        QString texte =
            QStringLiteral("%1 : %2 remplacée%3, %4 changé%5")
                .arg(compte(n, QStringLiteral("correction groupée"),
                            QStringLiteral("corrections groupées")),
                     valeurs(remplacees), remplacees > 1 ? QStringLiteral("s") : QString(),
                     clientsDe(nbClients), nbClients > 1 ? QStringLiteral("s") : QString());
        if (annulees > 0) {
            texte += QStringLiteral(" ; %1 annulée%2 depuis")
                         .arg(nombre(annulees), annulees > 1 ? QStringLiteral("s") : QString());
        }
        r.paragraphe(texte + u'.');
        QList<QStringList> lignes;
        for (const CorrectionGroupee& g : j.correctionsGroupees) {
            bool premiere = true;
            for (const ValeurRemplacee& rem : g.remplacements) {
                lignes << QStringList{premiere ? dateCourte(g.quand) : QString(),
                                      libelleColonne(rem.colonne),
                                      valeurLue(rem.avant),
                                      valeurLue(rem.apres),
                                      nombre(rem.nbClients),
                                      premiere ? annuleeLe(g.annulee) : QString()};
                premiere = false;
            }
        }
        r.tableau({QStringLiteral("Date"), QStringLiteral("Champ"),
                   QStringLiteral("Valeur remplacée"), QStringLiteral("Remplacée par"),
                   QStringLiteral("Clients"), QStringLiteral("Annulée le")},
                  lignes, {17, 14, 22, 22, 10, 15},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Gauche,
                   Alignement::Droite, Alignement::Gauche});
    }
}

void partieNotesIllisibles(Redaction& r, const Chiffres& c) {
    if (c.notesIllisibles.empty()) {
        return;
    }
    r.sousTitre(QStringLiteral("Notes illisibles (%1)").arg(c.notesIllisibles.size()));
    r.paragraphe(
        QStringLiteral("Ces fichiers de notes n'ont pas pu être lus : leur longueur "
                       "n'est pas jugée ici, et l'export s'arrêtera sur eux tant qu'ils "
                       "ne seront pas lisibles."));
    QList<QStringList> lignes;
    for (const NoteIllisible& note : c.notesIllisibles) {
        lignes << QStringList{note.code, note.nom, note.fichier, note.cause};
    }
    r.tableau({QStringLiteral("Code"), QStringLiteral("Client"), QStringLiteral("Fichier"),
               QStringLiteral("Cause")},
              lignes, {14, 30, 20, 36},
              {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Gauche});
}

void partieNotes(Redaction& r, const Chiffres& c) {
    r.section(QStringLiteral("Notes de plus de %1 caractères").arg(clients::kLimiteNote));
    const auto n = static_cast<qint64>(c.notesLongues.size());
    if (n == 0) {
        r.paragraphe(QStringLiteral("Aucune note ne dépasse %1 caractères (%2).")
                         .arg(clients::kLimiteNote)
                         .arg(c.nbFichiersNotes == 0
                                  ? QStringLiteral("le dossier n'a aucun fichier de notes")
                                  : compte(c.nbFichiersNotes, QStringLiteral("fichier de notes lu"),
                                           QStringLiteral("fichiers de notes lus"))));
        partieNotesIllisibles(r, c);
        return;
    }
    r.paragraphe(QStringLiteral("%1 %2 %3 caractères : l'export ne garde que les %3 premiers, la "
                                "suite ne sera pas reprise dans TRELLINAX PRO.")
                     .arg(compte(n, QStringLiteral("note"), QStringLiteral("notes")),
                          n > 1 ? QStringLiteral("dépassent") : QStringLiteral("dépasse"))
                     .arg(clients::kLimiteNote));
    QList<QStringList> lignes;
    for (const NoteLongue& note : c.notesLongues) {
        lignes << QStringList{note.code, note.nom.trimmed(), nombre(note.longueur),
                              nombre(note.perdus)};
    }
    r.tableau({QStringLiteral("Code"), QStringLiteral("Client"), QStringLiteral("Longueur"),
               QStringLiteral("Caractères perdus")},
              lignes, {14, 50, 16, 20},
              {Alignement::Gauche, Alignement::Gauche, Alignement::Droite, Alignement::Droite});
    partieNotesIllisibles(r, c);
}

QString client(const FicheEnErreur& f) {
    return f.code.isEmpty() ? QStringLiteral("(aucun client de ce code)") : f.nom.trimmed();
}

void partieFiches(Redaction& r, const Chiffres& c) {
    r.section(QStringLiteral("Fiches techniques"));
    if (c.nbFiches == 0) {
        r.paragraphe(QStringLiteral("La base ne contient aucune fiche technique."));
    } else {
        QString familles =
            c.nbSansFamille == 0
                ? QStringLiteral("toutes ont une famille")
                : QStringLiteral("%1 sans famille, %2 (liste au chapitre 6)")
                      .arg(nombre(c.nbSansFamille),
                           c.nbSansFamille > 1 ? QStringLiteral("qui ne seront pas importées")
                                               : QStringLiteral("qui ne sera pas importée"));
        QString memos =
            c.nbMemosLongs == 0
                ? QStringLiteral("aucun mémo ne dépasse %1 caractères").arg(tech::kLongueurMemo)
                : QStringLiteral("%1 dont le mémo dépasse %2 caractères")
                      .arg(nombre(c.nbMemosLongs))
                      .arg(tech::kLongueurMemo);
        r.paragraphe(QStringLiteral("%1 : %2 ; %3.")
                         .arg(compte(c.nbFiches, QStringLiteral("fiche technique"),
                                     QStringLiteral("fiches techniques")),
                              familles, memos));
    }
    if (c.nbMemosLongs > 0) {
        r.sousTitre(QStringLiteral("Mémos de plus de %1 caractères").arg(tech::kLongueurMemo));
        QList<QStringList> lignes;
        for (const FicheEnErreur& f : c.fiches) {
            if (f.memoLong) {
                lignes << QStringList{f.numero, f.code, client(f), nombre(f.longueurMemo)};
            }
        }
        r.tableau({QStringLiteral("N° fiche"), QStringLiteral("Code client"),
                   QStringLiteral("Client"), QStringLiteral("Longueur du mémo")},
                  lignes, {14, 16, 48, 22},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Droite});
    }
    const Journal& j = c.journal;
    if (j.familles.empty() && j.nbMemosNettoyes == 0) {
        r.paragraphe(
            QStringLiteral("Le journal ne garde aucune famille corrigée ni aucun mémo "
                           "nettoyé."));
        return;
    }
    r.sousTitre(QStringLiteral("Familles corrigées"));
    if (j.familles.empty()) {
        r.paragraphe(QStringLiteral("Aucune famille corrigée."));
    } else {
        QSet<QString> fiches;
        for (const Changement& e : j.familles) {
            fiches.insert(e.cle);
        }
        r.paragraphe(QStringLiteral("%1 choisie%2 pour %3.")
                         .arg(compte(static_cast<qint64>(j.familles.size()),
                                     QStringLiteral("famille"), QStringLiteral("familles")),
                              j.familles.size() > 1 ? QStringLiteral("s") : QString(),
                              compte(fiches.size(), QStringLiteral("fiche technique"),
                                     QStringLiteral("fiches techniques"))));
        QList<QStringList> lignes;
        for (const Changement& e : j.familles) {
            lignes << QStringList{dateCourte(e.quand), e.cle,
                                  e.nom.isEmpty() ? QStringLiteral("(fiche supprimée)") : e.nom,
                                  valeurLue(e.avant), valeurLue(e.apres)};
        }
        r.tableau({QStringLiteral("Date"), QStringLiteral("N° fiche"), QStringLiteral("Client"),
                   QStringLiteral("Avant"), QStringLiteral("Après")},
                  lignes, {18, 12, 34, 18, 18},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Gauche,
                   Alignement::Gauche});
    }
    r.sousTitre(QStringLiteral("Nettoyage des mémos"));
    r.paragraphe(
        j.nbMemosNettoyes == 0
            ? QStringLiteral("Le nettoyage des mémos n'a changé aucun mémo.")
            : QStringLiteral("Le nettoyage des mémos a ôté les blancs et les fins de "
                             "ligne qui terminaient %1.")
                  .arg(compte(j.nbMemosNettoyes, QStringLiteral("mémo"), QStringLiteral("mémos"))));
}

void partieExports(Redaction& r, const Chiffres& c) {
    r.section(QStringLiteral("Exports"));
    r.sousTitre(QStringLiteral("Fichiers d'export du dossier"));
    if (c.fichiersClients.empty() && c.fichiersFiches.empty()) {
        r.paragraphe(QStringLiteral(
            "Aucun fichier d'export dans le dossier : l'export n'a pas encore été fait."));
    } else {
        QList<QStringList> lignes;
        for (const auto* liste : {&c.fichiersClients, &c.fichiersFiches}) {
            for (const FichierExport& f : *liste) {
                lignes << QStringList{f.nom, dateCourte(f.date), nombre(f.lignes)};
            }
        }
        r.tableau({QStringLiteral("Fichier"), QStringLiteral("Écrit le"),
                   QStringLiteral("Lignes (hors en-tête)")},
                  lignes, {40, 30, 30},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Droite});
    }
    // Files older than the last corrections no longer hold what an export would write.
    QStringList ecarts;
    const auto verifier = [&](const std::vector<FichierExport>& fichiers, qint64 attendu,
                              const QString& quoi) {
        if (fichiers.empty()) {
            return;
        }
        qint64 lignes = 0;
        for (const FichierExport& f : fichiers) {
            lignes += f.lignes;
        }
        if (lignes != attendu) {
            ecarts << QStringLiteral("%1 dans les fichiers, %2 maintenant")
                              .arg(nombre(lignes), nombre(attendu)) +
                          u' ' + quoi;
        }
    };
    verifier(c.fichiersClients, c.nbClientsExportables(), QStringLiteral("pour les clients"));
    verifier(c.fichiersFiches, c.nbFichesExportables(), QStringLiteral("pour les fiches"));
    r.paragraphe(QStringLiteral("Un export fait maintenant écrirait %1 et %2.")
                     .arg(compte(c.nbClientsExportables(), QStringLiteral("client"),
                                 QStringLiteral("clients")),
                          compte(c.nbFichesExportables(), QStringLiteral("fiche technique"),
                                 QStringLiteral("fiches techniques"))));
    if (!ecarts.isEmpty()) {
        r.paragraphe(QStringLiteral("Les fichiers présents ne correspondent plus à la base (%1) : "
                                    "refaites l'export avant la reprise.")
                         .arg(ecarts.join(QStringLiteral(" ; "))),
                     kAlerte);
    }

    const qint64 nbClients = c.nbClientsEnErreur();
    r.sousTitre(QStringLiteral("Clients qui ne seront pas importés (%1)").arg(nombre(nbClients)));
    if (nbClients == 0) {
        r.paragraphe(QStringLiteral("Aucun : tous les clients seront importés."));
    } else {
        QList<QStringList> lignes;
        for (const clients::Evaluation& e : c.clientsEnErreur) {
            lignes << QStringList{e.CodeClient, e.NomClient.trimmed(), champsEnErreur(e)};
        }
        r.tableau(
            {QStringLiteral("Code"), QStringLiteral("Client"), QStringLiteral("Champs en erreur")},
            lignes, {12, 38, 50}, {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche});
    }

    r.sousTitre(QStringLiteral("Fiches techniques qui ne seront pas importées (%1)")
                    .arg(nombre(c.nbSansFamille)));
    if (c.nbSansFamille == 0) {
        r.paragraphe(QStringLiteral("Aucune : toutes les fiches techniques seront importées."));
    } else {
        QList<QStringList> lignes;
        for (const FicheEnErreur& f : c.fiches) {
            if (f.sansFamille) {
                lignes << QStringList{f.numero, f.code, client(f), QStringLiteral("Famille")};
            }
        }
        r.tableau({QStringLiteral("N° fiche"), QStringLiteral("Code client"),
                   QStringLiteral("Client"), QStringLiteral("Champ en erreur")},
                  lignes, {14, 16, 48, 22},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Gauche});
    }

    // Written unchanged, but worth correcting before the export.
    const auto nbAmbigus = static_cast<qint64>(c.clientsAmbigus.size() + c.fichesAmbigues.size());
    r.sousTitre(
        QStringLiteral("Lignes que TRELLINAX PRO risque de mal lire (%1)").arg(nombre(nbAmbigus)));
    if (nbAmbigus == 0) {
        r.paragraphe(
            QStringLiteral("Aucune : aucune valeur exportée ne contient de « ; » ni de "
                           "retour à la ligne isolé."));
    }
    for (const bool fiches : {false, true}) {
        const std::vector<LigneAmbigue>& liste = fiches ? c.fichesAmbigues : c.clientsAmbigus;
        if (liste.empty()) {
            continue;
        }
        r.paragraphe(exports::avertissementAmbigus(static_cast<qsizetype>(liste.size()), fiches),
                     kAlerte);
        QList<QStringList> lignes;
        for (const LigneAmbigue& l : liste) {
            lignes << QStringList{l.cle, l.nom};
        }
        r.tableau(fiches ? QStringList{QStringLiteral("N° fiche"), QStringLiteral("Code client")}
                         : QStringList{QStringLiteral("Code"), QStringLiteral("Client")},
                  lignes, {20, 80}, {Alignement::Gauche, Alignement::Gauche});
    }
}

void partiePurges(Redaction& r, const Chiffres& c) {
    const std::vector<PurgeFaite>& purges = c.journal.purges;
    r.section(QStringLiteral("Purges"));
    if (purges.empty()) {
        r.paragraphe(QStringLiteral("Le journal ne garde aucune purge."));
        return;
    }
    qint64 clients = 0;
    qint64 fiches = 0;
    qint64 annulees = 0;
    for (const PurgeFaite& p : purges) {
        (p.clients ? clients : fiches) += p.nbSupprimes;
        annulees += p.annulee.has_value();
    }
    const QString annulation =
        annulees == 1 ? QStringLiteral(" ; 1 annulée depuis, ses lignes remises")
        : annulees > 1
            ? QStringLiteral(" ; %1 annulées depuis, leurs lignes remises").arg(nombre(annulees))
            : QString();
    r.paragraphe(
        QStringLiteral("%1 : %2 et %3 supprimé%4%5. Une purge des clients supprime ceux qui sont "
                       "venus avant la date choisie et jamais depuis (leurs visites et leurs "
                       "fiches restent) ; une purge des fiches supprime celles datées d'avant.")
            .arg(compte(static_cast<qint64>(purges.size()), QStringLiteral("purge"),
                        QStringLiteral("purges")),
                 clientsDe(clients),
                 compte(fiches, QStringLiteral("fiche technique"),
                        QStringLiteral("fiches techniques")),
                 clients + fiches > 1 ? QStringLiteral("s") : QString(), annulation));
    QList<QStringList> lignes;
    for (const PurgeFaite& p : purges) {
        lignes << QStringList{
            dateCourte(p.quand),
            p.clients ? QStringLiteral("Clients") : QStringLiteral("Fiches techniques"),
            p.dateLimite ? QStringLiteral("avant le ") +
                               francais().toString(*p.dateLimite, QStringLiteral("dd/MM/yyyy"))
                         : QStringLiteral("non notée"),
            nombre(p.nbSupprimes), annuleeLe(p.annulee)};
    }
    r.tableau({QStringLiteral("Date"), QStringLiteral("Purge"), QStringLiteral("Date choisie"),
               QStringLiteral("Supprimés"), QStringLiteral("Annulée le")},
              lignes, {20, 24, 24, 16, 16},
              {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Droite,
               Alignement::Gauche});
}

QString dateJournal(const QString& quand) {
    const QDateTime d = QDateTime::fromString(quand, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return d.isValid() ? dateCourte(d) : quand;
}

void partieDoublons(Redaction& r, const Chiffres& c) {
    const doublons::BilanDoublons& d = c.doublons;
    r.section(QStringLiteral("Doublons"));
    const auto nbGroupes = static_cast<qint64>(d.groupes.size());
    r.paragraphe(
        nbGroupes == 0
            ? QStringLiteral("Aucun groupe de clients qui seraient la même personne.")
            : QStringLiteral("%1 de clients qui sont peut-être la même personne, à voir dans la "
                             "fenêtre « Doublons » de l'onglet CLIENTS.")
                  .arg(compte(nbGroupes, QStringLiteral("groupe"), QStringLiteral("groupes"))));
    if (nbGroupes > 0) {
        QList<QStringList> lignes;
        for (const doublons::GroupeTrouve& g : d.groupes) {
            lignes << QStringList{nombre(g.score), g.clients.join(QStringLiteral(" / "))};
        }
        r.tableau({QStringLiteral("Score"), QStringLiteral("Clients")}, lignes, {12, 88},
                  {Alignement::Droite, Alignement::Gauche});
    }
    if (!d.fusions.empty()) {
        r.sousTitre(QStringLiteral("Fusions"));
        QList<QStringList> lignes;
        for (const doublons::FusionFaite& f : d.fusions) {
            lignes << QStringList{dateJournal(f.quand), f.codeGarde,
                                  f.codes.join(QStringLiteral(", ")),
                                  f.notesLaissees.join(QStringLiteral(", ")),
                                  f.annulee.isEmpty() ? QString() : dateJournal(f.annulee)};
        }
        r.tableau({QStringLiteral("Date"), QStringLiteral("Code gardé"),
                   QStringLiteral("Codes fusionnés"), QStringLiteral("Notes laissées en place"),
                   QStringLiteral("Annulée le")},
                  lignes, {18, 14, 24, 28, 16},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Gauche,
                   Alignement::Gauche});
    }
    if (!d.refusees.empty()) {
        r.sousTitre(QStringLiteral("Pas des doublons"));
        QList<QStringList> lignes;
        for (const doublons::PaireRefusee& p : d.refusees) {
            lignes << QStringList{dateJournal(p.quand), p.code1, p.code2};
        }
        r.tableau({QStringLiteral("Date"), QStringLiteral("Code"), QStringLiteral("Code")}, lignes,
                  {30, 35, 35}, {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche});
    }
}

}  // namespace

QString dateCourte(const QDateTime& d) {
    return francais().toString(d, QStringLiteral("dd/MM/yyyy HH:mm"));
}

QString nombre(qint64 n) {
    return francais().toString(n);
}

QString pourcentage(qint64 partie, qint64 total) {
    const double p =
        total > 0 ? 100.0 * static_cast<double>(partie) / static_cast<double>(total) : 0;
    return francais().toString(p, 'f', 1) + QStringLiteral("\u00a0%");
}

QString taille(qint64 octets) {
    if (octets < 1024) {
        return compte(octets, QStringLiteral("octet"), QStringLiteral("octets"));
    }
    if (octets < 1024 * 1024) {
        return francais().toString(static_cast<double>(octets) / 1024.0, 'f', 1) +
               QStringLiteral("\u00a0Ko");
    }
    return francais().toString(static_cast<double>(octets) / (1024.0 * 1024.0), 'f', 1) +
           QStringLiteral("\u00a0Mo");
}

void rediger(Redaction& r, const Chiffres& c) {
    r.titreDocument(
        QStringLiteral("Rapport de migration du fichier clients"),
        QStringLiteral("Vérification avant la reprise dans TRELLINAX PRO, établie le %1.")
            .arg(dateLongue(c.date)));
    r.chiffresCles({{c.nbClients, QStringLiteral("clients")},
                    {c.nbClientsEnErreur(), QStringLiteral("clients en erreur")},
                    {c.nbFiches, QStringLiteral("fiches techniques")},
                    {c.nbSansFamille, QStringLiteral("fiches sans famille")}});
    partieFichier(r, c);
    partieClients(r, c);
    partieCorrections(r, c);
    partieNotes(r, c);
    partieFiches(r, c);
    partieExports(r, c);
    partiePurges(r, c);
    partieDoublons(r, c);
}

}  // namespace rapport
