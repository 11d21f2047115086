#include "doublons/PasDoublon.h"

#include <QDir>
#include <QSet>
#include <algorithm>
#include <numeric>

#include "store/Connexion.h"

namespace doublons {

namespace {

QString cheminBase(const QString& dossier) {
    return QDir(dossier).filePath(QStringLiteral("BdClient.mdb"));
}

// A pair of codes in one order, letter case aside.
QString clePaire(const QString& a, const QString& b) {
    QString x = store::sansCasse(a);
    QString y = store::sansCasse(b);
    if (y < x) {
        std::swap(x, y);
    }
    return x + u'\x1f' + y;
}

int racine(std::vector<int>& parents, int k) {
    while (parents[static_cast<std::size_t>(k)] != k) {
        k = parents[static_cast<std::size_t>(k)] =
            parents[static_cast<std::size_t>(parents[static_cast<std::size_t>(k)])];
    }
    return k;
}

}  // namespace

const QString& tablePasDoublon() {
    static const QString t = QStringLiteral("VerifClients_pasdoublon");
    return t;
}

void noterPasDoublon(const QString& dossier, const QStringList& codes) {
    store::Connexion cn(cheminBase(dossier));
    store::Transaction transaction(cn);
    cn.executerSqlite(
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\"Code1\" TEXT, \"Code2\" TEXT, "
                       "\"Quand\" DATETIME, UNIQUE (\"Code1\", \"Code2\"))")
            .arg(store::citer(tablePasDoublon())));
    store::Instruction i(cn, QStringLiteral("INSERT OR IGNORE INTO %1 VALUES (?, ?, "
                                            "strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'))")
                                 .arg(store::citer(tablePasDoublon())));
    for (qsizetype a = 0; a < codes.size(); ++a) {
        for (qsizetype b = a + 1; b < codes.size(); ++b) {
            // Stored as written, in one order whatever the letter case.
            const bool ordre = store::sansCasse(codes[a]) <= store::sansCasse(codes[b]);
            i.reinitialiser();
            i.lier(1, ordre ? codes[a] : codes[b]).lier(2, ordre ? codes[b] : codes[a]).executer();
        }
    }
    transaction.valider();
}

void retirerPasDoublons(const QString& dossier, Resultat& resultat) {
    QSet<QString> declinees;
    {
        const store::Connexion cn(cheminBase(dossier), store::Connexion::Acces::Lecture);
        if (!cn.tableExiste(tablePasDoublon())) {
            return;
        }
        store::Instruction i(cn, QStringLiteral("SELECT \"Code1\", \"Code2\" FROM %1")
                                     .arg(store::citer(tablePasDoublon())));
        while (i.avancer()) {
            declinees.insert(clePaire(i.colonneTexte(0), i.colonneTexte(1)));
        }
    }
    if (declinees.isEmpty()) {
        return;
    }
    const std::vector<Client>& clients = resultat.clients;
    const auto declinee = [&](const Paire& p) {
        return declinees.contains(clePaire(clients[static_cast<std::size_t>(p.a)].code,
                                           clients[static_cast<std::size_t>(p.b)].code));
    };
    // The pairs left, grouped again by the links they still make.
    std::vector<int> parents(clients.size());
    std::iota(parents.begin(), parents.end(), 0);
    std::vector<Paire> restantes;
    std::vector<bool> lies(clients.size(), false);
    for (const Groupe& g : resultat.groupes) {
        for (const Paire& p : g.paires) {
            if (!declinee(p)) {
                restantes.push_back(p);
                lies[static_cast<std::size_t>(p.a)] = lies[static_cast<std::size_t>(p.b)] = true;
                const int a = racine(parents, p.a);
                const int b = racine(parents, p.b);
                parents[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
            }
        }
    }
    std::vector<Groupe> groupes;
    std::vector<int> groupeDe(clients.size(), -1);
    for (const Groupe& g : resultat.groupes) {
        for (const int m : g.membres) {
            if (!lies[static_cast<std::size_t>(m)]) {
                continue;
            }
            int& n = groupeDe[static_cast<std::size_t>(racine(parents, m))];
            if (n < 0) {
                n = static_cast<int>(groupes.size());
                groupes.emplace_back();
            }
            groupes[static_cast<std::size_t>(n)].membres.push_back(m);
        }
    }
    // The pairs were best first within each group: they stay so.
    for (const Paire& p : restantes) {
        Groupe& g = groupes[static_cast<std::size_t>(
            groupeDe[static_cast<std::size_t>(racine(parents, p.a))])];
        g.paires.push_back(p);
        g.score = std::max(g.score, p.score);
    }
    std::stable_sort(groupes.begin(), groupes.end(),
                     [](const Groupe& g, const Groupe& h) { return g.score > h.score; });
    resultat.groupes = std::move(groupes);
}

}  // namespace doublons
