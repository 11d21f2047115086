#include "purge/OngletPurge.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include "commun/Controles.h"
#include "commun/Messages.h"
#include "platform/Locale.h"
#include "purge/AnnulationPurge.h"
#include "store/Erreur.h"
#include "ui_OngletPurge.h"

namespace purge {

namespace {

// "Purge en cours" over the tab while the deletion runs.
class SuiviPurge : public ObservateurPurge {
public:
    explicit SuiviPurge(QWidget* panneau) : m_panneau(panneau) {}

    void suppressionCommencee() override {
        m_panneau->show();
        m_panneau->raise();
        // The deletion blocks the event loop: paint the panel now.
        m_panneau->window()->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void suppressionTerminee() override { m_panneau->hide(); }

private:
    QWidget* m_panneau;
};

}  // namespace

OngletPurge::OngletPurge(commun::Variables& variables, commun::Messages& messages, QWidget* page)
    : QObject(page),
      m_vars(variables),
      m_messages(messages),
      m_ui(std::make_unique<Ui::OngletPurge>()) {
    m_ui->setupUi(page);
    for (QCalendarWidget* cal : {m_ui->CalCli, m_ui->CalTech}) {
        cal->setLocale(platform::localeTravail());
        cal->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
        cal->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    }
    m_clients = {m_ui->CalCli,
                 m_ui->lblPurgeCli,
                 m_ui->lblNbCliPurge,
                 m_ui->BtnPurgeCli,
                 &PurgeClients,
                 QStringLiteral(" Voulez-vous vraiment supprimmer les %1 clients de votre fichier "
                                "clients ?")};
    m_techniques = {m_ui->CalTech,
                    m_ui->lblPurgeTech,
                    m_ui->lblNbTechPurge,
                    m_ui->btnPurgeTech,
                    &PurgeTech,
                    QStringLiteral(" Voulez-vous vraiment supprimmer les %1 Fiches de votre "
                                   "fichier fiches techniques?")};

    // A click on a day, or Enter on the selected day.
    connect(m_ui->CalCli, &QCalendarWidget::clicked, this, &OngletPurge::CalCli_Click);
    connect(m_ui->CalCli, &QCalendarWidget::activated, this, &OngletPurge::CalCli_Click);
    connect(m_ui->CalTech, &QCalendarWidget::clicked, this, &OngletPurge::CalTech_Click);
    connect(m_ui->CalTech, &QCalendarWidget::activated, this, &OngletPurge::CalTech_Click);
    connect(m_ui->BtnPurgeCli, &QPushButton::clicked, this, &OngletPurge::BtnPurgeCli_Click);
    connect(m_ui->btnPurgeTech, &QPushButton::clicked, this, &OngletPurge::btnPurgeTech_Click);
    connect(m_ui->btnAnnulerPurge, &QPushButton::clicked, this,
            &OngletPurge::btnAnnulerPurge_Click);
}

OngletPurge::~OngletPurge() = default;

void OngletPurge::preparer() {
    m_ui->CalCli->setSelectedDate(QDate(2005, 1, 1));
    m_ui->CalTech->setSelectedDate(QDate(2005, 1, 1));
    m_ui->Frame5->hide();
    commun::placer(m_ui->Frame5, 405, 1155, 8655, 5205);
}

void OngletPurge::CalCli_Click(const QDate& date) {
    choisirDate(m_clients, date);
}

void OngletPurge::CalTech_Click(const QDate& date) {
    choisirDate(m_techniques, date);
}

void OngletPurge::BtnPurgeCli_Click() {
    purger(m_clients);
}

void OngletPurge::btnPurgeTech_Click() {
    purger(m_techniques);
}

void OngletPurge::btnAnnulerPurge_Click() {
    commun::Variables& vars = m_vars;
    commun::Messages& messages = m_messages;
    commun::tenter(
        messages,
        [&] {
            const auto derniere = dernierePurge(vars);
            if (!derniere) {
                messages.information(messageAucunePurge());
                return;
            }
            if (!messages.question(questionAnnulationPurge(*derniere))) {
                return;
            }
            const ResultatAnnulationPurge r = [&] {
                const commun::Attente attente;
                return AnnulerPurge(vars, derniere->lot);
            }();
            if (!r.faite) {
                messages.exclamation(r.refus);
                return;
            }
            messages.information(messagePurgeAnnulee(r));
            // What came back changes the counts of the dates still chosen.
            for (Moitie* moitie : {&m_clients, &m_techniques}) {
                if (!moitie->date->text().isEmpty()) {
                    changementDate(*moitie);
                }
            }
        },
        QStringLiteral("La purge n'a pas été annulée.\r\n"));
}

void OngletPurge::choisirDate(Moitie& moitie, const QDate& date) {
    moitie.date->setText(texteDate(date, platform::localeTravail()));
    changementDate(moitie);
}

// lblPurgeCli / lblPurgeTech Change: a label has no change event of its own,
// so whoever sets the caption calls this.
void OngletPurge::changementDate(Moitie& moitie) {
    if (moitie.date->text().isEmpty()) {
        moitie.bouton->setEnabled(false);
        return;
    }
    moitie.bouton->setEnabled(true);
    ObservateurPurge sansPanneau;
    try {
        const qint64 n = moitie.purger(m_vars, moitie.date->text(), Mode::Lecture, sansPanneau);
        moitie.nombre->setText(QString::number(n));
    } catch (const store::ErreurStore& e) {
        // Without a count there is nothing to confirm.
        moitie.nombre->clear();
        moitie.bouton->setEnabled(false);
        m_messages.exclamation(e.message());
    }
}

void OngletPurge::purger(Moitie& moitie) {
    if (!m_messages.question(moitie.question.arg(moitie.nombre->text()))) {
        return;
    }
    SuiviPurge panneau(m_ui->Frame5);
    // On a failure nothing was deleted: the date, count and button stay for
    // another try.
    if (!commun::tenter(m_messages, [&] {
            moitie.purger(m_vars, moitie.date->text(), Mode::Purge, panneau);
        })) {
        return;
    }
    m_messages.information(messagePurgeFaite());
    moitie.nombre->clear();
    moitie.date->clear();
    changementDate(moitie);
}

}  // namespace purge
