#include "clients/Analyse.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

#include "clients/AnalysesNotees.h"
#include "clients/Annulation.h"
#include "clients/Rangement.h"
#include "commun/Variables.h"
#include "platform/ErreurFichier.h"
#include "platform/Fichiers.h"
#include "platform/Rtf.h"
#include "store/Connexion.h"
#include "store/Erreur.h"
#include "store/Journal.h"
#include "store/Recordset.h"
#include "store/Schema.h"

namespace clients {

namespace {

const QString kFCLI = QStringLiteral("FCLI");

// Records tidied per transaction: a stopped pass loses at most the one under
// way (rolled back, so untouched), and the disk is synced once per transaction.
constexpr int kParTransaction = 4096;

[[noreturn]] void echecSauvegarde(const QString& chemin, const QFileDevice& f) {
    throw platform::ErreurFichier(
        chemin,
        QStringLiteral("Impossible de créer la sauvegarde « %1 » dans le dossier « %2 » : %3.")
            .arg(QFileInfo(chemin).fileName(),
                 QDir::toNativeSeparators(QFileInfo(chemin).absolutePath()), platform::cause(f)));
}

// Why a file named BdClient.sav is not a backup of the client database; empty
// when it is one. Reads it without writing.
QString defautSauvegarde(const QString& chemin) {
    const QFileInfo info(chemin);
    // A pipe or a device would hold the reading: never opened.
    if (!info.isFile()) {
        return QStringLiteral("ce n'est pas un fichier ordinaire");
    }
    if (info.size() == 0) {
        return QStringLiteral("fichier vide");
    }
    try {
        const store::Connexion sav(chemin, store::Connexion::Acces::Lecture);
        return sav.tableExiste(kFCLI) ? QString() : QStringLiteral("sans table FCLI");
    } catch (const store::ErreurStore& e) {
        if (e.verrouillee()) {
            throw;
        }
        return store::estFichierAccess(chemin) ? QStringLiteral("base Microsoft Access")
                                               : QStringLiteral("pas une base de données lisible");
    }
}

// A free name for a BdClient.sav that is no backup: BdClient.invalide.sav,
// then BdClient.invalide-2.sav…
QString nomEcarte(const QString& dossier) {
    for (int n = 1;; ++n) {
        const QString nom = QStringLiteral("BdClient.invalide%1.sav")
                                .arg(n == 1 ? QString() : QStringLiteral("-%1").arg(n));
        const QFileInfo pris(platform::resoudre(dossier, nom));
        if (!pris.exists() && !pris.isSymLink()) {
            return QDir(dossier).filePath(nom);
        }
    }
}

}  // namespace

QString SauvegardeBd(const QString& dossier) {
    const QString existante = platform::resoudre(dossier, QStringLiteral("BdClient.sav"));
    const QFileInfo infoExistante(existante);
    QString defaut;
    if (infoExistante.isSymLink() || (infoExistante.exists() && !infoExistante.isDir())) {
        defaut = defautSauvegarde(existante);
        if (defaut.isEmpty()) {
            return {};
        }
    }
    const QString source = platform::resoudre(dossier, QStringLiteral("BdClient.mdb"));
    store::Connexion cn(source);
    // A read transaction keeps every writer out while the bytes are copied, so
    // the copy is the database as of one moment.
    store::TransactionLecture instantane(cn);
    if (!cn.tableExiste(kFCLI)) {
        throw store::ErreurStore(
            QStringLiteral("La table « FCLI » est introuvable dans la base de données « %1 » : "
                           "ce n'est pas une base clients, elle n'est pas sauvegardée.")
                .arg(QFileInfo(cn.chemin()).fileName()));
    }

    const QString cible = QDir(dossier).filePath(QStringLiteral("BdClient.sav"));
    QFile lecture(cn.chemin());
    if (!lecture.open(QIODevice::ReadOnly)) {
        throw platform::ErreurFichier(
            cn.chemin(),
            QStringLiteral("Impossible de lire la base « %1 » pour la sauvegarder : %2.")
                .arg(QFileInfo(cn.chemin()).fileName(), platform::cause(lecture)));
    }
    // Written under a temporary name, synced, then renamed: BdClient.sav is
    // whole or absent.
    QSaveFile ecriture(cible);
    if (!ecriture.open(QIODevice::WriteOnly)) {
        echecSauvegarde(cible, ecriture);
    }
    QByteArray bloc;
    while (!(bloc = lecture.read(1 << 20)).isEmpty()) {
        if (ecriture.write(bloc) != bloc.size()) {
            echecSauvegarde(cible, ecriture);
        }
    }
    if (lecture.error() != QFileDevice::NoError) {
        throw platform::ErreurFichier(
            cn.chemin(),
            QStringLiteral("Impossible de lire la base « %1 » pour la sauvegarder : %2.")
                .arg(QFileInfo(cn.chemin()).fileName(), platform::cause(lecture)));
    }
    // The file that is no backup is kept, under another name, only once the
    // copy is ready to take its place.
    QString avertissement;
    if (!defaut.isEmpty()) {
        const QString ecarte = nomEcarte(dossier);
        if (!QFile::rename(existante, ecarte)) {
            throw platform::ErreurFichier(
                existante,
                QStringLiteral("Le fichier « %1 » n'est pas une sauvegarde de la base clients (%2) "
                               "et n'a pas pu être renommé « %3 » pour faire place à la vraie : "
                               "renommez-le, puis recommencez.")
                    .arg(infoExistante.fileName(), defaut, QFileInfo(ecarte).fileName()));
        }
        avertissement =
            QStringLiteral(
                "Le fichier « %1 » n'était pas une sauvegarde de la base clients (%2) : "
                "il est gardé sous le nom « %3 » et une nouvelle sauvegarde « %4 » "
                "est faite.")
                .arg(infoExistante.fileName(), defaut, QFileInfo(ecarte).fileName(),
                     QFileInfo(cible).fileName());
    }
    if (!ecriture.commit()) {
        echecSauvegarde(cible, ecriture);
    }
    instantane.terminer();
    return avertissement;
}

void verifierPrealables(const commun::Variables& vars) {
    QStringList colonnes{QStringLiteral("Code")};
    colonnes += colonnesJugees();
    store::schema::verifier(vars.cheminBd(), {{kFCLI, colonnes}}, true);
    store::schema::verifier(
        vars.fichier(QStringLiteral("communes.mdb")),
        {{QStringLiteral("communes"), {QStringLiteral("CodePostal"), QStringLiteral("Commune")}}},
        false);
}

void VerifColonneVille(commun::Variables& vars) {
    vars.CheminBd = vars.cheminBd();
    store::Connexion cn(vars.CheminBd);
    for (const QString& colonne : cn.colonnes(kFCLI)) {
        if (colonne == QLatin1String("Ville")) {
            cn.executerJet(QStringLiteral("ALTER TABLE FCLI ALTER COLUMN Ville Text(50) "));
        }
    }
}

int PreAnalyseCli(commun::Variables& vars, ObservateurAnalyseClients& obs) {
    if (const QString ecartee = SauvegardeBd(vars.dossier); !ecartee.isEmpty()) {
        obs.avertissement(ecartee);
    }
    vars.CheminBd = vars.cheminBd();
    store::Connexion cn(vars.CheminBd);
    store::journal::activer(cn, operations::kRangement);
    store::Recordset rs;
    rs.Open(kFCLI, cn);
    Rangement rangement(rs, vars.VilleDefaut, vars.CpDefaut);
    const int code = indexColonne(rs, QStringLiteral("Code"));
    const int nom = indexColonne(rs, QStringLiteral("Nom"));
    const int prenom = indexColonne(rs, QStringLiteral("Prénom"));
    const int total = static_cast<int>(rs.RecordCount());
    obs.debutRangement(total);

    const platform::IndexDossier dossier(vars.dossier);
    int nbLongues = 0;
    int n = 0;
    std::optional<store::Transaction> lot;
    if (!rs.Eof()) {
        rs.MoveFirst();
    }
    while (!rs.Eof()) {
        obs.rangement(++n, total);
        if (!lot) {
            lot.emplace(cn);
        }
        rangement.ranger();
        rs.Update();

        const QString leCode = rs.Champ(code).texte();
        const QString note =
            dossier.chercher(QStringLiteral("Cli") + leCode + QStringLiteral(".RTF"));
        const platform::Lecture lue =
            note.isEmpty() ? platform::Lecture{} : platform::lireFichier(note);
        if (!lue.lu()) {
            // One unreadable note (a pipe, a broken link, no permission) does
            // not stop the run: it is told, and the others are read.
            obs.avertissement(QStringLiteral("Note illisible : « %1 » (client %2, %3) : %4.")
                                  .arg(QFileInfo(note).fileName(), leCode,
                                       rs.Champ(nom).texte() + u' ' + rs.Champ(prenom).texte(),
                                       lue.cause));
        } else if (!note.isEmpty()) {
            const QString texte = platform::texteNote(lue.contenu);
            if (texte.size() > kLimiteNote) {
                NoteLongue l;
                l.code = leCode;
                l.nom = rs.Champ(nom).texte() + u' ' + rs.Champ(prenom).texte();
                l.garde = texte.left(kLimiteNote);
                l.perdu = texte.mid(kLimiteNote);
                l.nbLongues = ++nbLongues;
                l.nbFichiersRtf = vars.NbFichiersRTF;
                obs.noteTropLongue(l);
            }
        }
        rs.MoveNext();
        if (n % kParTransaction == 0) {
            lot->valider();
            lot.reset();
        }
    }
    if (lot) {
        lot->valider();
    }
    return nbLongues;
}

BilanAnalyse AnalyseBd(commun::Variables& vars, ObservateurAnalyseClients& obs) {
    BilanAnalyse bilan;
    verifierPrealables(vars);
    // The backup comes first, so that it holds the database as it was before
    // this program changed anything, the town column included.
    if (const QString ecartee = SauvegardeBd(vars.dossier); !ecartee.isEmpty()) {
        obs.avertissement(ecartee);
    }
    VerifColonneVille(vars);
    bilan.nbNotesLongues = PreAnalyseCli(vars, obs);

    vars.NbCliErr = 0;
    vars.CheminBd = vars.cheminBd();
    store::Connexion cn(vars.CheminBd);
    store::Recordset rs;
    rs.Open(kFCLI, cn);
    vars.NbCli = static_cast<int>(rs.RecordCount());
    bilan.NbCli = vars.NbCli;
    obs.debut(vars.NbCli);
    vars.cnCommunes.OuvreCommunes(vars.dossier);
    Juge juge(rs, vars.cnCommunes);

    // One read transaction for the whole walk: the rows are read under one
    // lock instead of taking and releasing it for each row.
    store::TransactionLecture lecture(cn);
    int n = 0;
    if (!rs.Eof()) {
        rs.MoveFirst();
    }
    while (!rs.Eof()) {
        obs.progression(++n, vars.NbCli);
        const Evaluation e = juge.evaluer();
        vars.NomClient = e.NomClient;
        vars.CodeClient = e.CodeClient;
        if (e.enErreur()) {
            ++vars.NbCliErr;
            for (std::size_t d = 0; d < e.drapeaux.size(); ++d) {
                bilan.erreursParChamp[d] += e.drapeaux[d];
            }
            obs.clientEnErreur(e, vars.NbCliErr, vars.NbCli);
        }
        rs.MoveNext();
    }
    lecture.terminer();
    bilan.NbCliErr = vars.NbCliErr;
    noterAnalyse(cn, bilan);
    return bilan;
}

QString legendeListe(int nbListes, int nbClients) {
    return QStringLiteral("Liste des clients avec erreur (%1 / %2)").arg(nbListes).arg(nbClients);
}

QString legendeProgression(int n, int total) {
    return QStringLiteral("%1 / %2").arg(n).arg(total);
}

QString legendeNotes(int nbLongues, int nbFichiers) {
    return QStringLiteral("%1 / %2").arg(nbLongues).arg(nbFichiers);
}

QString messageAnalyseTerminee() {
    return QStringLiteral("Analyse terminée.");
}

QString messageSansErreur() {
    return QStringLiteral("Votre fichier clients ne comporte pas d'erreur.");
}

QString messageAvertissements(const QStringList& avertissements) {
    constexpr int kMontres = 10;
    QStringList lignes = avertissements.mid(0, kMontres);
    if (avertissements.size() > kMontres) {
        lignes << QStringLiteral("… et %1 autre(s).").arg(avertissements.size() - kMontres);
    }
    return lignes.join(u'\n');
}

}  // namespace clients
