// The search for duplicate clients alone, as the batch mode will print it, or
// weighed against the pairs that make-demo seeded:
//   doublons-seul DOSSIER                    one Doublon line per pair, then the caption
//   doublons-seul DOSSIER --verite FICHIER   precision and recall against FICHIER

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QTextStream>

#include "doublons/Doublons.h"
#include "store/Erreur.h"

namespace {

using Paire = std::pair<QString, QString>;

Paire paire(const QString& a, const QString& b) {
    return a < b ? Paire{a, b} : Paire{b, a};
}

struct Verite {
    QHash<QString, QString> groupeDe;                 // code -> the group's first code
    std::vector<std::pair<Paire, QString>> doublons;  // seeded pairs and their variation
    QSet<Paire> familles;

    QString racine(const QString& code) {
        QString r = code;
        while (groupeDe.value(r, r) != r) {
            r = groupeDe.value(r);
        }
        return r;
    }
};

bool lireVerite(const QString& chemin, Verite& v) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    QTextStream t(&f);
    while (!t.atEnd()) {
        const QStringList l = t.readLine().split(u'\t');
        if (l.size() < 4) {
            continue;
        }
        if (l[0] == u"Famille") {
            v.familles.insert(paire(l[1], l[2]));
            continue;
        }
        v.doublons.push_back({paire(l[1], l[2]), l[3]});
        const QString a = v.racine(l[1]);
        const QString b = v.racine(l[2]);
        if (a != b) {
            v.groupeDe.insert(b, a);
        }
    }
    return true;
}

QString part(qint64 n, qint64 total) {
    return QString::number(total > 0 ? static_cast<double>(n) / static_cast<double>(total) : 0.0,
                           'f', 3);
}

void evaluer(const doublons::Resultat& r, Verite& v, QTextStream& out) {
    QHash<QString, int> candidatDe;  // code -> its candidate group
    for (std::size_t g = 0; g < r.groupes.size(); ++g) {
        for (int m : r.groupes[g].membres) {
            candidatDe.insert(r.clients[static_cast<std::size_t>(m)].code, static_cast<int>(g));
        }
    }
    const auto ensemble = [&candidatDe](const QString& a, const QString& b) {
        return candidatDe.contains(a) && candidatDe.value(a) == candidatDe.value(b, -1);
    };
    // Precision: the proposed pairs that join one person's records.
    qint64 proposees = 0;
    qint64 justes = 0;
    qint64 famillesProposees = 0;
    for (const doublons::Groupe& g : r.groupes) {
        for (const doublons::Paire& p : g.paires) {
            const QString& a = r.clients[static_cast<std::size_t>(p.a)].code;
            const QString& b = r.clients[static_cast<std::size_t>(p.b)].code;
            ++proposees;
            // Two codes out of the truth are their own roots, never equal.
            justes += v.racine(a) == v.racine(b) ? 1 : 0;
            famillesProposees += v.familles.contains(paire(a, b)) ? 1 : 0;
        }
    }
    // Recall: every two records of one seeded person end in one group.
    QMap<QString, QStringList> personnes;
    for (const auto& [p, variation] : v.doublons) {
        for (const QString& code : {p.first, p.second}) {
            QStringList& membres = personnes[v.racine(code)];
            if (!membres.contains(code)) {
                membres << code;
            }
        }
    }
    qint64 attendues = 0;
    qint64 trouvees = 0;
    for (const QStringList& membres : personnes) {
        for (qsizetype i = 0; i < membres.size(); ++i) {
            for (qsizetype j = i + 1; j < membres.size(); ++j) {
                ++attendues;
                trouvees += ensemble(membres[i], membres[j]) ? 1 : 0;
            }
        }
    }
    qint64 famillesReunies = 0;
    for (const Paire& p : v.familles) {
        famillesReunies += ensemble(p.first, p.second) ? 1 : 0;
    }
    out << "précision " << part(justes, proposees) << " (" << justes << " / " << proposees
        << " paires proposées)\n"
        << "rappel " << part(trouvees, attendues) << " (" << trouvees << " / " << attendues
        << " paires plantées réunies)\n"
        << "familles proposées " << famillesProposees << ", réunies " << famillesReunies << " / "
        << v.familles.size() << "\n";
    QMap<QString, std::pair<int, int>> parVariation;
    for (const auto& [p, variation] : v.doublons) {
        auto& [n, ok] = parVariation[variation];
        ++n;
        ok += ensemble(p.first, p.second) ? 1 : 0;
    }
    for (auto it = parVariation.cbegin(); it != parVariation.cend(); ++it) {
        out << "  " << it.key() << " : " << it.value().second << " / " << it.value().first << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2 && (args.size() != 4 || args[2] != QLatin1String("--verite"))) {
        err << "usage : doublons-seul DOSSIER [--verite FICHIER]\n";
        return 2;
    }
    Verite verite;
    if (args.size() == 4 && !lireVerite(args[3], verite)) {
        err << "Impossible de lire « " << args[3] << " ».\n";
        return 1;
    }
    try {
        const doublons::Resultat r = doublons::chercherDoublons(args[1]);
        if (args.size() == 4) {
            evaluer(r, verite, out);
            return 0;
        }
        for (const doublons::Groupe& g : r.groupes) {
            for (const doublons::Paire& p : g.paires) {
                out << doublons::ligneDoublon(r, p) << '\n';
            }
        }
        out << doublons::legendeDoublons(r) << '\n';
        return 0;
    } catch (const store::ErreurStore& e) {
        err << e.message() << '\n';
    }
    return 1;
}
