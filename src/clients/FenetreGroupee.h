#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "clients/Groupee.h"

class QTreeWidgetItem;
namespace Ui {
class FenetreGroupee;
}
namespace commun {
struct Variables;
class Messages;
}  // namespace commun

namespace clients {

// The grouped correction: every value in error with how many clients hold it
// and its suggestions; the user picks or types a replacement for some of
// them and applies them all at once. After each application the main window
// renews its list through `apresApplication`.
class FenetreGroupee : public QDialog {
    Q_OBJECT

public:
    FenetreGroupee(commun::Variables& variables, commun::Messages& messages,
                   std::vector<ValeurFautive> valeurs,
                   std::function<void(const BilanGroupe&)> apresApplication,
                   QWidget* parent = nullptr);
    ~FenetreGroupee() override;

    Ui::FenetreGroupee& ui() { return *m_ui; }

    void btnAppliquer_Click();
    void btnPrendreSuggestion_Click();
    void btnToutesSuggestions_Click();
    void btnNePasChanger_Click();
    void cboChamp_Change();

private:
    enum Colonne { kChamp, kValeur, kNombre, kRemplacement, kSuggestions };

    void remplir();
    // Puts each row's first suggestion (or nothing) in its replacement cell.
    void remplacer(const QList<QTreeWidgetItem*>& lignes, bool suggestion);
    void remplirChamps();
    // Judges a typed replacement at once: refused, the cell turns red.
    void verifierLigne(QTreeWidgetItem* ligne);
    void majChoix();
    const ValeurFautive& valeur(const QTreeWidgetItem* ligne) const;

    commun::Variables& m_vars;
    commun::Messages& m_messages;
    std::unique_ptr<Ui::FenetreGroupee> m_ui;
    std::vector<ValeurFautive> m_valeurs;
    std::function<void(const BilanGroupe&)> m_apres;
    std::unique_ptr<Juge> m_juge;
};

}  // namespace clients
