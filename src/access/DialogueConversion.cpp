#include "access/DialogueConversion.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>

#include "access/Erreur.h"
#include "commun/Messages.h"
#include "ui_DialogueConversion.h"

namespace acces {

namespace {

constexpr int kRepeintMs = 50;

// Non-breaking spaces: a wrapped line never leaves a guillemet alone.
QString cite(const QString& nom) {
    return QStringLiteral("«\u00A0%1\u00A0»").arg(nom);
}

// The same for the guillemets of a message written by the core.
QString insecables(QString texte) {
    return texte.replace(QStringLiteral("« "), QStringLiteral("«\u00A0"))
        .replace(QStringLiteral(" »"), QStringLiteral("\u00A0»"));
}

QString enumerer(const QStringList& noms) {
    if (noms.size() < 2) {
        return noms.join(QString());
    }
    return noms.mid(0, noms.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" et ") +
           noms.back();
}

QString question(const std::vector<FichierAccess>& fichiers) {
    QStringList noms;
    QStringList sauvegardes;
    for (const FichierAccess& f : fichiers) {
        noms << cite(f.nom);
        sauvegardes << cite(QFileInfo(nomSauvegarde(f.chemin)).fileName());
    }
    if (fichiers.size() == 1) {
        return QStringLiteral(
                   "Le fichier %1 est une base Microsoft Access (%2).\n\n"
                   "Le programme travaille sur une copie convertie de ce fichier ; l'original est "
                   "conservé sans modification sous le nom %3.\n\n"
                   "Convertir maintenant ? (Non quitte le programme.)")
            .arg(noms[0], fichiers[0].version, sauvegardes[0]);
    }
    return QStringLiteral(
               "Les fichiers %1 sont des bases Microsoft Access.\n\n"
               "Le programme travaille sur des copies converties de ces fichiers ; les originaux "
               "sont conservés sans modification sous les noms %2.\n\n"
               "Convertir maintenant ? (Non quitte le programme.)")
        .arg(enumerer(noms), enumerer(sauvegardes));
}

}  // namespace

DialogueConversion::DialogueConversion(const FichierAccess& fichier, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::DialogueConversion>()) {
    m_ui->setupUi(this);
    setWindowTitle(commun::titreApplication());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_ui->lblFichier->setText(QStringLiteral("Conversion de %1 (Microsoft Access, %2) en cours.")
                                  .arg(cite(fichier.nom), fichier.version));
    m_ui->tblTables->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_ui->tblTables->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_dernierRepeint.start();
}

DialogueConversion::~DialogueConversion() = default;

void DialogueConversion::tables(const std::vector<TableConvertie>& tables) {
    m_tables = tables;
    m_faites.assign(tables.size(), 0);
    m_total = 0;
    m_ui->tblTables->setRowCount(static_cast<int>(tables.size()));
    for (size_t i = 0; i < tables.size(); ++i) {
        m_total += tables[i].lignes;
        m_ui->tblTables->setItem(static_cast<int>(i), 0, new QTableWidgetItem(tables[i].nom));
        auto* lignes = new QTableWidgetItem;
        lignes->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_ui->tblTables->setItem(static_cast<int>(i), 1, lignes);
        afficher(static_cast<int>(i), 0);
    }
    laisserPasser(true);
}

void DialogueConversion::progression(int table, qint64 faites, qint64 /*total*/) {
    afficher(table, faites);
    laisserPasser(false);
}

void DialogueConversion::tableFaite(int table, qint64 lignes) {
    afficher(table, lignes);
    laisserPasser(false);
}

void DialogueConversion::etape(const QString& texte) {
    m_ui->lblEtape->setText(texte);
    laisserPasser(true);
}

void DialogueConversion::attente() {
    laisserPasser(false);
}

void DialogueConversion::afficher(int table, qint64 faites) {
    if (table < 0 || table >= static_cast<int>(m_tables.size())) {
        return;
    }
    m_faites[static_cast<size_t>(table)] = faites;
    m_ui->tblTables->item(table, 1)->setText(
        QStringLiteral("%1 / %2").arg(faites).arg(m_tables[static_cast<size_t>(table)].lignes));
    qint64 toutes = 0;
    for (const qint64 f : m_faites) {
        toutes += f;
    }
    m_ui->barreProgression->setValue(m_total > 0 ? static_cast<int>(toutes * 1000 / m_total) : 0);
    m_ui->tblTables->scrollToItem(m_ui->tblTables->item(table, 0));
}

void DialogueConversion::laisserPasser(bool toutDeSuite) {
    if (toutDeSuite || m_dernierRepeint.elapsed() >= kRepeintMs) {
        QCoreApplication::processEvents();
        m_dernierRepeint.restart();
    }
}

void DialogueConversion::closeEvent(QCloseEvent* evenement) {
    if (m_enCours) {
        evenement->ignore();
        return;
    }
    QDialog::closeEvent(evenement);
}

void DialogueConversion::reject() {
    if (!m_enCours) {
        QDialog::reject();
    }
}

Suite convertirAuDemarrage(const QString& dossier, commun::Messages& messages, QWidget* parent) {
    const std::vector<FichierAccess> fichiers = fichiersAccess(dossier);
    if (fichiers.empty()) {
        return Suite::Continuer;
    }
    for (const FichierAccess& f : fichiers) {
        if (const QString verrou = fichierVerrou(f.chemin); !verrou.isEmpty()) {
            messages.exclamation(
                QStringLiteral("Le fichier %1 se trouve à côté de %2 : le logiciel du salon "
                               "semble ouvert.\nFermez-le avant de continuer.")
                    .arg(cite(QFileInfo(verrou).fileName()), cite(f.nom)));
        }
    }
    if (!messages.question(question(fichiers))) {
        return Suite::Abandon;
    }
    QStringList faits;
    std::vector<Resultat> resultats;
    qint64 remplaces = 0;
    for (const FichierAccess& f : fichiers) {
        DialogueConversion dialogue(f, parent);
        dialogue.show();
        try {
            const Resultat r = convertir(f, {}, dialogue);
            dialogue.terminer();
            faits << QStringLiteral(
                         "%1 : %2 table(s), %3 ligne(s) ; l'original est conservé sous %4.")
                         .arg(cite(f.nom))
                         .arg(r.tables.size())
                         .arg(r.lignes)
                         .arg(cite(QFileInfo(r.sauvegarde).fileName()));
            remplaces += r.remplaces;
            resultats.push_back(r);
        } catch (const ErreurAccess& e) {
            dialogue.terminer();
            dialogue.close();
            messages.exclamation(insecables(e.message() + u'\n' + conclusionEchec(f, resultats)));
            return Suite::Echec;
        }
    }
    QString texte = QStringLiteral("Conversion terminée.\n") + faits.join(u'\n');
    if (remplaces > 0) {
        texte +=
            QStringLiteral("\n%1 caractère(s) sans équivalent ont été remplacés par « \uFFFD ».")
                .arg(remplaces);
    }
    messages.information(texte);
    return Suite::Continuer;
}

}  // namespace acces
