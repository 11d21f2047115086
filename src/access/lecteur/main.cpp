// verifclients-access: reads one Access file and writes its user tables into a
// new SQLite file, telling the converter what it does on its standard output
// (access/Protocole.h). It runs as a child process: a damaged file may bring it
// down, never the window that waits for it.
//
//   verifclients-access --source FILE.mdb --sortie NEW.sqlite --nom BdClient.mdb
//                       --taille N --sha256 HEX [--page-code CP]

#include <malloc.h>
#include <sys/resource.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <new>

#include "access/Ecriture.h"
#include "access/Erreur.h"
#include "access/Protocole.h"
#include "access/lecteur/LecteurMdb.h"
#include "store/Dates.h"
#include "store/Erreur.h"

namespace {

void dire(const QString& mot, const QStringList& champs = {}) {
    const QByteArray l = acces::protocole::ligne(mot, champs).toUtf8();
    std::fwrite(l.constData(), 1, static_cast<size_t>(l.size()), stdout);
    std::fflush(stdout);
}

// A damaged file may announce absurd sizes or send libmdb round in circles:
// better a clean failure than a machine swapping or a reader that never ends.
void limiter(int ressource, rlim_t limite) {
    rlimit l{};
    if (getrlimit(ressource, &l) == 0 && (l.rlim_cur == RLIM_INFINITY || l.rlim_cur > limite)) {
        l.rlim_cur = limite;
        setrlimit(ressource, &l);
    }
}

struct Arguments {
    QString source, sortie, nom, sha256, pageCode;
    qint64 taille = 0;
};

bool lireArguments(int argc, char** argv, Arguments& a) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString cle = QString::fromLocal8Bit(argv[i]);
        const QString valeur = QString::fromLocal8Bit(argv[i + 1]);
        if (cle == QLatin1String("--source")) {
            a.source = valeur;
        } else if (cle == QLatin1String("--sortie")) {
            a.sortie = valeur;
        } else if (cle == QLatin1String("--nom")) {
            a.nom = valeur;
        } else if (cle == QLatin1String("--taille")) {
            a.taille = valeur.toLongLong();
        } else if (cle == QLatin1String("--sha256")) {
            a.sha256 = valeur;
        } else if (cle == QLatin1String("--page-code")) {
            a.pageCode = valeur;
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && !a.source.isEmpty() && !a.sortie.isEmpty();
}

int convertir(const Arguments& a) {
    acces::LecteurMdb lecteur(a.source, a.pageCode);
    dire(QStringLiteral("SOURCE"),
         {lecteur.versionJet(), lecteur.pageCode(), acces::LecteurMdb::versionLibmdb()});
    std::vector<acces::TableMdb>& tables = lecteur.tables();
    QStringList annonce;
    for (const acces::TableMdb& t : tables) {
        annonce << t.nom << QString::number(t.lignes);
    }
    dire(QStringLiteral("TABLES"), annonce);

    QElapsedTimer chrono;
    chrono.start();
    acces::EcritureSqlite ecriture(a.sortie);
    std::vector<acces::TableImportee> faites;
    qint64 total = 0;
    qint64 remplacesTotal = 0;
    // The rate is that of the rows themselves; creating and syncing the file
    // costs the same for ten rows as for a million.
    qint64 nanosecondes = 0;
    for (size_t i = 0; i < tables.size(); ++i) {
        const acces::TableMdb& t = tables[i];
        const QString index = QString::number(i);
        QStringList colonnes{index};
        for (const acces::Colonne& c : t.colonnes) {
            colonnes << c.nom;
        }
        dire(QStringLiteral("COLONNES"), colonnes);
        ecriture.commencerTable(t.nom, t.colonnes);

        qint64 remplaces = 0;
        qint64 n = 0;
        QElapsedTimer depuis;
        depuis.start();
        QElapsedTimer chrono;
        chrono.start();
        const qint64 lues = lecteur.lire(
            t,
            [&](const std::vector<store::Valeur>& valeurs) {
                ecriture.ajouter(valeurs);
                if ((++n & 0xFF) == 0 && depuis.elapsed() >= 100) {
                    dire(QStringLiteral("PROGRES"),
                         {index, QString::number(n), QString::number(t.lignes)});
                    depuis.restart();
                }
            },
            remplaces);
        nanosecondes += chrono.nsecsElapsed();
        // Rows read, rows the file counts and rows written must agree.
        if (lues != t.lignes) {
            throw acces::ErreurAccess(
                QStringLiteral("la table « %1 » compte %2 lignes mais %3 ont pu être lues")
                    .arg(t.nom)
                    .arg(t.lignes)
                    .arg(lues),
                acces::ErreurAccess::Genre::Endommage);
        }
        const qint64 ecrites = ecriture.terminerTable();
        if (ecrites != lues) {
            throw acces::ErreurAccess(QStringLiteral("la table « %1 » : %2 lignes lues, %3 écrites")
                                          .arg(t.nom)
                                          .arg(lues)
                                          .arg(ecrites));
        }
        faites.push_back({t.nom, lues, remplaces});
        total += lues;
        remplacesTotal += remplaces;
        dire(QStringLiteral("FAIT"), {index, QString::number(lues), QString::number(remplaces)});
    }

    acces::Origine origine;
    origine.source = a.nom;
    origine.taille = a.taille;
    origine.sha256 = a.sha256;
    origine.versionJet = lecteur.versionJet();
    origine.pageCode = lecteur.pageCode();
    origine.versionLibmdb = acces::LecteurMdb::versionLibmdb();
    origine.date = store::dates::serie(QDateTime::currentDateTime());
    ecriture.enregistrerOrigine(origine, faites);
    ecriture.valider();
    dire(QStringLiteral("FIN"), {QString::number(total), QString::number(nanosecondes / 1000),
                                 QString::number(remplacesTotal)});
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments a;
    if (!lireArguments(argc, argv, a)) {
        std::fputs(
            "usage : verifclients-access --source FICHIER.mdb --sortie NOUVELLE.sqlite "
            "[--nom NOM] [--taille N] [--sha256 HEX] [--page-code CP]\n",
            stderr);
        return 2;
    }
    limiter(RLIMIT_AS, static_cast<rlim_t>(acces::protocole::kMemoireMax));
    limiter(RLIMIT_CPU, static_cast<rlim_t>(acces::protocole::dureeMax(a.taille)));
    // Memo and OLE values of a few hundred kilobytes come and go row after row:
    // kept in the heap rather than mapped and unmapped each time.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    try {
        return convertir(a);
    } catch (const acces::ErreurAccess& e) {
        dire(QStringLiteral("ERREUR"),
             {e.endommage() ? QStringLiteral("endommage") : QStringLiteral("autre"), e.message()});
    } catch (const store::ErreurStore& e) {
        dire(QStringLiteral("ERREUR"), {QStringLiteral("autre"), e.message()});
    } catch (const std::bad_alloc&) {
        dire(QStringLiteral("ERREUR"),
             {QStringLiteral("endommage"), QStringLiteral("la lecture demande trop de mémoire")});
    }
    return 1;
}
