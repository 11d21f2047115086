#include "clients/OngletClients.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QLabel>

#include "clients/Analyse.h"
#include "clients/Annulation.h"
#include "clients/FenetreGroupee.h"
#include "clients/Groupee.h"
#include "clients/PanneauClient.h"
#include "clients/PanneauCp.h"
#include "clients/SuiviAnalyseClients.h"
#include "commun/Cadre.h"
#include "commun/Controles.h"
#include "commun/Messages.h"
#include "commun/Variables.h"
#include "doublons/FenetreDoublons.h"
#include "export/ExportFenetre.h"
#include "platform/Erreur.h"
#include "platform/ErreurFichier.h"
#include "store/Erreur.h"
#include "ui_OngletClients.h"

namespace clients {

OngletClients::OngletClients(commun::Variables& variables, commun::Messages& messages,
                             commun::Cadre& cadre, QWidget* page)
    : QObject(page),
      m_vars(variables),
      m_messages(messages),
      m_cadre(cadre),
      m_fenetre(*page->window()),
      m_ui(std::make_unique<Ui::OngletClients>()) {
    m_ui->setupUi(page);
    // "Nom" is three times as wide as each error column.
    m_ui->ListCli->setColumnWidth(0, 40);
    m_ui->ListCli->setColumnWidth(1, 120);
    for (int c = 2; c < m_ui->ListCli->columnCount(); ++c) {
        m_ui->ListCli->setColumnWidth(c, 40);
    }
    // The narrow columns cut their headers: the whole name shows on hovering.
    QTreeWidgetItem* entete = m_ui->ListCli->headerItem();
    for (int c = 0; c < m_ui->ListCli->columnCount(); ++c) {
        entete->setToolTip(c, entete->text(c));
    }
    m_ui->ListBN->setColumnWidth(0, 80);
    m_panneau = std::make_unique<PanneauClient>(m_vars, m_messages, m_cadre, *m_ui);
    m_panneauCp = std::make_unique<PanneauCp>(m_vars, m_messages, *m_ui, *m_panneau);
    connect(m_ui->btnAnalyseBd, &QPushButton::clicked, this, &OngletClients::btnAnalyseBd_Click);
    connect(m_ui->btnCorrectionGroupee, &QPushButton::clicked, this,
            &OngletClients::btnCorrectionGroupee_Click);
    connect(m_ui->btnAnnulerCorrection, &QPushButton::clicked, this,
            &OngletClients::btnAnnulerCorrection_Click);
    connect(m_ui->btnDoublons, &QPushButton::clicked, this, &OngletClients::btnDoublons_Click);
    // The list loses or gains rows in the panel too, and is locked while the
    // postal code panel is open: the grouped correction follows.
    connect(m_ui->ListCli->model(), &QAbstractItemModel::rowsRemoved, this,
            &OngletClients::majBoutons);
    connect(m_ui->ListCli->model(), &QAbstractItemModel::rowsInserted, this,
            &OngletClients::majBoutons);
    m_ui->ListCli->installEventFilter(this);
    connect(m_ui->btnExportClients, &QPushButton::clicked, this, [this] {
        exports::btnExportClients_Click(m_vars, m_messages, m_cadre, *m_ui->ListCli);
    });
    m_fenetre.installEventFilter(this);
}

OngletClients::~OngletClients() = default;

void OngletClients::Form1_Load() {
    commun::placer(m_ui->Frame2, 6500, 3975, 3105, 3045);
    m_ui->Frame2->hide();
    m_ui->Frame2->raise();
    m_ui->Frame1->setEnabled(false);
    m_ui->lblAttente->setText(QStringLiteral("Analyse du fichier clients\r\nen cours."));
    m_ui->lblAttente->hide();
    m_ui->txtcpdef->setText(m_vars.CpDefaut);
    m_ui->txtvilledef->setText(m_vars.VilleDefaut);
}

bool OngletClients::eventFilter(QObject* objet, QEvent* evenement) {
    if (m_enCours && objet == &m_fenetre && evenement->type() == QEvent::Close) {
        evenement->ignore();
        return true;
    }
    if (objet == m_ui->ListCli && evenement->type() == QEvent::EnabledChange) {
        majBoutons();
    }
    return QObject::eventFilter(objet, evenement);
}

void OngletClients::btnAnalyseBd_Click() {
    Ui::OngletClients& ui = *m_ui;
    commun::Variables& vars = m_vars;
    commun::Messages& messages = m_messages;
    ui.lblAttente->show();
    ui.btnAnalyseBd->setEnabled(false);
    ui.lblcache->show();
    m_fenetre.setEnabled(false);
    m_fenetre.repaint();

    m_enCours = true;
    SuiviAnalyseClients suivi(ui);
    BilanAnalyse bilan;
    QString echec;
    try {
        bilan = AnalyseBd(vars, suivi);
    } catch (const platform::Erreur& e) {
        echec = e.message();
    }
    m_enCours = false;
    suivi.terminer();
    ui.lblAttente->hide();
    ui.Barre->hide();

    if (!echec.isEmpty()) {
        // Every connection of the run is closed by now; the window is usable
        // again, the panel open only on a list that still has clients.
        const bool liste = ui.ListCli->topLevelItemCount() > 0;
        ui.lblcache->setVisible(!liste);
        ui.Frame1->setEnabled(liste);
        ui.lblNbCli->clear();
        m_fenetre.setEnabled(true);
        ui.btnAnalyseBd->setEnabled(true);
        messages.exclamation(echec);
        if (!suivi.avertissements().isEmpty()) {
            messages.exclamation(messageAvertissements(suivi.avertissements()));
        }
        return;
    }

    m_analyseFaite = true;
    majBoutons();
    messages.information(messageAnalyseTerminee());
    if (!suivi.avertissements().isEmpty()) {
        messages.exclamation(messageAvertissements(suivi.avertissements()));
    }
    ui.lblNbCli->clear();
    ui.lblListeCliErr->setText(legendeListe(ui.ListCli->topLevelItemCount(), bilan.NbCli));
    m_fenetre.setEnabled(true);
    if (ui.ListCli->topLevelItemCount() > 0) {
        ui.ListCli->setFocus();
        m_panneau->choisir(ui.ListCli->topLevelItem(0));
        ui.Frame1->setEnabled(true);
        ui.ListCli->setEnabled(true);
        ui.lblcache->hide();
    } else {
        messages.information(messageSansErreur());
    }
    ui.btnAnalyseBd->setEnabled(true);
    emit analyseTerminee();
}

void OngletClients::majBoutons() {
    Ui::OngletClients& ui = *m_ui;
    ui.btnCorrectionGroupee->setEnabled(m_analyseFaite && !m_enCours && ui.ListCli->isEnabled() &&
                                        ui.ListCli->topLevelItemCount() > 0);
    // Not while the postal code panel is open over it.
    ui.btnAnnulerCorrection->setEnabled(m_analyseFaite && !m_enCours && ui.ListCli->isEnabled());
    ui.btnDoublons->setEnabled(m_analyseFaite && !m_enCours && ui.ListCli->isEnabled());
}

void OngletClients::btnDoublons_Click() {
    commun::Variables& vars = m_vars;
    doublons::FenetreDoublons fenetre(vars.dossier, m_messages, &m_fenetre);
    fenetre.show();
    fenetre.chercher();
    fenetre.exec();
    if (fenetre.rowidsGardes().empty()) {
        return;
    }
    // The clients merged away leave the list; the kept ones are judged again.
    QTreeWidget* liste = m_ui->ListCli;
    for (const QString& code : fenetre.codesPartis()) {
        qDeleteAll(liste->findItems(code, Qt::MatchExactly | Qt::MatchCaseSensitive, 0));
    }
    commun::tenter(m_messages, [&] {
        if (!vars.cnCommunes.ouverte()) {
            vars.cnCommunes.OuvreCommunes(vars.dossier);
        }
        Juge juge(vars.cnCommunes);
        vars.CheminBd = vars.cheminBd();
        const store::Connexion cn(vars.CheminBd, store::Connexion::Acces::Lecture);
        store::Instruction total(cn, QStringLiteral("SELECT count(*) FROM FCLI"));
        total.avancer();
        renouvelerListe(jugerLignes(cn, juge, fenetre.rowidsGardes()),
                        static_cast<int>(total.colonneEntier(0)));
    });
}

void OngletClients::btnCorrectionGroupee_Click() {
    Ui::OngletClients& ui = *m_ui;
    std::vector<ClientListe> liste;
    liste.reserve(static_cast<std::size_t>(ui.ListCli->topLevelItemCount()));
    for (int i = 0; i < ui.ListCli->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* ligne = ui.ListCli->topLevelItem(i);
        ClientListe c{ligne->text(0), {}};
        for (int d = 0; d < kNbDrapeaux; ++d) {
            c.drapeaux[static_cast<std::size_t>(d)] = ligne->text(2 + d) == QLatin1String("x");
        }
        liste.push_back(std::move(c));
    }
    std::vector<ValeurFautive> valeurs;
    if (!commun::tenter(m_messages, [&] {
            const commun::Attente attente;
            valeurs = ValeursFautives(m_vars, liste);
        })) {
        return;
    }
    if (valeurs.empty()) {
        m_messages.information(
            QStringLiteral("Aucune valeur en erreur : la liste des clients est à jour."));
        return;
    }
    FenetreGroupee fenetre(
        m_vars, m_messages, std::move(valeurs),
        [this](const BilanGroupe& bilan) { renouvelerListe(bilan.clients, bilan.nbClients); },
        &m_fenetre);
    fenetre.exec();
}

void OngletClients::btnAnnulerCorrection_Click() {
    commun::Variables& vars = m_vars;
    commun::Messages& messages = m_messages;
    commun::tenter(
        messages,
        [&] {
            const auto derniere = derniereCorrection(vars);
            if (!derniere) {
                messages.information(messageRienAAnnuler());
                return;
            }
            if (!messages.question(questionAnnulation(*derniere))) {
                return;
            }
            const ResultatAnnulation r = AnnulerCorrection(vars, derniere->lot);
            if (!r.faite) {
                messages.exclamation(messageRefus(r));
                return;
            }
            messages.information(messageAnnulee(r));
            renouvelerListe(r.clients, r.nbClients);
        },
        QStringLiteral("La correction n'a pas été annulée.\r\n"));
}

void OngletClients::renouvelerListe(const std::vector<Evaluation>& clients, int nbClients) {
    Ui::OngletClients& ui = *m_ui;
    QTreeWidget* liste = ui.ListCli;
    QHash<QString, QList<QTreeWidgetItem*>> lignes;
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        lignes[liste->topLevelItem(i)->text(0)] << liste->topLevelItem(i);
    }
    const QString courant = m_panneau->codeAffiche().value_or(QString());
    QList<QTreeWidgetItem*> nouvelles;
    for (const Evaluation& e : clients) {
        const QList<QTreeWidgetItem*> trouvees = lignes.take(e.CodeClient);
        if (!e.enErreur()) {
            qDeleteAll(trouvees);
            continue;
        }
        const QStringList colonnes = QStringList{e.CodeClient, e.NomClient} + e.marques();
        if (trouvees.isEmpty()) {
            nouvelles << new QTreeWidgetItem(colonnes);
        }
        for (QTreeWidgetItem* ligne : trouvees) {
            for (int c = 1; c < colonnes.size(); ++c) {
                ligne->setText(c, colonnes[c]);
            }
        }
    }
    liste->addTopLevelItems(nouvelles);
    m_vars.NbCli = nbClients;
    ui.lblListeCliErr->setText(legendeListe(liste->topLevelItemCount(), nbClients));
    if (liste->topLevelItemCount() == 0) {
        m_panneau->ViderChamps();
        majBoutons();
        m_messages.information(QStringLiteral("Votre fichier clients ne comporte plus d'erreur."));
        return;
    }
    // The panel shows the client it showed, or the first one when that one left.
    const auto memes = liste->findItems(courant, Qt::MatchExactly | Qt::MatchCaseSensitive, 0);
    ui.Frame1->setEnabled(true);
    liste->setEnabled(true);
    ui.lblcache->hide();
    m_panneau->choisir(memes.isEmpty() ? liste->topLevelItem(0) : memes.first());
    majBoutons();
}

QList<QWidget*> OngletClients::zonesTexte() const {
    const Ui::OngletClients& ui = *m_ui;
    return {ui.txtcpdef,   ui.txtvilledef, ui.txtAdresse,       ui.txtAdresse2, ui.txtCp,
            ui.TxtVille,   ui.txtCatAge,   ui.txtMoisNais,      ui.txtTel1,     ui.txtTel2,
            ui.txtGenCode, ui.txtEmail,    ui.txtDatenaissance, ui.txtCpNew};
}

}  // namespace clients
