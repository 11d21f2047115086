#include "tech/OngletTechniques.h"

#include <QCollator>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalBlocker>

#include "commun/Cadre.h"
#include "commun/Controles.h"
#include "commun/Messages.h"
#include "commun/Variables.h"
#include "export/ExportFenetre.h"
#include "store/Erreur.h"
#include "tech/AnalyseTech.h"
#include "tech/FicheTech.h"
#include "ui_OngletTechniques.h"

namespace tech {

namespace {

// The families of the salon, in the order the window adds them; the list shows
// them sorted.
const QStringList& familles() {
    static const QStringList f = {
        QStringLiteral("Shampooing"), QStringLiteral("Soin"),        QStringLiteral("Coupe"),
        QStringLiteral("Coiffage"),   QStringLiteral("Coloration"),  QStringLiteral("Décoloration"),
        QStringLiteral("Rinçage"),    QStringLiteral("Mèches"),      QStringLiteral("Balayage"),
        QStringLiteral("Permanente"), QStringLiteral("Renforçateur")};
    return f;
}

// The run as the tab shows it. Rows and the counter reach the screen a few
// times a second, not once per sheet: repainting 200,000 times would take
// longer than the analysis itself. Clicks wait for the end of the run.
class SuiviAnalyseFiches : public ObservateurAnalyseFiches {
public:
    SuiviAnalyseFiches(Ui::OngletTechniques& ui, commun::Variables& variables)
        : m_ui(ui), m_variables(variables) {
        m_horloge.start();
    }

    void rangement(qint64 n, qint64 total) override {
        if (m_horloge.elapsed() >= kIntervalleMs) {
            laisserPasser();
        }
    }

    void debut(qint32 total) override {
        m_variables.NbTech = total;
        m_ui.ListCliTech->clear();
        m_ui.ListMemo->clear();
    }

    void progression(qint32 n, qint32 total) override {
        m_n = n;
        m_total = total;
        if (m_horloge.elapsed() >= kIntervalleMs) {
            afficher();
        }
    }

    void ligne(Liste liste, const LigneTech& ligne) override {
        (liste == Liste::CliTech ? m_familles : m_memos)
            .append(new QTreeWidgetItem(colonnes(liste, ligne)));
    }

    // The rows not yet shown go into their lists.
    void afficher() {
        ajouter(m_ui.ListCliTech, m_familles);
        ajouter(m_ui.ListMemo, m_memos);
        if (m_total > 0) {
            m_ui.lblNbCliTech->setText(QStringLiteral("%1 / %2").arg(m_n).arg(m_total));
        }
        laisserPasser();
    }

    ~SuiviAnalyseFiches() override {
        qDeleteAll(m_familles);
        qDeleteAll(m_memos);
    }

private:
    static constexpr qint64 kIntervalleMs = 50;

    static void ajouter(QTreeWidget* liste, QList<QTreeWidgetItem*>& lignes) {
        if (!lignes.isEmpty()) {
            liste->addTopLevelItems(lignes);
            lignes.clear();
        }
    }

    void laisserPasser() {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_horloge.restart();
    }

    Ui::OngletTechniques& m_ui;
    commun::Variables& m_variables;
    QElapsedTimer m_horloge;
    QList<QTreeWidgetItem*> m_familles;
    QList<QTreeWidgetItem*> m_memos;
    qint32 m_n = 0;
    qint32 m_total = 0;
};

void texte(QLineEdit* zone, const store::Valeur& valeur) {
    zone->setText(valeur.texte());
}

}  // namespace

OngletTechniques::OngletTechniques(commun::Variables& variables, commun::Messages& messages,
                                   commun::Cadre& cadre, QWidget* page)
    : QObject(page),
      m_vars(variables),
      m_messages(messages),
      m_cadre(cadre),
      m_ui(std::make_unique<Ui::OngletTechniques>()) {
    m_ui->setupUi(page);
    // Narrow enough that a long list's scroll bar leaves the five columns in view.
    for (auto* liste : {m_ui->ListCliTech, m_ui->ListMemo}) {
        liste->setColumnWidth(0, 60);
        liste->setColumnWidth(1, 95);
        liste->setColumnWidth(2, 175);
        liste->setColumnWidth(3, 70);
    }
    // Memos are shown, never edited; a disabled box could not be scrolled.
    m_ui->txtmemo->setReadOnly(true);
    m_ui->txtmemo1->setReadOnly(true);
    connect(m_ui->btnAnalyseRTF, &QPushButton::clicked, this,
            &OngletTechniques::btnAnalyseRTF_Click);
    commun::suivreSelection(m_ui->ListCliTech, [this] { ListCliTech_ItemClick(nullptr); });
    commun::suivreSelection(m_ui->ListMemo, [this] { ListMemo_ItemClick(nullptr); });
    connect(m_ui->BtnModifFam, &QPushButton::clicked, this, &OngletTechniques::BtnModifFam_Click);
    connect(m_ui->btnExportTech, &QPushButton::clicked, this,
            [this] { exports::btnExportTech_Click(m_vars, m_messages, *m_ui->ListCliTech); });
}

OngletTechniques::~OngletTechniques() = default;

void OngletTechniques::Form1_Load() {
    m_ui->lblAttenteRTF->setText(QStringLiteral("Analyse du fichier Technique\r\nen cours."));
    m_ui->lblAttenteRTF->hide();
    // A sorted drop-down list: each family goes in at its alphabetical place.
    QCollator ordre(QLocale(QLocale::French, QLocale::France));
    ordre.setCaseSensitivity(Qt::CaseInsensitive);
    for (const QString& f : familles()) {
        int i = 0;
        while (i < m_ui->comboFam->count() && ordre.compare(m_ui->comboFam->itemText(i), f) <= 0) {
            ++i;
        }
        m_ui->comboFam->insertItem(i, f);
    }
}

void OngletTechniques::btnAnalyseRTF_Click() {
    Ui::OngletTechniques& ui = *m_ui;
    commun::Variables& v = m_vars;
    ui.lblAttenteRTF->show();
    v.CheminBd = v.cheminBd();
    SuiviAnalyseFiches affichage(ui, v);
    affichage.afficher();
    try {
        AnalyseTech(v.CheminBd, affichage);
        affichage.afficher();
        ui.lblListeTechErr->setText(
            legendeListeTech(ui.ListCliTech->topLevelItemCount(), v.NbTech));
        ui.lblAttenteRTF->hide();
        ui.lblNbCliTech->clear();
        if (QTreeWidgetItem* premiere = choisirPremiere(ui.ListCliTech)) {
            ListCliTech_ItemClick(premiere);
            ui.Frame3->setEnabled(true);
        } else {
            m_messages.information(messageSansErreur());
        }
        if (QTreeWidgetItem* premiere = choisirPremiere(ui.ListMemo)) {
            ListMemo_ItemClick(premiere);
        }
    } catch (const store::ErreurStore& e) {
        // The rows found so far stay listed.
        affichage.afficher();
        ui.lblAttenteRTF->hide();
        ui.lblNbCliTech->clear();
        m_messages.exclamation(messageEchecAnalyse(e.message()));
    }
}

QTreeWidgetItem* OngletTechniques::choisirPremiere(QTreeWidget* liste) {
    QTreeWidgetItem* premiere = liste->topLevelItem(0);
    if (premiere) {
        liste->scrollToItem(premiere);
        // Loaded by the caller.
        const QSignalBlocker garde(liste);
        liste->setCurrentItem(premiere);
        liste->setFocus();
    }
    return premiere;
}

QTreeWidgetItem* OngletTechniques::ligneAffichee() const {
    QTreeWidgetItem* choisie = commun::ligneSelectionnee(m_ui->ListCliTech);
    if (!m_numero || (choisie && choisie->text(0) == *m_numero)) {
        return m_numero ? choisie : nullptr;
    }
    const auto lignes = m_ui->ListCliTech->findItems(*m_numero, Qt::MatchExactly, 0);
    return lignes.isEmpty() ? nullptr : lignes.first();
}

void OngletTechniques::ListCliTech_ItemClick(QTreeWidgetItem*) {
    commun::tenter(m_messages, [this] { chargerFiche(); });
}

void OngletTechniques::ListMemo_ItemClick(QTreeWidgetItem*) {
    commun::tenter(m_messages, [this] { chargerMemo(); });
}

std::optional<FicheTech> OngletTechniques::ficheSelectionnee(const QTreeWidget* liste) {
    const QTreeWidgetItem* ligne = commun::ligneSelectionnee(liste);
    if (!ligne) {
        return std::nullopt;
    }
    commun::Variables& v = m_vars;
    v.CheminBd = v.cheminBd();
    return LireFiche(v.CheminBd, ligne->text(0));
}

void OngletTechniques::chargerFiche() {
    Ui::OngletTechniques& ui = *m_ui;
    const std::optional<FicheTech> fiche = ficheSelectionnee(ui.ListCliTech);
    if (!fiche) {
        return;
    }
    m_numero = commun::ligneSelectionnee(ui.ListCliTech)->text(0);
    // Loading another sheet drops a family choice under way.
    ui.comboFam->hide();
    ui.BtnModifFam->setText(QStringLiteral("M"));
    ui.lbDateCreat->setText(fiche->Date.texte());
    texte(ui.txtTech, fiche->Tech);
    texte(ui.txtService, fiche->Serv);
    texte(ui.txtDivers1, fiche->Divers1);
    texte(ui.txtDivers2, fiche->Divers2);
    texte(ui.txtFamille, fiche->Famille);
    CouleurChamps();
}

void OngletTechniques::chargerMemo() {
    Ui::OngletTechniques& ui = *m_ui;
    const std::optional<FicheTech> fiche = ficheSelectionnee(ui.ListMemo);
    if (!fiche) {
        return;
    }
    const auto [debut, suite] = couperMemo(fiche->Memo.texte());
    ui.txtmemo->setPlainText(debut);
    // A memo shortened since the analysis leaves no stale continuation behind.
    ui.txtmemo1->setPlainText(suite);
    ui.txtmemo->setEnabled(true);
    ui.txtmemo1->setEnabled(true);
}

void OngletTechniques::BtnModifFam_Click() {
    Ui::OngletTechniques& ui = *m_ui;
    if (ui.BtnModifFam->text() == QLatin1String("M")) {
        // The panel shows the selected sheet before its family can change.
        if (const QTreeWidgetItem* choisie = commun::ligneSelectionnee(ui.ListCliTech);
            !choisie || choisie->text(0) != m_numero) {
            ListCliTech_ItemClick(nullptr);
            if (!choisie || choisie->text(0) != m_numero || !ui.BtnModifFam->isEnabled()) {
                return;
            }
        }
        ui.BtnModifFam->setText(QStringLiteral("C"));
        ui.comboFam->show();
        ui.comboFam->setCurrentIndex(0);
        ui.comboFam->setFocus();
        ui.comboFam->showPopup();
        return;
    }
    ui.BtnModifFam->setText(QStringLiteral("M"));
    ui.comboFam->hide();
    ModifEnrgTEC(ui.txtFamille, ui.BtnModifFam);
}

void OngletTechniques::ModifEnrgTEC(QLineEdit* ZoneTexte, QPushButton* Bouton) {
    Ui::OngletTechniques& ui = *m_ui;
    commun::Variables& v = m_vars;
    bool enregistre = false;
    try {
        // The sheet the panel shows, which a change of selection has loaded.
        QTreeWidgetItem* ligne = ligneAffichee();
        if (!ligne) {
            throw store::ErreurStore(
                QStringLiteral("Aucune fiche n'est affichée dans le panneau des techniques."));
        }
        v.CheminBd = v.cheminBd();
        if (ZoneTexte == ui.txtFamille) {
            ui.txtFamille->setText(ui.comboFam->currentText());
            const bool erreur = EcrireFamille(v.CheminBd, ligne->text(0), ui.txtFamille->text());
            enregistre = true;
            ligne->setText(3, erreur ? QStringLiteral("x") : QString());
        }
        CouleurChamps();
        if (ligne->text(3).isEmpty() && ligne->text(4).isEmpty()) {
            // The row that takes its place is loaded below.
            const QSignalBlocker garde(ui.ListCliTech);
            delete ligne;
        }
        if (ui.ListCliTech->topLevelItemCount() > 0) {
            ui.ListCliTech->setFocus();
            chargerFiche();
        } else {
            ViderChamps();
            m_numero.reset();
            m_messages.information(messagePlusErreur());
        }
    } catch (const store::ErreurStore& e) {
        if (erreurConversion(e)) {
            m_messages.exclamation(QStringLiteral("La saisie n'est pas un nombre!"));
            Bouton->setText(QStringLiteral("M"));
            ZoneTexte->setEnabled(false);
            return;
        }
        m_messages.exclamation(
            enregistre
                ? e.message()
                : QStringLiteral("La famille n'a pas été enregistrée : %1").arg(e.message()));
    }
}

void OngletTechniques::CouleurChamps() {
    const QTreeWidgetItem* ligne = commun::ligneSelectionnee(m_ui->ListCliTech);
    const bool erreur = ligne && ligne->text(3) == QLatin1String("x");
    commun::colorer(m_ui->txtFamille, erreur);
    m_ui->BtnModifFam->setEnabled(erreur);
}

void OngletTechniques::ViderChamps() {
    m_ui->lbDateCreat->clear();
    for (QLineEdit* zone :
         {m_ui->txtService, m_ui->txtDivers1, m_ui->txtDivers2, m_ui->txtTech, m_ui->txtFamille}) {
        zone->clear();
    }
    m_cadre.fermerZones();
}

QList<QWidget*> OngletTechniques::zonesTexte() const {
    const Ui::OngletTechniques& ui = *m_ui;
    return {ui.txtTech,    ui.txtService, ui.txtDivers1, ui.txtDivers2,
            ui.txtFamille, ui.txtmemo,    ui.txtmemo1};
}

}  // namespace tech
