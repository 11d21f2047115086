#include "clients/Annulation.h"

#include <QHash>
#include <QSet>
#include <map>
#include <memory>
#include <set>

#include "clients/Groupee.h"
#include "commun/Variables.h"
#include "doublons/Fusion.h"
#include "platform/Locale.h"
#include "store/Connexion.h"
#include "store/Dates.h"
#include "store/Journal.h"

namespace clients {

namespace operations {
const QStringList& annulables() {
    static const QStringList o = {kCorrection, kCodePostal, kGroupee, doublons::kOperationFusion};
    return o;
}
}  // namespace operations

namespace {

using store::Valeur;
namespace journal = store::journal;

// One cell the batch changed: the value before its first change, the value
// after its last one.
struct Case {
    QString table;
    Valeur cle;
    QString colonne;
    Valeur avant;
    Valeur apres;
};

QString colonneCle(const QString& table) {
    for (const journal::TableSuivie& t : journal::tablesSuivies()) {
        if (t.table.compare(table, Qt::CaseInsensitive) == 0) {
            return store::citer(t.cle);
        }
    }
    return QStringLiteral("rowid");
}

// The rows of the changed cells, found by their keys: each table is read
// once for its keys, then every cell is looked at by its row id.
class Lignes {
public:
    explicit Lignes(const store::Connexion& cn) : m_cn(cn) {}

    // The rows of the cell that still hold the value the batch wrote.
    std::vector<qint64> intactes(const Case& c) {
        Table& t = table(c.table);
        auto& verifie = t.verifications[c.colonne];
        if (!verifie) {
            verifie = std::make_unique<store::Instruction>(
                m_cn, QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ? AND %2 IS ? COLLATE BINARY")
                          .arg(store::citer(c.table), store::citer(c.colonne)));
        }
        std::vector<qint64> lignes;
        for (const qint64 ligne : t.parCle.value(cleDe(c.cle))) {
            verifie->reinitialiser();
            verifie->lier(1, ligne).lier(2, c.apres);
            if (verifie->avancer()) {
                lignes.push_back(ligne);
            }
        }
        if (verifie) {
            verifie->reinitialiser();
        }
        return lignes;
    }

private:
    struct Table {
        QHash<QString, QList<qint64>> parCle;
        std::map<QString, std::unique_ptr<store::Instruction>> verifications;
    };
    static QString cleDe(const Valeur& v) {
        return QString::number(static_cast<int>(v.type())) + u':' + v.texte();
    }
    Table& table(const QString& nom) {
        auto it = m_tables.find(nom);
        if (it == m_tables.end()) {
            it = m_tables.emplace(nom, Table{}).first;
            store::Instruction cles(
                m_cn,
                QStringLiteral("SELECT rowid, %1 FROM %2").arg(colonneCle(nom), store::citer(nom)));
            while (cles.avancer()) {
                it->second.parCle[cleDe(cles.colonne(1))] << cles.colonneEntier(0);
            }
        }
        return it->second;
    }

    const store::Connexion& m_cn;
    std::map<QString, Table> m_tables;
};

// "A12 DUPONT Marie", or the code alone when the client is gone.
QString nomClient(const store::Connexion& cn, const Valeur& code) {
    // The first test can use the index of the codes, the second tells a12 from A12.
    store::Instruction i(cn, QStringLiteral("SELECT \"Nom\", \"Prénom\" FROM FCLI WHERE \"Code\" = "
                                            "?1 AND \"Code\" = ?1 COLLATE BINARY ORDER BY rowid "
                                            "LIMIT 1"));
    i.lier(1, code);
    if (!i.avancer()) {
        return code.texte();
    }
    return QStringLiteral("%1 %2 %3")
        .arg(code.texte(), i.colonneTexte(0), i.colonneTexte(1))
        .trimmed();
}

}  // namespace

std::optional<CorrectionAnnulable> derniereCorrection(commun::Variables& vars) {
    vars.CheminBd = vars.cheminBd();
    const store::Connexion cn(vars.CheminBd);
    const qint64 lot = journal::dernierLot(cn, operations::annulables());
    if (lot == 0) {
        return std::nullopt;
    }
    const auto entrees = journal::lire(cn, lot);
    if (entrees.empty()) {
        return std::nullopt;
    }
    CorrectionAnnulable c;
    c.lot = lot;
    c.operation = entrees.front().operation;
    c.quand = entrees.front().quand;
    QSet<QString> cles;
    for (const journal::Entree& e : entrees) {
        // A merge: the kept client and each deleted one.
        if (c.operation != doublons::kOperationFusion ||
            (e.table == QLatin1String("FCLI") && !e.cle.estNull())) {
            cles.insert(e.table + u'|' + e.cle.texte());
        }
    }
    c.nbClients = static_cast<int>(cles.size());
    return c;
}

ResultatAnnulation AnnulerCorrection(commun::Variables& vars, qint64 lot) {
    if (!vars.cnCommunes.ouverte()) {
        vars.cnCommunes.OuvreCommunes(vars.dossier);
    }
    Juge juge(vars.cnCommunes);
    vars.CheminBd = vars.cheminBd();
    store::Connexion cn(vars.CheminBd);
    if (const auto e = journal::lire(cn, lot);
        !e.empty() && e.front().operation == doublons::kOperationFusion) {
        const doublons::ResultatAnnulationFusion f = doublons::annulerFusion(vars.dossier, lot);
        ResultatAnnulation r;
        r.faite = f.faite;
        r.refus = f.refus;
        if (f.faite) {
            r.clients = jugerLignes(cn, juge, f.rowids);
            store::Instruction total(cn, QStringLiteral("SELECT count(*) FROM FCLI"));
            total.avancer();
            r.nbClients = static_cast<int>(total.colonneEntier(0));
        }
        return r;
    }
    // Held from the check to the write: nothing can change in between.
    store::Transaction transaction(cn);

    std::vector<Case> cases;
    QHash<QString, std::size_t> index;
    for (const journal::Entree& e : journal::lire(cn, lot)) {
        if (e.colonne.isEmpty()) {
            continue;
        }
        const QString k = e.table + u'\x1f' + e.cle.texte() + u'\x1f' + e.colonne;
        const auto it = index.constFind(k);
        if (it == index.constEnd()) {
            index.insert(k, cases.size());
            cases.push_back({e.table, e.cle, e.colonne, e.avant, e.apres});
        } else {
            cases[it.value()].apres = e.apres;
        }
    }

    ResultatAnnulation r;
    Lignes lignes(cn);
    std::vector<std::vector<qint64>> intactes;
    QSet<QString> vus;
    for (const Case& c : cases) {
        intactes.push_back(lignes.intactes(c));
        if (intactes.back().empty() && !vus.contains(c.cle.texte())) {
            vus.insert(c.cle.texte());
            r.changes << nomClient(cn, c.cle);
        }
    }
    if (!r.changes.isEmpty()) {
        return r;
    }

    journal::activer(cn, operations::kAnnulation, lot);
    std::set<qint64> clients;
    std::map<QString, std::unique_ptr<store::Instruction>> ecritures;
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        auto& ecrire = ecritures[c.table + u'\x1f' + c.colonne];
        if (!ecrire) {
            ecrire = std::make_unique<store::Instruction>(
                cn, QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                        .arg(store::citer(c.table), store::citer(c.colonne)));
        }
        for (const qint64 ligne : intactes[k]) {
            ecrire->reinitialiser();
            ecrire->lier(1, c.avant).lier(2, ligne).executer();
            if (c.table.compare(QLatin1String("FCLI"), Qt::CaseInsensitive) == 0) {
                clients.insert(ligne);
            }
        }
    }
    transaction.valider();
    journal::desactiver(cn);

    r.faite = true;
    r.clients = jugerLignes(cn, juge, std::vector<qint64>(clients.begin(), clients.end()));
    store::Instruction total(cn, QStringLiteral("SELECT count(*) FROM FCLI"));
    total.avancer();
    r.nbClients = static_cast<int>(total.colonneEntier(0));
    return r;
}

QString questionAnnulation(const CorrectionAnnulable& c) {
    QString quand = c.quand;
    if (const auto serie = store::dates::lireIso(c.quand)) {
        quand = store::dates::texteLocal(*serie, platform::localeTravail());
    }
    return QStringLiteral("Annuler la dernière correction (%1 du %2, %3 client(s)) ?")
        .arg(c.operation, quand)
        .arg(c.nbClients);
}

QString messageRienAAnnuler() {
    return QStringLiteral("Aucune correction à annuler.");
}

QString messageRefus(const ResultatAnnulation& r) {
    if (!r.refus.isEmpty()) {
        return r.refus;
    }
    constexpr int kMax = 10;
    QStringList noms = r.changes.mid(0, kMax);
    QString texte = QStringLiteral(
                        "La dernière correction ne peut pas être annulée : ces clients ont été "
                        "modifiés depuis.\r\n%1")
                        .arg(noms.join(QStringLiteral("\r\n")));
    if (r.changes.size() > kMax) {
        texte += QStringLiteral("\r\n… et %1 autre(s).").arg(r.changes.size() - kMax);
    }
    return texte;
}

QString messageAnnulee(const ResultatAnnulation& r) {
    return QStringLiteral("Correction annulée : %1 client(s) remis comme avant.")
        .arg(r.clients.size());
}

}  // namespace clients
