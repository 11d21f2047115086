#include "clients/PanneauClient.h"

#include <QTreeWidget>

#include "app/Controles.h"
#include "app/Form1.h"
#include "app/Messages.h"
#include "app/Procedures.h"
#include "app/Variables.h"
#include "clients/Correction.h"
#include "platform/ErreurFichier.h"
#include "store/Erreur.h"
#include "ui_OngletClients.h"

namespace clients {

PanneauClient::PanneauClient(app::Form1& form, Ui::OngletClients& ui)
    : QObject(), m_form(form), m_ui(ui) {
    connect(m_ui.ListCli, &QTreeWidget::itemClicked, this, [this] { ListCli_ItemClick(); });
    connect(m_ui.txtTel1, &QLineEdit::textChanged, this, [this](const QString& t) {
        m_ui.lblTel11->setText(legendeLongueur(QStringLiteral("Tel1"), t));
    });
    connect(m_ui.txtTel2, &QLineEdit::textChanged, this, [this](const QString& t) {
        m_ui.lblTel21->setText(legendeLongueur(QStringLiteral("Tel2"), t));
    });
}

void PanneauClient::ListCli_ItemClick() {
    const QTreeWidgetItem* ligne = app::ligneSelectionnee(m_ui.ListCli);
    if (!ligne) {
        m_form.messages().exclamation(QStringLiteral(
            "Aucun client n'est sélectionné dans la liste des clients avec erreur."));
        return;
    }
    const QString code = ligne->text(0);
    std::optional<FicheClient> fiche;
    try {
        fiche = chargerClient(m_form.variables(), code);
    } catch (const store::ErreurStore& e) {
        m_form.messages().exclamation(e.message());
        return;
    }
    if (!fiche) {
        m_form.messages().exclamation(
            QStringLiteral("Le client « %1 » est introuvable dans la base de données.").arg(code));
        return;
    }
    const FicheClient& f = *fiche;
    m_ui.lblNom->setText(f.texte(QStringLiteral("Nom")));
    m_ui.lblPrenom->setText(f.texte(QStringLiteral("Prénom")));
    m_ui.txtAdresse->setText(f.texte(QStringLiteral("Adresse")));
    m_ui.txtAdresse2->setText(f.texte(QStringLiteral("Adresse2")));
    m_ui.TxtVille->setText(f.texte(QStringLiteral("Ville")));
    m_ui.txtCp->setText(f.texte(QStringLiteral("Code Postal")));
    m_ui.txtTel1->setText(f.texte(QStringLiteral("Tel1")));
    m_ui.txtTel2->setText(f.texte(QStringLiteral("Tel2")));
    m_ui.txtEmail->setText(f.texte(QStringLiteral("Email")));
    m_ui.txtCatAge->setText(f.texte(QStringLiteral("Cat, Age")));
    m_ui.txtGenCode->setText(f.texte(QStringLiteral("GenCode")));
    m_ui.txtMoisNais->setText(f.texte(QStringLiteral("Mois Nais")));
    m_ui.txtDatenaissance->setText(f.texte(QStringLiteral("DateNaissance")));

    auto legende = [&f](const QString& titre, const QString& colonne) {
        return legendeLongueur(
            titre, f.nuls.value(colonne) ? std::nullopt : std::optional<QString>(f.texte(colonne)));
    };
    m_ui.lblNom1->setText(legende(QStringLiteral("Nom"), QStringLiteral("Nom")));
    m_ui.lblPrenom1->setText(legende(QStringLiteral("Prénom"), QStringLiteral("Prénom")));
    m_ui.lblAdr1->setText(legende(QStringLiteral("Adresse"), QStringLiteral("Adresse")));
    m_ui.lblAdr2->setText(legende(QStringLiteral("Adresse2"), QStringLiteral("Adresse2")));

    app::CouleurChamps(m_form, m_ui.ListCli);
}

}  // namespace clients
