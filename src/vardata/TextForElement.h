#pragma once
// Which string a text object draws for one element of a printed sheet. A text object's
// Lines hold its source: one string is the same text for every element (or a counter,
// or a data-file field marker), two or more strings are one text per element position.
//
//   counter       "{-_" + start value with leading zeros to the minimum digits + "_-}"
//   field marker  "{-" + field name + "-}"

#include <QString>
#include <QStringList>

namespace vardata {

// A single string that begins with "{-", ends with "-}" and has '_' as its third
// character.
bool IsCounter(const QString &s);
// Begins with "{-" and ends with "-}" and is not a counter.
bool IsFieldMarker(const QString &s);

// The text for element `index` (1-based): the index-th string of a list (empty past its
// end), a counter's start + index - 1 padded with zeros to its digit count, or the single
// string itself (field markers are drawn literally). Empty Lines give the empty text.
QString TextForElement(const QStringList &lines, int index);

} // namespace vardata
