#include "rapport/Chiffres.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>

#include "app/Variables.h"
#include "clients/Analyse.h"
#include "export/LotFichiers.h"
#include "platform/ErreurFichier.h"
#include "platform/Fichiers.h"
#include "platform/Rtf.h"
#include "store/Connexion.h"
#include "store/Erreur.h"
#include "store/Recordset.h"
#include "tech/AnalyseTech.h"

namespace rapport {

namespace {

// One read transaction over the whole gathering: the counts, the clients and
// the sheets are the database as of one moment.
class Lecture {
public:
    explicit Lecture(store::Connexion& cn) : m_cn(cn) { m_cn.executer(QStringLiteral("BEGIN")); }
    ~Lecture() {
        try {
            m_cn.executer(QStringLiteral("COMMIT"));
        } catch (const store::ErreurStore&) {
            // Nothing was written; closing the connection ends the transaction.
        }
    }
    Lecture(const Lecture&) = delete;
    Lecture& operator=(const Lecture&) = delete;

private:
    store::Connexion& m_cn;
};

qint64 compter(const store::Connexion& cn, const QString& table) {
    store::Instruction i(cn, QStringLiteral("SELECT count(*) FROM %1").arg(store::citer(table)));
    i.pas();
    return i.colonneEntier(0);
}

// Every client judged as the analysis judges it, and its note measured as the
// note check measures it.
void jugerClients(app::Variables& vars, store::Connexion& cn, Chiffres& c, Observateur* obs) {
    store::Recordset rs;
    rs.Open(QStringLiteral("FCLI"), cn);
    const int code = clients::indexColonne(rs, QStringLiteral("Code"));
    if (!vars.cnCommunes.ouverte()) {
        vars.cnCommunes.OuvreCommunes(vars.dossier);
    }
    clients::Juge juge(rs, vars.cnCommunes);
    const platform::IndexDossier notes(vars.dossier);
    const qint64 total = rs.RecordCount();
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
        if (!note.isEmpty()) {
            const QString texte = platform::lireNote(note);
            if (texte.size() > clients::kLimiteNote) {
                const int longueur = static_cast<int>(texte.size());
                c.notesLongues.push_back(
                    {leCode, e.NomClient, longueur, longueur - clients::kLimiteNote});
            }
        }
        rs.MoveNext();
    }
}

// Every sheet judged by the sheet rules, its client found as the sheet
// analysis finds it.
void jugerFiches(store::Connexion& cn, Chiffres& c, Observateur* obs) {
    store::Instruction fiches(cn, QStringLiteral("SELECT \"Numéro\", \"Code_Client\", \"Famille\", "
                                                 "\"Mémo\" FROM FTEC ORDER BY rowid"));
    std::optional<store::Instruction> client;
    qint64 n = 0;
    while (fiches.pas()) {
        if (obs) {
            obs->fiches(++n, c.nbFiches);
        }
        const store::Valeur memo = fiches.colonne(3);
        FicheEnErreur f;
        f.sansFamille = tech::ErrFamille(fiches.colonne(2));
        f.memoLong = tech::ErrMemo(memo);
        if (!f.sansFamille && !f.memoLong) {
            continue;
        }
        f.numero = fiches.colonne(0).texte();
        f.longueurMemo = f.memoLong ? static_cast<int>(memo.texte().size()) : 0;
        if (!client) {
            client.emplace(cn, QStringLiteral("SELECT \"Code\", \"Nom\", \"Prénom\" FROM FCLI "
                                              "WHERE \"Code\" = ? ORDER BY rowid LIMIT 1"));
        }
        client->reinitialiser();
        client->lier(1, fiches.colonne(1).texte());
        if (client->pas()) {
            f.code = client->colonne(0).texte();
            f.nom = client->colonne(1).texte() + u' ' + client->colonne(2).texte();
        }
        client->reinitialiser();
        c.nbSansFamille += f.sansFamille;
        c.nbMemosLongs += f.memoLong;
        c.fiches.push_back(std::move(f));
    }
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

Chiffres rassembler(app::Variables& vars, Observateur* observateur) {
    Chiffres c;
    c.dossier = QDir::toNativeSeparators(QFileInfo(vars.dossier).absoluteFilePath());
    c.date = QDateTime::currentDateTime();
    c.villeDefaut = vars.VilleDefaut;
    c.cpDefaut = vars.CpDefaut;
    if (platform::existe(vars.dossier, QStringLiteral("BdClient.sav"))) {
        c.sauvegarde = QFileInfo(platform::resoudre(vars.dossier, QStringLiteral("BdClient.sav")))
                           .lastModified();
    }
    c.nbFichiersNotes = app::compterFichiersRtf(vars.dossier);

    store::Connexion cn(vars.cheminBd(), store::Connexion::Acces::Lecture);
    c.tailleBase = QFileInfo(cn.chemin()).size();
    {
        Lecture lecture(cn);
        c.nbClients = compter(cn, QStringLiteral("FCLI"));
        c.nbFiches = compter(cn, QStringLiteral("FTEC"));
        c.nbVisites = compter(cn, QStringLiteral("FCONS"));
        jugerClients(vars, cn, c, observateur);
        jugerFiches(cn, c, observateur);
    }
    c.fichiersClients = fichiersExport(vars.dossier, QStringLiteral("FCLI"));
    c.fichiersFiches = fichiersExport(vars.dossier, QStringLiteral("FTEC"));
    return c;
}

}  // namespace rapport
