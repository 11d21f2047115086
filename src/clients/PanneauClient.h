#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QLineEdit;
class QPushButton;
class QTreeWidgetItem;
namespace Ui {
class OngletClients;
}
namespace commun {
struct Variables;
class Messages;
class Cadre;
}  // namespace commun

namespace clients {

struct Reverification;

// The correction panel (Frame1): shows the client of the selected ListCli row,
// its fields in error white on red, and saves one field at a time through its
// edit button ("M" closed, "C" open; the button's "Tag" property names the
// FCLI column it writes).
class PanneauClient : public QObject {
    Q_OBJECT

public:
    PanneauClient(commun::Variables& variables, commun::Messages& messages, commun::Cadre& cadre,
                  Ui::OngletClients& ui);

    // Loads the client of the selected row into the panel. Runs whenever the
    // list's selection changes, by mouse, keys or type-ahead.
    void ListCli_ItemClick();
    // Selects the row and loads its client.
    void choisir(QTreeWidgetItem* ligne);
    // Empties the panel, which shows no client any more, and closes every text
    // box of the window.
    void ViderChamps();
    // The code of the client shown, if any.
    const std::optional<QString>& codeAffiche() const { return m_code; }

    // Before a field opens: the panel shows the client of the selected row,
    // loaded again if it does not. False when it cannot.
    bool accorderAvecListe();

    // First click opens the field, second click saves it into the client the
    // panel shows and re-checks that client. True when the field was opened or
    // saved.
    bool ModifEnrg(QLineEdit* ZoneTexte, QPushButton* Bouton);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    // The list side of the re-check: the row of the saved client has its marks
    // renewed, or is removed when the client has no error left.
    void AnalyseClient(const Reverification& r);
    // The row of the client shown, the selected one first.
    QTreeWidgetItem* ligneAffichee() const;
    // Colours the fields from the marks of the selected row of ListCli: "x"
    // (exactly) is an error, white on red; anything else black on white.
    void CouleurChamps();

    commun::Variables& m_vars;
    commun::Messages& m_messages;
    commun::Cadre& m_cadre;
    Ui::OngletClients& m_ui;
    // The code of the client the panel shows; every save writes to it.
    std::optional<QString> m_code;
};

}  // namespace clients
