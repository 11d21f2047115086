#include "access/Conversion.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>

#include "access/Erreur.h"
#include "access/Protocole.h"
#include "platform/Bascule.h"
#include "platform/Fichiers.h"
#include "store/Connexion.h"
#include "store/Erreur.h"

namespace acces {

namespace {

// The reader writes a line at least every tenth of a second while it copies
// rows; this long a silence means it is stuck on a damaged file.
constexpr int kSilenceMaxMs = 120000;
// libmdb warns on its error output about what it cannot make sense of; a sound
// file gives no warning at all, a damaged one may give millions.
constexpr qint64 kAvertissementsMax = 64 * 1024;
// What is kept of the reader's error output, for the message.
constexpr qsizetype kFinErreurs = 4096;

const QStringList& basesDuSysteme() {
    static const QStringList noms = {QStringLiteral("BdClient.mdb"),
                                     QStringLiteral("communes.mdb")};
    return noms;
}

struct Empreinte {
    qint64 taille = -1;
    QByteArray sha256;
    bool operator==(const Empreinte&) const = default;
};

// Size and SHA-256 of a file, read by pieces so that a window waiting for it
// keeps repainting; with `copie`, the bytes read are written there too.
Empreinte empreinte(const QString& chemin, ObservateurConversion& observateur,
                    QFile* copie = nullptr) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) {
        throw ErreurAccess(QStringLiteral("impossible de lire « %1 » (%2)")
                               .arg(QFileInfo(chemin).fileName(), f.errorString()));
    }
    QCryptographicHash h(QCryptographicHash::Sha256);
    QByteArray morceau(1 << 20, Qt::Uninitialized);
    qint64 taille = 0;
    for (;;) {
        const qint64 n = f.read(morceau.data(), morceau.size());
        if (n < 0) {
            throw ErreurAccess(
                QStringLiteral("lecture interrompue de « %1 »").arg(QFileInfo(chemin).fileName()));
        }
        if (n == 0) {
            break;
        }
        h.addData(QByteArrayView(morceau.constData(), n));
        if (copie && copie->write(morceau.constData(), n) != n) {
            throw ErreurAccess(QStringLiteral("impossible de copier « %1 » (%2)")
                                   .arg(QFileInfo(chemin).fileName(), copie->errorString()));
        }
        taille += n;
        observateur.attente();
    }
    return {taille, h.result().toHex()};
}

// In the work folder: the converted database, then the plan of the swap.
const QString kNouvelle = QStringLiteral("nouvelle.sqlite");
const QString kPlan = QStringLiteral("plan");

QString natif(const QString& chemin) {
    return QDir::toNativeSeparators(chemin);
}

// The original's name and its backup's, one a line: written (whole, by a
// rename) just before the original moves, so a start after a kill knows
// what to complete.
bool ecrirePlan(const QDir& travail, const QString& nom, const QString& sauvegarde) {
    const QString provisoire = travail.filePath(kPlan + QStringLiteral(".tmp"));
    QFile f(provisoire);
    if (!f.open(QIODevice::WriteOnly) || f.write((nom + u'\n' + sauvegarde + u'\n').toUtf8()) < 0 ||
        !f.flush()) {
        return false;
    }
    f.close();
    platform::etapeBascule();
    return QFile::rename(provisoire, travail.filePath(kPlan));
}

std::optional<std::pair<QString, QString>> lirePlan(const QDir& travail) {
    QFile f(travail.filePath(kPlan));
    if (!f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QStringList lignes = QString::fromUtf8(f.readAll()).split(u'\n');
    if (lignes.size() < 2 || lignes[0].isEmpty() || lignes[1].isEmpty()) {
        return std::nullopt;
    }
    return std::make_pair(lignes[0], lignes[1]);
}

QString nomAffiche(const QString& chemin) {
    return QFileInfo(chemin).fileName();
}

// Runs the reader and turns its lines into the observer's calls.
class Lecture {
public:
    Lecture(ObservateurConversion& observateur, Resultat& resultat)
        : m_obs(observateur), m_res(resultat) {}

    // `secondes`: the time the reading may take, the reader's own bound.
    void lancer(const QString& programme, const QStringList& arguments, qint64 secondes) {
        QProcess p;
        p.setProgram(programme);
        p.setArguments(arguments);
        p.start(QIODevice::ReadOnly);
        if (!p.waitForStarted(30000)) {
            throw ErreurAccess(
                QStringLiteral("le programme de conversion « %1 » ne démarre pas (%2)")
                    .arg(QFileInfo(programme).fileName(), p.errorString()));
        }
        const auto arreter = [&](const QString& raison) {
            p.kill();
            p.waitForFinished();
            throw ErreurAccess(raison + dernierAvertissement(), ErreurAccess::Genre::Endommage);
        };
        QElapsedTimer silence;
        silence.start();
        QElapsedTimer duree;
        duree.start();
        for (;;) {
            p.waitForReadyRead(100);
            m_obs.attente();
            while (p.canReadLine()) {
                traiter(QString::fromUtf8(p.readLine()));
                silence.restart();
            }
            // Read as it comes: left in the pipe, it would fill our memory.
            lireErreurs(p);
            if (p.state() == QProcess::NotRunning) {
                break;
            }
            if (m_octetsErreurs > kAvertissementsMax) {
                arreter(QStringLiteral("la lecture ne donne que des avertissements"));
            }
            if (silence.elapsed() > kSilenceMaxMs) {
                arreter(QStringLiteral("la lecture ne progresse plus"));
            }
            if (duree.elapsed() > secondes * 1000) {
                arreter(QStringLiteral("la lecture dure plus de %1 secondes").arg(secondes));
            }
        }
        while (p.canReadLine() || p.bytesAvailable() > 0) {
            traiter(QString::fromUtf8(p.readLine()));
        }
        lireErreurs(p);
        if (!m_erreur.isEmpty()) {
            throw ErreurAccess(m_erreur, m_genreErreur);
        }
        if (p.exitStatus() != QProcess::NormalExit) {
            throw ErreurAccess(
                QStringLiteral("la lecture s'est arrêtée brutalement") + dernierAvertissement(),
                ErreurAccess::Genre::Endommage);
        }
        if (p.exitCode() != 0 || !m_fini) {
            throw ErreurAccess(QStringLiteral("le programme de conversion s'est arrêté (code %1)")
                                   .arg(p.exitCode()) +
                               dernierAvertissement());
        }
    }

private:
    void traiter(const QString& texte) {
        const protocole::Message m = protocole::lire(texte);
        const QStringList& c = m.champs;
        if (m.mot == QLatin1String("SOURCE") && c.size() >= 2) {
            m_res.version = c[0];
            m_res.pageCode = c[1];
        } else if (m.mot == QLatin1String("TABLES")) {
            for (qsizetype i = 0; i + 1 < c.size(); i += 2) {
                m_res.tables.push_back({c[i], c[i + 1].toLongLong(), 0, {}});
            }
            m_obs.tables(m_res.tables);
        } else if (m.mot == QLatin1String("COLONNES") && !c.isEmpty()) {
            if (TableConvertie* t = table(c[0])) {
                t->colonnes = c.mid(1);
            }
        } else if (m.mot == QLatin1String("PROGRES") && c.size() >= 3) {
            m_obs.progression(c[0].toInt(), c[1].toLongLong(), c[2].toLongLong());
        } else if (m.mot == QLatin1String("FAIT") && c.size() >= 3) {
            if (TableConvertie* t = table(c[0])) {
                t->lignes = c[1].toLongLong();
                t->remplaces = c[2].toLongLong();
                m_obs.tableFaite(c[0].toInt(), t->lignes);
            }
        } else if (m.mot == QLatin1String("FIN") && c.size() >= 3) {
            m_res.lignes = c[0].toLongLong();
            m_res.microsecondes = c[1].toLongLong();
            m_res.remplaces = c[2].toLongLong();
            m_fini = true;
        } else if (m.mot == QLatin1String("ERREUR") && c.size() >= 2) {
            m_genreErreur = c[0] == QLatin1String("endommage") ? ErreurAccess::Genre::Endommage
                                                               : ErreurAccess::Genre::Autre;
            m_erreur = c[1];
        }
    }

    void lireErreurs(QProcess& p) {
        const QByteArray lu = p.readAllStandardError();
        m_octetsErreurs += lu.size();
        m_finErreurs += lu;
        if (m_finErreurs.size() > kFinErreurs) {
            m_finErreurs.remove(0, m_finErreurs.size() - kFinErreurs);
        }
    }

    // " (dernier avertissement : « … »)", or nothing when the reader said nothing.
    QString dernierAvertissement() const {
        const QList<QByteArray> lignes = m_finErreurs.trimmed().split('\n');
        const QString derniere = QString::fromUtf8(lignes.back()).trimmed().left(200);
        if (derniere.isEmpty()) {
            return {};
        }
        return QStringLiteral(" (dernier avertissement : « %1 »)").arg(derniere);
    }

    TableConvertie* table(const QString& index) {
        bool ok = false;
        const int i = index.toInt(&ok);
        if (!ok || i < 0 || i >= static_cast<int>(m_res.tables.size())) {
            return nullptr;
        }
        return &m_res.tables[static_cast<size_t>(i)];
    }

    ObservateurConversion& m_obs;
    Resultat& m_res;
    bool m_fini = false;
    QString m_erreur;
    ErreurAccess::Genre m_genreErreur = ErreurAccess::Genre::Autre;
    qint64 m_octetsErreurs = 0;
    QByteArray m_finErreurs;
};

// The new file must hold every table as announced, column for column and row
// for row, before it replaces anything.
void verifier(const QString& chemin, const Resultat& r) {
    store::Connexion cn(chemin, store::Connexion::Acces::Lecture);
    for (const TableConvertie& t : r.tables) {
        if (cn.colonnes(t.nom) != t.colonnes) {
            throw ErreurAccess(
                QStringLiteral("les colonnes de la table « %1 » ne sont pas celles du fichier")
                    .arg(t.nom));
        }
        store::Instruction compte(
            cn, QStringLiteral("SELECT COUNT(*) FROM %1").arg(store::citer(t.nom)));
        compte.avancer();
        if (compte.colonneEntier(0) != t.lignes) {
            throw ErreurAccess(
                QStringLiteral("la table « %1 » devait compter %2 lignes, elle en a %3")
                    .arg(t.nom)
                    .arg(t.lignes)
                    .arg(compte.colonneEntier(0)));
        }
    }
    store::Instruction tables(cn, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE "
                                                 "type = 'table' AND name <> '_import_access'"));
    tables.avancer();
    if (tables.colonneEntier(0) != static_cast<qint64>(r.tables.size()) ||
        !cn.tableExiste(QStringLiteral("_import_access"))) {
        throw ErreurAccess(QStringLiteral("le fichier écrit n'a pas les tables annoncées"));
    }
    store::Instruction controle(cn, QStringLiteral("PRAGMA quick_check"));
    if (!controle.avancer() || controle.colonneTexte(0) != QLatin1String("ok")) {
        throw ErreurAccess(QStringLiteral("le fichier écrit n'est pas intact"));
    }
}

QString messageEchec(const QString& nom, const ErreurAccess& e) {
    if (e.endommage()) {
        return QStringLiteral(
                   "La base « %1 » semble endommagée : %2.\nOuvrez-la dans Microsoft Access et "
                   "lancez « Compacter et réparer », puis recommencez.")
            .arg(nom, e.message());
    }
    return QStringLiteral("La conversion de « %1 » a échoué : %2.").arg(nom, e.message());
}

}  // namespace

FichierAccess decrire(const QString& chemin) {
    FichierAccess f{chemin, QFileInfo(chemin).fileName(), QStringLiteral("Jet 4")};
    QFile fichier(chemin);
    if (fichier.open(QIODevice::ReadOnly)) {
        const QByteArray entete = fichier.read(0x15);
        // The format's version byte: 0 for Jet 3 (Access 97), 1 for Jet 4, more for ACE.
        const int version = entete.size() > 0x14 ? static_cast<uchar>(entete[0x14]) : 1;
        if (entete.mid(4, 15) == "Standard ACE DB" || version >= 2) {
            f.version = QStringLiteral("ACE");
        } else if (version == 0) {
            f.version = QStringLiteral("Jet 3");
        }
    }
    return f;
}

std::vector<FichierAccess> fichiersAccess(const QString& dossier) {
    std::vector<FichierAccess> fichiers;
    for (const QString& nom : basesDuSysteme()) {
        const QString chemin = platform::resoudre(dossier, nom);
        if (QFileInfo(chemin).isFile() && store::estFichierAccess(chemin)) {
            fichiers.push_back(decrire(chemin));
        }
    }
    return fichiers;
}

QString fichierVerrou(const QString& chemin) {
    const QFileInfo info(chemin);
    for (const char* extension : {".ldb", ".laccdb"}) {
        const QString verrou = platform::resoudre(
            info.absolutePath(), info.completeBaseName() + QLatin1String(extension));
        if (QFileInfo(verrou).isFile()) {
            return verrou;
        }
    }
    return {};
}

QString nomSauvegarde(const QString& chemin) {
    const QFileInfo info(chemin);
    const QString base = info.completeBaseName();
    const QString suffixe = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 1;; ++n) {
        const QString nom = base + QStringLiteral(".access") +
                            (n == 1 ? QString() : QStringLiteral("-%1").arg(n)) + suffixe;
        if (!QFileInfo::exists(platform::resoudre(info.absolutePath(), nom))) {
            return QDir(info.absolutePath()).filePath(nom);
        }
    }
}

QString messageAConvertir(const QString& dossier) {
    QStringList noms;
    for (const FichierAccess& f : fichiersAccess(dossier)) {
        noms << QStringLiteral("« %1 »").arg(f.nom);
    }
    if (noms.isEmpty()) {
        return {};
    }
    return QStringLiteral(
               "%1 %2 une base Microsoft Access : convertissez d'abord "
               "(verifclients --convertir-access --oui).")
        .arg(noms.join(QStringLiteral(" et ")),
             noms.size() > 1 ? QStringLiteral("sont chacun") : QStringLiteral("est"));
}

QString nomLecteur() {
    return QStringLiteral("verifclients-access");
}

Resultat convertir(const FichierAccess& fichier, const Options& options,
                   ObservateurConversion& observateur) {
    Resultat resultat;
    const QString original = fichier.chemin;
    const QString nom = nomAffiche(original);
    try {
        const QString programme =
            options.lecteur.isEmpty()
                ? QDir(QCoreApplication::applicationDirPath()).filePath(nomLecteur())
                : options.lecteur;
        if (!QFileInfo(programme).isExecutable()) {
            throw ErreurAccess(QStringLiteral("le programme de conversion « %1 » est introuvable "
                                              "à côté de verifclients")
                                   .arg(QFileInfo(programme).fileName()));
        }
        // The new database is written in a work folder of our own beside the
        // original: no name of the user's can be met, and a folder where
        // nothing can be written is said before any reading.
        const QString dossier = QFileInfo(original).absolutePath();
        platform::DossierTravail travail(dossier, QStringLiteral(".conversion-%1-XXXXXX").arg(nom));
        if (!travail.valide()) {
            throw ErreurAccess(QStringLiteral("impossible d'écrire dans le dossier « %1 » (%2)")
                                   .arg(natif(dossier), travail.raison()));
        }
        // The reader works on a read-only copy: the original is never opened
        // by anything but this reading.
        observateur.etape(QStringLiteral("Copie de l'original…"));
        QTemporaryDir provisoire;
        if (!provisoire.isValid()) {
            throw ErreurAccess(QStringLiteral("impossible de créer un dossier temporaire"));
        }
        const QString instantane = provisoire.filePath(QStringLiteral("instantane.mdb"));
        Empreinte avant;
        {
            QFile copie(instantane);
            if (!copie.open(QIODevice::WriteOnly)) {
                throw ErreurAccess(QStringLiteral("impossible de créer une copie temporaire (%1)")
                                       .arg(copie.errorString()));
            }
            avant = empreinte(original, observateur, &copie);
            if (!copie.flush()) {
                throw ErreurAccess(
                    QStringLiteral("impossible de copier « %1 » (disque plein ?)").arg(nom));
            }
        }
        QFile::setPermissions(instantane, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (empreinte(instantane, observateur) != avant) {
            throw ErreurAccess(QStringLiteral("la copie de « %1 » diffère de l'original").arg(nom));
        }

        const QString nouvelle = travail.chemin(kNouvelle);
        QStringList arguments = {QStringLiteral("--source"), instantane,
                                 QStringLiteral("--sortie"), nouvelle,
                                 QStringLiteral("--nom"),    nom,
                                 QStringLiteral("--taille"), QString::number(avant.taille),
                                 QStringLiteral("--sha256"), QString::fromLatin1(avant.sha256)};
        if (!options.pageCode.isEmpty()) {
            arguments << QStringLiteral("--page-code") << options.pageCode;
        }
        observateur.etape(QStringLiteral("Lecture des tables…"));
        Lecture(observateur, resultat)
            .lancer(programme, arguments, protocole::dureeMax(avant.taille));

        observateur.etape(QStringLiteral("Vérification de la base convertie…"));
        try {
            verifier(nouvelle, resultat);
        } catch (const store::ErreurStore& e) {
            throw ErreurAccess(e.message());
        }
        observateur.etape(QStringLiteral("Vérification de l'original…"));
        if (empreinte(original, observateur) != avant) {
            throw ErreurAccess(QStringLiteral(
                "le fichier a changé pendant la conversion : le logiciel du salon l'a peut-être "
                "modifié. Fermez-le puis recommencez"));
        }

        resultat.sauvegarde = nomSauvegarde(original);
        const QDir dossierTravail(travail.chemin());
        if (!ecrirePlan(dossierTravail, nom, nomAffiche(resultat.sauvegarde))) {
            throw ErreurAccess(
                QStringLiteral("impossible d'écrire dans « %1 »").arg(natif(travail.chemin())));
        }
        platform::etapeBascule();
        if (!QFile::rename(original, resultat.sauvegarde)) {
            QFile::remove(dossierTravail.filePath(kPlan));
            throw ErreurAccess(QStringLiteral("impossible de renommer « %1 » en « %2 »")
                                   .arg(nom, nomAffiche(resultat.sauvegarde)));
        }
        platform::etapeBascule();
        if (!QFile::rename(nouvelle, original)) {
            if (!QFile::rename(resultat.sauvegarde, original)) {
                // The next start puts the new database in place.
                travail.garder();
                throw ErreurAccess(
                    QStringLiteral("impossible de mettre la base convertie à la place de « %1 » ; "
                                   "l'original est sous « %2 », la base convertie dans « %3 »")
                        .arg(nom, nomAffiche(resultat.sauvegarde), natif(travail.chemin())));
            }
            QFile::remove(dossierTravail.filePath(kPlan));
            throw ErreurAccess(
                QStringLiteral("impossible de mettre la base convertie à la place de « %1 »")
                    .arg(nom));
        }
        resultat.fichier = original;
        return resultat;
    } catch (const ErreurAccess& e) {
        throw ErreurAccess(messageEchec(nom, e), e.genre());
    }
}

QString conclusionEchec(const FichierAccess& echoue, const std::vector<Resultat>& faits) {
    if (faits.empty()) {
        return QStringLiteral("Le dossier n'a pas été modifié.");
    }
    QStringList convertis;
    for (const Resultat& r : faits) {
        convertis << QStringLiteral("« %1 » a été converti (original conservé sous « %2 »)")
                         .arg(nomAffiche(r.fichier), nomAffiche(r.sauvegarde));
    }
    return convertis.join(QStringLiteral(" ; ")) +
           QStringLiteral(" ; « %1 » est resté tel qu'il était.").arg(echoue.nom);
}

QStringList reprendreConversions(const QString& dossier) {
    static const QRegularExpression motif(QStringLiteral("^\\.conversion-(.+)-[A-Za-z0-9]{6}$"));
    QStringList lignes;
    const QDir d(dossier);
    // Only our own files: the new database (and what SQLite keeps beside it), the plan.
    const auto connu = [](const QRegularExpressionMatch&, const QFileInfo& e) {
        return e.isFile() && (e.fileName().startsWith(kNouvelle) || e.fileName().startsWith(kPlan));
    };
    for (platform::TravailAbandonne& t : platform::travauxAbandonnes(dossier, motif, connu)) {
        const QDir travail(t.chemin);
        const auto plan = lirePlan(travail);
        const QString nom = plan ? plan->first : t.nom.captured(1);
        const bool nouvelle = travail.exists(kNouvelle);
        // Before the plan, and while the original has not moved, nothing was replaced.
        if (!plan || (nouvelle && !QFileInfo::exists(d.filePath(plan->second)))) {
            if (t.supprimer()) {
                lignes << QStringLiteral(
                              "La conversion de « %1 » avait été interrompue : elle a été "
                              "abandonnée, « %1 » est resté tel qu'il était.")
                              .arg(nom);
            }
            continue;
        }
        if (nouvelle && (QFileInfo::exists(d.filePath(nom)) ||
                         !QFile::rename(travail.filePath(kNouvelle), d.filePath(nom)))) {
            lignes << QStringLiteral(
                          "La conversion de « %1 » avait été interrompue et n'a pas pu être "
                          "terminée : l'original est sous « %2 », la base convertie dans « %3 ».")
                          .arg(nom, plan->second, natif(travail.filePath(kNouvelle)));
            continue;
        }
        t.supprimer();
        lignes << QStringLiteral(
                      "La conversion de « %1 » avait été interrompue au moment de remplacer la "
                      "base : elle a été terminée, « %1 » est la base convertie et l'original "
                      "est conservé sous « %2 ».")
                      .arg(nom, plan->second);
    }
    return lignes;
}

}  // namespace acces
