#include "rapport/Graphique.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <optional>

#include "rapport/Document.h"

namespace rapport {

namespace {

enum Propriete {
    kLibelles = QTextFormat::UserProperty + 1,
    kValeurs,
    kTotal,
    kLargeur,
    kHauteur,
    kAvant,
};

const QColor kBarre(192, 80, 77);
const QColor kBarreAvant(180, 184, 192);
const QColor kFond(244, 246, 249);
const QColor kTrait(150, 150, 150);
const QColor kEncre(30, 30, 30);

QString texteValeur(qint64 valeur, qint64 total, std::optional<qint64> avant) {
    QString t = nombre(valeur);
    if (total > 0) {
        t += QStringLiteral(" (") + pourcentage(valeur, total) + u')';
    }
    if (avant) {
        t = nombre(*avant) + QStringLiteral(" \u2192 ") + t;
    }
    return t;
}

}  // namespace

void dessinerBarres(QPainter& peintre, const QRectF& zone, const Barres& barres) {
    const auto n = std::min<qsizetype>(barres.libelles.size(), barres.valeurs.size());
    if (n == 0) {
        return;
    }
    peintre.save();
    peintre.setRenderHint(QPainter::Antialiasing);
    QFont police = peintre.font();
    police.setPointSizeF(9);
    peintre.setFont(police);
    const QFontMetricsF fm(police, peintre.device());
    const qreal marge = fm.averageCharWidth();

    const bool deux = barres.avant.size() >= n;
    const auto avant = [&](qsizetype i) {
        return deux ? std::optional<qint64>(barres.avant[i]) : std::nullopt;
    };
    qint64 maximum = 1;
    qreal largeurLibelles = 0;
    qreal largeurValeurs = 0;
    for (qsizetype i = 0; i < n; ++i) {
        maximum = std::max({maximum, barres.valeurs[i], avant(i).value_or(0)});
        largeurLibelles = std::max(largeurLibelles, fm.horizontalAdvance(barres.libelles[i]));
        // Room after the longest bar for its figures.
        largeurValeurs =
            std::max(largeurValeurs,
                     fm.horizontalAdvance(texteValeur(barres.valeurs[i], barres.total, avant(i))));
    }
    largeurLibelles += 2 * marge;
    largeurValeurs += 2 * marge;
    const qreal x0 = zone.left() + largeurLibelles;
    const qreal largeurBarres = std::max<qreal>(zone.right() - largeurValeurs - x0, marge);
    const qreal hauteur = zone.height() / static_cast<qreal>(n);
    const auto longueur = [&](qint64 v) {
        return largeurBarres * static_cast<qreal>(v) / static_cast<qreal>(maximum);
    };
    const auto barre = [&](qint64 v, qreal haut, qreal epaisseur, const QColor& couleur) {
        if (v > 0) {
            peintre.fillRect(QRectF(x0, haut, std::max(longueur(v), marge / 3), epaisseur),
                             couleur);
        }
    };

    for (qsizetype i = 0; i < n; ++i) {
        const QRectF rangee(zone.left(), zone.top() + hauteur * static_cast<qreal>(i), zone.width(),
                            hauteur);
        if (i % 2 == 0) {
            peintre.fillRect(rangee, kFond);
        }
        peintre.setPen(kEncre);
        peintre.drawText(QRectF(rangee.left(), rangee.top(), largeurLibelles - marge, hauteur),
                         Qt::AlignRight | Qt::AlignVCenter, barres.libelles[i]);
        const qint64 valeur = barres.valeurs[i];
        qreal fin = longueur(valeur);
        if (deux) {
            barre(barres.avant[i], rangee.top() + hauteur * 0.14, hauteur * 0.32, kBarreAvant);
            barre(valeur, rangee.top() + hauteur * 0.50, hauteur * 0.36, kBarre);
            fin = std::max(fin, longueur(barres.avant[i]));
        } else {
            barre(valeur, rangee.top() + hauteur * 0.18, hauteur * 0.64, kBarre);
        }
        peintre.drawText(QRectF(x0 + fin + marge, rangee.top(), largeurValeurs, hauteur),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         texteValeur(valeur, barres.total, avant(i)));
    }
    QPen trait(kTrait);
    trait.setWidthF(std::max<qreal>(1, marge / 8));
    peintre.setPen(trait);
    peintre.drawLine(QPointF(x0, zone.top()), QPointF(x0, zone.bottom()));
    peintre.restore();
}

void ObjetGraphique::enregistrer(QTextDocument& document) {
    document.documentLayout()->registerHandler(kType, new ObjetGraphique(&document));
}

void ObjetGraphique::inserer(QTextCursor& curseur, const Barres& barres, const QSizeF& taille) {
    QTextCharFormat format;
    format.setObjectType(kType);
    format.setProperty(kLibelles, barres.libelles);
    QVariantList valeurs;
    for (const qint64 v : barres.valeurs) {
        valeurs << v;
    }
    format.setProperty(kValeurs, valeurs);
    format.setProperty(kTotal, barres.total);
    QVariantList avant;
    for (const qint64 v : barres.avant) {
        avant << v;
    }
    format.setProperty(kAvant, avant);
    format.setProperty(kLargeur, taille.width());
    format.setProperty(kHauteur, taille.height());
    curseur.insertText(QString(QChar::ObjectReplacementCharacter), format);
}

QSizeF ObjetGraphique::intrinsicSize(QTextDocument*, int, const QTextFormat& format) {
    return {format.doubleProperty(kLargeur), format.doubleProperty(kHauteur)};
}

void ObjetGraphique::drawObject(QPainter* peintre, const QRectF& zone, QTextDocument* document, int,
                                const QTextFormat& format) {
    Barres barres;
    barres.libelles = format.property(kLibelles).toStringList();
    for (const QVariant& v : format.property(kValeurs).toList()) {
        barres.valeurs << v.toLongLong();
    }
    barres.total = format.property(kTotal).toLongLong();
    for (const QVariant& v : format.property(kAvant).toList()) {
        barres.avant << v.toLongLong();
    }
    peintre->save();
    peintre->setFont(document->defaultFont());
    dessinerBarres(*peintre, zone, barres);
    peintre->restore();
}

}  // namespace rapport
