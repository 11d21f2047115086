#include "clients/PanneauClient.h"

#include <QEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>

#include "clients/Analyse.h"
#include "clients/Correction.h"
#include "commun/Cadre.h"
#include "commun/Controles.h"
#include "commun/FiltreChiffres.h"
#include "commun/Messages.h"
#include "commun/Variables.h"
#include "store/Erreur.h"
#include "ui_OngletClients.h"

namespace clients {

namespace {

const char* const kTag = "Tag";

QString tag(const QPushButton* bouton) {
    return bouton->property(kTag).toString();
}

}  // namespace

PanneauClient::PanneauClient(commun::Variables& variables, commun::Messages& messages,
                             commun::Cadre& cadre, Ui::OngletClients& ui)
    : QObject(), m_vars(variables), m_messages(messages), m_cadre(cadre), m_ui(ui) {
    const std::pair<QPushButton*, const char*> boutons[] = {
        {m_ui.BtnModifCP, "Code Postal"},     {m_ui.BtnModifCatAge, "Cat, Age"},
        {m_ui.BtnModifMoisNais, "Mois Nais"}, {m_ui.BtnModifTel1, "Tel1"},
        {m_ui.BtnModifTel2, "Tel2"},          {m_ui.BtnModifGenCode, "GenCode"},
        {m_ui.BtnModifEmail, "Email"},        {m_ui.BtnModifdateNaissance, "DateNaissance"}};
    for (const auto& [bouton, colonne] : boutons) {
        bouton->setProperty(kTag, QString::fromUtf8(colonne));
    }
    const std::pair<QPushButton*, QLineEdit*> champs[] = {
        {m_ui.BtnModifCatAge, m_ui.txtCatAge},   {m_ui.BtnModifMoisNais, m_ui.txtMoisNais},
        {m_ui.BtnModifTel1, m_ui.txtTel1},       {m_ui.BtnModifTel2, m_ui.txtTel2},
        {m_ui.BtnModifGenCode, m_ui.txtGenCode}, {m_ui.BtnModifEmail, m_ui.txtEmail}};
    for (const auto& [bouton, zone] : champs) {
        connect(bouton, &QPushButton::clicked, this,
                [this, zone = zone, bouton = bouton] { ModifEnrg(zone, bouton); });
    }

    commun::installerFiltre(m_ui.txtCatAge, &commun::FiltreChiffres);
    commun::installerFiltre(m_ui.txtMoisNais, &commun::FiltreChiffres);
    commun::installerFiltre(m_ui.txtTel1, &commun::FiltreChiffresPlus);
    commun::installerFiltre(m_ui.txtTel2, &commun::FiltreChiffresPlus);
    commun::installerFiltre(m_ui.txtGenCode, &commun::FiltreChiffresPlus);
    m_ui.txtEmail->installEventFilter(this);
    m_ui.txtGenCode->installEventFilter(this);

    commun::suivreSelection(m_ui.ListCli, [this] { ListCli_ItemClick(); });
    connect(m_ui.txtTel1, &QLineEdit::textChanged, this, [this](const QString& t) {
        m_ui.lblTel11->setText(legendeLongueur(QStringLiteral("Tel1"), t));
    });
    connect(m_ui.txtTel2, &QLineEdit::textChanged, this, [this](const QString& t) {
        m_ui.lblTel21->setText(legendeLongueur(QStringLiteral("Tel2"), t));
    });
}

bool PanneauClient::eventFilter(QObject* objet, QEvent* evenement) {
    if (evenement->type() == QEvent::FocusIn) {
        // The whole text is selected on entering the box; after the click that
        // gave the focus has placed the cursor, so that the selection stays.
        auto* zone = static_cast<QLineEdit*>(objet);
        QTimer::singleShot(0, zone, [zone] { zone->selectAll(); });
    }
    return QObject::eventFilter(objet, evenement);
}

void PanneauClient::ListCli_ItemClick() {
    const QTreeWidgetItem* ligne = commun::ligneSelectionnee(m_ui.ListCli);
    if (!ligne) {
        m_messages.exclamation(QStringLiteral(
            "Aucun client n'est sélectionné dans la liste des clients avec erreur."));
        return;
    }
    const QString code = ligne->text(0);
    std::optional<FicheClient> fiche;
    if (!commun::tenter(m_messages, [&] { fiche = chargerClient(m_vars, code); })) {
        return;
    }
    if (!fiche) {
        m_messages.exclamation(
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

    auto legende = [&f](const QString& colonne) {
        return legendeLongueur(colonne, f.nuls.value(colonne)
                                            ? std::nullopt
                                            : std::optional<QString>(f.texte(colonne)));
    };
    m_ui.lblNom1->setText(legende(QStringLiteral("Nom")));
    m_ui.lblPrenom1->setText(legende(QStringLiteral("Prénom")));
    m_ui.lblAdr1->setText(legende(QStringLiteral("Adresse")));
    m_ui.lblAdr2->setText(legende(QStringLiteral("Adresse2")));
    m_code = code;

    CouleurChamps();
}

void PanneauClient::choisir(QTreeWidgetItem* ligne) {
    {
        const QSignalBlocker garde(m_ui.ListCli);
        m_ui.ListCli->setCurrentItem(ligne);
        ligne->setSelected(true);
    }
    m_ui.ListCli->scrollToItem(ligne);
    ListCli_ItemClick();
}

void PanneauClient::ViderChamps() {
    m_ui.lblNom->clear();
    m_ui.lblPrenom->clear();
    for (QLineEdit* zone :
         {m_ui.txtAdresse, m_ui.txtAdresse2, m_ui.TxtVille, m_ui.txtCp, m_ui.txtTel1, m_ui.txtTel2,
          m_ui.txtCatAge, m_ui.txtMoisNais, m_ui.txtEmail, m_ui.txtGenCode}) {
        zone->clear();
    }
    m_cadre.fermerZones();
    m_code.reset();
}

void PanneauClient::CouleurChamps() {
    const QTreeWidgetItem* ligne = commun::ligneSelectionnee(m_ui.ListCli);
    m_ui.txtCp->setMaxLength(32767);
    // Each box and its mark's column in ListCli.
    const std::pair<QLineEdit*, int> champs[] = {
        {m_ui.txtAdresse, 4}, {m_ui.txtAdresse2, 5},      {m_ui.TxtVille, 6},
        {m_ui.txtCp, 7},      {m_ui.txtCatAge, 8},        {m_ui.txtMoisNais, 9},
        {m_ui.txtTel1, 10},   {m_ui.txtTel2, 11},         {m_ui.txtGenCode, 12},
        {m_ui.txtEmail, 13},  {m_ui.txtDatenaissance, 14}};
    for (const auto& [zone, colonne] : champs) {
        commun::colorer(zone, ligne && ligne->text(colonne) == QLatin1String("x"));
    }
}

bool PanneauClient::accorderAvecListe() {
    const QTreeWidgetItem* ligne = commun::ligneSelectionnee(m_ui.ListCli);
    if (ligne && ligne->text(0) != m_code) {
        ListCli_ItemClick();
    }
    return ligne && ligne->text(0) == m_code;
}

QTreeWidgetItem* PanneauClient::ligneAffichee() const {
    QTreeWidgetItem* choisie = commun::ligneSelectionnee(m_ui.ListCli);
    if (!m_code || (choisie && choisie->text(0) == *m_code)) {
        return m_code ? choisie : nullptr;
    }
    const auto lignes =
        m_ui.ListCli->findItems(*m_code, Qt::MatchExactly | Qt::MatchCaseSensitive, 0);
    return lignes.isEmpty() ? nullptr : lignes.first();
}

bool PanneauClient::ModifEnrg(QLineEdit* ZoneTexte, QPushButton* Bouton) {
    commun::Messages& messages = m_messages;
    if (Bouton->text() == QLatin1String("M")) {
        if (!accorderAvecListe()) {
            return false;
        }
        Bouton->setText(QStringLiteral("C"));
        ZoneTexte->setEnabled(true);
        // Ready for typing, as the postal code panel is: keys no longer go to
        // the button (Space would save) or to the list.
        ZoneTexte->setFocus();
        return true;
    }
    const QString colonne = tag(Bouton);
    QString texte = ZoneTexte->text();
    if (colonne == QLatin1String("Cat, Age") || colonne == QLatin1String("Mois Nais")) {
        const auto rendu = renduDeuxChiffres(texte);
        if (!rendu) {
            messages.exclamation(QStringLiteral("La saisie n'est pas un nombre!"));
            Bouton->setText(QStringLiteral("M"));
            ZoneTexte->setEnabled(false);
            return false;
        }
        texte = *rendu;
        ZoneTexte->setText(texte);
    }

    // The typed text goes to the client the panel shows, which a change of
    // selection has loaded.
    if (!m_code) {
        messages.exclamation(
            QStringLiteral("Aucun client n'est affiché dans le panneau : la correction n'a pas "
                           "été enregistrée."));
        return false;
    }
    const QString code = *m_code;
    Enregistrement e{colonne, texte, std::nullopt};
    if (colonne == QLatin1String("Code Postal")) {
        e.ville = m_ui.TxtVille->text();
    }
    std::optional<Reverification> r;
    if (!commun::tenter(
            messages, [&] { r = enregistrerChamp(m_vars, code, e); },
            QStringLiteral("La correction n'a pas été enregistrée.\r\n"))) {
        // The field stays open with the typed text: nothing is lost.
        return false;
    }
    if (!r) {
        messages.exclamation(QStringLiteral("Le client « %1 » est introuvable dans la base de "
                                            "données : la correction n'a pas été enregistrée.")
                                 .arg(code));
        return false;
    }
    Bouton->setText(QStringLiteral("M"));
    ZoneTexte->setEnabled(false);
    AnalyseClient(*r);

    m_ui.ListCli->update();
    if (m_ui.ListCli->topLevelItemCount() > 0) {
        m_ui.ListCli->setFocus();
        ListCli_ItemClick();
    } else {
        ViderChamps();
        messages.information(QStringLiteral("Votre fichier clients ne comporte plus d'erreur."));
    }
    return true;
}

void PanneauClient::AnalyseClient(const Reverification& r) {
    QTreeWidget* liste = m_ui.ListCli;
    QTreeWidgetItem* ligne = ligneAffichee();
    if (!ligne) {
        return;
    }
    if (r.evaluation.enErreur()) {
        const QStringList marques = r.evaluation.marques();
        for (int i = 0; i < marques.size(); ++i) {
            ligne->setText(2 + i, marques[i]);
        }
        return;
    }
    m_messages.information(QStringLiteral("Le client ") + ligne->text(1) +
                           QStringLiteral("\r\n est corrigé.\r\n"));
    const int rang = liste->indexOfTopLevelItem(ligne);
    // The panel moves on to the row that took the removed one's place, loaded
    // once the save is over.
    const QSignalBlocker garde(liste);
    delete liste->takeTopLevelItem(rang);
    m_ui.lblListeCliErr->setText(legendeListe(liste->topLevelItemCount(), r.nbClients));
    if (const int n = liste->topLevelItemCount(); n > 0) {
        QTreeWidgetItem* suivante = liste->topLevelItem(qMin(rang, n - 1));
        liste->setCurrentItem(suivante);
        suivante->setSelected(true);
    }
    ViderChamps();
}

}  // namespace clients
