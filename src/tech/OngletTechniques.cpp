#include "tech/OngletTechniques.h"

#include <QCollator>

#include "app/Form1.h"
#include "ui_OngletTechniques.h"

namespace tech {

namespace {

// The families of the salon, in the order the window adds them; the list shows
// them sorted.
const QStringList& familles() {
    static const QStringList f = {
        QStringLiteral("Shampooing"), QStringLiteral("Soin"),      QStringLiteral("Coupe"),
        QStringLiteral("Coiffage"),   QStringLiteral("Coloration"), QStringLiteral("Décoloration"),
        QStringLiteral("Rinçage"),    QStringLiteral("Mèches"),     QStringLiteral("Balayage"),
        QStringLiteral("Permanente"), QStringLiteral("Renforçateur")};
    return f;
}

}  // namespace

OngletTechniques::OngletTechniques(app::Form1& form, QWidget* page)
    : QObject(page), m_form(form), m_ui(std::make_unique<Ui::OngletTechniques>()) {
    m_ui->setupUi(page);
    for (auto* liste : {m_ui->ListCliTech, m_ui->ListMemo}) {
        liste->setColumnWidth(0, 70);
        liste->setColumnWidth(1, 100);
        liste->setColumnWidth(2, 190);
        liste->setColumnWidth(3, 70);
    }
}

OngletTechniques::~OngletTechniques() = default;

void OngletTechniques::Form1_Load() {
    m_ui->lblAttenteRTF->setText(QStringLiteral("Analyse du fichier Technique\r\nen cours."));
    m_ui->lblAttenteRTF->hide();
    // A sorted drop-down list: each family goes in at its alphabetical place.
    QCollator ordre(QLocale(QLocale::French, QLocale::France));
    ordre.setCaseSensitivity(Qt::CaseInsensitive);
    for (const QString& f : familles()) {
        int i = 0;
        while (i < m_ui->comboFam->count() && ordre.compare(m_ui->comboFam->itemText(i), f) <= 0) {
            ++i;
        }
        m_ui->comboFam->insertItem(i, f);
    }
}

}  // namespace tech
