#pragma once

// How the report is typeset: its colours, the marks its blocks carry for the
// painting, and the writer that builds the document from top to bottom.

#include <QColor>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QTextCursor>
#include <QTextFormat>
#include <optional>

class QFont;
class QPaintDevice;
class QTextBlock;
class QTextDocument;
class QTextTable;

namespace rapport {

struct Barres;

inline const QColor kTitre(31, 58, 95);
inline const QColor kEncre(25, 25, 25);
inline const QColor kDiscret(100, 100, 100);
inline const QColor kEntete(223, 230, 238);
inline const QColor kZebre(246, 247, 249);
inline const QColor kAlerte(160, 40, 35);

// Marks the blocks of headings with the room that what follows needs, so that
// none is left alone at a page's foot.
inline constexpr int kProprieteTitre = QTextFormat::UserProperty + 100;
// Marks the lines of a list with its number, and its header line.
inline constexpr int kProprieteListe = QTextFormat::UserProperty + 101;
inline constexpr int kProprieteEntete = QTextFormat::UserProperty + 102;
// The rows painted on a tinted band, every other one.
inline constexpr int kProprieteZebre = QTextFormat::UserProperty + 103;
// Line height of the lists, in percent of the text's.
inline constexpr qreal kInterligne = 130;

enum class Alignement { Gauche, Droite };

// Writes the document from top to bottom with one cursor; sizes are given in
// points and millimetres and turned into the device's units.
class Redaction {
public:
    Redaction(QTextDocument& document, qreal dpiFormats, QPaintDevice& appareil)
        : m_doc(document),
          m_c(&document),
          m_dpi(dpiFormats),
          m_appareil(appareil),
          m_dpiAppareil(appareil.logicalDpiY()) {}

    // Lengths of formats (margins, padding, borders), which the layout scales.
    qreal pt(qreal points) const { return points * m_dpi / 72.0; }
    qreal mm(qreal millimetres) const { return millimetres * m_dpi / 25.4; }
    // Lengths on the device: page, chart, headings' room.
    qreal ptAppareil(qreal points) const { return points * m_dpiAppareil / 72.0; }
    qreal mmAppareil(qreal millimetres) const { return millimetres * m_dpiAppareil / 25.4; }
    qreal echelle() const { return m_dpiAppareil / m_dpi; }

    QTextCharFormat texte(qreal taille = 10, bool gras = false,
                          const QColor& couleur = kEncre) const;

    void titreDocument(const QString& titre, const QString& sousTitre);

    void section(const QString& titre);

    // `suite`: how much of what follows must share the heading's page.
    void sousTitre(const QString& titre, qreal suite = 0);

    void paragraphe(const QString& t, const QColor& couleur = kEncre, qreal taille = 10);

    // Label and value pairs, without borders.
    void fiche(const QList<QPair<QString, QString>>& lignes);

    // The key figures side by side: a large number over its caption.
    void chiffresCles(const QList<QPair<qint64, QString>>& cles);

    // A list laid out as a table: a header line, then one line per row (more
    // when a cell wraps), the columns at tab stops. Paragraphs rather than a
    // text table: a salon's lists run to thousands of rows, which a table
    // lays out and paints far too slowly. The header is painted again at the
    // top of every page the list runs over (see peindre).
    void tableau(const QStringList& entetes, const QList<QStringList>& lignes,
                 const QList<qreal>& largeurs, const QList<Alignement>& alignements);

    void graphique(const Barres& barres, qreal hauteurLigne);

private:
    // Full width, with room above and below: the paragraph after a table
    // does not keep its own top margin.
    QTextTableFormat formatTable() const;

    // A new paragraph, or the empty one that follows a table.
    void bloc(QTextBlockFormat b, const QTextCharFormat& c);

    // The lines of a cell's text within `largeur` device units.
    QStringList couper(const QString& t, const QFont& police, qreal largeur) const;

    void apresTable();

    static void ecrire(QTextTable* table, int r, int c, const QString& t, const QTextCharFormat& f,
                       Alignement a);

    QTextDocument& m_doc;
    QTextCursor m_c;
    qreal m_dpi;
    QPaintDevice& m_appareil;
    qreal m_dpiAppareil;
    int m_listes = 0;
    // The room after a list, given to the next paragraph.
    std::optional<QTextBlockFormat> m_espace;
    int m_section = 0;
    bool m_libre = true;  // the document's first block is there, empty
};

// Where a block's first line is: a line that would cross a page's foot is
// moved to the next page, its block's rectangle staying where it began.
qreal hautLigne(const QTextDocument& doc, const QTextBlock& b);

// A heading too near a page's foot goes to the next one, with what it introduces.
void garderTitresAvecSuite(QTextDocument& doc, qreal echelle);

// The lengths of a document's formats are pixels at the default resolution,
// which the layout scales to its device's; that resolution is the pixel size
// of a 72-point font.
qreal resolutionFormats();

}  // namespace rapport
