#pragma once

#include <QList>
#include <QObject>
#include <memory>
#include <vector>

class QWidget;
namespace Ui {
class OngletClients;
}
namespace commun {
struct Variables;
class Messages;
class Cadre;
}  // namespace commun

namespace clients {

class PanneauClient;
class PanneauCp;
struct Evaluation;

// The CLIENTS tab: analysis run, correction panel, postal code panel, export.
class OngletClients : public QObject {
    Q_OBJECT

public:
    OngletClients(commun::Variables& variables, commun::Messages& messages, commun::Cadre& cadre,
                  QWidget* page);
    ~OngletClients() override;

    Ui::OngletClients& ui() { return *m_ui; }
    PanneauClient& panneau() { return *m_panneau; }

    // The main window's load, as far as this tab goes.
    void Form1_Load();

    // The client analysis run (the "Analyse Base de données" button).
    void btnAnalyseBd_Click();
    bool analyseEnCours() const { return m_enCours; }

    // Opens the grouped correction on the values in error of the listed clients.
    void btnCorrectionGroupee_Click();
    // Undoes the last save of the panel, grouped correction or merge.
    void btnAnnulerCorrection_Click();
    // Opens the duplicate clients; the list follows the merges made there.
    void btnDoublons_Click();
    // The rows of these clients, judged again, renewed, added or removed; the
    // caption, the panel and the buttons follow.
    void renouvelerListe(const std::vector<Evaluation>& clients, int nbClients);

    // The text boxes of the tab, which emptying a panel closes.
    QList<QWidget*> zonesTexte() const;

signals:
    // An analysis run went to its end.
    void analyseTerminee();

protected:
    // The window cannot be closed under a run that uses the towns reference.
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void majBoutons();

    commun::Variables& m_vars;
    commun::Messages& m_messages;
    commun::Cadre& m_cadre;
    // The main window: locked during a run, which it cannot close.
    QWidget& m_fenetre;
    std::unique_ptr<Ui::OngletClients> m_ui;
    std::unique_ptr<PanneauClient> m_panneau;
    std::unique_ptr<PanneauCp> m_panneauCp;
    bool m_enCours = false;
    bool m_analyseFaite = false;
};

}  // namespace clients
