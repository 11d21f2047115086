#include "export/Export.h"

#include <QDir>
#include <optional>

#include "export/LectureTable.h"
#include "export/LotFichiers.h"
#include "platform/ErreurFichier.h"
#include "platform/Fichiers.h"
#include "platform/Locale.h"
#include "platform/Rtf.h"
#include "store/Connexion.h"
#include "store/Erreur.h"

namespace exports {

namespace {

const QString kEnteteClients = QStringLiteral(
    "Numéro;Code;Date Création;Nom;Prénom;Adresse;Ville;Code Postal;Cat, Age;Mois Nais;Sexe;"
    "Tel1;Tel2;Coiffeur;R/F;N/C;DateNaissance;Carte;Points;Leader;GenCode;Adresse2;Email;Infos");
const QString kEnteteTechniques =
    QStringLiteral("Numéro;Code_Client;Date;Tech;Serv;Divers1;Divers2;Famille;Mémo");

// The part of a note that the import takes.
constexpr int kLongueurNote = 500;

store::Connexion ouvrirBase(const QString& dossier) {
    return store::Connexion(QDir(dossier).filePath(QStringLiteral("BdClient.mdb")),
                            store::Connexion::Acces::Lecture);
}

// A sheet number as the sheet list writes it; nothing for a value that is none.
std::optional<qint64> numero(const store::Valeur& v) {
    switch (v.type()) {
        case store::Valeur::Type::Entier:
            return v.enEntier();
        case store::Valeur::Type::Reel:
            if (v.enReel() == static_cast<double>(v.enEntier())) {
                return v.enEntier();
            }
            return std::nullopt;
        case store::Valeur::Type::Texte: {
            bool ok = false;
            const qint64 n = v.texte().trimmed().toLongLong(&ok);
            return ok ? std::optional<qint64>(n) : std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

// Only a text can hold a ";" or a line break.
bool ambigue(const store::Valeur& v, bool derniere) {
    return v.estTexte() && valeurAmbigue(v.texte(), derniere);
}

// While writing, the line is at hand: its values are tested for a ";" only,
// and the whole line, once its CR LF pairs are replaced, for a CR or LF left
// (a pair never spans two values: a ";" stands between them).
bool pointVirgule(const store::Valeur& v) {
    return v.estTexte() && v.texte().contains(u';');
}
bool retourIsole(const QString& ligneRemplacee) {
    return ligneRemplacee.contains(u'\r') || ligneRemplacee.contains(u'\n');
}

// The note as the export writes it: the first characters of its plain text.
QString texteNote(const platform::IndexDossier& notes, const QString& code) {
    const QString note = notes.chercher(QStringLiteral("Cli") + code + QStringLiteral(".RTF"));
    return note.isEmpty() ? QString() : platform::lireNote(note).left(kLongueurNote);
}

const QString kInterrompu = QStringLiteral(
    "\nExport interrompu : les fichiers d'export du dossier sont restés tels qu'ils étaient.");

// A failure says what it left behind: the folder as it was before the run.
template <class Run>
Bilan proteger(Run run) {
    try {
        return run();
    } catch (const ErreurRemiseEnEtat&) {
        throw;
    } catch (const platform::ErreurFichier& e) {
        throw platform::ErreurFichier(e.chemin(), e.message() + kInterrompu);
    } catch (const store::ErreurStore& e) {
        throw store::ErreurStore(e.message() + kInterrompu, e.code(), e.codeEtendu(), e.sql(),
                                 e.detail());
    }
}

Bilan exporterClients(const QString& dossier, const QSet<QString>& exclus,
                      ObservateurExport* observateur) {
    store::Connexion cn = ouvrirBase(dossier);
    LectureTable table(cn, QStringLiteral("FCLI"), kColonnesClients, QStringLiteral("Code"));
    const QLocale locale = platform::localeTravail();

    if (observateur) {
        observateur->debut();
        const qint64 annonce = (table.total() - exclus.size()) / kLignesParFichier + 1;
        observateur->ligne(QStringLiteral("Création de %1 fichiers en cours.").arg(annonce));
    }
    LotFichiers lot(dossier, QStringLiteral("FCLI"), kEnteteClients, observateur);
    // One listing of the folder instead of a look-up on disk per client.
    const platform::IndexDossier notes(dossier);

    QString ligne;
    QStringList ambigus;
    while (table.suivante()) {
        const QString code = table.cle().texte(locale);
        if (exclus.contains(code)) {
            continue;
        }
        ligne.clear();
        bool ambigu = false;
        for (int i = 0; i < kColonnesClients; ++i) {
            const store::Valeur v = table.valeur(i);
            ambigu = ambigu || pointVirgule(v);
            ligne += v.texte(locale);
            ligne += u';';
        }
        ligne += texteNote(notes, code);
        remplacerRetours(ligne);
        if (ambigu || retourIsole(ligne)) {
            ambigus << code;
        }
        lot.ecrire(ligne);
    }
    Bilan bilan = lot.valider();
    bilan.ambigus = ambigus;
    if (observateur) {
        observateur->ligne(QStringLiteral(" Exportation terminée"));
    }
    return bilan;
}

Bilan exporterTechniques(const QString& dossier, const QSet<qint64>& exclus,
                         ObservateurExport* observateur) {
    store::Connexion cn = ouvrirBase(dossier);
    LectureTable table(cn, QStringLiteral("FTEC"), kColonnesTechniques, QStringLiteral("Numéro"));
    const QLocale locale = platform::localeTravail();

    if (observateur) {
        observateur->debut();
    }
    // No progress list for the sheets: files are not announced.
    LotFichiers lot(dossier, QStringLiteral("FTEC"), kEnteteTechniques, nullptr);

    QString ligne;
    QStringList ambigus;
    while (table.suivante()) {
        if (!exclus.isEmpty()) {
            const auto n = numero(table.cle());
            if (n && exclus.contains(*n)) {
                continue;
            }
        }
        ligne.clear();
        bool ambigu = false;
        for (int i = 0; i < kColonnesTechniques; ++i) {
            const store::Valeur v = table.valeur(i);
            ambigu = ambigu || (i < kColonnesTechniques - 1 && pointVirgule(v));
            ligne += v.texte(locale);
            ligne += u';';
        }
        remplacerRetours(ligne);
        if (ambigu || retourIsole(ligne)) {
            ambigus << table.cle().texte(locale);
        }
        // The memo is last: no separator after it.
        ligne.chop(1);
        lot.ecrire(ligne);
    }
    Bilan bilan = lot.valider();
    bilan.ambigus = ambigus;
    return bilan;
}

}  // namespace

bool valeurAmbigue(QStringView valeur, bool derniere) {
    // Memos run to kilobytes: searched a character at a time, by Qt's fast scans.
    if (!derniere && valeur.contains(u';')) {
        return true;
    }
    qsizetype sauts = 0;
    for (qsizetype i = valeur.indexOf(u'\n'); i >= 0; i = valeur.indexOf(u'\n', i + 1)) {
        if (i == 0 || valeur[i - 1] != u'\r') {
            return true;
        }
        ++sauts;
    }
    // Every LF follows a CR: a CR more than the LFs stands alone.
    return valeur.count(u'\r') != sauts;
}

QStringList ClientsAmbigus(const QString& dossier, const QSet<QString>& exclus) {
    store::Connexion cn = ouvrirBase(dossier);
    LectureTable table(cn, QStringLiteral("FCLI"), kColonnesClients, QStringLiteral("Code"));
    const QLocale locale = platform::localeTravail();
    const platform::IndexDossier notes(dossier);
    QStringList ambigus;
    while (table.suivante()) {
        const QString code = table.cle().texte(locale);
        if (exclus.contains(code)) {
            continue;
        }
        bool ambigu = false;
        for (int i = 0; i < kColonnesClients && !ambigu; ++i) {
            ambigu = ambigue(table.valeur(i), false);
        }
        if (ambigu || valeurAmbigue(texteNote(notes, code), true)) {
            ambigus << code;
        }
    }
    return ambigus;
}

QStringList FichesAmbigues(const QString& dossier, const QSet<qint64>& exclus) {
    store::Connexion cn = ouvrirBase(dossier);
    LectureTable table(cn, QStringLiteral("FTEC"), kColonnesTechniques, QStringLiteral("Numéro"));
    const QLocale locale = platform::localeTravail();
    QStringList ambigus;
    while (table.suivante()) {
        bool ambigu = false;
        for (int i = 0; i < kColonnesTechniques && !ambigu; ++i) {
            ambigu = ambigue(table.valeur(i), i == kColonnesTechniques - 1);
        }
        const auto n = numero(table.cle());
        if (ambigu && !(n && exclus.contains(*n))) {
            ambigus << table.cle().texte(locale);
        }
    }
    return ambigus;
}

QString avertissementAmbigus(qsizetype nombre, bool fiches) {
    const QString qui = fiches
                            ? (nombre == 1 ? QStringLiteral("1 fiche technique a")
                                           : QStringLiteral("%1 fiches techniques ont").arg(nombre))
                            : (nombre == 1 ? QStringLiteral("1 client a")
                                           : QStringLiteral("%1 clients ont").arg(nombre));
    return QStringLiteral(
               "Attention : %1 dans une valeur un « ; » ou un retour à la ligne isolé : "
               "TRELLINAX PRO risque de mal lire %2.")
        .arg(qui, nombre == 1 ? QStringLiteral("sa ligne") : QStringLiteral("leur ligne"));
}

QString messageExportFait(int nbFichiers, bool fiches) {
    return QString::number(nbFichiers) + (fiches
                                              ? QStringLiteral(" Fichier(s) CSV Tecnique créé(s).")
                                              : QStringLiteral(" Fichier(s) CSV créé(s)."));
}

Bilan ExportClients(const QString& dossier, const QSet<QString>& exclus,
                    ObservateurExport* observateur) {
    return proteger([&] { return exporterClients(dossier, exclus, observateur); });
}

Bilan ExportTechniques(const QString& dossier, const QSet<qint64>& exclus,
                       ObservateurExport* observateur) {
    return proteger([&] { return exporterTechniques(dossier, exclus, observateur); });
}

}  // namespace exports
