#pragma once

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
namespace app {
class Form1;
}

namespace tech {

// The FICHES TECHNIQUES tab: sheet analysis, family correction, export.
class OngletTechniques : public QObject {
    Q_OBJECT

public:
    OngletTechniques(app::Form1& form, QWidget* page);
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

    app::Form1& m_form;
    std::unique_ptr<Ui::OngletTechniques> m_ui;
    // The number of the sheet the panel shows; the family is stored there.
    std::optional<QString> m_numero;
};

}  // namespace tech
