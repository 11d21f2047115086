#include "app/MessagesQt.h"

#include <QMessageBox>

namespace app {

void MessagesQt::information(const QString& texte) {
    QMessageBox::information(m_parent, titreApplication(), texte);
}

void MessagesQt::exclamation(const QString& texte) {
    QMessageBox::warning(m_parent, titreApplication(), texte);
}

bool MessagesQt::question(const QString& texte) {
    QMessageBox boite(QMessageBox::NoIcon, titreApplication(), texte,
                      QMessageBox::Yes | QMessageBox::No, m_parent);
    boite.setButtonText(QMessageBox::Yes, QStringLiteral("Oui"));
    boite.setButtonText(QMessageBox::No, QStringLiteral("Non"));
    return boite.exec() == QMessageBox::Yes;
}

}  // namespace app
