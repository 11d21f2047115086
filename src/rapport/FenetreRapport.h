#pragma once

#include <QDialog>
#include <QPrinter>
#include <memory>

#include "rapport/Chiffres.h"

class QPrintPreviewWidget;
namespace Ui {
class FenetreRapport;
}
namespace commun {
struct Variables;
class Messages;
}  // namespace commun

namespace rapport {

// The report on screen, page by page as it prints and as the PDF holds it,
// with "Enregistrer en PDF" and "Imprimer".
class FenetreRapport : public QDialog {
    Q_OBJECT

public:
    FenetreRapport(Chiffres chiffres, commun::Messages& messages, QWidget* parent = nullptr);
    ~FenetreRapport() override;

    const Chiffres& chiffres() const { return m_chiffres; }
    QPrintPreviewWidget& apercu() { return *m_apercu; }

    // The buttons: each asks its standard dialog, then does the work below.
    void btnPdf_Click();
    void btnImprimer_Click();

    // Writes the PDF and says so, or says why not. True when written.
    bool enregistrerPdf(const QString& chemin);
    // Prints on a printer already set up. True when printed.
    bool imprimer(QPrinter& imprimante);

private:
    void zoom(double facteur);

    std::unique_ptr<Ui::FenetreRapport> m_ui;
    Chiffres m_chiffres;
    commun::Messages& m_messages;
    // The preview's pages are those of the PDF: A4, margins in the document.
    QPrinter m_pages;
    QPrintPreviewWidget* m_apercu;
};

// The "Rapport" button of the main window: gathers the figures, the progress
// shown, then opens the report window over that window.
void btnRapport_Click(commun::Variables& vars, commun::Messages& messages, QWidget& fenetre);

}  // namespace rapport
