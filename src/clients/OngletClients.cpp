#include "clients/OngletClients.h"

#include "app/Controles.h"
#include "app/Form1.h"
#include "app/Variables.h"
#include "ui_OngletClients.h"

namespace clients {

OngletClients::OngletClients(app::Form1& form, QWidget* page)
    : QObject(page), m_form(form), m_ui(std::make_unique<Ui::OngletClients>()) {
    m_ui->setupUi(page);
    // "Nom" is three times as wide as each error column.
    m_ui->ListCli->setColumnWidth(0, 40);
    m_ui->ListCli->setColumnWidth(1, 120);
    for (int c = 2; c < m_ui->ListCli->columnCount(); ++c) {
        m_ui->ListCli->setColumnWidth(c, 40);
    }
    m_ui->ListBN->setColumnWidth(0, 80);
}

OngletClients::~OngletClients() = default;

void OngletClients::Form1_Load() {
    app::placer(m_ui->Frame2, 6500, 3975, 3105, 3045);
    m_ui->Frame2->hide();
    m_ui->Frame2->raise();
    m_ui->Frame1->setEnabled(false);
    m_ui->lblAttente->setText(QStringLiteral("Analyse du fichier clients\r\nen cours."));
    m_ui->lblAttente->hide();
    m_ui->txtcpdef->setText(m_form.variables().CpDefaut);
    m_ui->txtvilledef->setText(m_form.variables().VilleDefaut);
}

}  // namespace clients
