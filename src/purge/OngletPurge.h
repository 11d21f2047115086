#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "purge/Purge.h"

class QCalendarWidget;
class QDate;
class QLabel;
class QPushButton;
class QWidget;
namespace Ui {
class OngletPurge;
}
namespace commun {
struct Variables;
class Messages;
}  // namespace commun

namespace purge {

// The PURGE tab: old clients and old technical sheets, counted then deleted.
// Its two halves work alike and independently.
class OngletPurge : public QObject {
    Q_OBJECT

public:
    OngletPurge(commun::Variables& variables, commun::Messages& messages, QWidget* page);
    ~OngletPurge() override;

    Ui::OngletPurge& ui() { return *m_ui; }

    // On selecting the tab: both calendars on 1 January 2005, Frame5 hidden.
    // The date labels and counts stay.
    void preparer();

private:
    // One half of the tab: its calendar, labels, button and core run.
    struct Moitie {
        QCalendarWidget* calendrier;
        QLabel* date;
        QLabel* nombre;
        QPushButton* bouton;
        qint64 (*purger)(commun::Variables&, const QString&, Mode, ObservateurPurge&);
        QString question;  // %1: the count
    };

    void CalCli_Click(const QDate& date);
    void CalTech_Click(const QDate& date);
    void BtnPurgeCli_Click();
    void btnPurgeTech_Click();
    void btnAnnulerPurge_Click();

    void choisirDate(Moitie& moitie, const QDate& date);
    void changementDate(Moitie& moitie);
    void purger(Moitie& moitie);

    commun::Variables& m_vars;
    commun::Messages& m_messages;
    std::unique_ptr<Ui::OngletPurge> m_ui;
    Moitie m_clients;
    Moitie m_techniques;
};

}  // namespace purge
