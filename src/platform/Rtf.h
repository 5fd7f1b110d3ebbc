#pragma once
// A small reader of rich text (RTF) for the program's own information files: paragraphs
// with their alignment, bold, italic, underline, font size, colours from the colour
// table, 8-bit characters written as \'hh (Windows-1252) and \uN characters with their
// fallback text skipped. Destinations it does not show (font table, style sheet,
// document information, pictures, anything marked \*) are skipped.
//
// The reader treats its input as hostile: nesting is bounded, truncated input ends the
// text where it stops, and no input makes it read outside the bytes it was given.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace plat {

// True when the bytes start (after white space) with an RTF header "{\rtf".
bool looksLikeRtf(const QByteArray &bytes);

// Replaces the document's contents with the text of `rtf`. Returns false, leaving the
// document empty, when the bytes are not RTF.
bool readRtf(const QByteArray &rtf, QTextDocument &document);

// Reads an RTF file into the document. Returns false when the file cannot be read, is
// unreasonably large or is not RTF; the document is then empty.
bool readRtfFile(const QString &path, QTextDocument &document);

} // namespace plat
