#pragma once

#include <QObject>
#include <QSizeF>
#include <QStringList>
#include <QTextObjectInterface>
#include <QVector>

class QPainter;
class QTextCursor;

namespace rapport {

// A horizontal bar chart: one labelled bar per value, the value and its share
// of `total` written at the bar's end. With earlier values, each is drawn as
// a grey bar above the value's, and written before it: "57 → 12 (5,2 %)".
struct Barres {
    QStringList libelles;
    QVector<qint64> valeurs;
    qint64 total = 0;       // the whole that the shares are of (0: no share shown)
    QVector<qint64> avant;  // empty, or one per value
};

// Paints the chart into `zone` with the painter's device fonts: vector
// shapes and real text, so a PDF keeps its words selectable.
void dessinerBarres(QPainter& peintre, const QRectF& zone, const Barres& barres);

// The chart as an object of a text document, laid out with the text and
// painted on whatever device the document is painted on.
class ObjetGraphique : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    static constexpr int kType = QTextFormat::UserObject + 1;

    // Registers the handler on the document (which owns it).
    static void enregistrer(QTextDocument& document);
    // Inserts a chart of the given size, in the document's units.
    static void inserer(QTextCursor& curseur, const Barres& barres, const QSizeF& taille);

    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* peintre, const QRectF& zone, QTextDocument* document, int position,
                    const QTextFormat& format) override;

private:
    using QObject::QObject;
};

}  // namespace rapport
