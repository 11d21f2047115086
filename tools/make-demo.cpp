// Writes a demonstration or benchmark folder: BdClient.mdb (clients, technical
// sheets, visits) with a realistic share of faults, and the clients' note files.
// The same arguments always give the same content.
//
//   make-demo --dossier DIR [--graine N] [--clients N] [--fiches N] [--visites N]
//             [--communes PATH] [--sans-notes] [--remplacer] [--verite FILE]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>
#include <optional>

#include "demo/Activite.h"
#include "demo/Clients.h"
#include "demo/Communes.h"
#include "demo/Notes.h"
#include "platform/Fichiers.h"
#include "store/Connexion.h"
#include "store/Erreur.h"
#include "store/Schema.h"

namespace {

const QString kBase = QStringLiteral("BdClient.mdb");

const char* const kUsage =
    "usage : make-demo --dossier DOSSIER [--graine N] [--clients N] [--fiches N]\n"
    "                  [--visites N] [--communes CHEMIN] [--sans-notes] [--remplacer]\n"
    "                  [--verite FICHIER]\n"
    "\n"
    "  --dossier    dossier à remplir (créé s'il n'existe pas)\n"
    "  --graine     graine du hasard (défaut 1) : mêmes arguments, même contenu\n"
    "  --clients    nombre de clients (défaut 500)\n"
    "  --fiches     nombre de fiches techniques (défaut 1500)\n"
    "  --visites    nombre de visites (défaut 3000)\n"
    "  --communes   référentiel des communes (défaut : communes.mdb du dossier s'il\n"
    "               existe, sinon une liste intégrée d'une soixantaine de communes)\n"
    "  --sans-notes aucun fichier de note Cli<Code>.RTF\n"
    "  --remplacer  remplace la base et les notes déjà présentes dans le dossier\n"
    "  --verite     écrit dans FICHIER les doublons plantés et les familles, une paire\n"
    "               par ligne : Doublon|Famille, code, code, comment (tabulations)\n";

struct Options {
    QString dossier;
    quint64 graine = 1;
    int clients = 500;
    int fiches = 1500;
    int visites = 3000;
    QString communes;
    QString verite;
    bool notes = true;
    bool remplacer = false;
};

// Returns an error message, or nothing when the arguments are fine.
std::optional<QString> lireOptions(const QStringList& args, Options& o) {
    const auto nombre = [](const QString& option, const QString& texte, int max, int& cible) {
        bool ok = false;
        const qlonglong n = texte.toLongLong(&ok);
        if (!ok || n < 0 || n > max) {
            return std::optional<QString>(
                QStringLiteral("%1 attend un nombre entre 0 et %2, pas « %3 ».")
                    .arg(option)
                    .arg(max)
                    .arg(texte));
        }
        cible = static_cast<int>(n);
        return std::optional<QString>();
    };
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--sans-notes")) {
            o.notes = false;
            continue;
        }
        if (a == QLatin1String("--remplacer")) {
            o.remplacer = true;
            continue;
        }
        static const QStringList avecValeur = {
            QStringLiteral("--dossier"), QStringLiteral("--graine"),  QStringLiteral("--clients"),
            QStringLiteral("--fiches"),  QStringLiteral("--visites"), QStringLiteral("--communes"),
            QStringLiteral("--verite")};
        if (!avecValeur.contains(a)) {
            return QStringLiteral("Option inconnue : %1").arg(a);
        }
        if (i + 1 >= args.size()) {
            return QStringLiteral("%1 attend une valeur.").arg(a);
        }
        const QString v = args[++i];
        std::optional<QString> erreur;
        if (a == QLatin1String("--dossier")) {
            o.dossier = v;
        } else if (a == QLatin1String("--communes")) {
            o.communes = v;
        } else if (a == QLatin1String("--verite")) {
            o.verite = v;
        } else if (a == QLatin1String("--graine")) {
            bool ok = false;
            o.graine = v.toULongLong(&ok);
            if (!ok) {
                erreur = QStringLiteral("--graine attend un nombre positif, pas « %1 ».").arg(v);
            }
        } else if (a == QLatin1String("--clients")) {
            erreur = nombre(a, v, 1000000, o.clients);
        } else if (a == QLatin1String("--fiches")) {
            erreur = nombre(a, v, 20000000, o.fiches);
        } else {
            erreur = nombre(a, v, 20000000, o.visites);
        }
        if (erreur) {
            return erreur;
        }
    }
    if (o.dossier.isEmpty()) {
        return QStringLiteral("--dossier est obligatoire.");
    }
    return std::nullopt;
}

bool estNote(const QString& nom) {
    return nom.startsWith(QLatin1String("cli"), Qt::CaseInsensitive) &&
           nom.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive);
}

QString nombre(qint64 n) {
    return QLocale(QLocale::French).toString(n);
}

// The seeded pairs, one a line; false when the file cannot be written.
bool ecrireVerite(const QString& chemin, const std::vector<demo::Lien>& liens) {
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        return false;
    }
    QTextStream t(&f);
    for (const demo::Lien& l : liens) {
        t << (l.doublon ? "Doublon\t" : "Famille\t") << l.code1 << '\t' << l.code2 << '\t'
          << l.libelle << '\n';
    }
    t.flush();
    return f.error() == QFileDevice::NoError && f.flush();
}

QString part(int n, int total) {
    return QLocale(QLocale::French).toString(total > 0 ? 100.0 * n / total : 0.0, 'f', 1) +
           QStringLiteral(" %");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    Options o;
    if (const auto erreur = lireOptions(app.arguments(), o)) {
        err << *erreur << "\n\n" << kUsage;
        return 2;
    }
    QElapsedTimer chrono;
    chrono.start();

    const QDir dossier(o.dossier);
    if (!dossier.exists() && !QDir().mkpath(o.dossier)) {
        err << "Impossible de créer le dossier « " << QDir::toNativeSeparators(o.dossier)
            << " ».\n";
        return 1;
    }
    const QString dossierAbsolu = dossier.absolutePath();
    if (platform::existe(dossierAbsolu, kBase) && !o.remplacer) {
        err << "Le dossier « " << QDir::toNativeSeparators(o.dossier)
            << " » contient déjà une base BdClient.mdb : rien n'a été écrit. "
               "Choisissez un autre dossier ou ajoutez --remplacer.\n";
        return 1;
    }
    QString referentiel = o.communes;
    if (referentiel.isEmpty() && platform::existe(dossierAbsolu, QStringLiteral("communes.mdb"))) {
        referentiel = platform::resoudre(dossierAbsolu, QStringLiteral("communes.mdb"));
    }

    // Written aside then renamed: an interrupted run leaves no half database.
    const QString provisoire = dossier.filePath(kBase + QStringLiteral(".part"));
    QFile::remove(provisoire);
    demo::BilanClients clients;
    demo::BilanFiches fiches;
    demo::BilanVisites visites;
    demo::BilanNotes notes;
    try {
        const std::vector<demo::Commune> communes = demo::chargerCommunes(referentiel);
        {
            store::Connexion cn = store::Connexion::creer(provisoire);
            store::schema::creerTablesClients(cn);
            // A new file: nothing to protect until it is complete.
            cn.executerSqlite(QStringLiteral(
                "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-65536"));
            store::Transaction t(cn);
            const std::vector<demo::Client> liste =
                demo::ecrireClients(cn, o.clients, communes, o.graine, clients);
            demo::ecrireFiches(cn, liste, o.fiches, clients.plusGrandCode, o.graine, fiches);
            demo::ecrireVisites(cn, liste, o.visites, o.graine, visites);
            t.valider();
            cn.Close();

            if (o.remplacer) {
                QFile::remove(platform::resoudre(dossierAbsolu, kBase));
                for (const QString& nom : dossier.entryList(QDir::Files)) {
                    if (estNote(nom)) {
                        QFile::remove(dossier.filePath(nom));
                    }
                }
            }
            if (!QFile::rename(provisoire, dossier.filePath(kBase))) {
                throw store::ErreurStore(
                    QStringLiteral("Impossible de renommer %1 en %2.").arg(provisoire, kBase));
            }
            if (o.notes) {
                notes = demo::ecrireNotes(dossierAbsolu, liste, o.graine);
            }
            if (!o.verite.isEmpty() && !ecrireVerite(o.verite, clients.liens)) {
                err << "Impossible d'écrire « " << QDir::toNativeSeparators(o.verite) << " ».\n";
                return 1;
            }
        }
    } catch (const store::ErreurStore& e) {
        QFile::remove(provisoire);
        err << e.message() << "\n";
        return 1;
    } catch (const std::exception& e) {
        QFile::remove(provisoire);
        err << QString::fromUtf8(e.what()) << "\n";
        return 1;
    }

    out << "Dossier : " << QDir::toNativeSeparators(dossierAbsolu) << "\n"
        << "Référentiel des communes : "
        << (referentiel.isEmpty() ? QStringLiteral("liste intégrée")
                                  : QDir::toNativeSeparators(referentiel))
        << "\n"
        << "Clients : " << nombre(clients.clients) << ", dont " << nombre(clients.enErreur)
        << " avec des défauts (" << part(clients.enErreur, clients.clients) << ")\n";
    for (int d = 0; d < demo::NombreDefauts; ++d) {
        out << "  " << demo::libelle(static_cast<demo::Defaut>(d)) << " : "
            << nombre(clients.parDefaut[static_cast<std::size_t>(d)]) << "\n";
    }
    out << "  (noms avec apostrophe, sans défaut : " << nombre(clients.nomsApostrophe) << ")\n"
        << "Doublons plantés : " << nombre(clients.doublons)
        << " clients enregistrés une fois de plus ; familles : " << nombre(clients.familles)
        << " filles et jumelles d'un autre client\n"
        << "Fiches techniques : " << nombre(fiches.fiches) << ", dont "
        << nombre(fiches.clientsInconnus) << " de clients inconnus\n"
        << "  famille absente : " << nombre(fiches.familleAbsente)
        << ", famille faite de blancs : " << nombre(fiches.familleBlancs) << "\n"
        << "  mémo Null : " << nombre(fiches.memoNull)
        << ", mémo de plus de 500 caractères : " << nombre(fiches.memoLong)
        << ", mémo suivi de blancs : " << nombre(fiches.memoFinBlancs) << "\n"
        << "Visites : " << nombre(visites.visites)
        << " ; clients sans visite : " << nombre(visites.clientsSansVisite)
        << ", clients partis depuis longtemps : " << nombre(visites.clientsAnciens) << "\n"
        << "Notes : " << nombre(notes.fichiers) << " fichiers, dont " << nombre(notes.longues)
        << " de plus de 500 caractères\n"
        << "Durée : " << QLocale(QLocale::French).toString(chrono.elapsed() / 1000.0, 'f', 1)
        << " s\n";
    return 0;
}
