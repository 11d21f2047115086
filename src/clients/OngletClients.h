#pragma once

#include <QObject>
#include <memory>

class QWidget;
namespace Ui {
class OngletClients;
}
namespace app {
class Form1;
}

namespace clients {

// The CLIENTS tab: analysis run, correction panel, postal code panel, export.
class OngletClients : public QObject {
    Q_OBJECT

public:
    OngletClients(app::Form1& form, QWidget* page);
    ~OngletClients() override;

    Ui::OngletClients& ui() { return *m_ui; }

    // The main window's load, as far as this tab goes.
    void Form1_Load();

private:
    app::Form1& m_form;
    std::unique_ptr<Ui::OngletClients> m_ui;
};

}  // namespace clients
