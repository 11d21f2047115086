#include "clients/OngletClients.h"

#include <QEvent>
#include <QLabel>

#include "app/Controles.h"
#include "app/Form1.h"
#include "app/Messages.h"
#include "app/Variables.h"
#include "clients/Analyse.h"
#include "clients/PanneauClient.h"
#include "clients/PanneauCp.h"
#include "clients/SuiviAnalyse.h"
#include "export/ExportFenetre.h"
#include "platform/ErreurFichier.h"
#include "store/Erreur.h"
#include "ui_OngletClients.h"

namespace clients {

OngletClients::OngletClients(app::Form1& form, QWidget* page)
    : QObject(page), m_form(form), m_ui(std::make_unique<Ui::OngletClients>()) {
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
    m_panneau = std::make_unique<PanneauClient>(form, *m_ui);
    m_panneauCp = std::make_unique<PanneauCp>(form, *m_ui, *m_panneau);
    connect(m_ui->btnAnalyseBd, &QPushButton::clicked, this, &OngletClients::btnAnalyseBd_Click);
    connect(m_ui->btnExportClients, &QPushButton::clicked, this,
            [this] { exports::btnExportClients_Click(m_form, *m_ui->ListCli); });
    form.installEventFilter(this);
}

OngletClients::~OngletClients() = default;

void OngletClients::Form1_Load() {
    app::placer(m_ui->Frame2, 6500, 3975, 3105, 3045);
    m_ui->Frame2->hide();
    m_ui->Frame2->raise();
    m_ui->Frame1->setEnabled(false);
    m_ui->lblAttente->setText(QStringLiteral("Analyse du fichier clients\r\nen cours."));
    m_ui->lblAttente->hide();
    m_ui->txtcpdef->setText(m_form.variables().CpDefaut);
    m_ui->txtvilledef->setText(m_form.variables().VilleDefaut);
}

bool OngletClients::eventFilter(QObject* objet, QEvent* evenement) {
    if (m_enCours && objet == &m_form && evenement->type() == QEvent::Close) {
        evenement->ignore();
        return true;
    }
    return QObject::eventFilter(objet, evenement);
}

void OngletClients::btnAnalyseBd_Click() {
    Ui::OngletClients& ui = *m_ui;
    app::Variables& vars = m_form.variables();
    app::Messages& messages = m_form.messages();
    ui.lblAttente->show();
    ui.btnAnalyseBd->setEnabled(false);
    ui.lblcache->show();
    m_form.setEnabled(false);
    m_form.repaint();

    m_enCours = true;
    SuiviAnalyse suivi(ui);
    BilanAnalyse bilan;
    QString echec;
    try {
        bilan = AnalyseBd(vars, suivi);
    } catch (const store::ErreurStore& e) {
        echec = e.message();
    } catch (const platform::ErreurFichier& e) {
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
        m_form.setEnabled(true);
        ui.btnAnalyseBd->setEnabled(true);
        messages.exclamation(echec);
        return;
    }

    messages.information(messageAnalyseTerminee());
    ui.lblNbCli->clear();
    ui.lblListeCliErr->setText(legendeListe(ui.ListCli->topLevelItemCount(), bilan.NbCli));
    m_form.setEnabled(true);
    if (ui.ListCli->topLevelItemCount() > 0) {
        QTreeWidgetItem* premiere = ui.ListCli->topLevelItem(0);
        ui.ListCli->scrollToItem(premiere);
        ui.ListCli->setCurrentItem(premiere);
        ui.ListCli->setFocus();
        m_panneau->ListCli_ItemClick();
        ui.Frame1->setEnabled(true);
        ui.ListCli->setEnabled(true);
        ui.lblcache->hide();
    } else {
        messages.information(messageSansErreur());
    }
    ui.btnAnalyseBd->setEnabled(true);
    if (auto* csv = m_form.findChild<QLabel*>(QStringLiteral("lblcsv"))) {
        csv->setEnabled(true);
    }
}

}  // namespace clients
