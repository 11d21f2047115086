#include "app/Form1.h"

#include <QCloseEvent>

#include "clients/OngletClients.h"
#include "commun/Controles.h"
#include "commun/Messages.h"
#include "commun/Variables.h"
#include "purge/OngletPurge.h"
#include "rapport/FenetreRapport.h"
#include "tech/OngletTechniques.h"
#include "ui_Form1.h"

namespace app {

Form1::Form1(commun::Variables& variables, commun::Messages& messages, QWidget* parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::Form1>()),
      m_vars(variables),
      m_messages(messages) {
    m_ui->setupUi(this);
    setFixedSize(size());
    m_clients =
        std::make_unique<clients::OngletClients>(m_vars, m_messages, *this, m_ui->pageClients);
    m_techniques =
        std::make_unique<tech::OngletTechniques>(m_vars, m_messages, *this, m_ui->pageTechniques);
    m_purge = std::make_unique<purge::OngletPurge>(m_vars, m_messages, m_ui->pagePurge);
    connect(m_ui->SSTab1, &QTabWidget::currentChanged, this, &Form1::SSTab1_Click);
    connect(m_ui->BtnQuitter, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->BtnRapport, &QPushButton::clicked, this,
            [this] { rapport::btnRapport_Click(m_vars, m_messages, *this); });
    connect(m_clients.get(), &clients::OngletClients::analyseTerminee, m_ui->lblcsv,
            [this] { m_ui->lblcsv->setEnabled(true); });
    Form1_Load();
}

Form1::~Form1() = default;

void Form1::Form1_Load() {
    m_vars.NbFichiersRTF = 0;
    m_clients->Form1_Load();
    m_vars.NbFichiersRTF = commun::compterFichiersRtf(m_vars.dossier);
    m_techniques->Form1_Load();
    m_ui->SSTab1->setCurrentIndex(0);
    m_ui->Frame6->hide();
    m_ui->Frame6->setGeometry(m_ui->SSTab1->geometry());
    m_ui->Frame6->raise();
}

void Form1::SSTab1_Click(int index) {
    switch (index) {
        case 0:
            m_ui->Label1->setText(QStringLiteral("Vérification du fichier client"));
            break;
        case 1:
            m_ui->Label1->setText(QStringLiteral("Vérification du fichier technique"));
            break;
        case 2:
            m_ui->Label1->setText(QStringLiteral("Purge des fichiers clients/techniques"));
            m_purge->preparer();
            break;
        default:
            break;
    }
}

void Form1::QueryUnload() noexcept {
    m_vars.cnCommunes.Fermer();
}

void Form1::montrerProgression() {
    m_ui->Listelog->clear();
    m_ui->Frame6->show();
    m_ui->Frame6->raise();
}

void Form1::ajouterProgression(const QString& ligne) {
    m_ui->Listelog->addItem(ligne);
    m_ui->Listelog->scrollToBottom();
}

void Form1::cacherProgression() {
    m_ui->Frame6->hide();
}

void Form1::fermerZones() {
    for (QWidget* zone : m_clients->zonesTexte() + m_techniques->zonesTexte()) {
        commun::colorer(zone, false);
        zone->setEnabled(false);
    }
}

void Form1::closeEvent(QCloseEvent* evenement) {
    QueryUnload();
    evenement->accept();
}

}  // namespace app
