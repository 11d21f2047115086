#include "clients/SuiviAnalyseClients.h"

#include <QCoreApplication>
#include <QTreeWidget>

#include "ui_OngletClients.h"

namespace clients {

namespace {

// Time between two repaints of the run's progress.
constexpr int kIntervalleMs = 40;

}  // namespace

SuiviAnalyseClients::SuiviAnalyseClients(Ui::OngletClients& ui) : m_ui(ui) {
    m_horloge.start();
}

SuiviAnalyseClients::~SuiviAnalyseClients() {
    qDeleteAll(m_enAttente);
}

bool SuiviAnalyseClients::moment(bool forcer) {
    if (!forcer && m_horloge.elapsed() < kIntervalleMs) {
        return false;
    }
    m_horloge.restart();
    return true;
}

void SuiviAnalyseClients::laisserPasser() {
    QCoreApplication::processEvents();
}

void SuiviAnalyseClients::debutRangement(int) {
    m_ui.ListBN->clear();
    for (QLabel* texte : {m_ui.lbltxtBN1, m_ui.lbltxtBN2}) {
        texte->setText(QString());
        texte->setToolTip(QString());
    }
    laisserPasser();
}

void SuiviAnalyseClients::rangement(int n, int total) {
    if (moment(n == total)) {
        laisserPasser();
    }
}

void SuiviAnalyseClients::noteTropLongue(const NoteLongue& note) {
    // The labels show the start of each text; the whole of it on hovering.
    m_ui.lbltxtBN1->setText(note.garde);
    m_ui.lbltxtBN1->setToolTip(note.garde);
    m_ui.lbltxtBN2->setText(note.perdu);
    m_ui.lbltxtBN2->setToolTip(note.perdu);
    m_ui.ListBN->addTopLevelItem(new QTreeWidgetItem(QStringList{note.code, note.nom}));
    m_ui.lblNbRTFbad->setText(legendeNotes(note.nbLongues, note.nbFichiersRtf));
}

void SuiviAnalyseClients::debut(int nbClients) {
    m_ui.ListCli->clear();
    // An empty table still gets a bar that a progress bar can take.
    m_ui.Barre->setRange(0, qMax(nbClients, 1));
    m_ui.Barre->setValue(0);
    m_ui.Barre->show();
    laisserPasser();
}

void SuiviAnalyseClients::progression(int n, int total) {
    if (!moment(n == 1 || n == total)) {
        return;
    }
    m_ui.Barre->setValue(n);
    m_ui.lblNbCli->setText(legendeProgression(n, total));
    afficherLignes();
    laisserPasser();
}

void SuiviAnalyseClients::clientEnErreur(const Evaluation& e, int nbCliErr, int total) {
    m_enAttente << new QTreeWidgetItem(QStringList{e.CodeClient, e.NomClient} + e.marques());
    m_ui.lblListeCliErr->setText(legendeListe(nbCliErr, total));
}

void SuiviAnalyseClients::afficherLignes() {
    if (!m_enAttente.isEmpty()) {
        m_ui.ListCli->addTopLevelItems(m_enAttente);
        m_enAttente.clear();
    }
}

void SuiviAnalyseClients::terminer() {
    afficherLignes();
}

}  // namespace clients
