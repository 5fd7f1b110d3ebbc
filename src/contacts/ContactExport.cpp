#include "contacts/ContactExport.h"

#include "contacts/BinaryDataSet.h"
#include "contacts/PersonalData.h"
#include "platform/Ansi.h"

#include <QSaveFile>

namespace contacts {

namespace {
const char kLineEnd[] = "\r\n";
}

QByteArray exportHeaderLine()
{
    return QByteArrayLiteral("\"First Name\",\"Last Name\", \"Company\",\"Title\",\"Address\",\"Return Address\","
                             "\"Phone\",\"Fax\",\"Email\",\"User1\",\"User2\",\"User3\",\"User4\"");
}

QByteArray exportLine(const QStringList &values)
{
    QByteArray line = "\"";
    for (int i = 0; i < PersonalFieldCount; ++i) {
        QString v = values.value(i);
        // CR LF is how multi-line values keep their breaks; any other break (a file
        // written elsewhere) would split the export line, so it becomes "|" as well.
        v.replace(QLatin1String("\r\n"), QLatin1String("|"));
        v.replace(QLatin1Char('\r'), QLatin1Char('|'));
        v.replace(QLatin1Char('\n'), QLatin1Char('|'));
        v.replace(QLatin1String("\""), QLatin1String("\"\""));
        if (i > 0)
            line += "\",\"";
        line += plat::toAnsi(v);
    }
    line += '"';
    return line;
}

QByteArray exportText(const TBinaryDataSet &dataSet)
{
    // Values are taken by field name, so a data file whose fields come in another order
    // still exports in the standard column order.
    int index[PersonalFieldCount];
    for (int i = 0; i < PersonalFieldCount; ++i)
        index[i] = dataSet.FieldIndex(QString::fromLatin1(personalField(i).name));
    QByteArray out = exportHeaderLine() + kLineEnd;
    dataSet.ForEachRecord([&](const Record &r) {
        QStringList values;
        for (int i = 0; i < PersonalFieldCount; ++i)
            values << r.values.value(index[i]);
        out += exportLine(values) + kLineEnd;
        return true;
    });
    return out;
}

bool exportToFile(const TBinaryDataSet &dataSet, const QString &path, QString *error)
{
    QByteArray bytes;
    try {
        bytes = exportText(dataSet);
    } catch (const EBinaryDataSetError &e) {
        if (error)
            *error = e.message();
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("Could not write %1: %2").arg(path, file.errorString());
    return false;
}

} // namespace contacts
