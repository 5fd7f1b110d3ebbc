// `ostravel contacts list|export|import`: the personal data file from the command line,
// through the same data set, export and import code as the Personal Database dialog.
//
//   ostravel contacts list [--json] [--file PATH]
//   ostravel contacts export OUT.csv [--file PATH]
//   ostravel contacts import IN.csv [--pair TARGET=COLUMN]... [--file PATH]
#include "cli/Commands.h"

#include "contacts/BinaryDataSet.h"
#include "contacts/ContactExport.h"
#include "contacts/ContactImport.h"
#include "contacts/PersonalData.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace cli {

namespace {

using contacts::EBinaryDataSetError;
using contacts::TBinaryDataSet;

const char kContactsUsage[] =
    "Usage: ostravel contacts list [--json] [--file PATH]\n"
    "       ostravel contacts export OUT.csv [--file PATH]\n"
    "       ostravel contacts import IN.csv [--pair TARGET=COLUMN]... [--file PATH]\n"
    "TARGET is a field (FNAME ... USER4, \"First Name\" ..., or 0-12); COLUMN a column\n"
    "number counted from 0 or a column title of the file's first line.";

int usage()
{
    QTextStream err(stderr);
    err << kContactsUsage << '\n';
    return 2;
}

int failWith(const QString &message)
{
    QTextStream err(stderr);
    // The data file's messages separate their lines with a carriage return.
    err << QString(message).replace(QLatin1Char('\r'), QLatin1Char('\n')) << '\n';
    return 1;
}

QString jsonString(const QString &s)
{
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

// Opens the data file read-only; prints the reason and returns false when it cannot.
bool openForReading(TBinaryDataSet &ds, const QString &path)
{
    ds.setTableName(path);
    ds.setReadOnly(true);
    try {
        ds.Open();
        return true;
    } catch (const EBinaryDataSetError &e) {
        failWith(QStringLiteral("%1: %2").arg(path, e.message()));
        return false;
    }
}

int listRecords(const QString &path, bool json)
{
    TBinaryDataSet ds;
    if (!openForReading(ds, path))
        return 1;
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    try {
        if (json) {
            // Written by hand so the keys keep the file's field order.
            out << "{\"records\": [";
            bool first = true;
            ds.ForEachRecord([&](const contacts::Record &r) {
                out << (first ? "\n  " : ",\n  ") << "{\"slot\": " << r.slot;
                for (int f = 0; f < ds.FieldCount(); ++f)
                    out << ", " << jsonString(ds.Field(f).name) << ": " << jsonString(r.values.value(f));
                out << '}';
                first = false;
                return true;
            });
            out << (first ? "]}\n" : "\n]}\n");
        } else {
            const int fn = ds.FieldIndex(QStringLiteral("FNAME")), ln = ds.FieldIndex(QStringLiteral("LNAME")),
                      co = ds.FieldIndex(QStringLiteral("COMPANY")), em = ds.FieldIndex(QStringLiteral("EMAIL"));
            ds.ForEachRecord([&](const contacts::Record &r) {
                out << r.slot << '\t' << r.values.value(ln) << '\t' << r.values.value(fn) << '\t'
                    << r.values.value(co) << '\t' << r.values.value(em) << '\n';
                return true;
            });
        }
    } catch (const EBinaryDataSetError &e) {
        out.flush();
        return failWith(QStringLiteral("%1: %2").arg(path, e.message()));
    }
    return 0;
}

int exportRecords(const QString &path, const QString &target)
{
    TBinaryDataSet ds;
    if (!openForReading(ds, path))
        return 1;
    QString error;
    if (!contacts::exportToFile(ds, target, &error))
        return failWith(error);
    QTextStream(stdout) << "Exported " << ds.RecordCount() << " records to " << target << '\n';
    return 0;
}

// TARGET=COLUMN, where TARGET is a field name, a target name or a number 0-12, and
// COLUMN a number counted from 0 or a title of the first line.
bool parsePairing(const QString &text, const QStringList &titles, contacts::ImportPairing *pairing)
{
    const qsizetype eq = text.lastIndexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    const QString target = text.left(eq).trimmed(), column = text.mid(eq + 1).trimmed();
    bool ok = false;
    int t = target.toInt(&ok);
    if (!ok)
        t = contacts::personalFieldIndex(target);
    if (t < 0 || t >= contacts::PersonalFieldCount)
        return false;
    int c = column.toInt(&ok);
    if (!ok) {
        c = -1;
        for (int i = 0; i < titles.size(); ++i)
            if (titles.at(i).compare(column, Qt::CaseInsensitive) == 0) {
                c = i;
                break;
            }
    }
    if (c < 0 || c >= contacts::ImportPairing::kMaxColumns)
        return false;
    *pairing = {t, c};
    return true;
}

int importRecords(const QString &path, const QString &source, const QStringList &pairTexts)
{
    QStringList lines;
    QString error;
    if (!contacts::readImportFile(source, &lines, &error))
        return failWith(error);
    const QStringList titles = lines.isEmpty() ? QStringList() : contacts::splitCommaText(lines.first());
    QList<contacts::ImportPairing> pairings;
    for (const QString &p : pairTexts) {
        contacts::ImportPairing pairing;
        if (!parsePairing(p, titles, &pairing))
            return failWith(QStringLiteral("Not a pairing of a field and a column: %1").arg(p));
        pairings << pairing;
    }
    if (pairTexts.isEmpty())
        for (int i = 0; i < contacts::PersonalFieldCount; ++i)
            pairings << contacts::ImportPairing{i, i};

    TBinaryDataSet ds;
    contacts::preparePersonalDataSet(ds, path);
    try {
        if (!QFileInfo::exists(path))
            ds.CreateTable();
        ds.Open();
    } catch (const EBinaryDataSetError &e) {
        return failWith(QStringLiteral("%1: %2").arg(path, e.message()));
    }

    contacts::ImportResult result;
    try {
        result = contacts::importRecords(ds, lines, pairings);
    } catch (const EBinaryDataSetError &e) {
        return failWith(QStringLiteral("%1: %2").arg(path, e.message()));
    }
    QTextStream err(stderr);
    for (const contacts::ImportFailure &f : result.failures)
        err << source << ": line " << f.line << ": " << contacts::importFailureText() << " ("
            << QString(f.reason).replace(QLatin1Char('\r'), QLatin1Char(' ')) << ")\n";
    err.flush();
    QTextStream(stdout) << "Imported " << result.imported << " records, skipped " << result.failures.size()
                        << " lines\n";
    return result.failures.isEmpty() ? 0 : 1;
}

} // namespace

int runContacts(const QStringList &args)
{
    const QString action = args.value(0);
    QString file, operand;
    QStringList pairs;
    bool json = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--file") && i + 1 < args.size()) {
            file = args.at(++i);
        } else if (a == QLatin1String("--json") && action == QLatin1String("list")) {
            json = true;
        } else if (a == QLatin1String("--pair") && i + 1 < args.size() && action == QLatin1String("import")) {
            pairs << args.at(++i);
        } else if (!a.startsWith(QLatin1String("--")) && operand.isEmpty()) {
            operand = a;
        } else {
            return usage();
        }
    }
    if (file.isEmpty()) {
        file = contacts::personalDataPath();
        if (file.isEmpty())
            return failWith(QStringLiteral("The program's data folder cannot be created."));
    }
    const bool missing = !QFileInfo::exists(file);
    if (action == QLatin1String("list") && operand.isEmpty()) {
        if (missing)
            return failWith(QStringLiteral("%1: Table file not found.").arg(file));
        return listRecords(file, json);
    }
    if (action == QLatin1String("export") && !operand.isEmpty()) {
        if (missing)
            return failWith(QStringLiteral("%1: Table file not found.").arg(file));
        return exportRecords(file, operand);
    }
    if (action == QLatin1String("import") && !operand.isEmpty())
        return importRecords(file, operand, pairs);
    return usage();
}

} // namespace cli
