#include "clients/PanneauCp.h"

#include "clients/PanneauClient.h"
#include "commun/Controles.h"
#include "commun/FiltreChiffres.h"
#include "commun/Messages.h"
#include "commun/Variables.h"
#include "store/Erreur.h"
#include "ui_OngletClients.h"

namespace clients {

namespace {

QString legendeVilles(int n) {
    return QStringLiteral("Villes   ( %1 )").arg(n);
}

}  // namespace

PanneauCp::PanneauCp(commun::Variables& variables, commun::Messages& messages,
                     Ui::OngletClients& ui, PanneauClient& panneau)
    : QObject(), m_vars(variables), m_messages(messages), m_ui(ui), m_panneau(panneau) {
    commun::installerFiltre(m_ui.txtCpNew, &commun::FiltreChiffres);
    connect(m_ui.BtnModifCP, &QPushButton::clicked, this, &PanneauCp::BtnModifCP_Click);
    connect(m_ui.txtCpNew, &QLineEdit::textChanged, this, &PanneauCp::txtCpNew_Change);
    // A town picked with the mouse or the arrow keys.
    connect(m_ui.List1, &QListWidget::itemSelectionChanged, this, &PanneauCp::List1_Click);
    connect(m_ui.List1, &QListWidget::itemDoubleClicked, this, &PanneauCp::List1_DblClick);
    connect(m_ui.BtnOk, &QPushButton::clicked, this, &PanneauCp::BtnOk_Click);
    connect(m_ui.BtnFermer, &QPushButton::clicked, this, &PanneauCp::BtnFermer_Click);
}

void PanneauCp::BtnModifCP_Click() {
    if (m_ui.BtnModifCP->text() != QLatin1String("M")) {
        // Reached from "Valider" (or again after a save that failed).
        if (m_panneau.ModifEnrg(m_ui.txtCp, m_ui.BtnModifCP)) {
            m_ui.BtnModifCP->setText(QStringLiteral("M"));
        }
        return;
    }
    if (!m_panneau.accorderAvecListe()) {
        return;
    }
    m_ui.BtnModifCP->setText(QStringLiteral("C"));
    m_ui.List1->clear();
    m_ui.BtnOk->hide();
    commun::Variables& vars = m_vars;
    vars.ChoixListe = false;
    const QString cp = m_ui.txtCp->text();
    if (m_ui.txtCpNew->text() == cp) {
        // The same text raises no change: the list is filled all the same.
        txtCpNew_Change();
    } else {
        m_ui.txtCpNew->setText(cp);
    }
    m_ui.Frame2->show();
    m_ui.Frame2->setEnabled(true);
    m_ui.txtCpNew->setEnabled(true);
    // Ready for typing: the first key replaces the code shown.
    m_ui.txtCpNew->setFocus();
    m_ui.txtCpNew->selectAll();
    m_ui.Frame1->setEnabled(false);
    m_ui.ListCli->setEnabled(false);
    m_ui.btnAnalyseBd->hide();
}

void PanneauCp::txtCpNew_Change() {
    commun::Variables& vars = m_vars;
    const QString texte = m_ui.txtCpNew->text();
    if (texte.size() >= 2 && !vars.ChoixListe) {
        // A refilled list has lost any town picked before: "Valider" waits for a new pick.
        m_ui.BtnOk->hide();
        RemplitVilles(texte);
    } else if (!vars.ChoixListe) {
        m_ui.BtnOk->hide();
        m_ui.List1->clear();
        m_ui.lblListeVille->setText(legendeVilles(m_ui.List1->count()));
    }
    if (texte.size() < 5) {
        m_ui.BtnOk->hide();
    }
    vars.ChoixListe = false;
}

void PanneauCp::RemplitVilles(const QString& prefixe) {
    commun::Variables& vars = m_vars;
    QStringList villes;
    commun::tenter(m_messages, [&] {
        if (!vars.cnCommunes.ouverte()) {
            vars.cnCommunes.OuvreCommunes(vars.dossier);
        }
        villes = vars.cnCommunes.RemplitVilles(prefixe);
    });
    commun::remplirTrie(m_ui.List1, villes);
    m_ui.lblListeVille->setText(legendeVilles(m_ui.List1->count()));
}

void PanneauCp::List1_Click() {
    const QList<QListWidgetItem*> choix = m_ui.List1->selectedItems();
    if (choix.isEmpty() || m_ui.Frame2->isHidden()) {
        return;
    }
    commun::Variables& vars = m_vars;
    vars.ChoixListe = true;
    m_ui.BtnOk->show();
    std::optional<QString> cp;
    commun::tenter(m_messages, [&] {
        cp = vars.cnCommunes.ChercheCpVille(choix.first()->text(), m_ui.txtCpNew->text());
    });
    if (cp && *cp != m_ui.txtCpNew->text()) {
        m_ui.txtCpNew->setText(*cp);
    } else {
        // No change event to clear the flag: the next typing must refill the list.
        vars.ChoixListe = false;
    }
}

void PanneauCp::List1_DblClick() {
    List1_Click();
    if (!m_ui.Frame2->isHidden() && !m_ui.List1->selectedItems().isEmpty()) {
        m_ui.BtnOk->click();
    }
}

void PanneauCp::deverrouiller() {
    m_ui.Frame1->setEnabled(true);
    m_ui.ListCli->setEnabled(true);
    m_ui.btnAnalyseBd->show();
}

void PanneauCp::BtnOk_Click() {
    m_ui.Frame2->hide();
    deverrouiller();
    m_ui.txtCp->setText(m_ui.txtCpNew->text());
    const QList<QListWidgetItem*> choix = m_ui.List1->selectedItems();
    m_ui.TxtVille->setText(choix.isEmpty() ? QString() : choix.first()->text());
    m_ui.BtnModifCP->click();
}

void PanneauCp::BtnFermer_Click() {
    deverrouiller();
    m_ui.Frame2->hide();
    m_ui.BtnModifCP->setText(QStringLiteral("M"));
}

}  // namespace clients
