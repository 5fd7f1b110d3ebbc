#pragma once
// How the property editor's text-source controls read a text object's Lines and write
// them back: the same text for every element, a list of texts, a counter or a field of
// the linked data file (the encoding itself is TextForElement's).

#include <QString>
#include <QStringList>

namespace vardata {

enum class TextSourceKind { Single, List, Counter, Field };

// What the controls show for a text object's Lines.
struct TextSourceView {
    TextSourceKind kind = TextSourceKind::Single;
    QString memo;          // the first string (empty for no strings)
    QString counterLength; // counter only: the digit count
    QString counterStart;  // counter only: the start value
    QString fieldName;     // field marker only
};

// Two or more strings are a list; one counter string a counter; one field marker a field
// when the design has a linked data file (without one it shows as plain text); anything
// else the same text for all elements.
TextSourceView ReadTextSource(const QStringList &lines, bool hasDataFile);

// The counter string the counter edits stand for: the length as an integer (6 when it is
// not one, at most 100), the start as an integer (0 when it is not one), formatted as
// "{-_" + the start zero-padded to the length + "_-}". A length below 0 pads with spaces
// on the right, as a left-justified printf field does.
QString CounterMarker(const QString &lengthText, const QString &startText);
// "{-" + name + "-}".
QString FieldMarker(const QString &fieldName);

// The controls' integer rule: an optionally signed decimal number, surrounding blanks
// allowed; nothing else converts.
bool ParseWholeNumber(const QString &text, long long *value);

} // namespace vardata
