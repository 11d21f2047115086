#pragma once

#include <QList>
#include <QString>

#include "demo/Hasard.h"

namespace demo {

// One paragraph of a rich-text note: an optional bold label, then the text.
struct Paragraphe {
    QString gras;
    QString texte;
    bool tabulation = false;  // a tab between label and text
};

// Number of characters a reader sees (paragraphs on separate lines).
int longueurTexte(const QList<Paragraphe>& paragraphes);

// The header written by one version of the Windows rich-text control, and
// whether the euro sign comes out as \'80 or \u8364?.
struct StyleRtf {
    int version = 0;
    bool euroUnicode = false;
};
StyleRtf styleAuHasard(Hasard& h);

// The document as that control saves it: ANSI code page 1252, accents as \'hh,
// characters outside the code page as \uN?, one \par per paragraph, ending with
// the closing brace.
QString rtfRichEdit(const QList<Paragraphe>& paragraphes, const StyleRtf& style);

}  // namespace demo
