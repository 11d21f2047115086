#pragma once

#include <QObject>

namespace Ui {
class OngletClients;
}
namespace commun {
struct Variables;
class Messages;
}  // namespace commun

namespace clients {

class PanneauClient;

// The postal code and town panel (Frame2): a postal code typed, a town picked
// among the towns of the reference that match it, both stored together through
// the correction panel's save. While it is open the rest of the tab is locked.
class PanneauCp : public QObject {
    Q_OBJECT

public:
    PanneauCp(commun::Variables& variables, commun::Messages& messages, Ui::OngletClients& ui,
              PanneauClient& panneau);

    void BtnModifCP_Click();
    void txtCpNew_Change();
    void List1_Click();
    void List1_DblClick();
    void BtnOk_Click();
    void BtnFermer_Click();

private:
    // Clears and refills the town list with the towns whose postal code starts
    // with the prefix.
    void RemplitVilles(const QString& prefixe);
    void deverrouiller();

    commun::Variables& m_vars;
    commun::Messages& m_messages;
    Ui::OngletClients& m_ui;
    PanneauClient& m_panneau;
};

}  // namespace clients
