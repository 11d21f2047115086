#include "app/Procedures.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeWidget>

#include "app/Form1.h"
#include "commun/Controles.h"

namespace app {

namespace {

template <class T>
T* controle(Form1& form, const char* nom) {
    return form.findChild<T*>(QString::fromLatin1(nom));
}

void vider(Form1& form, const char* nom) {
    if (auto* zone = controle<QLineEdit>(form, nom)) {
        zone->clear();
    }
}

void legende(Form1& form, const char* nom) {
    if (auto* l = controle<QLabel>(form, nom)) {
        l->clear();
    }
}

}  // namespace

void ViderChamps(Form1& form, Panneau panneau) {
    if (panneau == Panneau::Client) {
        legende(form, "lblNom");
        legende(form, "lblPrenom");
        for (const char* nom : {"txtAdresse", "txtAdresse2", "TxtVille", "txtCp", "txtTel1",
                                "txtTel2", "txtCatAge", "txtMoisNais", "txtEmail", "txtGenCode"}) {
            vider(form, nom);
        }
    } else {
        legende(form, "lbDateCreat");
        for (const char* nom :
             {"txtService", "txtDivers1", "txtDivers2", "txtTech", "txtFamille"}) {
            vider(form, nom);
        }
    }
    // Every text box of the window, not only the panel's.
    // (The editors inside calendars and lists are Qt's own, not text boxes.)
    auto estZone = [](const QWidget* w) {
        return w->objectName().startsWith(QLatin1String("txt"), Qt::CaseInsensitive);
    };
    for (QLineEdit* zone : form.findChildren<QLineEdit*>()) {
        if (estZone(zone)) {
            commun::colorer(zone, false);
            zone->setEnabled(false);
        }
    }
    for (QPlainTextEdit* zone : form.findChildren<QPlainTextEdit*>()) {
        if (estZone(zone)) {
            commun::colorer(zone, false);
            zone->setEnabled(false);
        }
    }
}

void CouleurChamps(Form1& form, QTreeWidget* liste) {
    const QTreeWidgetItem* ligne = commun::ligneSelectionnee(liste);
    auto marque = [ligne](int colonne) {
        return ligne && ligne->text(colonne) == QLatin1String("x");
    };
    if (liste->objectName() == QLatin1String("ListCliTech")) {
        const bool erreur = marque(3);
        if (auto* famille = controle<QLineEdit>(form, "txtFamille")) {
            commun::colorer(famille, erreur);
        }
        if (auto* bouton = controle<QPushButton>(form, "BtnModifFam")) {
            bouton->setEnabled(erreur);
        }
        return;
    }
    if (auto* cp = controle<QLineEdit>(form, "txtCp")) {
        cp->setMaxLength(32767);
    }
    const std::pair<const char*, int> champs[] = {
        {"txtAdresse", 4},  {"txtAdresse2", 5}, {"TxtVille", 6},         {"txtCp", 7},
        {"txtCatAge", 8},   {"txtMoisNais", 9}, {"txtTel1", 10},         {"txtTel2", 11},
        {"txtGenCode", 12}, {"txtEmail", 13},   {"txtDatenaissance", 14}};
    for (const auto& [nom, colonne] : champs) {
        if (auto* zone = controle<QLineEdit>(form, nom)) {
            commun::colorer(zone, marque(colonne));
        }
    }
}

}  // namespace app
