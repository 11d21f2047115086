#include "rapport/Chiffres.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

#include "clients/Analyse.h"
#include "clients/Annulation.h"
#include "commun/Variables.h"
#include "export/Export.h"
#include "export/LotFichiers.h"
#include "platform/ErreurFichier.h"
#include "platform/Fichiers.h"
#include "platform/Rtf.h"
#include "purge/Purge.h"
#include "store/Connexion.h"
#include "store/Dates.h"
#include "store/Erreur.h"
#include "store/Journal.h"
#include "store/Recordset.h"
#include "tech/AnalyseTech.h"

namespace rapport {

namespace {

qint64 compter(const store::Connexion& cn, const QString& table) {
    store::Instruction i(cn, QStringLiteral("SELECT count(*) FROM %1").arg(store::citer(table)));
    i.avancer();
    return i.colonneEntier(0);
}

// Every client judged as the analysis judges it, and its note measured as the
// note check measures it.
void jugerClients(commun::Variables& vars, store::Connexion& cn, Chiffres& c,
                  ObservateurRassemblement* obs) {
    store::Recordset rs;
    rs.Open(QStringLiteral("FCLI"), cn);
    const int code = clients::indexColonne(rs, QStringLiteral("Code"));
    if (!vars.cnCommunes.ouverte()) {
        vars.cnCommunes.OuvreCommunes(vars.dossier);
    }
    clients::Juge juge(rs, vars.cnCommunes);
    const platform::IndexDossier notes(vars.dossier);
    const qint64 total = rs.RecordCount();
    const int colonnes = std::min(rs.NbChamps(), exports::kColonnesClients);
    qint64 n = 0;
    if (!rs.Eof()) {
        rs.MoveFirst();
    }
    while (!rs.Eof()) {
        if (obs) {
            obs->clients(++n, total);
        }
        const clients::Evaluation e = juge.evaluer();
        if (e.enErreur()) {
            for (int d = 0; d < clients::kNbDrapeaux; ++d) {
                c.erreursParChamp[static_cast<std::size_t>(d)] +=
                    e.drapeaux[static_cast<std::size_t>(d)];
            }
            c.clientsEnErreur.push_back(e);
        }
        const QString leCode = rs.Champ(code).texte();
        const QString note =
            notes.chercher(QStringLiteral("Cli") + leCode + QStringLiteral(".RTF"));
        QString texte;
        const platform::Lecture lue =
            note.isEmpty() ? platform::Lecture{} : platform::lireFichier(note);
        if (!lue.lu()) {
            c.notesIllisibles.push_back(
                {leCode, e.NomClient.trimmed(), QFileInfo(note).fileName(), lue.cause});
        } else if (!note.isEmpty()) {
            texte = platform::texteNote(lue.contenu);
            if (texte.size() > clients::kLimiteNote) {
                const int longueur = static_cast<int>(texte.size());
                c.notesLongues.push_back(
                    {leCode, e.NomClient, longueur, longueur - clients::kLimiteNote});
            }
        }
        // Its line as an export would write it, the note last.
        if (!e.enErreur()) {
            bool ambigu =
                exports::valeurAmbigue(QStringView(texte).left(clients::kLimiteNote), true);
            for (int i = 0; i < colonnes && !ambigu; ++i) {
                const store::Valeur v = rs.Champ(i);
                ambigu = v.estTexte() && exports::valeurAmbigue(v.texte(), false);
            }
            if (ambigu) {
                c.clientsAmbigus.push_back({leCode, e.NomClient.trimmed()});
            }
        }
        rs.MoveNext();
    }
}

// Every sheet judged by the sheet rules, its client found as the sheet
// analysis finds it.
void jugerFiches(store::Connexion& cn, Chiffres& c, ObservateurRassemblement* obs) {
    // The whole row: its first columns by position make the line an export
    // writes, the memo last.
    store::Instruction fiches(cn, QStringLiteral("SELECT * FROM FTEC ORDER BY rowid"));
    const auto index = [&](const QString& nom) {
        for (int i = 0; i < fiches.nbColonnes(); ++i) {
            if (fiches.nomColonne(i).toCaseFolded() == nom.toCaseFolded()) {
                return i;
            }
        }
        throw store::ErreurStore(
            QStringLiteral("Le champ « %1 » est introuvable dans la table « FTEC ».").arg(nom));
    };
    const int numero = index(QStringLiteral("Numéro"));
    const int codeClient = index(QStringLiteral("Code_Client"));
    const int famille = index(QStringLiteral("Famille"));
    const int memoIndex = index(QStringLiteral("Mémo"));
    const int colonnes = std::min(fiches.nbColonnes(), exports::kColonnesTechniques);
    tech::ClientsDesFiches clients(cn);
    qint64 n = 0;
    while (fiches.avancer()) {
        if (obs) {
            obs->fiches(++n, c.nbFiches);
        }
        const store::Valeur memo = fiches.colonne(memoIndex);
        const bool sansFamille = tech::ErrFamille(fiches.colonne(famille));
        if (!sansFamille) {
            bool ambigu = false;
            for (int i = 0; i < colonnes && !ambigu; ++i) {
                const store::Valeur v = i == memoIndex ? memo : fiches.colonne(i);
                ambigu = v.estTexte() &&
                         exports::valeurAmbigue(v.texte(), i == exports::kColonnesTechniques - 1);
            }
            if (ambigu) {
                c.fichesAmbigues.push_back(
                    {fiches.colonne(numero).texte(), fiches.colonne(codeClient).texte()});
            }
        }
        FicheEnErreur f;
        f.sansFamille = sansFamille;
        f.memoLong = tech::ErrMemo(memo);
        if (!f.sansFamille && !f.memoLong) {
            continue;
        }
        f.numero = fiches.colonne(numero).texte();
        f.longueurMemo = f.memoLong ? static_cast<int>(memo.texte().size()) : 0;
        if (const auto client = clients.client(fiches.colonne(codeClient).texte())) {
            std::tie(f.code, f.nom) = *client;
        }
        c.nbSansFamille += f.sansFamille;
        c.nbMemosLongs += f.memoLong;
        c.fiches.push_back(std::move(f));
    }
}

QDateTime dateJournal(const QString& quand) {
    return QDateTime::fromString(quand, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// A value told apart by its type too: the text "5" is not the number 5.
QString cleValeur(const store::Valeur& v) {
    return QString::number(static_cast<int>(v.type())) + u':' + v.texte();
}

// The clients and sheets named by the journal's keys, each looked up once.
class Noms {
public:
    explicit Noms(const store::Connexion& cn) : m_cn(cn) {}

    // "Nom Prénom" of the client of that code, empty when there is none.
    QString client(const store::Valeur& code) {
        const QString k = cleValeur(code);
        const auto it = m_clients.constFind(k);
        if (it != m_clients.constEnd()) {
            return it.value();
        }
        if (!m_client) {
            // The first test can use the index of the codes, the second tells a12 from A12.
            m_client.emplace(m_cn, QStringLiteral("SELECT \"Nom\", \"Prénom\" FROM FCLI WHERE "
                                                  "\"Code\" = ?1 AND \"Code\" = ?1 COLLATE "
                                                  "BINARY ORDER BY rowid LIMIT 1"));
        }
        m_client->reinitialiser();
        m_client->lier(1, code);
        QString nom;
        if (m_client->avancer()) {
            nom = (m_client->colonneTexte(0) + u' ' + m_client->colonneTexte(1)).trimmed();
        }
        m_client->reinitialiser();
        m_clients.insert(k, nom);
        return nom;
    }

    // "A12 DUPONT Marie" for the client of a sheet; empty when the sheet is gone.
    QString clientDeFiche(const store::Valeur& numero) {
        if (!m_fiche) {
            m_fiche.emplace(m_cn, QStringLiteral("SELECT \"Code_Client\" FROM FTEC WHERE "
                                                 "\"Numéro\" = ? ORDER BY rowid LIMIT 1"));
        }
        m_fiche->reinitialiser();
        m_fiche->lier(1, numero);
        std::optional<store::Valeur> code;
        if (m_fiche->avancer()) {
            code = m_fiche->colonne(0);
        }
        m_fiche->reinitialiser();
        if (!code) {
            return {};
        }
        return (code->texte() + u' ' + client(*code)).trimmed();
    }

private:
    const store::Connexion& m_cn;
    std::optional<store::Instruction> m_client;
    std::optional<store::Instruction> m_fiche;
    QHash<QString, QString> m_clients;
};

// Examples of the tidying shown per column.
constexpr std::size_t kNbExemples = 3;

using store::journal::Entree;

// Every change of the journal sorted by what made it, in one pass. The undo
// batches only mark the batches they undid.
class Tri {
public:
    Tri(const store::Connexion& cn, Journal& j) : m_j(j), m_noms(cn) {}

    // The batches that an undo put back, with when.
    void annulations(const std::vector<Entree>& entrees) {
        for (const Entree& e : entrees) {
            if (e.lotAnnule != 0 && !m_annules.contains(e.lotAnnule)) {
                m_annules.insert(e.lotAnnule, dateJournal(e.quand));
            }
        }
    }

    void trier(const Entree& e) {
        namespace ops = clients::operations;
        const QString& op = e.operation;
        if (op == ops::kRangement) {
            rangement(e);
        } else if (op == ops::kCorrection || op == ops::kCodePostal) {
            Changement c = changement(e);
            c.nom = m_noms.client(e.cle);
            m_j.correctionsMain.push_back(std::move(c));
        } else if (op == ops::kGroupee) {
            groupeeLue(e);
        } else if (op == tech::operations::kFamille) {
            Changement c = changement(e);
            c.nom = m_noms.clientDeFiche(e.cle);
            m_j.familles.push_back(std::move(c));
        } else if (op == tech::operations::kNettoyageMemos) {
            m_memos.insert(cleValeur(e.cle));
        } else if (op == purge::operations::kPurgeClients || op == purge::operations::kPurgeTech) {
            purgeLue(e);
        }
    }

    void finir(const QStringList& colonnesClients) {
        for (ColonneRangee& c : m_j.rangement) {
            if (c.exemples.empty() && m_invisibles.count(c.colonne)) {
                c.exemples.push_back(m_invisibles.at(c.colonne));
            }
        }
        std::stable_sort(m_j.rangement.begin(), m_j.rangement.end(),
                         [&](const ColonneRangee& a, const ColonneRangee& b) {
                             return rang(colonnesClients, a.colonne) <
                                    rang(colonnesClients, b.colonne);
                         });
        m_j.nbClientsRanges = m_clientsRanges.size();
        m_j.nbMemosNettoyes = m_memos.size();
        for (const auto& [lot, g] : m_groupees) {
            CorrectionGroupee& groupee = m_j.correctionsGroupees[g.index];
            groupee.nbClients = g.clients.size();
            // In the fields' order, the most frequent value first within a field.
            std::stable_sort(groupee.remplacements.begin(), groupee.remplacements.end(),
                             [](const ValeurRemplacee& a, const ValeurRemplacee& b) {
                                 const auto ra = rang(clients::colonnesJugees(), a.colonne);
                                 const auto rb = rang(clients::colonnesJugees(), b.colonne);
                                 return ra != rb ? ra < rb : a.nbClients > b.nbClients;
                             });
        }
        // A purge noted before its count was: the keys it deleted.
        for (const auto& [lot, p] : m_purges) {
            if (!p.comptee) {
                m_j.purges[p.index].nbSupprimes = p.cles;
            }
        }
    }

private:
    struct SuiviGroupee {
        std::size_t index = 0;
        QHash<QString, std::size_t> remplacements;
        QSet<QString> clients;
    };
    struct SuiviPurge {
        std::size_t index = 0;
        qint64 cles = 0;
        bool comptee = false;
    };

    static qsizetype rang(const QStringList& ordre, const QString& colonne) {
        const qsizetype i = ordre.indexOf(colonne);
        return i < 0 ? ordre.size() : i;
    }

    std::optional<QDateTime> annulee(qint64 lot) const {
        const auto it = m_annules.constFind(lot);
        return it == m_annules.constEnd() ? std::nullopt : std::optional<QDateTime>(it.value());
    }

    Changement changement(const Entree& e) const {
        return {dateJournal(e.quand), e.operation, e.cle.texte(), {}, e.colonne, e.avant, e.apres,
                annulee(e.lot)};
    }

    void rangement(const Entree& e) {
        ++m_j.nbValeursRangees;
        m_clientsRanges.insert(cleValeur(e.cle));
        auto it = m_colonnes.find(e.colonne);
        if (it == m_colonnes.end()) {
            it = m_colonnes.emplace(e.colonne, m_j.rangement.size()).first;
            m_j.rangement.push_back({e.colonne, 0, {}});
        }
        ColonneRangee& c = m_j.rangement[it->second];
        ++c.nbValeurs;
        // Examples the eye can tell apart; Null made empty only when there is nothing else.
        const bool visible = e.avant.texte() != e.apres.texte();
        const bool nouveau =
            std::none_of(c.exemples.begin(), c.exemples.end(), [&e](const Changement& x) {
                return x.avant.texte() == e.avant.texte() && x.apres.texte() == e.apres.texte();
            });
        if (visible && nouveau && c.exemples.size() < kNbExemples) {
            c.exemples.push_back(changement(e));
        } else if (!visible && !m_invisibles.count(e.colonne)) {
            m_invisibles.emplace(e.colonne, changement(e));
        }
    }

    void groupeeLue(const Entree& e) {
        auto it = m_groupees.find(e.lot);
        if (it == m_groupees.end()) {
            it = m_groupees.emplace(e.lot, SuiviGroupee{m_j.correctionsGroupees.size(), {}, {}})
                     .first;
            m_j.correctionsGroupees.push_back({dateJournal(e.quand), {}, 0, annulee(e.lot)});
        }
        SuiviGroupee& g = it->second;
        CorrectionGroupee& groupee = m_j.correctionsGroupees[g.index];
        g.clients.insert(cleValeur(e.cle));
        const QString k = e.colonne + u'\x1f' + cleValeur(e.avant) + u'\x1f' + cleValeur(e.apres);
        auto r = g.remplacements.constFind(k);
        if (r == g.remplacements.constEnd()) {
            r = g.remplacements.insert(k, groupee.remplacements.size());
            groupee.remplacements.push_back({e.colonne, e.avant, e.apres, 0});
        }
        ++groupee.remplacements[r.value()].nbClients;
    }

    void purgeLue(const Entree& e) {
        auto it = m_purges.find(e.lot);
        if (it == m_purges.end()) {
            it = m_purges.emplace(e.lot, SuiviPurge{m_j.purges.size(), 0, false}).first;
            m_j.purges.push_back({dateJournal(e.quand),
                                  e.operation == purge::operations::kPurgeClients,
                                  {},
                                  0,
                                  annulee(e.lot)});
        }
        SuiviPurge& p = it->second;
        PurgeFaite& faite = m_j.purges[p.index];
        if (e.colonne == purge::operations::kDateLimite) {
            if (const auto serie = store::dates::lireIso(e.apres.texte())) {
                faite.dateLimite = store::dates::depuisSerie(*serie).date();
            }
        } else if (e.colonne == purge::operations::kLignesSupprimees) {
            faite.nbSupprimes = e.apres.texte().toLongLong();
            p.comptee = true;
        } else if (e.colonne.isEmpty()) {
            ++p.cles;
        }
    }

    Journal& m_j;
    Noms m_noms;
    QHash<qint64, QDateTime> m_annules;
    std::map<QString, std::size_t> m_colonnes;
    std::map<QString, Changement> m_invisibles;
    QSet<QString> m_clientsRanges;
    QSet<QString> m_memos;
    std::map<qint64, SuiviGroupee> m_groupees;
    std::map<qint64, SuiviPurge> m_purges;
};

void lireJournal(const store::Connexion& cn, Journal& j) {
    const std::vector<clients::AnalyseNotee> analyses = clients::analysesNotees(cn);
    j.nbAnalyses = static_cast<qint64>(analyses.size());
    if (!analyses.empty()) {
        j.premiereAnalyse = analyses.front();
    }
    const std::vector<Entree> entrees = store::journal::lire(cn);
    Tri tri(cn, j);
    tri.annulations(entrees);
    for (const Entree& e : entrees) {
        tri.trier(e);
    }
    tri.finir(cn.colonnes(QStringLiteral("FCLI")));
}

// Lines ended by CR LF in a run of code units, and whether text follows the last one.
template <class Unite>
qint64 lignes(const Unite* debut, qsizetype taille) {
    qint64 n = 0;
    for (qsizetype i = 0; i + 1 < taille; ++i) {
        if (debut[i] == Unite('\r') && debut[i + 1] == Unite('\n')) {
            ++n;
            ++i;
        }
    }
    const bool fin =
        taille >= 2 && debut[taille - 2] == Unite('\r') && debut[taille - 1] == Unite('\n');
    return n + (taille > 0 && !fin ? 1 : 0);
}

}  // namespace

const QStringList& libellesChamps() {
    static const QStringList l = {QStringLiteral("Nom"),
                                  QStringLiteral("Prénom"),
                                  QStringLiteral("Adresse"),
                                  QStringLiteral("Adresse 2"),
                                  QStringLiteral("Ville"),
                                  QStringLiteral("Code postal"),
                                  QStringLiteral("Catégorie d'âge"),
                                  QStringLiteral("Mois de naissance"),
                                  QStringLiteral("Téléphone 1"),
                                  QStringLiteral("Téléphone 2"),
                                  QStringLiteral("Code-barres"),
                                  QStringLiteral("E-mail"),
                                  QStringLiteral("Date de naissance")};
    return l;
}

QString libelleColonne(const QString& colonne) {
    const qsizetype d = clients::colonnesJugees().indexOf(colonne);
    return d >= 0 ? libellesChamps()[d] : colonne;
}

QString champsEnErreur(const clients::Evaluation& e) {
    QStringList champs;
    for (int d = 0; d < clients::kNbDrapeaux; ++d) {
        if (e.drapeaux[static_cast<std::size_t>(d)]) {
            champs << libellesChamps()[d];
        }
    }
    return champs.join(QStringLiteral(", "));
}

qint64 compterLignes(const QByteArray& contenu) {
    qint64 n = 0;
    if (contenu.startsWith("\xFF\xFE")) {
        const QByteArray corps = contenu.mid(2);
        std::vector<char16_t> unites(static_cast<std::size_t>(corps.size() / 2));
        for (std::size_t i = 0; i < unites.size(); ++i) {
            unites[i] = static_cast<char16_t>(static_cast<uchar>(corps[2 * i]) |
                                              static_cast<uchar>(corps[2 * i + 1]) << 8);
        }
        n = lignes(unites.data(), static_cast<qsizetype>(unites.size()));
    } else {
        n = lignes(contenu.constData(), contenu.size());
    }
    return std::max<qint64>(0, n - 1);
}

std::vector<FichierExport> fichiersExport(const QString& dossier, const QString& prefixe) {
    std::vector<std::pair<qint64, FichierExport>> trouves;
    const QDir d(dossier);
    for (const QString& nom : d.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!exports::estAncienExport(nom, prefixe, {})) {
            continue;
        }
        QFile f(d.filePath(nom));
        if (!f.open(QIODevice::ReadOnly)) {
            throw platform::ErreurFichier(
                f.fileName(), QStringLiteral("Impossible de lire le fichier d'export « %1 ».")
                                  .arg(QDir::toNativeSeparators(f.fileName())));
        }
        FichierExport e;
        e.nom = nom;
        e.lignes = compterLignes(f.readAll());
        e.octets = f.size();
        e.date = QFileInfo(f).lastModified();
        const qint64 numero = nom.mid(prefixe.size() + 1).chopped(4).toLongLong();
        trouves.emplace_back(numero, std::move(e));
    }
    std::sort(trouves.begin(), trouves.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<FichierExport> fichiers;
    for (auto& [numero, f] : trouves) {
        fichiers.push_back(std::move(f));
    }
    return fichiers;
}

Chiffres rassembler(commun::Variables& vars, ObservateurRassemblement* observateur) {
    Chiffres c;
    c.dossier = QDir::toNativeSeparators(QFileInfo(vars.dossier).absoluteFilePath());
    c.date = QDateTime::currentDateTime();
    c.villeDefaut = vars.VilleDefaut;
    c.cpDefaut = vars.CpDefaut;
    if (platform::existe(vars.dossier, QStringLiteral("BdClient.sav"))) {
        c.sauvegarde = QFileInfo(platform::resoudre(vars.dossier, QStringLiteral("BdClient.sav")))
                           .lastModified();
    }
    c.nbFichiersNotes = commun::compterFichiersRtf(vars.dossier);

    store::Connexion cn(vars.cheminBd(), store::Connexion::Acces::Lecture);
    c.tailleBase = QFileInfo(cn.chemin()).size();
    {
        // The counts, the clients and the sheets are the database as of one moment.
        const store::TransactionLecture lecture(cn);
        c.nbClients = compter(cn, QStringLiteral("FCLI"));
        c.nbFiches = compter(cn, QStringLiteral("FTEC"));
        c.nbVisites = compter(cn, QStringLiteral("FCONS"));
        jugerClients(vars, cn, c, observateur);
        jugerFiches(cn, c, observateur);
        lireJournal(cn, c.journal);
    }
    c.doublons = doublons::lireBilanDoublons(vars.dossier);
    c.fichiersClients = fichiersExport(vars.dossier, QStringLiteral("FCLI"));
    c.fichiersFiches = fichiersExport(vars.dossier, QStringLiteral("FTEC"));
    return c;
}

}  // namespace rapport
