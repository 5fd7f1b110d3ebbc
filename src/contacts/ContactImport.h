#pragma once
// Import of contact records from a text or comma-separated file into the personal data
// file. Each line is split into columns by the comma rule; each pairing copies one column
// into one field ("|" in the text stands for a line break); a line that fails is skipped
// and the others still import.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace contacts {

class TBinaryDataSet;

// The comma rule: leading blanks and control characters are skipped; an item that starts
// with a double quote runs to the matching closing quote (two quotes inside stand for
// one); any other item runs up to the next comma, blank or control character; after an
// item blanks are skipped, and a comma with the blanks after it separates items. Two
// commas in a row give an empty item; a comma at the end gives no further item.
QStringList splitCommaText(const QString &line);

// The text of an import file: UTF-8 when the bytes are valid UTF-8 (a byte-order mark is
// dropped), otherwise Windows-1252.
QString decodeImportText(const QByteArray &bytes);
// Lines split at CR LF, CR or LF; a break at the very end gives no empty last line.
QStringList splitLines(const QString &text);
// Reads and splits an import file; false with `error` set when it cannot be read.
bool readImportFile(const QString &path, QStringList *lines, QString *error);

// A source column paired with a target field (0 FNAME ... 12 USER4). The import form
// keeps pairings as target x 1000 + column.
struct ImportPairing {
    int target = 0;
    int column = 0;
    int code() const { return target * 1000 + column; }
    static ImportPairing fromCode(int code) { return {code / 1000, code % 1000}; }
    // Column numbers that a pairing code can carry.
    static constexpr int kMaxColumns = 1000;
};

struct ImportFailure {
    int line = 0; // 1-based
    QString reason;
};

struct ImportResult {
    int imported = 0;
    QList<ImportFailure> failures;
    bool cancelled = false;
};

// The message shown for a line that could not be imported.
QString importFailureText();

// Inserts one record per line (the first line too) into the open, writable data set.
// `progress(done, total)` is called now and then; returning false stops the import
// before the next line (the lines already imported stay). Throws EBinaryDataSetError
// when the data set is not open for writing.
ImportResult importRecords(TBinaryDataSet &dataSet, const QStringList &lines, const QList<ImportPairing> &pairings,
                           const std::function<bool(int done, int total)> &progress = {});

} // namespace contacts
