#include "rapport/FenetreRapport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QVBoxLayout>
#include <optional>

#include "commun/Controles.h"
#include "commun/Messages.h"
#include "commun/Variables.h"
#include "platform/Erreur.h"
#include "platform/ErreurFichier.h"
#include "rapport/Document.h"
#include "store/Erreur.h"
#include "ui_FenetreRapport.h"

namespace rapport {

namespace {

void reglerPages(QPrinter& imprimante) {
    imprimante.setPageSize(QPageSize(QPageSize::A4));
    imprimante.setPageOrientation(QPageLayout::Portrait);
}

// The window's face of the gathering: a progress dialog over the main window,
// repainted a few dozen times a second rather than for every client.
class SuiviRassemblement : public ObservateurRassemblement {
public:
    explicit SuiviRassemblement(QWidget* parent)
        : m_dialogue(QStringLiteral("Préparation du rapport…"), QString(), 0, 0, parent) {
        m_dialogue.setWindowTitle(QStringLiteral("Rapport de migration"));
        m_dialogue.setWindowModality(Qt::WindowModal);
        m_dialogue.setCancelButton(nullptr);
        m_dialogue.setMinimumDuration(300);
        m_dialogue.setAutoClose(false);
        m_horloge.start();
    }

    void clients(qint64 n, qint64 total) override {
        avancer(QStringLiteral("Lecture des clients et de leurs notes…"), n, total);
    }
    void fiches(qint64 n, qint64 total) override {
        avancer(QStringLiteral("Lecture des fiches techniques…"), n, total);
    }

private:
    void avancer(const QString& libelle, qint64 n, qint64 total) {
        if (n != total && m_horloge.elapsed() < 40) {
            return;
        }
        m_horloge.restart();
        if (m_dialogue.labelText() != libelle) {
            m_dialogue.setLabelText(libelle);
        }
        // A progress bar counts in int: large counts are scaled down.
        const qint64 echelle = total / 100000 + 1;
        m_dialogue.setMaximum(static_cast<int>(total / echelle));
        m_dialogue.setValue(static_cast<int>(n / echelle));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

    QProgressDialog m_dialogue;
    QElapsedTimer m_horloge;
};

}  // namespace

FenetreRapport::FenetreRapport(Chiffres chiffres, commun::Messages& messages, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::FenetreRapport>()),
      m_chiffres(std::move(chiffres)),
      m_messages(messages),
      m_pages(QPrinter::HighResolution) {
    m_ui->setupUi(this);
    m_pages.setOutputFormat(QPrinter::PdfFormat);
    reglerPages(m_pages);
    m_pages.setPageMargins(QMarginsF(0, 0, 0, 0));
    m_apercu = new QPrintPreviewWidget(&m_pages, m_ui->zoneApercu);
    m_apercu->setObjectName(QStringLiteral("apercu"));
    auto* disposition = new QVBoxLayout(m_ui->zoneApercu);
    disposition->setContentsMargins(0, 0, 0, 0);
    disposition->addWidget(m_apercu);
    m_apercu->setZoomMode(QPrintPreviewWidget::FitToWidth);

    connect(m_apercu, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* imprimante) {
        const int n = peindre(m_chiffres, *imprimante);
        m_ui->lblPages->setText(n > 1 ? QStringLiteral("%1 pages").arg(n)
                                      : QStringLiteral("%1 page").arg(n));
    });
    connect(m_ui->btnPdf, &QPushButton::clicked, this, &FenetreRapport::btnPdf_Click);
    connect(m_ui->btnImprimer, &QPushButton::clicked, this, &FenetreRapport::btnImprimer_Click);
    connect(m_ui->btnFermer, &QPushButton::clicked, this, &QDialog::close);
    connect(m_ui->btnZoomPlus, &QPushButton::clicked, this, [this] { zoom(1.25); });
    connect(m_ui->btnZoomMoins, &QPushButton::clicked, this, [this] { zoom(0.8); });
    m_apercu->updatePreview();
}

FenetreRapport::~FenetreRapport() = default;

void FenetreRapport::zoom(double facteur) {
    if (facteur > 1) {
        m_apercu->zoomIn(facteur);
    } else {
        m_apercu->zoomOut(1 / facteur);
    }
}

void FenetreRapport::btnPdf_Click() {
    const QString propose =
        QDir(m_chiffres.dossier)
            .filePath(QStringLiteral("Rapport de migration %1.pdf")
                          .arg(m_chiffres.date.toString(QStringLiteral("yyyy-MM-dd"))));
    QString chemin =
        QFileDialog::getSaveFileName(this, QStringLiteral("Enregistrer le rapport en PDF"), propose,
                                     QStringLiteral("Documents PDF (*.pdf)"));
    if (chemin.isEmpty()) {
        return;
    }
    if (!chemin.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        chemin += QStringLiteral(".pdf");
    }
    enregistrerPdf(chemin);
}

bool FenetreRapport::enregistrerPdf(const QString& chemin) {
    if (!commun::tenter(m_messages, [&] {
            const commun::Attente attente;
            ecrirePdf(m_chiffres, chemin);
        })) {
        return false;
    }
    m_messages.information(
        QStringLiteral("Rapport enregistré : %1").arg(QDir::toNativeSeparators(chemin)));
    return true;
}

void FenetreRapport::btnImprimer_Click() {
    QPrinter imprimante(QPrinter::HighResolution);
    reglerPages(imprimante);
    QPrintDialog dialogue(&imprimante, this);
    dialogue.setWindowTitle(QStringLiteral("Imprimer le rapport"));
    if (dialogue.exec() != QDialog::Accepted) {
        return;
    }
    imprimer(imprimante);
}

bool FenetreRapport::imprimer(QPrinter& imprimante) {
    int n = 0;
    {
        const commun::Attente attente;
        n = peindre(m_chiffres, imprimante);
    }
    if (n == 0) {
        m_messages.exclamation(
            QStringLiteral("L'impression du rapport a échoué : l'imprimante « %1 » n'a pas "
                           "accepté le document.")
                .arg(imprimante.printerName()));
        return false;
    }
    return true;
}

void btnRapport_Click(commun::Variables& vars, commun::Messages& messages, QWidget& fenetre) {
    std::optional<Chiffres> chiffres;
    QString echec;
    {
        const commun::Attente attente;
        SuiviRassemblement suivi(&fenetre);
        try {
            chiffres = rassembler(vars, &suivi);
        } catch (const platform::Erreur& e) {
            echec = e.message();
        }
    }
    if (!chiffres) {
        messages.exclamation(QStringLiteral("Le rapport n'a pas pu être préparé : %1").arg(echec));
        return;
    }
    auto* vue = new FenetreRapport(std::move(*chiffres), messages, &fenetre);
    vue->setAttribute(Qt::WA_DeleteOnClose);
    vue->resize(std::min(fenetre.width(), 1000), fenetre.height());
    vue->open();
}

}  // namespace rapport
