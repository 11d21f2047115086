#include "rapport/Document.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <cmath>
#include <optional>

#include "clients/Analyse.h"
#include "clients/Annulation.h"
#include "export/Export.h"
#include "platform/ErreurFichier.h"
#include "platform/Fichiers.h"
#include "rapport/Chiffres.h"
#include "rapport/Graphique.h"
#include "store/Dates.h"
#include "tech/AnalyseTech.h"

namespace rapport {

namespace {

const QLocale& francais() {
    static const QLocale l(QLocale::French, QLocale::France);
    return l;
}

const QColor kTitre(31, 58, 95);
const QColor kEncre(25, 25, 25);
const QColor kDiscret(100, 100, 100);
const QColor kEntete(223, 230, 238);
const QColor kZebre(246, 247, 249);
const QColor kAlerte(160, 40, 35);

// Marks the blocks of headings with the room that what follows needs, so that
// none is left alone at a page's foot.
constexpr int kProprieteTitre = QTextFormat::UserProperty + 100;
// Marks the lines of a list with its number, and its header line.
constexpr int kProprieteListe = QTextFormat::UserProperty + 101;
constexpr int kProprieteEntete = QTextFormat::UserProperty + 102;
// The rows painted on a tinted band, every other one.
constexpr int kProprieteZebre = QTextFormat::UserProperty + 103;
// Line height of the lists, in percent of the text's.
constexpr qreal kInterligne = 130;

QString dateLongue(const QDateTime& d) {
    return francais().toString(d.date(), QStringLiteral("d MMMM yyyy")) + QStringLiteral(" à ") +
           francais().toString(d.time(), QStringLiteral("HH:mm"));
}

QString dateCourte(const QDateTime& d) {
    return francais().toString(d, QStringLiteral("dd/MM/yyyy HH:mm"));
}

// "le 06/12/2025 à 14:05"
QString leDate(const QDateTime& d) {
    return francais().toString(d, QStringLiteral("'le' dd/MM/yyyy 'à' HH:mm"));
}

// "1 client", "2 clients".
QString compte(qint64 n, const QString& singulier, const QString& pluriel) {
    return nombre(n) + u' ' + (n > 1 ? pluriel : singulier);
}

// A value of the journal as a reader sees it: dates as dates, empty and Null
// alike, between quotes when `guillemets` so that blanks at its ends show.
QString valeurLue(const store::Valeur& v, bool guillemets = false) {
    QString t = v.texte();
    if (t.isEmpty()) {
        return QStringLiteral("(vide)");
    }
    if (t.size() == 19 && t[4] == u'-' && t[10] == u' ') {
        if (const auto serie = store::dates::lireIso(t)) {
            const QDateTime d = store::dates::depuisSerie(*serie);
            t = francais().toString(d.date(), QStringLiteral("dd/MM/yyyy"));
            if (d.time() != QTime(0, 0)) {
                t += u' ' + francais().toString(d.time(), QStringLiteral("HH:mm"));
            }
            return t;
        }
    }
    return guillemets ? QStringLiteral("\u201c%1\u201d").arg(t) : t;
}

// The day an undo put the value back, or nothing.
QString annuleeLe(const std::optional<QDateTime>& annulee) {
    return annulee ? francais().toString(annulee->date(), QStringLiteral("dd/MM/yyyy")) : QString();
}

enum class Alignement { Gauche, Droite };

// A value on one line: a tab or a line break of the data would break a list's
// columns or rows.
QString surUneLigne(QString t) {
    for (const QChar c : {QChar(u'\t'), QChar(u'\r'), QChar(u'\n'), QChar(QChar::LineSeparator),
                          QChar(QChar::ParagraphSeparator)}) {
        t.replace(c, u' ');
    }
    return t;
}

// Where a block's first line is: a line that would cross a page's foot is
// moved to the next page, its block's rectangle staying where it began.
qreal hautLigne(const QTextDocument& doc, const QTextBlock& b) {
    const QTextLayout* l = b.layout();
    return doc.documentLayout()->blockBoundingRect(b).top() +
           (l && l->lineCount() > 0 ? l->lineAt(0).y() : 0);
}

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
                          const QColor& couleur = kEncre) const {
        QTextCharFormat f;
        f.setFontPointSize(taille);
        f.setFontWeight(gras ? QFont::Bold : QFont::Normal);
        f.setForeground(couleur);
        return f;
    }

    void titreDocument(const QString& titre, const QString& sousTitre) {
        QTextBlockFormat b;
        b.setBottomMargin(pt(2));
        bloc(b, texte(20, true, kTitre));
        m_c.insertText(titre);
        b.setBottomMargin(pt(10));
        bloc(b, texte(10, false, kDiscret));
        m_c.insertText(sousTitre);
    }

    void section(const QString& titre) {
        ++m_section;
        QTextBlockFormat b;
        b.setTopMargin(pt(16));
        b.setBottomMargin(pt(6));
        b.setProperty(kProprieteTitre, mmAppareil(30));
        bloc(b, texte(14, true, kTitre));
        m_c.insertText(QStringLiteral("%1. %2").arg(m_section).arg(titre));
    }

    // `suite`: how much of what follows must share the heading's page.
    void sousTitre(const QString& titre, qreal suite = 0) {
        QTextBlockFormat b;
        b.setTopMargin(pt(10));
        b.setBottomMargin(pt(4));
        b.setProperty(kProprieteTitre, suite > 0 ? suite : mmAppareil(25));
        bloc(b, texte(11, true, kTitre));
        m_c.insertText(titre);
    }

    void paragraphe(const QString& t, const QColor& couleur = kEncre, qreal taille = 10) {
        QTextBlockFormat b;
        b.setBottomMargin(pt(4));
        bloc(b, texte(taille, false, couleur));
        m_c.insertText(t);
    }

    // Label and value pairs, without borders.
    void fiche(const QList<QPair<QString, QString>>& lignes) {
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

    // The key figures side by side: a large number over its caption.
    void chiffresCles(const QList<QPair<qint64, QString>>& cles) {
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

    // A list laid out as a table: a header line, then one line per row (more
    // when a cell wraps), the columns at tab stops. Paragraphs rather than a
    // text table: a salon's lists run to thousands of rows, which a table
    // lays out and paints far too slowly. The header is painted again at the
    // top of every page the list runs over (see peindre).
    void tableau(const QStringList& entetes, const QList<QStringList>& lignes,
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

    void graphique(const Barres& barres, qreal hauteurLigne) {
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

private:
    // Full width, with room above and below: the paragraph after a table
    // does not keep its own top margin.
    QTextTableFormat formatTable() const {
        QTextTableFormat t;
        t.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        t.setTopMargin(pt(2));
        t.setBottomMargin(pt(10));
        return t;
    }

    // A new paragraph, or the empty one that follows a table.
    void bloc(QTextBlockFormat b, const QTextCharFormat& c) {
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

    // The lines of a cell's text within `largeur` device units.
    QStringList couper(const QString& t, const QFont& police, qreal largeur) const {
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

    void apresTable() {
        m_c.movePosition(QTextCursor::End);
        m_libre = true;
    }

    static void ecrire(QTextTable* table, int r, int c, const QString& t, const QTextCharFormat& f,
                       Alignement a) {
        QTextCursor curseur = table->cellAt(r, c).firstCursorPosition();
        QTextBlockFormat b;
        b.setAlignment(a == Alignement::Droite ? Qt::AlignRight : Qt::AlignLeft);
        curseur.setBlockFormat(b);
        curseur.insertText(surUneLigne(t), f);
    }

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

// "1 valeur", "3 valeurs"…: the count and its noun, plural from 2.
QString valeurs(qint64 n) {
    return compte(n, QStringLiteral("valeur"), QStringLiteral("valeurs"));
}

QString clientsDe(qint64 n) {
    return compte(n, QStringLiteral("client"), QStringLiteral("clients"));
}

void partieFichier(Redaction& r, const Chiffres& c) {
    r.section(QStringLiteral("Le fichier du salon"));
    QString defaut = QStringLiteral("aucune");
    if (!c.villeDefaut.isEmpty() || !c.cpDefaut.isEmpty()) {
        defaut = QStringLiteral("%1 (%2), donnée aux clients qui n'avaient ni ville ni code postal")
                     .arg(c.villeDefaut, c.cpDefaut);
    }
    const QString sauvegarde =
        c.sauvegarde ? QStringLiteral(
                           "BdClient.sav, faite %1 avant la première analyse ; "
                           "la base d'origine y est gardée telle quelle")
                           .arg(leDate(*c.sauvegarde))
                     : QStringLiteral("aucune : l'analyse des clients n'a pas encore été lancée");
    r.fiche({
        {QStringLiteral("Dossier"), c.dossier},
        {QStringLiteral("Base de données"),
         QStringLiteral("BdClient.mdb, %1").arg(taille(c.tailleBase))},
        {QStringLiteral("Contenu"),
         QStringLiteral("%1, %2, %3")
             .arg(compte(c.nbClients, QStringLiteral("client"), QStringLiteral("clients")),
                  compte(c.nbFiches, QStringLiteral("fiche technique"),
                         QStringLiteral("fiches techniques")),
                  compte(c.nbVisites, QStringLiteral("visite"), QStringLiteral("visites")))},
        {QStringLiteral("Notes des clients"),
         compte(c.nbFichiersNotes, QStringLiteral("fichier de notes"),
                QStringLiteral("fichiers de notes"))},
        {QStringLiteral("Ville par défaut"), defaut},
        {QStringLiteral("Sauvegarde"), sauvegarde},
    });
}

void partieClients(Redaction& r, const Chiffres& c) {
    r.section(QStringLiteral("Clients"));
    const qint64 nbErreurs = c.nbClientsEnErreur();
    if (c.nbClients == 0) {
        r.paragraphe(QStringLiteral("La base ne contient aucun client."));
    } else if (nbErreurs == 0) {
        r.paragraphe(QStringLiteral("%1 sur %2 champs : aucun n'est en erreur.")
                         .arg(compte(c.nbClients, QStringLiteral("client jugé"),
                                     QStringLiteral("clients jugés")))
                         .arg(clients::kNbDrapeaux));
    } else {
        r.paragraphe(QStringLiteral("%1 sur %2 champs. %3 en erreur (%4) : %5 dans TRELLINAX PRO "
                                    "tant qu'%6 corrigé%7 (liste au chapitre 6).")
                         .arg(compte(c.nbClients, QStringLiteral("client jugé"),
                                     QStringLiteral("clients jugés")))
                         .arg(clients::kNbDrapeaux)
                         .arg(nbErreurs > 1 ? nombre(nbErreurs) + QStringLiteral(" sont")
                                            : QStringLiteral("1 est"),
                              pourcentage(nbErreurs, c.nbClients),
                              nbErreurs > 1 ? QStringLiteral("ils ne seront pas importés")
                                            : QStringLiteral("il ne sera pas importé"),
                              nbErreurs > 1 ? QStringLiteral("ils ne sont pas")
                                            : QStringLiteral("il n'est pas"),
                              nbErreurs > 1 ? QStringLiteral("s") : QString()));
    }
    // The first analysis beside now, when it found something else.
    const std::optional<clients::AnalyseNotee>& premiere = c.journal.premiereAnalyse;
    std::optional<clients::BilanAnalyse> avant;
    if (!premiere) {
        r.paragraphe(QStringLiteral("Le journal ne garde aucune analyse des clients : le nombre de "
                                    "clients en erreur à la première analyse n'est pas connu."),
                     kDiscret);
    } else {
        const clients::BilanAnalyse& b = premiere->bilan;
        const QString quand =
            leDate(QDateTime::fromString(premiere->quand, QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        const bool memes = b.NbCli == c.nbClients && b.NbCliErr == nbErreurs &&
                           std::equal(b.erreursParChamp.begin(), b.erreursParChamp.end(),
                                      c.erreursParChamp.begin());
        if (!memes) {
            r.paragraphe(QStringLiteral("À la première analyse notée au journal, %1 : %2 en erreur "
                                        "sur %3 (%4). Maintenant : %5 sur %6 (%7).")
                             .arg(quand, clientsDe(b.NbCliErr), nombre(b.NbCli),
                                  pourcentage(b.NbCliErr, b.NbCli), clientsDe(nbErreurs),
                                  nombre(c.nbClients), pourcentage(nbErreurs, c.nbClients)));
            avant = b;
        } else if (c.nbClients > 0) {
            r.paragraphe(QStringLiteral("La première analyse notée au journal, %1, trouvait les "
                                        "mêmes chiffres.")
                             .arg(quand));
        }
    }
    if (nbErreurs > 0 || (avant && avant->NbCliErr > 0)) {
        const qreal hauteurLigne = r.ptAppareil(avant ? 20 : 17);
        r.sousTitre(QStringLiteral("Clients en erreur par champ"),
                    hauteurLigne * static_cast<qreal>(clients::kNbDrapeaux) + r.mmAppareil(12));
        Barres barres;
        barres.libelles = libellesChamps();
        for (const qint64 n : c.erreursParChamp) {
            barres.valeurs << n;
        }
        barres.total = c.nbClients;
        if (avant) {
            for (const int n : avant->erreursParChamp) {
                barres.avant << n;
            }
            r.paragraphe(QStringLiteral("En gris, la première analyse ; en rouge, maintenant."),
                         kDiscret, 9);
        }
        r.graphique(barres, hauteurLigne);
        r.paragraphe(
            QStringLiteral("Un client peut être en erreur sur plusieurs champs ; le "
                           "pourcentage est celui des %1.")
                .arg(compte(c.nbClients, QStringLiteral("client"), QStringLiteral("clients"))),
            kDiscret, 9);
    }
}

void partieCorrections(Redaction& r, const Chiffres& c) {
    const Journal& j = c.journal;
    r.section(QStringLiteral("Rangement et corrections"));
    if (j.rangement.empty() && j.correctionsMain.empty() && j.correctionsGroupees.empty()) {
        r.paragraphe(
            QStringLiteral("Le journal ne garde aucune valeur changée, ni par le "
                           "rangement, ni à la main, ni par une correction groupée."));
        return;
    }
    r.paragraphe(QStringLiteral(
        "D'après le journal des modifications de la base. Le rangement met les valeurs en forme "
        "sans les juger (blancs en trop, lettre O tapée pour un zéro, ville par défaut…) ; les "
        "corrections remplacent des valeurs en erreur. Ce qui empêche l'import d'un client est au "
        "chapitre 6."));

    r.sousTitre(QStringLiteral("Rangement fait par l'analyse"));
    if (j.rangement.empty()) {
        r.paragraphe(QStringLiteral("Le journal ne garde aucune valeur changée par le rangement."));
    } else {
        r.paragraphe(QStringLiteral("%1 mise%2 en forme chez %3.")
                         .arg(valeurs(j.nbValeursRangees),
                              j.nbValeursRangees > 1 ? QStringLiteral("s") : QString(),
                              clientsDe(j.nbClientsRanges)));
        QList<QStringList> lignes;
        for (const ColonneRangee& col : j.rangement) {
            QStringList exemples;
            for (const Changement& e : col.exemples) {
                exemples << valeurLue(e.avant, true) + QStringLiteral(" \u2192 ") +
                                valeurLue(e.apres, true);
            }
            lignes << QStringList{libelleColonne(col.colonne), nombre(col.nbValeurs),
                                  exemples.join(QStringLiteral(" ; "))};
        }
        r.tableau({QStringLiteral("Champ"), QStringLiteral("Valeurs changées"),
                   QStringLiteral("Exemples")},
                  lignes, {18, 18, 64},
                  {Alignement::Gauche, Alignement::Droite, Alignement::Gauche});
    }

    r.sousTitre(QStringLiteral("Corrections à la main"));
    if (j.correctionsMain.empty()) {
        r.paragraphe(QStringLiteral("Aucune correction faite à la main."));
    } else {
        QSet<QString> clientsCorriges;
        qint64 parCodePostal = 0;
        qint64 annulees = 0;
        for (const Changement& e : j.correctionsMain) {
            clientsCorriges.insert(e.cle);
            parCodePostal += e.operation == clients::operations::kCodePostal;
            annulees += e.annulee.has_value();
        }
        QString texte = QStringLiteral("%1 changée%2 chez %3 dans le panneau de correction")
                            .arg(valeurs(static_cast<qint64>(j.correctionsMain.size())),
                                 j.correctionsMain.size() > 1 ? QStringLiteral("s") : QString(),
                                 clientsDe(clientsCorriges.size()));
        if (parCodePostal > 0) {
            texte += QStringLiteral(" (dont %1 par le choix d'un code postal et de sa ville)")
                         .arg(nombre(parCodePostal));
        }
        if (annulees > 0) {
            texte += QStringLiteral(" ; %1 remise%2 comme avant par une annulation")
                         .arg(nombre(annulees), annulees > 1 ? QStringLiteral("s") : QString());
        }
        r.paragraphe(texte + u'.');
        QList<QStringList> lignes;
        for (const Changement& e : j.correctionsMain) {
            lignes << QStringList{dateCourte(e.quand),       (e.cle + u' ' + e.nom).trimmed(),
                                  libelleColonne(e.colonne), valeurLue(e.avant),
                                  valeurLue(e.apres),        annuleeLe(e.annulee)};
        }
        r.tableau({QStringLiteral("Date"), QStringLiteral("Client"), QStringLiteral("Champ"),
                   QStringLiteral("Avant"), QStringLiteral("Après"), QStringLiteral("Annulée le")},
                  lignes, {17, 20, 14, 18, 18, 13},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Gauche,
                   Alignement::Gauche, Alignement::Gauche});
    }

    r.sousTitre(QStringLiteral("Corrections groupées"));
    if (j.correctionsGroupees.empty()) {
        r.paragraphe(QStringLiteral("Aucune correction groupée."));
    } else {
        qint64 remplacees = 0;
        qint64 nbClients = 0;
        qint64 annulees = 0;
        for (const CorrectionGroupee& g : j.correctionsGroupees) {
            remplacees += static_cast<qint64>(g.remplacements.size());
            nbClients += g.nbClients;
            annulees += g.annulee.has_value();
        }
        const auto n = static_cast<qint64>(j.correctionsGroupees.size());
        QString texte =
            QStringLiteral("%1 : %2 remplacée%3, %4 changé%5")
                .arg(compte(n, QStringLiteral("correction groupée"),
                            QStringLiteral("corrections groupées")),
                     valeurs(remplacees), remplacees > 1 ? QStringLiteral("s") : QString(),
                     clientsDe(nbClients), nbClients > 1 ? QStringLiteral("s") : QString());
        if (annulees > 0) {
            texte += QStringLiteral(" ; %1 annulée%2 depuis")
                         .arg(nombre(annulees), annulees > 1 ? QStringLiteral("s") : QString());
        }
        r.paragraphe(texte + u'.');
        QList<QStringList> lignes;
        for (const CorrectionGroupee& g : j.correctionsGroupees) {
            bool premiere = true;
            for (const ValeurRemplacee& rem : g.remplacements) {
                lignes << QStringList{premiere ? dateCourte(g.quand) : QString(),
                                      libelleColonne(rem.colonne),
                                      valeurLue(rem.avant),
                                      valeurLue(rem.apres),
                                      nombre(rem.nbClients),
                                      premiere ? annuleeLe(g.annulee) : QString()};
                premiere = false;
            }
        }
        r.tableau({QStringLiteral("Date"), QStringLiteral("Champ"),
                   QStringLiteral("Valeur remplacée"), QStringLiteral("Remplacée par"),
                   QStringLiteral("Clients"), QStringLiteral("Annulée le")},
                  lignes, {17, 14, 22, 22, 10, 15},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Gauche,
                   Alignement::Droite, Alignement::Gauche});
    }
}

QString dateJournal(const QString& quand) {
    const QDateTime d = QDateTime::fromString(quand, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return d.isValid() ? dateCourte(d) : quand;
}

void partieDoublons(Redaction& r, const Chiffres& c) {
    const doublons::BilanDoublons& d = c.doublons;
    r.section(QStringLiteral("Doublons"));
    const auto nbGroupes = static_cast<qint64>(d.groupes.size());
    r.paragraphe(
        nbGroupes == 0
            ? QStringLiteral("Aucun groupe de clients qui seraient la même personne.")
            : QStringLiteral("%1 de clients qui sont peut-être la même personne, à voir dans la "
                             "fenêtre « Doublons » de l'onglet CLIENTS.")
                  .arg(compte(nbGroupes, QStringLiteral("groupe"), QStringLiteral("groupes"))));
    if (nbGroupes > 0) {
        QList<QStringList> lignes;
        for (const doublons::GroupeTrouve& g : d.groupes) {
            lignes << QStringList{nombre(g.score), g.clients.join(QStringLiteral(" / "))};
        }
        r.tableau({QStringLiteral("Score"), QStringLiteral("Clients")}, lignes, {12, 88},
                  {Alignement::Droite, Alignement::Gauche});
    }
    if (!d.fusions.empty()) {
        r.sousTitre(QStringLiteral("Fusions"));
        QList<QStringList> lignes;
        for (const doublons::FusionFaite& f : d.fusions) {
            lignes << QStringList{dateJournal(f.quand), f.codeGarde,
                                  f.codes.join(QStringLiteral(", ")),
                                  f.notesLaissees.join(QStringLiteral(", ")),
                                  f.annulee.isEmpty() ? QString() : dateJournal(f.annulee)};
        }
        r.tableau({QStringLiteral("Date"), QStringLiteral("Code gardé"),
                   QStringLiteral("Codes fusionnés"), QStringLiteral("Notes laissées en place"),
                   QStringLiteral("Annulée le")},
                  lignes, {18, 14, 24, 28, 16},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Gauche,
                   Alignement::Gauche});
    }
    if (!d.refusees.empty()) {
        r.sousTitre(QStringLiteral("Pas des doublons"));
        QList<QStringList> lignes;
        for (const doublons::PaireRefusee& p : d.refusees) {
            lignes << QStringList{dateJournal(p.quand), p.code1, p.code2};
        }
        r.tableau({QStringLiteral("Date"), QStringLiteral("Code"), QStringLiteral("Code")}, lignes,
                  {30, 35, 35}, {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche});
    }
}

void partieNotes(Redaction& r, const Chiffres& c) {
    r.section(QStringLiteral("Notes de plus de %1 caractères").arg(clients::kLimiteNote));
    const auto n = static_cast<qint64>(c.notesLongues.size());
    if (n == 0) {
        r.paragraphe(QStringLiteral("Aucune note ne dépasse %1 caractères (%2).")
                         .arg(clients::kLimiteNote)
                         .arg(c.nbFichiersNotes == 0
                                  ? QStringLiteral("le dossier n'a aucun fichier de notes")
                                  : compte(c.nbFichiersNotes, QStringLiteral("fichier de notes lu"),
                                           QStringLiteral("fichiers de notes lus"))));
        return;
    }
    r.paragraphe(QStringLiteral("%1 %2 %3 caractères : l'export ne garde que les %3 premiers, la "
                                "suite ne sera pas reprise dans TRELLINAX PRO.")
                     .arg(compte(n, QStringLiteral("note"), QStringLiteral("notes")),
                          n > 1 ? QStringLiteral("dépassent") : QStringLiteral("dépasse"))
                     .arg(clients::kLimiteNote));
    QList<QStringList> lignes;
    for (const NoteLongue& note : c.notesLongues) {
        lignes << QStringList{note.code, note.nom.trimmed(), nombre(note.longueur),
                              nombre(note.perdus)};
    }
    r.tableau({QStringLiteral("Code"), QStringLiteral("Client"), QStringLiteral("Longueur"),
               QStringLiteral("Caractères perdus")},
              lignes, {14, 50, 16, 20},
              {Alignement::Gauche, Alignement::Gauche, Alignement::Droite, Alignement::Droite});
}

QString client(const FicheEnErreur& f) {
    return f.code.isEmpty() ? QStringLiteral("(aucun client de ce code)") : f.nom.trimmed();
}

void partieFiches(Redaction& r, const Chiffres& c) {
    r.section(QStringLiteral("Fiches techniques"));
    if (c.nbFiches == 0) {
        r.paragraphe(QStringLiteral("La base ne contient aucune fiche technique."));
    } else {
        QString familles =
            c.nbSansFamille == 0
                ? QStringLiteral("toutes ont une famille")
                : QStringLiteral("%1 sans famille, %2 (liste au chapitre 6)")
                      .arg(nombre(c.nbSansFamille),
                           c.nbSansFamille > 1 ? QStringLiteral("qui ne seront pas importées")
                                               : QStringLiteral("qui ne sera pas importée"));
        QString memos =
            c.nbMemosLongs == 0
                ? QStringLiteral("aucun mémo ne dépasse %1 caractères").arg(tech::kLongueurMemo)
                : QStringLiteral("%1 dont le mémo dépasse %2 caractères")
                      .arg(nombre(c.nbMemosLongs))
                      .arg(tech::kLongueurMemo);
        r.paragraphe(QStringLiteral("%1 : %2 ; %3.")
                         .arg(compte(c.nbFiches, QStringLiteral("fiche technique"),
                                     QStringLiteral("fiches techniques")),
                              familles, memos));
    }
    if (c.nbMemosLongs > 0) {
        r.sousTitre(QStringLiteral("Mémos de plus de %1 caractères").arg(tech::kLongueurMemo));
        QList<QStringList> lignes;
        for (const FicheEnErreur& f : c.fiches) {
            if (f.memoLong) {
                lignes << QStringList{f.numero, f.code, client(f), nombre(f.longueurMemo)};
            }
        }
        r.tableau({QStringLiteral("N° fiche"), QStringLiteral("Code client"),
                   QStringLiteral("Client"), QStringLiteral("Longueur du mémo")},
                  lignes, {14, 16, 48, 22},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Droite});
    }
    const Journal& j = c.journal;
    if (j.familles.empty() && j.nbMemosNettoyes == 0) {
        r.paragraphe(
            QStringLiteral("Le journal ne garde aucune famille corrigée ni aucun mémo "
                           "nettoyé."));
        return;
    }
    r.sousTitre(QStringLiteral("Familles corrigées"));
    if (j.familles.empty()) {
        r.paragraphe(QStringLiteral("Aucune famille corrigée."));
    } else {
        QSet<QString> fiches;
        for (const Changement& e : j.familles) {
            fiches.insert(e.cle);
        }
        r.paragraphe(QStringLiteral("%1 choisie%2 pour %3.")
                         .arg(compte(static_cast<qint64>(j.familles.size()),
                                     QStringLiteral("famille"), QStringLiteral("familles")),
                              j.familles.size() > 1 ? QStringLiteral("s") : QString(),
                              compte(fiches.size(), QStringLiteral("fiche technique"),
                                     QStringLiteral("fiches techniques"))));
        QList<QStringList> lignes;
        for (const Changement& e : j.familles) {
            lignes << QStringList{dateCourte(e.quand), e.cle,
                                  e.nom.isEmpty() ? QStringLiteral("(fiche supprimée)") : e.nom,
                                  valeurLue(e.avant), valeurLue(e.apres)};
        }
        r.tableau({QStringLiteral("Date"), QStringLiteral("N° fiche"), QStringLiteral("Client"),
                   QStringLiteral("Avant"), QStringLiteral("Après")},
                  lignes, {18, 12, 34, 18, 18},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Gauche,
                   Alignement::Gauche});
    }
    r.sousTitre(QStringLiteral("Nettoyage des mémos"));
    r.paragraphe(
        j.nbMemosNettoyes == 0
            ? QStringLiteral("Le nettoyage des mémos n'a changé aucun mémo.")
            : QStringLiteral("Le nettoyage des mémos a ôté les blancs et les fins de "
                             "ligne qui terminaient %1.")
                  .arg(compte(j.nbMemosNettoyes, QStringLiteral("mémo"), QStringLiteral("mémos"))));
}

void partieExports(Redaction& r, const Chiffres& c) {
    r.section(QStringLiteral("Exports"));
    r.sousTitre(QStringLiteral("Fichiers d'export du dossier"));
    if (c.fichiersClients.empty() && c.fichiersFiches.empty()) {
        r.paragraphe(QStringLiteral(
            "Aucun fichier d'export dans le dossier : l'export n'a pas encore été fait."));
    } else {
        QList<QStringList> lignes;
        for (const auto* liste : {&c.fichiersClients, &c.fichiersFiches}) {
            for (const FichierExport& f : *liste) {
                lignes << QStringList{f.nom, dateCourte(f.date), nombre(f.lignes)};
            }
        }
        r.tableau({QStringLiteral("Fichier"), QStringLiteral("Écrit le"),
                   QStringLiteral("Lignes (hors en-tête)")},
                  lignes, {40, 30, 30},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Droite});
    }
    // Files older than the last corrections no longer hold what an export would write.
    QStringList ecarts;
    const auto verifier = [&](const std::vector<FichierExport>& fichiers, qint64 attendu,
                              const QString& quoi) {
        if (fichiers.empty()) {
            return;
        }
        qint64 lignes = 0;
        for (const FichierExport& f : fichiers) {
            lignes += f.lignes;
        }
        if (lignes != attendu) {
            ecarts << QStringLiteral("%1 dans les fichiers, %2 maintenant")
                              .arg(nombre(lignes), nombre(attendu)) +
                          u' ' + quoi;
        }
    };
    verifier(c.fichiersClients, c.nbClientsExportables(), QStringLiteral("pour les clients"));
    verifier(c.fichiersFiches, c.nbFichesExportables(), QStringLiteral("pour les fiches"));
    r.paragraphe(QStringLiteral("Un export fait maintenant écrirait %1 et %2.")
                     .arg(compte(c.nbClientsExportables(), QStringLiteral("client"),
                                 QStringLiteral("clients")),
                          compte(c.nbFichesExportables(), QStringLiteral("fiche technique"),
                                 QStringLiteral("fiches techniques"))));
    if (!ecarts.isEmpty()) {
        r.paragraphe(QStringLiteral("Les fichiers présents ne correspondent plus à la base (%1) : "
                                    "refaites l'export avant la reprise.")
                         .arg(ecarts.join(QStringLiteral(" ; "))),
                     kAlerte);
    }

    const qint64 nbClients = c.nbClientsEnErreur();
    r.sousTitre(QStringLiteral("Clients qui ne seront pas importés (%1)").arg(nombre(nbClients)));
    if (nbClients == 0) {
        r.paragraphe(QStringLiteral("Aucun : tous les clients seront importés."));
    } else {
        QList<QStringList> lignes;
        for (const clients::Evaluation& e : c.clientsEnErreur) {
            lignes << QStringList{e.CodeClient, e.NomClient.trimmed(), champsEnErreur(e)};
        }
        r.tableau(
            {QStringLiteral("Code"), QStringLiteral("Client"), QStringLiteral("Champs en erreur")},
            lignes, {12, 38, 50}, {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche});
    }

    r.sousTitre(QStringLiteral("Fiches techniques qui ne seront pas importées (%1)")
                    .arg(nombre(c.nbSansFamille)));
    if (c.nbSansFamille == 0) {
        r.paragraphe(QStringLiteral("Aucune : toutes les fiches techniques seront importées."));
    } else {
        QList<QStringList> lignes;
        for (const FicheEnErreur& f : c.fiches) {
            if (f.sansFamille) {
                lignes << QStringList{f.numero, f.code, client(f), QStringLiteral("Famille")};
            }
        }
        r.tableau({QStringLiteral("N° fiche"), QStringLiteral("Code client"),
                   QStringLiteral("Client"), QStringLiteral("Champ en erreur")},
                  lignes, {14, 16, 48, 22},
                  {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Gauche});
    }

    // Written unchanged, but worth correcting before the export.
    const auto nbAmbigus = static_cast<qint64>(c.clientsAmbigus.size() + c.fichesAmbigues.size());
    r.sousTitre(
        QStringLiteral("Lignes que TRELLINAX PRO risque de mal lire (%1)").arg(nombre(nbAmbigus)));
    if (nbAmbigus == 0) {
        r.paragraphe(
            QStringLiteral("Aucune : aucune valeur exportée ne contient de « ; » ni de "
                           "retour à la ligne isolé."));
    }
    for (const bool fiches : {false, true}) {
        const std::vector<LigneAmbigue>& liste = fiches ? c.fichesAmbigues : c.clientsAmbigus;
        if (liste.empty()) {
            continue;
        }
        r.paragraphe(exports::avertissementAmbigus(static_cast<qsizetype>(liste.size()), fiches),
                     kAlerte);
        QList<QStringList> lignes;
        for (const LigneAmbigue& l : liste) {
            lignes << QStringList{l.cle, l.nom};
        }
        r.tableau(fiches ? QStringList{QStringLiteral("N° fiche"), QStringLiteral("Code client")}
                         : QStringList{QStringLiteral("Code"), QStringLiteral("Client")},
                  lignes, {20, 80}, {Alignement::Gauche, Alignement::Gauche});
    }
}

void partiePurges(Redaction& r, const Chiffres& c) {
    const std::vector<PurgeFaite>& purges = c.journal.purges;
    r.section(QStringLiteral("Purges"));
    if (purges.empty()) {
        r.paragraphe(QStringLiteral("Le journal ne garde aucune purge."));
        return;
    }
    qint64 clients = 0;
    qint64 fiches = 0;
    qint64 annulees = 0;
    for (const PurgeFaite& p : purges) {
        (p.clients ? clients : fiches) += p.nbSupprimes;
        annulees += p.annulee.has_value();
    }
    const QString annulation =
        annulees == 1 ? QStringLiteral(" ; 1 annulée depuis, ses lignes remises")
        : annulees > 1
            ? QStringLiteral(" ; %1 annulées depuis, leurs lignes remises").arg(nombre(annulees))
            : QString();
    r.paragraphe(
        QStringLiteral("%1 : %2 et %3 supprimé%4%5. Une purge des clients supprime ceux qui sont "
                       "venus avant la date choisie et jamais depuis (leurs visites et leurs "
                       "fiches restent) ; une purge des fiches supprime celles datées d'avant.")
            .arg(compte(static_cast<qint64>(purges.size()), QStringLiteral("purge"),
                        QStringLiteral("purges")),
                 clientsDe(clients),
                 compte(fiches, QStringLiteral("fiche technique"),
                        QStringLiteral("fiches techniques")),
                 clients + fiches > 1 ? QStringLiteral("s") : QString(), annulation));
    QList<QStringList> lignes;
    for (const PurgeFaite& p : purges) {
        lignes << QStringList{
            dateCourte(p.quand),
            p.clients ? QStringLiteral("Clients") : QStringLiteral("Fiches techniques"),
            p.dateLimite ? QStringLiteral("avant le ") +
                               francais().toString(*p.dateLimite, QStringLiteral("dd/MM/yyyy"))
                         : QStringLiteral("non notée"),
            nombre(p.nbSupprimes), annuleeLe(p.annulee)};
    }
    r.tableau({QStringLiteral("Date"), QStringLiteral("Purge"), QStringLiteral("Date choisie"),
               QStringLiteral("Supprimés"), QStringLiteral("Annulée le")},
              lignes, {20, 24, 24, 16, 16},
              {Alignement::Gauche, Alignement::Gauche, Alignement::Gauche, Alignement::Droite,
               Alignement::Gauche});
}

// A heading too near a page's foot goes to the next one, with what it introduces.
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

// The lengths of a document's formats are pixels at the default resolution,
// which the layout scales to its device's; that resolution is the pixel size
// of a 72-point font.
qreal resolutionFormats() {
    QFont police(QStringLiteral("Liberation Sans"));
    police.setPointSizeF(72);
    return QFontInfo(police).pixelSize();
}

}  // namespace

QString nombre(qint64 n) {
    return francais().toString(n);
}

QString pourcentage(qint64 partie, qint64 total) {
    const double p =
        total > 0 ? 100.0 * static_cast<double>(partie) / static_cast<double>(total) : 0;
    return francais().toString(p, 'f', 1) + QStringLiteral("\u00a0%");
}

QString taille(qint64 octets) {
    if (octets < 1024) {
        return compte(octets, QStringLiteral("octet"), QStringLiteral("octets"));
    }
    if (octets < 1024 * 1024) {
        return francais().toString(static_cast<double>(octets) / 1024.0, 'f', 1) +
               QStringLiteral("\u00a0Ko");
    }
    return francais().toString(static_cast<double>(octets) / (1024.0 * 1024.0), 'f', 1) +
           QStringLiteral("\u00a0Mo");
}

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
    r.titreDocument(
        QStringLiteral("Rapport de migration du fichier clients"),
        QStringLiteral("Vérification avant la reprise dans TRELLINAX PRO, établie le %1.")
            .arg(dateLongue(c.date)));
    r.chiffresCles({{c.nbClients, QStringLiteral("clients")},
                    {c.nbClientsEnErreur(), QStringLiteral("clients en erreur")},
                    {c.nbFiches, QStringLiteral("fiches techniques")},
                    {c.nbSansFamille, QStringLiteral("fiches sans famille")}});
    partieFichier(r, c);
    partieClients(r, c);
    partieCorrections(r, c);
    partieNotes(r, c);
    partieFiches(r, c);
    partieExports(r, c);
    partiePurges(r, c);
    partieDoublons(r, c);
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
