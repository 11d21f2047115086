#pragma once

#include <QList>
#include <QObject>
#include <memory>
#include <optional>

#include "tech/FicheTech.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
namespace Ui {
class OngletTechniques;
}
namespace commun {
struct Variables;
class Messages;
class Cadre;
}  // namespace commun

namespace tech {

// The FICHES TECHNIQUES tab: sheet analysis, family correction, export.
class OngletTechniques : public QObject {
    Q_OBJECT

public:
    OngletTechniques(commun::Variables& variables, commun::Messages& messages, commun::Cadre& cadre,
                     QWidget* page);
    ~OngletTechniques() override;

    Ui::OngletTechniques& ui() { return *m_ui; }

    // The main window's load, as far as this tab goes.
    void Form1_Load();

    // The sheet analysis: tidies the memos, fills ListCliTech and ListMemo.
    void btnAnalyseRTF_Click();
    // Loads the selected sheet of ListCliTech into the sheet panel. Runs
    // whenever the list's selection changes, by mouse, keys or type-ahead.
    void ListCliTech_ItemClick(QTreeWidgetItem* ligne);
    // Shows the memo of the selected row of ListMemo, split at 500 characters.
    void ListMemo_ItemClick(QTreeWidgetItem* ligne);
    // First click: choose a family in comboFam; second click: store it.
    void BtnModifFam_Click();
    // Stores the field into the sheet the panel shows and updates its row.
    void ModifEnrgTEC(QLineEdit* ZoneTexte, QPushButton* Bouton);

    // The text boxes of the tab, which emptying a panel closes.
    QList<QWidget*> zonesTexte() const;

private:
    // The sheet of the list's selected row; none when no row is selected.
    std::optional<FicheTech> ficheSelectionnee(const QTreeWidget* liste);
    // The loadings, failures left to the caller.
    void chargerFiche();
    void chargerMemo();
    // Scrolls to the first row, selects it and gives the list the focus.
    static QTreeWidgetItem* choisirPremiere(QTreeWidget* liste);
    // The row of the sheet shown, the selected one first.
    QTreeWidgetItem* ligneAffichee() const;
    // Colours the family from the mark of the selected row of ListCliTech,
    // "x" (exactly) white on red, and opens BtnModifFam only then.
    void CouleurChamps();
    // Empties the sheet panel, then closes every text box of the window.
    void ViderChamps();

    commun::Variables& m_vars;
    commun::Messages& m_messages;
    commun::Cadre& m_cadre;
    std::unique_ptr<Ui::OngletTechniques> m_ui;
    // The number of the sheet the panel shows; the family is stored there.
    std::optional<QString> m_numero;
};

}  // namespace tech
