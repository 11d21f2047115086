#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The plain text that a Windows rich-text control gives back for a client's
// note: lengths count UTF-16 code units and a line break is CR LF.

// Text of an RTF document. Never fails: a damaged document gives the text read
// up to the damage.
QString texteRtf(const QByteArray& rtf);

// Text of a note file's content: RTF when it starts with "{\rtf" (after an
// optional UTF-8 byte order mark and blanks), otherwise Windows-1252 plain text
// whose line breaks (CR LF, LF or CR) all become CR LF.
QString texteNote(const QByteArray& contenu);

// Reads the note file, a regular file only. Throws ErreurFichier, with the
// cause, when it cannot be read.
QString lireNote(const QString& chemin);

}  // namespace platform
