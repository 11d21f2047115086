#include "doublons/Fusion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

#include "platform/ErreurFichier.h"
#include "platform/Fichiers.h"
#include "store/Connexion.h"
#include "store/Erreur.h"
#include "store/Journal.h"

namespace doublons {

namespace {

using store::Valeur;
namespace journal = store::journal;

const QString kAnnulation = QStringLiteral("Annulation");

QString cheminBase(const QString& dossier) {
    return QDir(dossier).filePath(QStringLiteral("BdClient.mdb"));
}

QString nomNote(const QString& code) {
    return QStringLiteral("Cli") + code + QStringLiteral(".RTF");
}

Valeur codeDe(const store::Connexion& cn, qint64 rowid) {
    store::Instruction i(cn, QStringLiteral("SELECT \"Code\" FROM FCLI WHERE rowid = ?"));
    i.lier(1, rowid);
    if (!i.avancer()) {
        throw store::ErreurStore(
            QStringLiteral("Un des clients à fusionner n'est plus dans la base de données : "
                           "cherchez les doublons de nouveau."));
    }
    return i.colonne(0);
}

// The column of FCLI as the table spells it; empty when it has none.
QString colonneFcli(const QStringList& colonnes, const QString& voulue) {
    for (const QString& c : colonnes) {
        if (c.compare(voulue, Qt::CaseInsensitive) == 0) {
            return c;
        }
    }
    return {};
}

// A note renamed, put back by the destructor unless kept: a failure after
// the rename leaves the folder as it was.
class Renommage {
public:
    Renommage() = default;
    Renommage(const Renommage&) = delete;
    Renommage& operator=(const Renommage&) = delete;
    ~Renommage() {
        if (!m_de.isEmpty()) {
            QFile::rename(m_vers, m_de);
        }
    }
    void renommer(const QString& de, const QString& vers) {
        if (QFileInfo::exists(vers) || !QFile::rename(de, vers)) {
            throw platform::ErreurFichier(
                de, QStringLiteral("La note « %1 » ne peut pas être renommée en « %2 ».")
                        .arg(QFileInfo(de).fileName(), QFileInfo(vers).fileName()));
        }
        m_de = de;
        m_vers = vers;
    }
    void garder() { m_de.clear(); }

private:
    QString m_de;
    QString m_vers;
};

}  // namespace

BilanFusion fusionner(const QString& dossier, const DemandeFusion& demande) {
    std::vector<qint64> rowids{demande.garde};
    for (const qint64 r : demande.autres) {
        if (std::find(rowids.begin(), rowids.end(), r) != rowids.end()) {
            throw store::ErreurStore(QStringLiteral("Un client est donné deux fois à la fusion."));
        }
        rowids.push_back(r);
    }
    if (demande.autres.empty()) {
        throw store::ErreurStore(QStringLiteral("Une fusion réunit au moins deux clients."));
    }
    store::Connexion cn(cheminBase(dossier));
    // Held from the first read to the commit: nothing can change in between.
    store::Transaction transaction(cn);
    const Valeur codeGarde = codeDe(cn, demande.garde);
    std::vector<Valeur> codes;
    for (const qint64 r : demande.autres) {
        codes.push_back(codeDe(cn, r));
    }
    const QStringList colonnes = cn.colonnes(QStringLiteral("FCLI"));
    QStringList listeRowids;
    for (const qint64 r : rowids) {
        listeRowids << QString::number(r);
    }

    BilanFusion bilan;
    bilan.codeGarde = codeGarde.texte();
    bilan.lot = journal::activer(cn, kOperationFusion);
    journal::noterColonnes(cn, QStringLiteral("FCLI"));
    journal::noter(cn, QStringLiteral("FCLI"), codeGarde, kColonneGarde, {},
                   Valeur::entier(demande.garde));

    // A code that a client outside the merge still holds keeps what hangs on
    // it; the kept code has nothing to move.
    store::Instruction ailleurs(cn, QStringLiteral("SELECT 1 FROM FCLI WHERE \"Code\" = ? COLLATE "
                                                   "NOCASE AND rowid NOT IN (%1) LIMIT 1")
                                        .arg(listeRowids.join(u',')));
    QSet<QString> vus{store::sansCasse(codeGarde.texte())};
    std::vector<Valeur> aDeplacer;
    for (const Valeur& code : codes) {
        bilan.codesFusionnes << code.texte();
        ailleurs.reinitialiser();
        ailleurs.lier(1, code);
        const QString cle = store::sansCasse(code.texte());
        if (!vus.contains(cle) && !ailleurs.avancer()) {
            aDeplacer.push_back(code);
        }
        vus.insert(cle);
    }
    ailleurs.reinitialiser();

    // The note first: a failure of any later statement renames it back.
    Renommage renommage;
    const platform::IndexDossier notes(dossier);
    const bool gardeANote = !notes.chercher(nomNote(codeGarde.texte())).isEmpty();
    for (const Valeur& code : aDeplacer) {
        const QString note = notes.chercher(nomNote(code.texte()));
        if (note.isEmpty()) {
            continue;
        }
        if (gardeANote || !bilan.noteRenommee.isEmpty()) {
            bilan.notesLaissees << QFileInfo(note).fileName();
            continue;
        }
        const QString vers = QDir(dossier).filePath(nomNote(codeGarde.texte()));
        journal::noter(cn, kTableNotes, codeGarde, kColonneNote,
                       Valeur::texte(QFileInfo(note).fileName()),
                       Valeur::texte(QFileInfo(vers).fileName()));
        renommage.renommer(note, vers);
        bilan.noteRenommee = QFileInfo(note).fileName();
    }

    // The row's own key is never taken: another member's would clash with it.
    QStringList cles;
    {
        store::Instruction i(cn, QStringLiteral("SELECT name FROM pragma_table_info('FCLI') "
                                                "WHERE pk > 0"));
        while (i.avancer()) {
            cles << i.colonneTexte(0);
        }
    }
    for (const auto& [voulue, source] : demande.sources) {
        const QString colonne = colonneFcli(colonnes, voulue);
        if (source == demande.garde || colonne.isEmpty() ||
            colonne.compare(QLatin1String("Code"), Qt::CaseInsensitive) == 0 ||
            cles.contains(colonne, Qt::CaseInsensitive)) {
            continue;
        }
        if (std::find(rowids.begin(), rowids.end(), source) == rowids.end()) {
            throw store::ErreurStore(
                QStringLiteral("La valeur de « %1 » vient d'un client qui n'est pas fusionné.")
                    .arg(colonne));
        }
        // Copied by SQLite itself: the value as stored, type and bytes.
        store::Instruction i(cn, QStringLiteral("UPDATE FCLI SET %1 = (SELECT %1 FROM FCLI WHERE "
                                                "rowid = ?1) WHERE rowid = ?2")
                                     .arg(store::citer(colonne)));
        i.lier(1, source).lier(2, demande.garde).executer();
    }

    store::Instruction fiches(cn, QStringLiteral("UPDATE FTEC SET \"Code_Client\" = ?1 WHERE "
                                                 "\"Code_Client\" = ?2 COLLATE NOCASE"));
    // FCONS is not followed by the journal's triggers: each visit moved is
    // written to it here, by its rowid.
    store::Instruction visites(cn, QStringLiteral("SELECT rowid, \"CODE_CLIENT\" FROM FCONS "
                                                  "WHERE \"CODE_CLIENT\" = ? COLLATE NOCASE"));
    store::Instruction visite(
        cn, QStringLiteral("UPDATE FCONS SET \"CODE_CLIENT\" = ? WHERE rowid = ?"));
    for (const Valeur& code : aDeplacer) {
        fiches.reinitialiser();
        fiches.lier(1, codeGarde).lier(2, code).executer();
        bilan.nbFiches += static_cast<int>(cn.lignesModifiees());
        visites.reinitialiser();
        visites.lier(1, code);
        std::vector<std::pair<qint64, Valeur>> lues;
        while (visites.avancer()) {
            lues.emplace_back(visites.colonneEntier(0), visites.colonne(1));
        }
        visites.reinitialiser();
        for (const auto& [rowid, avant] : lues) {
            journal::noter(cn, QStringLiteral("FCONS"), Valeur::entier(rowid),
                           QStringLiteral("CODE_CLIENT"), avant, codeGarde);
            visite.reinitialiser();
            visite.lier(1, codeGarde).lier(2, rowid).executer();
            ++bilan.nbVisites;
        }
    }

    store::Instruction supprimer(cn, QStringLiteral("DELETE FROM FCLI WHERE rowid = ?"));
    for (const qint64 r : demande.autres) {
        supprimer.reinitialiser();
        supprimer.lier(1, r).executer();
    }
    transaction.valider();
    renommage.garder();
    journal::desactiver(cn);
    return bilan;
}

ResultatAnnulationFusion annulerFusion(const QString& dossier, qint64 lot) {
    store::Connexion cn(cheminBase(dossier));
    store::Transaction transaction(cn);
    ResultatAnnulationFusion r;
    const std::vector<journal::Entree> entrees = journal::lire(cn, lot);
    const auto garde = std::find_if(entrees.begin(), entrees.end(), [](const journal::Entree& e) {
        return e.operation == kOperationFusion && e.colonne == kColonneGarde;
    });
    const bool annulee = [&cn, lot] {
        store::Instruction i(cn, QStringLiteral("SELECT 1 FROM %1 WHERE \"LotAnnule\" = ?")
                                     .arg(store::citer(journal::table())));
        i.lier(1, lot);
        return i.avancer();
    }();
    if (garde == entrees.end() || annulee) {
        r.refus = QStringLiteral("Cette fusion n'est pas dans le journal ou a déjà été annulée.");
        return r;
    }
    const qint64 rowidGarde = garde->apres.texte().toLongLong();
    r.codeGarde = garde->cle.texte();

    // Every cell the merge wrote must still hold what it wrote.
    struct Case {
        QString table;
        QString colonne;
        Valeur avant;
        Valeur apres;
        std::vector<qint64> lignes;
    };
    std::vector<Case> cases;
    const QString changees = QStringLiteral(
        "La fusion ne peut pas être annulée : le client %1, ses fiches ou ses visites ont été "
        "modifiés depuis.");
    QString noteDe;
    QString noteVers;
    for (const journal::Entree& e : entrees) {
        if (e.colonne.isEmpty() || e.colonne == journal::kColonnesSupprimees ||
            e.colonne == kColonneGarde) {
            continue;
        }
        if (e.table == kTableNotes) {
            noteDe = e.avant.texte();
            noteVers = e.apres.texte();
            continue;
        }
        QString condition;
        if (e.table == QLatin1String("FCLI")) {
            condition =
                QStringLiteral("rowid = %1 AND \"Code\" = ?1 COLLATE BINARY").arg(rowidGarde);
        } else if (e.table == QLatin1String("FTEC")) {
            condition = QStringLiteral("\"Numéro\" = ?1");
        } else {
            condition = QStringLiteral("rowid = ?1");
        }
        store::Instruction i(cn,
                             QStringLiteral("SELECT rowid FROM %1 WHERE %2 AND %3 IS ?2 "
                                            "COLLATE BINARY")
                                 .arg(store::citer(e.table), condition, store::citer(e.colonne)));
        i.lier(1, e.cle).lier(2, e.apres);
        Case c{e.table, e.colonne, e.avant, e.apres, {}};
        while (i.avancer()) {
            c.lignes.push_back(i.colonneEntier(0));
        }
        if (c.lignes.empty()) {
            r.refus = changees.arg(r.codeGarde);
            return r;
        }
        cases.push_back(std::move(c));
    }
    const std::vector<journal::LigneSupprimee> lignes = journal::lignesSupprimees(cn, lot);
    store::Instruction prise(cn, QStringLiteral("SELECT 1 FROM FCLI WHERE rowid = ?1 OR (\"Code\" "
                                                "= ?2 AND rowid <> ?3)"));
    for (const journal::LigneSupprimee& l : lignes) {
        prise.reinitialiser();
        prise.lier(1, journal::rowidSupprime(l).value_or(0)).lier(2, l.cle).lier(3, rowidGarde);
        if (store::sansCasse(l.cle.texte()) != store::sansCasse(r.codeGarde) && prise.avancer()) {
            r.refus = QStringLiteral(
                          "La fusion ne peut pas être annulée : le fichier a reçu depuis un client "
                          "de code %1.")
                          .arg(l.cle.texte());
            return r;
        }
        r.codes << l.cle.texte();
        r.rowids.push_back(journal::rowidSupprime(l).value_or(0));
    }
    prise.reinitialiser();
    const platform::IndexDossier notes(dossier);
    if (!noteVers.isEmpty() &&
        (notes.chercher(noteVers).isEmpty() || !notes.chercher(noteDe).isEmpty())) {
        r.refus = QStringLiteral(
                      "La fusion ne peut pas être annulée : la note « %1 » a été déplacée ou "
                      "remplacée depuis.")
                      .arg(noteVers);
        return r;
    }

    journal::activer(cn, kAnnulation, lot);
    Renommage renommage;
    if (!noteVers.isEmpty()) {
        journal::noter(cn, kTableNotes, Valeur::texte(r.codeGarde), kColonneNote,
                       Valeur::texte(noteVers), Valeur::texte(noteDe));
        renommage.renommer(notes.chercher(noteVers), QDir(dossier).filePath(noteDe));
    }
    for (const Case& c : cases) {
        store::Instruction ecrire(cn, QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                                          .arg(store::citer(c.table), store::citer(c.colonne)));
        for (const qint64 ligne : c.lignes) {
            ecrire.reinitialiser();
            ecrire.lier(1, c.avant).lier(2, ligne).executer();
            if (c.table == QLatin1String("FCONS")) {
                journal::noter(cn, c.table, Valeur::entier(ligne), c.colonne, c.apres, c.avant);
            }
        }
    }
    journal::remettre(cn, lignes);
    // Marks the merge undone even when no column changed back.
    journal::noter(cn, QStringLiteral("FCLI"), {}, QStringLiteral("Clients remis"), {},
                   Valeur::entier(static_cast<qint64>(lignes.size())));
    transaction.valider();
    renommage.garder();
    journal::desactiver(cn);
    r.faite = true;
    r.rowids.insert(r.rowids.begin(), rowidGarde);
    return r;
}

QString messageFusion(const BilanFusion& bilan) {
    return QStringLiteral(
               "Fusion faite : %1 clients réunis sous le code %2 (%3 fiche(s), %4 visite(s) "
               "déplacée(s)).")
        .arg(bilan.codesFusionnes.size() + 1)
        .arg(bilan.codeGarde)
        .arg(bilan.nbFiches)
        .arg(bilan.nbVisites);
}

}  // namespace doublons
