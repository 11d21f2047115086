#include "tech/AnalyseTech.h"

#include <limits>
#include <optional>
#include <tuple>
#include <vector>

#include "store/Connexion.h"
#include "store/Journal.h"
#include "store/Schema.h"
#include "store/Valeur.h"

namespace tech {

QString nettoyerMemo(QString memo) {
    qsizetype n = memo.size();
    while (n > 0 && memo.at(n - 1) == u' ') {
        --n;
    }
    while (n >= 2 && memo.at(n - 2) == u'\r' && memo.at(n - 1) == u'\n') {
        n -= 2;
    }
    memo.truncate(n);
    return memo;
}

ClientsDesFiches::ClientsDesFiches(const store::Connexion& cn) : m_cn(cn) {}
ClientsDesFiches::~ClientsDesFiches() = default;

std::optional<std::pair<QString, QString>> ClientsDesFiches::client(const QString& code) {
    if (!m_lus) {
        // The first client in table order keeps a code, letter case aside...
        store::Instruction codes(m_cn, QStringLiteral("SELECT rowid, \"Code\" FROM FCLI "
                                                      "WHERE \"Code\" IS NOT NULL ORDER BY rowid"));
        while (codes.avancer()) {
            const QString plie = store::sansCasse(codes.colonneTexte(1));
            if (!m_sansCasse.contains(plie)) {
                m_sansCasse.insert(plie, codes.colonneEntier(0));
            }
        }
        // ...and codes that differ by letter case alone keep their own spelling.
        store::Instruction memes(
            m_cn, QStringLiteral("SELECT \"Code\", min(rowid) FROM FCLI WHERE lower(\"Code\") IN "
                                 "(SELECT lower(\"Code\") FROM FCLI GROUP BY 1 HAVING "
                                 "min(\"Code\" COLLATE BINARY) <> max(\"Code\" COLLATE BINARY)) "
                                 "GROUP BY \"Code\" COLLATE BINARY"));
        while (memes.avancer()) {
            m_exacts.insert(memes.colonneTexte(0), memes.colonneEntier(1));
        }
        m_lecture = std::make_unique<store::Instruction>(
            m_cn, QStringLiteral("SELECT \"Code\", \"Nom\", \"Prénom\" FROM FCLI WHERE rowid = ?"));
        m_lus = true;
    }
    auto it = m_exacts.constFind(code);
    if (it == m_exacts.constEnd()) {
        it = m_sansCasse.constFind(store::sansCasse(code));
        if (it == m_sansCasse.constEnd()) {
            return std::nullopt;
        }
    }
    m_lecture->reinitialiser();
    m_lecture->lier(1, it.value());
    std::optional<std::pair<QString, QString>> trouve;
    if (m_lecture->avancer()) {
        trouve.emplace(m_lecture->colonne(0).texte(),
                       m_lecture->colonne(1).texte() + u' ' + m_lecture->colonne(2).texte());
    }
    m_lecture->reinitialiser();
    return trouve;
}

bool ErrFamille(const store::Valeur& famille) {
    return famille.estNull() || famille.texte().isEmpty();
}

bool ErrMemo(const store::Valeur& memo) {
    return !memo.estNull() && memo.texte().size() > kLongueurMemo;
}

QString nomListe(Liste liste) {
    return liste == Liste::CliTech ? QStringLiteral("ListCliTech") : QStringLiteral("ListMemo");
}

QStringList colonnes(Liste liste, const LigneTech& ligne) {
    const QString x = QStringLiteral("x");
    return {ligne.numero, ligne.code, ligne.nom, liste == Liste::CliTech ? x : QString(),
            liste == Liste::Memo ? x : QString()};
}

void PreAnalyseTech(const QString& cheminBd, ObservateurAnalyseFiches* observateur) {
    store::Connexion cn(cheminBd);
    store::journal::activer(cn, operations::kNettoyageMemos);
    // Every memo is tidied or none is.
    store::Transaction transaction(cn);
    // Only a memo that ends in a blank, a CR or a LF can change; the others
    // are left as they are on disk rather than rewritten with the same text.
    // (Byte lengths, whatever the text encoding: an embedded NUL does not
    // stop them.)
    std::vector<qint64> cles;
    {
        store::Instruction candidats(
            cn, QStringLiteral("SELECT rowid FROM FTEC WHERE typeof(\"Mémo\") = 'text' AND "
                               "length(CAST(rtrim(\"Mémo\", ' ' || char(13, 10)) AS BLOB)) < "
                               "length(CAST(\"Mémo\" AS BLOB)) ORDER BY rowid"));
        while (candidats.avancer()) {
            cles.push_back(candidats.colonneEntier(0));
        }
    }
    store::Instruction lire(cn, QStringLiteral("SELECT \"Mémo\" FROM FTEC WHERE rowid = ?"));
    store::Instruction ecrire(cn, QStringLiteral("UPDATE FTEC SET \"Mémo\" = ? WHERE rowid = ?"));
    const qint64 total = static_cast<qint64>(cles.size());
    qint64 n = 0;
    for (const qint64 cle : cles) {
        if (observateur) {
            observateur->rangement(++n, total);
        }
        lire.reinitialiser();
        lire.lier(1, cle);
        if (!lire.avancer()) {
            continue;
        }
        const QString memo = lire.colonneTexte(0);
        const QString propre = nettoyerMemo(memo);
        lire.reinitialiser();
        if (propre.size() != memo.size()) {
            ecrire.reinitialiser();
            ecrire.lier(1, propre).lier(2, cle).executer();
        }
    }
    transaction.valider();
}

qint32 AnalyseTech(const QString& cheminBd, ObservateurAnalyseFiches& observateur) {
    // Everything the run reads is there, and the file can be written, before
    // the memos are tidied: a failing run leaves the database as it was.
    store::schema::verifier(
        cheminBd,
        {{QStringLiteral("FTEC"),
          {QStringLiteral("Numéro"), QStringLiteral("Code_Client"), QStringLiteral("Famille"),
           QStringLiteral("Mémo")}},
         {QStringLiteral("FCLI"),
          {QStringLiteral("Code"), QStringLiteral("Nom"), QStringLiteral("Prénom")}}},
        true);
    PreAnalyseTech(cheminBd, &observateur);

    store::Connexion cn(cheminBd);
    // One snapshot: the count and the pass see the same sheets.
    store::Transaction instantane(cn);
    store::Instruction compte(cn, QStringLiteral("SELECT count(*) FROM FTEC"));
    compte.avancer();
    const qint32 total = static_cast<qint32>(
        std::min<qint64>(compte.colonneEntier(0), std::numeric_limits<qint32>::max()));
    observateur.debut(total);

    // Column 3 settles the memo rule where the byte and character counts
    // suffice (UTF-16 units lie between the two); NULL leaves it to ErrMemo on
    // the memo itself, so most memos are never turned into text here.
    store::Instruction fiches(
        cn, QStringLiteral("SELECT \"Numéro\", \"Code_Client\", \"Famille\", "
                           "CASE WHEN \"Mémo\" IS NULL THEN 0 "
                           "WHEN typeof(\"Mémo\") <> 'text' THEN NULL "
                           "WHEN length(\"Mémo\") > %1 THEN 1 "
                           "WHEN length(CAST(\"Mémo\" AS BLOB)) <= %1 THEN 0 END, "
                           "\"Mémo\" FROM FTEC ORDER BY rowid")
                .arg(kLongueurMemo));
    ClientsDesFiches clients(cn);
    qint32 n = 0;
    while (fiches.avancer()) {
        observateur.progression(++n, total);
        const bool errFamille = ErrFamille(fiches.colonne(2));
        const store::Valeur longueur = fiches.colonne(3);
        const bool errMemo =
            longueur.estNull() ? ErrMemo(fiches.colonne(4)) : longueur.enEntier() != 0;
        if (!errFamille && !errMemo) {
            continue;
        }
        LigneTech ligne{fiches.colonne(0).texte(), {}, {}};
        if (const auto client = clients.client(fiches.colonne(1).texte())) {
            std::tie(ligne.code, ligne.nom) = *client;
        }
        if (errFamille) {
            observateur.ligne(Liste::CliTech, ligne);
        }
        if (errMemo) {
            observateur.ligne(Liste::Memo, ligne);
        }
    }
    return total;
}

QString legendeListeTech(qint64 nbLignes, qint64 total) {
    return QStringLiteral("Liste des techniques avec erreurs ( %1 / %2 )").arg(nbLignes).arg(total);
}

QString messageSansErreur() {
    return QStringLiteral("Votre fichier technique ne comporte pas d'erreur.");
}

QString messagePlusErreur() {
    return QStringLiteral("Votre fichier technique ne comporte plus d'erreur.");
}

QString messageEchecAnalyse(const QString& cause) {
    return QStringLiteral("L'analyse des fiches techniques s'est arrêtée : %1").arg(cause);
}

}  // namespace tech
