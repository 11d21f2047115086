#pragma once

#include <QObject>

class QLineEdit;
class QPushButton;
namespace Ui {
class OngletClients;
}
namespace app {
class Form1;
}

namespace clients {

struct Reverification;

// The correction panel (Frame1): shows the client of the selected ListCli row,
// its fields in error white on red, and saves one field at a time through its
// edit button ("M" closed, "C" open; the button's "Tag" property names the
// FCLI column it writes).
class PanneauClient : public QObject {
    Q_OBJECT

public:
    PanneauClient(app::Form1& form, Ui::OngletClients& ui);

    // Loads the client of the selected row into the panel.
    void ListCli_ItemClick();

    // First click opens the field, second click saves it and re-checks the
    // client. True when the field was opened or saved.
    bool ModifEnrg(QLineEdit* ZoneTexte, QPushButton* Bouton);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    // The list side of the re-check: the row's marks renewed, or the row
    // removed when the client has no error left.
    void AnalyseClient(const Reverification& r);

    app::Form1& m_form;
    Ui::OngletClients& m_ui;
};

}  // namespace clients
