#include "app/MessagesQt.h"

#include <QMessageBox>

namespace app {

void MessagesQt::information(const QString& texte) {
    QMessageBox::information(m_parent, commun::titreApplication(), texte);
}

void MessagesQt::exclamation(const QString& texte) {
    QMessageBox::warning(m_parent, commun::titreApplication(), texte);
}

bool MessagesQt::question(const QString& texte) {
    QMessageBox boite(QMessageBox::NoIcon, commun::titreApplication(), texte,
                      QMessageBox::Yes | QMessageBox::No, m_parent);
    boite.setButtonText(QMessageBox::Yes, QStringLiteral("Oui"));
    boite.setButtonText(QMessageBox::No, QStringLiteral("Non"));
    return boite.exec() == QMessageBox::Yes;
}

}  // namespace app
