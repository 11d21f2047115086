#pragma once

#include <QWidget>
#include <memory>

#include "commun/Cadre.h"

namespace Ui {
class Form1;
}
namespace commun {
struct Variables;
class Messages;
}  // namespace commun
namespace clients {
class OngletClients;
}
namespace tech {
class OngletTechniques;
}
namespace purge {
class OngletPurge;
}

namespace app {

// The main window: a title, the three tabs (each driven by its own controller),
// "Rapport", "Quitter", and the export progress panel laid over the tabs.
class Form1 : public QWidget, public commun::Cadre {
    Q_OBJECT

public:
    Form1(commun::Variables& variables, commun::Messages& messages, QWidget* parent = nullptr);
    ~Form1() override;

    Ui::Form1& ui() { return *m_ui; }
    commun::Variables& variables() { return m_vars; }
    commun::Messages& messages() { return m_messages; }
    clients::OngletClients& ongletClients() { return *m_clients; }
    tech::OngletTechniques& ongletTechniques() { return *m_techniques; }
    purge::OngletPurge& ongletPurge() { return *m_purge; }

    // Closes the towns reference, ignoring every failure.
    void QueryUnload() noexcept;

    void montrerProgression() override;
    void ajouterProgression(const QString& ligne) override;
    void cacherProgression() override;
    void fermerZones() override;

protected:
    void closeEvent(QCloseEvent* evenement) override;

private:
    void Form1_Load();
    void SSTab1_Click(int index);

    std::unique_ptr<Ui::Form1> m_ui;
    commun::Variables& m_vars;
    commun::Messages& m_messages;
    std::unique_ptr<clients::OngletClients> m_clients;
    std::unique_ptr<tech::OngletTechniques> m_techniques;
    std::unique_ptr<purge::OngletPurge> m_purge;
};

}  // namespace app
