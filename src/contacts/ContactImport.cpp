#include "contacts/ContactImport.h"

#include "contacts/BinaryDataSet.h"
#include "contacts/PersonalData.h"
#include "platform/Ansi.h"

#include <QFile>
#include <QStringDecoder>

namespace contacts {

namespace {
bool isBlankOrControl(QChar c) { return c.unicode() <= 0x20; }
} // namespace

QStringList splitCommaText(const QString &line)
{
    QStringList items;
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n && isBlankOrControl(line.at(i)))
        ++i;
    while (i < n) {
        QString item;
        if (line.at(i) == QLatin1Char('"')) {
            ++i;
            while (i < n) {
                if (line.at(i) == QLatin1Char('"')) {
                    if (i + 1 < n && line.at(i + 1) == QLatin1Char('"')) {
                        item += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += line.at(i++);
            }
        } else {
            const qsizetype start = i;
            while (i < n && !isBlankOrControl(line.at(i)) && line.at(i) != QLatin1Char(','))
                ++i;
            item = line.mid(start, i - start);
        }
        items << item;
        while (i < n && isBlankOrControl(line.at(i)))
            ++i;
        if (i < n && line.at(i) == QLatin1Char(',')) {
            ++i;
            while (i < n && isBlankOrControl(line.at(i)))
                ++i;
        }
    }
    return items;
}

QString decodeImportText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return plat::fromAnsi(bytes);
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype start = i;
        while (i < n && text.at(i) != QLatin1Char('\r') && text.at(i) != QLatin1Char('\n'))
            ++i;
        lines << text.mid(start, i - start);
        if (i < n && text.at(i) == QLatin1Char('\r'))
            ++i;
        if (i < n && text.at(i) == QLatin1Char('\n'))
            ++i;
    }
    return lines;
}

bool readImportFile(const QString &path, QStringList *lines, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Could not read %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("Could not read %1: %2").arg(path, file.errorString());
        return false;
    }
    *lines = splitLines(decodeImportText(bytes));
    return true;
}

QString importFailureText() { return QStringLiteral("Exception on Import"); }

ImportResult importRecords(TBinaryDataSet &dataSet, const QStringList &lines, const QList<ImportPairing> &pairings,
                           const std::function<bool(int, int)> &progress)
{
    if (!dataSet.Active())
        throw EBinaryDataSetError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (dataSet.ReadOnly())
        throw EBinaryDataSetError(QStringLiteral("Dataset must be opened for read/write to add or change records."));
    dataSet.Post(); // a change being typed is kept, not mixed into the first imported record

    // Target fields by name, so that the pairings mean the same in any field order.
    QList<int> fieldOf;
    for (const ImportPairing &p : pairings)
        fieldOf << (p.target >= 0 && p.target < PersonalFieldCount
                        ? dataSet.FieldIndex(QString::fromLatin1(personalField(p.target).name))
                        : -1);

    ImportResult result;
    const int total = int(lines.size());
    for (int l = 0; l < total; ++l) {
        if (progress && !progress(l, total)) {
            result.cancelled = true;
            break;
        }
        try {
            const QStringList columns = splitCommaText(lines.at(l));
            QStringList values;
            for (int p = 0; p < pairings.size(); ++p) {
                const ImportPairing &pairing = pairings.at(p);
                if (pairing.column < 0 || pairing.column >= columns.size())
                    throw EBinaryDataSetError(QStringLiteral("The line has no column %1.").arg(pairing.column + 1));
                if (fieldOf.at(p) < 0)
                    throw EBinaryDataSetError(QStringLiteral("The data file has no field for target %1.").arg(pairing.target));
                values << QString(columns.at(pairing.column)).replace(QLatin1Char('|'), QLatin1String("\r\n"));
            }
            dataSet.Insert();
            for (int p = 0; p < pairings.size(); ++p)
                dataSet.SetFieldValue(fieldOf.at(p), values.at(p));
            dataSet.Post();
            ++result.imported;
        } catch (const EBinaryDataSetError &e) {
            dataSet.Cancel();
            result.failures.append({l + 1, e.message()});
        }
    }
    if (progress && !result.cancelled)
        progress(total, total);
    return result;
}

} // namespace contacts
