#include "rapport/Document.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include "platform/ErreurFichier.h"
#include "platform/Fichiers.h"
#include "rapport/Chiffres.h"
#include "rapport/Graphique.h"
#include "rapport/MiseEnPage.h"
#include "rapport/Sections.h"

namespace rapport {

std::unique_ptr<QTextDocument> composer(const Chiffres& c, QPagedPaintDevice& appareil) {
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(&appareil);
    doc->setUseDesignMetrics(true);
    doc->setUndoRedoEnabled(false);
    QFont police(QStringLiteral("Liberation Sans"));
    police.setStyleHint(QFont::SansSerif);
    police.setPointSizeF(10);
    doc->setDefaultFont(police);
    doc->setPageSize(QSizeF(appareil.width(), appareil.height()));
    Redaction r(*doc, resolutionFormats(), appareil);
    QTextFrameFormat racine = doc->rootFrame()->frameFormat();
    racine.setLeftMargin(r.mm(18));
    racine.setRightMargin(r.mm(18));
    racine.setTopMargin(r.mm(16));
    racine.setBottomMargin(r.mm(20));
    racine.setPadding(0);
    racine.setBorder(0);
    doc->rootFrame()->setFrameFormat(racine);
    ObjetGraphique::enregistrer(*doc);

    // One edit: the document is laid out once, not after every cell.
    QTextCursor edition(doc.get());
    edition.beginEditBlock();
    rediger(r, c);
    edition.endEditBlock();
    garderTitresAvecSuite(*doc, r.echelle());
    return doc;
}

namespace {

// The bands under a list's lines: the header's, and every other row's. A
// line's extra height lies below its text; each band is raised by half of
// it, so the text sits in its middle. A page that goes on with a list shows
// the list's header again, on a band just above its first row. `premier` is
// the page's first block; the painter works in document coordinates.
void peindreBandes(QPainter& p, const QTextDocument& doc, const QTextBlock& premier, qreal haut,
                   std::pair<qreal, qreal> xs) {
    const qreal bas = haut + doc.pageSize().height();
    const auto bande = [&](const QTextBlock& b, qreal y) {
        const QTextLayout* l = b.layout();
        const qreal naturelle = l->lineCount() > 0 ? l->lineAt(0).height() : 0;
        const qreal pas = naturelle * kInterligne / 100.0 * std::max(1, l->lineCount());
        const qreal leve = naturelle * (kInterligne - 100) / 200.0;
        return QRectF(xs.first, y - leve, xs.second - xs.first, pas);
    };
    for (QTextBlock b = premier; b.isValid(); b = b.next()) {
        const qreal y = hautLigne(doc, b);
        if (y >= bas) {
            break;
        }
        const QTextBlockFormat f = b.blockFormat();
        if (f.boolProperty(kProprieteEntete)) {
            p.fillRect(bande(b, y), kEntete);
        } else if (f.boolProperty(kProprieteZebre)) {
            p.fillRect(bande(b, y), kZebre);
        }
    }
    if (!premier.isValid() || premier.blockFormat().intProperty(kProprieteListe) == 0 ||
        premier.blockFormat().boolProperty(kProprieteEntete)) {
        return;
    }
    const int liste = premier.blockFormat().intProperty(kProprieteListe);
    QTextBlock entete = premier;
    while (entete.isValid() && !(entete.blockFormat().boolProperty(kProprieteEntete) &&
                                 entete.blockFormat().intProperty(kProprieteListe) == liste)) {
        entete = entete.previous();
    }
    if (!entete.isValid()) {
        return;
    }
    const QRectF dessous = bande(premier, hautLigne(doc, premier));
    const QRectF dessus = bande(entete, hautLigne(doc, entete));
    const qreal decalage = dessous.top() - dessus.bottom();
    p.fillRect(dessus.translated(0, decalage), kEntete);
    entete.layout()->draw(&p, QPointF(0, decalage));
}

}  // namespace

int peindre(const Chiffres& c, QPagedPaintDevice& appareil) {
    const std::unique_ptr<QTextDocument> doc = composer(c, appareil);
    QPainter p;
    if (!p.begin(&appareil)) {
        return 0;
    }
    const QSizeF page = doc->pageSize();
    const qreal dpi = appareil.logicalDpiY();
    const auto mm = [dpi](qreal v) { return v * dpi / 25.4; };
    const int nbPages = doc->pageCount();
    const QString titre = QStringLiteral("Rapport de migration, dossier %1, %2")
                              .arg(QFileInfo(c.dossier).fileName(), dateCourte(c.date));
    QAbstractTextDocumentLayout* mise = doc->documentLayout();
    QAbstractTextDocumentLayout::PaintContext contexte;
    contexte.palette.setColor(QPalette::Text, kEncre);
    const QTextFrameFormat racine = doc->rootFrame()->frameFormat();
    const qreal echelle = dpi / resolutionFormats();
    const std::pair<qreal, qreal> largeurContenu{racine.leftMargin() * echelle,
                                                 page.width() - racine.rightMargin() * echelle};
    QTextBlock premier = doc->begin();
    for (int i = 0; i < nbPages; ++i) {
        if (i > 0 && !appareil.newPage()) {
            return 0;
        }
        // The bands of the lists first, the text over them.
        while (premier.isValid() && hautLigne(*doc, premier) < page.height() * i) {
            premier = premier.next();
        }
        p.save();
        p.translate(0, -page.height() * i);
        peindreBandes(p, *doc, premier, page.height() * i, largeurContenu);
        contexte.clip = QRectF(0, page.height() * i, page.width(), page.height());
        mise->draw(&p, contexte);
        p.restore();

        QFont pied = doc->defaultFont();
        pied.setPointSizeF(8);
        p.setFont(pied);
        p.setPen(kDiscret);
        const QRectF ligne(mm(18), page.height() - mm(14), page.width() - mm(36), mm(6));
        p.drawLine(ligne.topLeft(), ligne.topRight());
        p.drawText(ligne, Qt::AlignLeft | Qt::AlignBottom, titre);
        p.drawText(ligne, Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("Page %1 / %2").arg(i + 1).arg(nbPages));
    }
    p.end();
    return nbPages;
}

int ecrirePdf(const Chiffres& c, const QString& chemin) {
    const QString nom = QDir::toNativeSeparators(chemin);
    const QFileInfo info(chemin);
    if (!info.absoluteDir().exists()) {
        throw platform::ErreurFichier(
            chemin, QStringLiteral("Impossible d'écrire le rapport « %1 » : le dossier « %2 » "
                                   "n'existe pas.")
                        .arg(nom, QDir::toNativeSeparators(info.absolutePath())));
    }
    QBuffer tampon;
    tampon.open(QIODevice::WriteOnly);
    int nbPages = 0;
    {
        QPdfWriter pdf(&tampon);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(300);
        pdf.setTitle(QStringLiteral("Rapport de migration du fichier clients"));
        pdf.setCreator(QStringLiteral("VerifClients"));
        nbPages = peindre(c, pdf);
    }
    if (nbPages == 0) {
        throw platform::ErreurFichier(
            chemin, QStringLiteral("Impossible d'écrire le rapport « %1 » : la mise en page a "
                                   "échoué.")
                        .arg(nom));
    }
    QSaveFile fichier(chemin);
    if (!fichier.open(QIODevice::WriteOnly) ||
        fichier.write(tampon.data()) != tampon.data().size() || !fichier.commit()) {
        throw platform::ErreurFichier(chemin,
                                      QStringLiteral("Impossible d'écrire le rapport « %1 » : %2.")
                                          .arg(nom, platform::cause(fichier)));
    }
    return nbPages;
}

}  // namespace rapport
