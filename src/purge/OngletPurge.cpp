#include "purge/OngletPurge.h"

#include <QCalendarWidget>

#include "app/Controles.h"
#include "app/Form1.h"
#include "platform/Locale.h"
#include "ui_OngletPurge.h"

namespace purge {

OngletPurge::OngletPurge(app::Form1& form, QWidget* page)
    : QObject(page), m_form(form), m_ui(std::make_unique<Ui::OngletPurge>()) {
    m_ui->setupUi(page);
    for (QCalendarWidget* cal : {m_ui->CalCli, m_ui->CalTech}) {
        cal->setLocale(platform::localeTravail());
        cal->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
        cal->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    }
}

OngletPurge::~OngletPurge() = default;

void OngletPurge::preparer() {
    m_ui->CalCli->setSelectedDate(QDate(2005, 1, 1));
    m_ui->CalTech->setSelectedDate(QDate(2005, 1, 1));
    m_ui->Frame5->hide();
    app::placer(m_ui->Frame5, 405, 1155, 8655, 5205);
}

}  // namespace purge
