#pragma once
// Export of the personal data file as comma-separated text: a header line, then one line
// per live record in slot order, thirteen quoted values each, lines ended by CR LF.

#include <QByteArray>
#include <QString>

namespace contacts {

class TBinaryDataSet;

// The header line, exactly as every export starts (note the blank before "Company").
QByteArray exportHeaderLine();
// One record's line without its line end. Line breaks inside a value become "|"; a
// double quote inside a value is doubled, so the comma rule of the import (and any
// spreadsheet) reads the value back whole.
QByteArray exportLine(const QStringList &values);
// The whole export of an open personal data file (Windows-1252, as the file stores it).
QByteArray exportText(const TBinaryDataSet &dataSet);
// Writes exportText to `path`, replacing it only once the new file is complete. On
// failure returns false and sets `error`.
bool exportToFile(const TBinaryDataSet &dataSet, const QString &path, QString *error);

} // namespace contacts
