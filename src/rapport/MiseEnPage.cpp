#include "rapport/MiseEnPage.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>
#include <cmath>

#include "rapport/Document.h"
#include "rapport/Graphique.h"

namespace rapport {

namespace {

// A value on one line: a tab or a line break of the data would break a list's
// columns or rows.
QString surUneLigne(QString t) {
    for (const QChar c : {QChar(u'\t'), QChar(u'\r'), QChar(u'\n'), QChar(QChar::LineSeparator),
                          QChar(QChar::ParagraphSeparator)}) {
        t.replace(c, u' ');
    }
    return t;
}

}  // namespace

qreal hautLigne(const QTextDocument& doc, const QTextBlock& b) {
    const QTextLayout* l = b.layout();
    return doc.documentLayout()->blockBoundingRect(b).top() +
           (l && l->lineCount() > 0 ? l->lineAt(0).y() : 0);
}

QTextCharFormat Redaction::texte(qreal taille, bool gras, const QColor& couleur) const {
    QTextCharFormat f;
    f.setFontPointSize(taille);
    f.setFontWeight(gras ? QFont::Bold : QFont::Normal);
    f.setForeground(couleur);
    return f;
}

void Redaction::titreDocument(const QString& titre, const QString& sousTitre) {
    QTextBlockFormat b;
    b.setBottomMargin(pt(2));
    bloc(b, texte(20, true, kTitre));
    m_c.insertText(titre);
    b.setBottomMargin(pt(10));
    bloc(b, texte(10, false, kDiscret));
    m_c.insertText(sousTitre);
}

void Redaction::section(const QString& titre) {
    ++m_section;
    QTextBlockFormat b;
    b.setTopMargin(pt(16));
    b.setBottomMargin(pt(6));
    b.setProperty(kProprieteTitre, mmAppareil(30));
    bloc(b, texte(14, true, kTitre));
    m_c.insertText(QStringLiteral("%1. %2").arg(m_section).arg(titre));
}

void Redaction::sousTitre(const QString& titre, qreal suite) {
    QTextBlockFormat b;
    b.setTopMargin(pt(10));
    b.setBottomMargin(pt(4));
    b.setProperty(kProprieteTitre, suite > 0 ? suite : mmAppareil(25));
    bloc(b, texte(11, true, kTitre));
    m_c.insertText(titre);
}

void Redaction::paragraphe(const QString& t, const QColor& couleur, qreal taille) {
    QTextBlockFormat b;
    b.setBottomMargin(pt(4));
    bloc(b, texte(taille, false, couleur));
    m_c.insertText(t);
}

void Redaction::fiche(const QList<QPair<QString, QString>>& lignes) {
    QTextTableFormat t = formatTable();
    t.setBorder(0);
    t.setCellSpacing(0);
    t.setCellPadding(pt(2.5));
    t.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    t.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 24),
                                 QTextLength(QTextLength::PercentageLength, 76)});
    QTextTable* table = m_c.insertTable(static_cast<int>(lignes.size()), 2, t);
    for (int r = 0; r < lignes.size(); ++r) {
        ecrire(table, r, 0, lignes[r].first, texte(10, true, kDiscret), Alignement::Gauche);
        ecrire(table, r, 1, lignes[r].second, texte(10), Alignement::Gauche);
    }
    apresTable();
}

void Redaction::chiffresCles(const QList<QPair<qint64, QString>>& cles) {
    QTextTableFormat t = formatTable();
    t.setBorder(0);
    t.setCellSpacing(pt(5));
    t.setCellPadding(pt(6));
    QList<QTextLength> largeurs;
    for (qsizetype i = 0; i < cles.size(); ++i) {
        largeurs << QTextLength(QTextLength::PercentageLength, 100.0 / cles.size());
    }
    t.setColumnWidthConstraints(largeurs);
    QTextTable* table = m_c.insertTable(1, static_cast<int>(cles.size()), t);
    QTextTableCellFormat fond;
    fond.setBackground(kZebre);
    for (int i = 0; i < cles.size(); ++i) {
        QTextTableCell cellule = table->cellAt(0, i);
        cellule.setFormat(fond);
        QTextCursor c = cellule.firstCursorPosition();
        c.insertText(nombre(cles[i].first), texte(18, true, kTitre));
        c.insertBlock(QTextBlockFormat(), texte(9, false, kDiscret));
        c.insertText(cles[i].second);
    }
    apresTable();
}

void Redaction::tableau(const QStringList& entetes, const QList<QStringList>& lignes,
                        const QList<qreal>& largeurs, const QList<Alignement>& alignements) {
    const int liste = ++m_listes;
    const QTextFrameFormat racine = m_doc.rootFrame()->frameFormat();
    const qreal largeurTexte =
        m_doc.pageSize().width() / echelle() - racine.leftMargin() - racine.rightMargin();
    const qreal marge = pt(3);
    QList<QTextOption::Tab> taquets;
    QList<qreal> largeursCellules;  // on the device, for the wrapping
    qreal x = 0;
    for (int c = 0; c < largeurs.size(); ++c) {
        const qreal l = largeurTexte * largeurs[c] / 100.0;
        // Text after a column of figures keeps clear of their last digit.
        const qreal retrait = c > 0 && alignements.value(c - 1) == Alignement::Droite &&
                                      alignements.value(c) != Alignement::Droite
                                  ? 3 * marge
                                  : 0;
        if (c > 0) {
            taquets << (alignements.value(c) == Alignement::Droite
                            ? QTextOption::Tab(x + l - marge, QTextOption::RightTab)
                            : QTextOption::Tab(x + marge + retrait, QTextOption::LeftTab));
        }
        largeursCellules << (l - 3 * marge - retrait) * echelle();
        x += l;
    }
    QTextBlockFormat format;
    format.setTabPositions(taquets);
    format.setTextIndent(marge);
    format.setLineHeight(kInterligne, QTextBlockFormat::ProportionalHeight);
    format.setProperty(kProprieteListe, liste);

    QTextBlockFormat entete = format;
    entete.setTopMargin(pt(2));
    entete.setProperty(kProprieteEntete, true);
    entete.setProperty(kProprieteTitre, mmAppareil(15));
    bloc(entete, texte(9, true));
    m_c.insertText(entetes.join(u'\t'));

    QFont police = m_doc.defaultFont();
    police.setPointSizeF(9);
    const QTextCharFormat normal = texte(9);
    for (qsizetype r = 0; r < lignes.size(); ++r) {
        QList<QStringList> cellules;
        qsizetype hauteur = 1;
        for (int c = 0; c < largeurs.size(); ++c) {
            cellules << couper(surUneLigne(lignes[r].value(c)), police, largeursCellules[c]);
            hauteur = std::max(hauteur, cellules.back().size());
        }
        QTextBlockFormat ligne = format;
        if (r % 2 == 1) {
            ligne.setProperty(kProprieteZebre, true);
        }
        for (qsizetype k = 0; k < hauteur; ++k) {
            QStringList morceaux;
            for (const QStringList& cellule : cellules) {
                morceaux << cellule.value(k);
            }
            bloc(ligne, normal);
            m_c.insertText(morceaux.join(u'\t'));
        }
    }
    QTextBlockFormat apres;
    apres.setTopMargin(pt(8));
    m_espace = apres;
}

void Redaction::graphique(const Barres& barres, qreal hauteurLigne) {
    QTextBlockFormat b;
    b.setTopMargin(pt(4));
    b.setBottomMargin(pt(4));
    bloc(b, texte());
    const QTextFrameFormat racine = m_doc.rootFrame()->frameFormat();
    const qreal largeur =
        m_doc.pageSize().width() - (racine.leftMargin() + racine.rightMargin()) * echelle();
    ObjetGraphique::inserer(
        m_c, barres, QSizeF(largeur, hauteurLigne * static_cast<qreal>(barres.valeurs.size())));
}

QTextTableFormat Redaction::formatTable() const {
    QTextTableFormat t;
    t.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    t.setTopMargin(pt(2));
    t.setBottomMargin(pt(10));
    return t;
}

void Redaction::bloc(QTextBlockFormat b, const QTextCharFormat& c) {
    if (m_espace) {
        b.setTopMargin(std::max(b.topMargin(), m_espace->topMargin()));
        m_espace.reset();
    }
    if (m_libre) {
        m_c.setBlockFormat(b);
        m_c.setBlockCharFormat(c);
        m_c.setCharFormat(c);
        m_libre = false;
    } else {
        m_c.insertBlock(b, c);
    }
}

QStringList Redaction::couper(const QString& t, const QFont& police, qreal largeur) const {
    if (QFontMetricsF(police, &m_appareil).horizontalAdvance(t) <= largeur) {
        return {t};
    }
    QTextLayout mise(t, police, &m_appareil);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    mise.setTextOption(option);
    QStringList lignes;
    mise.beginLayout();
    for (QTextLine l = mise.createLine(); l.isValid(); l = mise.createLine()) {
        l.setLineWidth(largeur);
        lignes << t.mid(l.textStart(), l.textLength()).trimmed();
    }
    mise.endLayout();
    return lignes;
}

void Redaction::apresTable() {
    m_c.movePosition(QTextCursor::End);
    m_libre = true;
}

void Redaction::ecrire(QTextTable* table, int r, int c, const QString& t, const QTextCharFormat& f,
                       Alignement a) {
    QTextCursor curseur = table->cellAt(r, c).firstCursorPosition();
    QTextBlockFormat b;
    b.setAlignment(a == Alignement::Droite ? Qt::AlignRight : Qt::AlignLeft);
    curseur.setBlockFormat(b);
    curseur.insertText(surUneLigne(t), f);
}

void garderTitresAvecSuite(QTextDocument& doc, qreal echelle) {
    const qreal page = doc.pageSize().height();
    const qreal bas = page - doc.rootFrame()->frameFormat().bottomMargin() * echelle;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const qreal reserve = b.blockFormat().doubleProperty(kProprieteTitre);
        if (reserve <= 0) {
            continue;
        }
        const QRectF cadre = doc.documentLayout()->blockBoundingRect(b);
        const qreal y = std::fmod(hautLigne(doc, b), page);
        // What follows may be shorter than the room asked for.
        const qreal fin = doc.documentLayout()->blockBoundingRect(doc.lastBlock()).bottom();
        if (y + cadre.height() + std::min(reserve, fin - cadre.bottom()) > bas) {
            QTextCursor c(b);
            QTextBlockFormat f = b.blockFormat();
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            c.setBlockFormat(f);
        }
    }
}

qreal resolutionFormats() {
    QFont police(QStringLiteral("Liberation Sans"));
    police.setPointSizeF(72);
    return QFontInfo(police).pixelSize();
}

}  // namespace rapport
