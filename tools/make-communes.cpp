// Builds the towns reference communes.mdb from the npm package codes-postaux:
// one row per distinct (postal code, postal name) pair, the postal name being
// the town as written on mail (PARIS, LYON, ST ETIENNE).
//
//   make-communes codes-postaux.json communes.mdb

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>
#include <cstdio>

#include "store/Connexion.h"
#include "store/Erreur.h"
#include "store/Schema.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        err << "usage : make-communes codes-postaux.json communes.mdb\n";
        return 2;
    }
    QFile json(args[1]);
    if (!json.open(QIODevice::ReadOnly)) {
        err << "Impossible de lire " << args[1]
            << " : lancez scripts/install-deps.sh pour installer le référentiel.\n";
        return 1;
    }
    QJsonParseError erreur{};
    const QJsonDocument doc = QJsonDocument::fromJson(json.readAll(), &erreur);
    if (!doc.isArray()) {
        err << "Fichier JSON illisible : " << erreur.errorString() << "\n";
        return 1;
    }
    const QString sortie = args[2];
    const QString provisoire = sortie + QStringLiteral(".part");
    QFile::remove(provisoire);
    try {
        store::Connexion cn = store::Connexion::creer(provisoire);
        store::schema::creerTableCommunes(cn);
        store::Transaction t(cn);
        store::Instruction insertion(cn, QStringLiteral("INSERT INTO communes VALUES (?, ?)"));
        QSet<QString> vus;
        int lignes = 0;
        for (const QJsonValue& v : doc.array()) {
            const QJsonObject o = v.toObject();
            const QString cp = o.value(QStringLiteral("codePostal")).toString();
            const QString ville = o.value(QStringLiteral("libelleAcheminement")).toString();
            if (cp.isEmpty() || ville.isEmpty() || vus.contains(cp + u'|' + ville)) {
                continue;
            }
            vus.insert(cp + u'|' + ville);
            insertion.reinitialiser();
            insertion.lier(1, cp).lier(2, ville).executer();
            ++lignes;
        }
        t.valider();
        cn.executerSqlite(QStringLiteral("ANALYZE"));
        cn.Close();
        QFile::remove(sortie);
        if (!QFile::rename(provisoire, sortie)) {
            err << "Impossible de créer " << sortie << "\n";
            return 1;
        }
        QTextStream(stdout) << sortie << " : " << lignes << " communes\n";
    } catch (const store::ErreurStore& e) {
        QFile::remove(provisoire);
        err << e.message() << "\n";
        return 1;
    }
    return 0;
}
