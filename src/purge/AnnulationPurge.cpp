#include "purge/AnnulationPurge.h"

#include <QStringList>
#include <algorithm>

#include "commun/Variables.h"
#include "platform/Locale.h"
#include "purge/Purge.h"
#include "store/Connexion.h"
#include "store/Dates.h"
#include "store/Journal.h"

namespace purge {

namespace {

namespace journal = store::journal;

// The purge batches not undone yet that deleted rows, the latest first.
const QString kPurges = QStringLiteral(
    "SELECT \"Lot\", \"Operation\", \"Quand\", \"Apres\" FROM %1 WHERE \"Operation\" IN (?1, ?2) "
    "AND \"Colonne\" = ?3 AND %2 AND \"Lot\" NOT IN (SELECT \"LotAnnule\" FROM %1 WHERE "
    "\"LotAnnule\" IS NOT NULL) ORDER BY \"Lot\" DESC LIMIT 1");

std::optional<PurgeAnnulable> lirePurge(const store::Connexion& cn, const QString& condition,
                                        qint64 lot) {
    if (!cn.tableExiste(journal::table())) {
        return std::nullopt;
    }
    store::Instruction i(cn, kPurges.arg(store::citer(journal::table()), condition));
    i.lier(1, operations::kPurgeClients).lier(2, operations::kPurgeTech);
    i.lier(3, operations::kLignesSupprimees);
    if (lot > 0) {
        i.lier(4, lot);
    }
    if (!i.avancer()) {
        return std::nullopt;
    }
    PurgeAnnulable p;
    p.lot = i.colonneEntier(0);
    p.clients = i.colonneTexte(1) == operations::kPurgeClients;
    p.quand = i.colonneTexte(2);
    p.nbLignes = i.colonneEntier(3);
    store::Instruction date(cn, QStringLiteral("SELECT \"Apres\" FROM %1 WHERE \"Lot\" = ? AND "
                                               "\"Colonne\" = ?")
                                    .arg(store::citer(journal::table())));
    date.lier(1, p.lot).lier(2, operations::kDateLimite);
    if (date.avancer()) {
        if (const auto serie = store::dates::lireIso(date.colonneTexte(0))) {
            p.dateLimite = store::dates::depuisSerie(*serie).date();
        }
    }
    return p;
}

QString nombreLignes(bool clients, qint64 n) {
    return clients ? QStringLiteral("%1 client(s)").arg(n)
                   : QStringLiteral("%1 fiche(s) technique(s)").arg(n);
}

// The kept rows whose rowid or key a row of the table holds now.
QStringList prises(const store::Connexion& cn, const std::vector<journal::LigneSupprimee>& lignes) {
    QStringList cles;
    for (const journal::TableSuivie& t : journal::tablesSuivies()) {
        if (lignes.empty() || t.table != lignes.front().table) {
            continue;
        }
        const QString table = store::citer(t.table);
        store::Instruction parRowid(cn,
                                    QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ?").arg(table));
        store::Instruction parCle(
            cn, QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(table, store::citer(t.cle)));
        for (const journal::LigneSupprimee& l : lignes) {
            parRowid.reinitialiser();
            parRowid.lier(1, journal::rowidSupprime(l).value_or(0));
            parCle.reinitialiser();
            parCle.lier(1, l.cle);
            if (parRowid.avancer() || parCle.avancer()) {
                cles << l.cle.texte();
            }
        }
    }
    return cles;
}

}  // namespace

std::optional<PurgeAnnulable> dernierePurge(commun::Variables& vars) {
    vars.CheminBd = vars.cheminBd();
    const store::Connexion cn(vars.CheminBd, store::Connexion::Acces::Lecture);
    return lirePurge(cn, QStringLiteral("\"Apres\" > 0"), 0);
}

ResultatAnnulationPurge AnnulerPurge(commun::Variables& vars, qint64 lot) {
    vars.CheminBd = vars.cheminBd();
    store::Connexion cn(vars.CheminBd);
    // Held from the checks to the write: nothing can change in between.
    store::Transaction transaction(cn);
    ResultatAnnulationPurge r;
    const auto purge = lirePurge(cn, QStringLiteral("\"Lot\" = ?4"), lot);
    if (!purge) {
        r.refus = messageAucunePurge();
        return r;
    }
    r.clients = purge->clients;
    const std::vector<journal::LigneSupprimee> lignes = journal::lignesSupprimees(cn, lot);
    const bool entieres =
        static_cast<qint64>(lignes.size()) == purge->nbLignes &&
        std::all_of(lignes.begin(), lignes.end(), [](const journal::LigneSupprimee& l) {
            return !l.colonnes.isEmpty() && journal::rowidSupprime(l).has_value();
        });
    if (!entieres) {
        r.refus = QStringLiteral(
            "La dernière purge ne peut pas être annulée : le journal n'en garde que les codes, "
            "pas les fiches entières (purge faite par une version plus ancienne de "
            "VerifClients).");
        return r;
    }
    if (const QStringList cles = prises(cn, lignes); !cles.isEmpty()) {
        constexpr int kMax = 10;
        r.refus = QStringLiteral(
                      "La dernière purge ne peut pas être annulée : le fichier a reçu "
                      "depuis %1 de même code ou de même numéro que ceux-ci.\r\n%2")
                      .arg(r.clients ? QStringLiteral("des clients")
                                     : QStringLiteral("des fiches techniques"),
                           cles.mid(0, kMax).join(QStringLiteral("\r\n")));
        if (cles.size() > kMax) {
            r.refus += QStringLiteral("\r\n… et %1 autre(s).").arg(cles.size() - kMax);
        }
        return r;
    }
    journal::activer(cn, operations::kAnnulationPurge, lot);
    journal::remettre(cn, lignes);
    journal::noter(cn, lignes.empty() ? QString() : lignes.front().table, {},
                   operations::kLignesRemises, {},
                   store::Valeur::entier(static_cast<qint64>(lignes.size())));
    transaction.valider();
    journal::desactiver(cn);
    r.faite = true;
    r.nbLignes = static_cast<qint64>(lignes.size());
    return r;
}

QString questionAnnulationPurge(const PurgeAnnulable& p) {
    QString quand = p.quand;
    if (const auto serie = store::dates::lireIso(p.quand)) {
        quand = store::dates::texteLocal(*serie, platform::localeTravail());
    }
    const QString quoi = p.clients ? operations::kPurgeClients : operations::kPurgeTech;
    const QString date =
        p.dateLimite
            ? QStringLiteral(", date choisie %1")
                  .arg(platform::localeTravail().toString(*p.dateLimite, QLocale::ShortFormat))
            : QString();
    return QStringLiteral("Annuler la dernière purge (%1 du %2%3, %4) ?")
        .arg(quoi, quand, date, nombreLignes(p.clients, p.nbLignes));
}

QString messageAucunePurge() {
    return QStringLiteral("Aucune purge à annuler.");
}

QString messagePurgeAnnulee(const ResultatAnnulationPurge& r) {
    return r.clients ? QStringLiteral(
                           "Purge annulée : %1 client(s) remis dans le fichier "
                           "clients.")
                           .arg(r.nbLignes)
                     : QStringLiteral(
                           "Purge annulée : %1 fiche(s) technique(s) remise(s) dans "
                           "le fichier des fiches techniques.")
                           .arg(r.nbLignes);
}

}  // namespace purge
