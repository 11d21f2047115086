#pragma once

#include <QObject>

namespace Ui {
class OngletClients;
}
namespace app {
class Form1;
}

namespace clients {

// The correction panel (Frame1): shows the client of the selected ListCli row,
// its fields in error white on red.
class PanneauClient : public QObject {
    Q_OBJECT

public:
    PanneauClient(app::Form1& form, Ui::OngletClients& ui);

    // Loads the client of the selected row into the panel.
    void ListCli_ItemClick();

private:
    app::Form1& m_form;
    Ui::OngletClients& m_ui;
};

}  // namespace clients
