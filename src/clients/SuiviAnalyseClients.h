#pragma once

#include <QElapsedTimer>
#include <QList>

#include "clients/Analyse.h"

class QTreeWidgetItem;
namespace Ui {
class OngletClients;
}

namespace clients {

// The window's face of the client analysis run: fills ListBN and ListCli,
// moves the progress bar and lets pending events through, a few dozen times a
// second rather than after every client, so that repainting never sets the
// pace of a long run.
class SuiviAnalyseClients : public ObservateurAnalyseClients {
public:
    explicit SuiviAnalyseClients(Ui::OngletClients& ui);
    ~SuiviAnalyseClients() override;

    void debutRangement(int nbClients) override;
    void rangement(int n, int total) override;
    void noteTropLongue(const NoteLongue& note) override;
    void debut(int nbClients) override;
    void progression(int n, int total) override;
    void clientEnErreur(const Evaluation& e, int nbCliErr, int total) override;
    void avertissement(const QString& texte) override { m_avertissements << texte; }
    // Shown once the run is over.
    const QStringList& avertissements() const { return m_avertissements; }

    // Rows not shown yet go into the list.
    void terminer();

private:
    bool moment(bool forcer);
    void afficherLignes();
    void laisserPasser();

    Ui::OngletClients& m_ui;
    QElapsedTimer m_horloge;
    QList<QTreeWidgetItem*> m_enAttente;
    QStringList m_avertissements;
};

}  // namespace clients
