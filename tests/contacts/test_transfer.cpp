// Export and import of the personal data file as comma-separated text.
#include "ContactsTestSupport.h"

#include "contacts/ContactExport.h"
#include "contacts/ContactImport.h"

using namespace contactstests;
using contacts::ImportPairing;
using contacts::TBinaryDataSet;

namespace {

QList<ImportPairing> byPosition()
{
    QList<ImportPairing> p;
    for (int i = 0; i < contacts::PersonalFieldCount; ++i)
        p.append({i, i});
    return p;
}

QList<QStringList> allValues(const QString &path)
{
    QList<QStringList> out;
    withDataSet(
        path,
        [&](TBinaryDataSet &ds) {
            for (const contacts::Record &r : ds.Records())
                out << r.values;
        },
        true);
    return out;
}

// Thirteen values with the given leading ones.
QStringList record(const QStringList &leading)
{
    QStringList v = leading;
    while (v.size() < contacts::PersonalFieldCount)
        v << QString();
    return v;
}

} // namespace

TEST(ContactImport, CommaRule)
{
    const struct {
        const char *line;
        QStringList items;
    } cases[] = {
        {"\"a\",\"b\"", {"a", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a"}},
        {",a", {"", "a"}},
        {"a,\"\",b", {"a", "", "b"}},
        {"  a , b ", {"a", "b"}},
        {"\ta\t,b", {"a", "b"}},
        {"John Smith,Acme", {"John", "Smith", "Acme"}},
        {"\"John Smith\",Acme", {"John Smith", "Acme"}},
        {"\"x \"\"q\"\" y\",z", {"x \"q\" y", "z"}},
        {"\"a,b\",c", {"a,b", "c"}},
        {"\"ab\"cd,e", {"ab", "cd", "e"}},
        {"\"unterminated, still", {"unterminated, still"}},
        {"\"First Name\",\"Last Name\", \"Company\"", {"First Name", "Last Name", "Company"}},
        {"", {}},
        {"   ", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(contacts::splitCommaText(QString::fromLatin1(c.line)), c.items) << c.line;
}

TEST(ContactImport, LinesAndEncodings)
{
    EXPECT_EQ(contacts::splitLines(QStringLiteral("a\r\nb\nc\rd\r\n")), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(contacts::splitLines(QStringLiteral("a\r\n\r\nb")), QStringList({"a", "", "b"}));
    EXPECT_EQ(contacts::splitLines(QString()), QStringList());

    const QString names = QStringLiteral("Zoë,Müller,Café");
    EXPECT_EQ(contacts::decodeImportText(names.toUtf8()), names);
    EXPECT_EQ(contacts::decodeImportText("\xEF\xBB\xBF" + names.toUtf8()), names) << "the byte-order mark is dropped";
    EXPECT_EQ(contacts::decodeImportText(QByteArray("Zo\xEB,M\xFCller,Caf\xE9 \x80")), names + QStringLiteral(" €"))
        << "bytes that are not UTF-8 are Windows-1252";
}

TEST(ContactExport, ThreeRecordsInSlotOrder)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    withDataSet(path, [](TBinaryDataSet &ds) {
        addRecord(ds, {"Ann", "Lee", "Acme", "Boss", "1 Main St\r\nSpringfield", "", "555-1", "", "ann@x.org"});
        addRecord(ds, {"Gone"});
        addRecord(ds, {"Bob", "Ray"});
        ds.GotoBookmark(1);
        ds.Delete();
        addRecord(ds, {"Cid", "Day", "", "", "", "", "", "", "", "", "", "", "last"}); // reuses slot 1
        ds.Append();
        ds.SetFieldValue(contacts::FNAME, QStringLiteral("Dee"));
        ds.SetFieldValue(contacts::USER1, QStringLiteral("Say \"hi\"\r\nline 2"));
        ds.Post();
    });
    QByteArray expected =
        "\"First Name\",\"Last Name\", \"Company\",\"Title\",\"Address\",\"Return Address\",\"Phone\",\"Fax\",\"Email\","
        "\"User1\",\"User2\",\"User3\",\"User4\"\r\n"
        "\"Ann\",\"Lee\",\"Acme\",\"Boss\",\"1 Main St|Springfield\",\"\",\"555-1\",\"\",\"ann@x.org\",\"\",\"\",\"\",\"\"\r\n"
        "\"Cid\",\"Day\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"last\"\r\n"
        "\"Bob\",\"Ray\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
        "\"Dee\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Say \"\"hi\"\"|line 2\",\"\",\"\",\"\"\r\n";
    withDataSet(
        path,
        [&](TBinaryDataSet &ds) {
            const QString out = dir.filePath(QStringLiteral("out.csv"));
            QString error;
            ASSERT_TRUE(contacts::exportToFile(ds, out, &error)) << error.toStdString();
            EXPECT_EQ(fileBytes(out), expected);
        },
        true);
}

// Export, then import the export with every field paired by position: the header line
// comes in as a record of column titles, then every record as it was.
TEST(ContactImport, ExportThenImportGivesBackEveryValue)
{
    QTemporaryDir dir;
    const QString source = createPersonalFile(dir, QStringLiteral("source.dat"));
    const QList<QStringList> originals = {
        record({"Ann", "Lee", "Acme, Inc.", "Boss", "1 Main St\r\nSpringfield\r\nUSA", "PO Box 1", "555-1", "555-2",
                "ann@x.org", "a", "b\r\nc", "d", "e"}),
        record({"Zoë", "O'Neil", "Say \"hi\"", "", "", "", "", "", "", "", "", "", "€ 5"}),
        record({"   ", "", "", "", "", "", "", "", "", "", "", "", ""}),
    };
    withDataSet(source, [&](TBinaryDataSet &ds) {
        for (const QStringList &r : originals)
            addRecord(ds, r);
    });
    const QString csv = dir.filePath(QStringLiteral("export.csv"));
    withDataSet(
        source, [&](TBinaryDataSet &ds) { ASSERT_TRUE(contacts::exportToFile(ds, csv, nullptr)); }, true);

    const QString target = createPersonalFile(dir, QStringLiteral("target.dat"));
    QStringList lines;
    ASSERT_TRUE(contacts::readImportFile(csv, &lines, nullptr));
    contacts::ImportResult result;
    withDataSet(target, [&](TBinaryDataSet &ds) { result = contacts::importRecords(ds, lines, byPosition()); });
    EXPECT_EQ(result.imported, 4);
    EXPECT_TRUE(result.failures.isEmpty());

    QList<QStringList> expected = {{"First Name", "Last Name", "Company", "Title", "Address", "Return Address", "Phone",
                                    "Fax", "Email", "User1", "User2", "User3", "User4"}};
    expected << originals;
    EXPECT_EQ(allValues(target), expected);
}

TEST(ContactImport, FailingLinesAreSkippedAlone)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    const QStringList lines = {
        QStringLiteral("a,b,c"),
        QStringLiteral("short"),                  // no column 2
        QString(),                                // an empty line has no column at all
        QStringLiteral("\"Łukasz\",x,Kowalski"),  // Ł cannot be stored
        QStringLiteral("d,e,f|g"),
        QStringLiteral("%1,x,y").arg(QStringLiteral("n").repeated(80)),
    };
    contacts::ImportResult result;
    withDataSet(path, [&](TBinaryDataSet &ds) {
        addRecord(ds, {QStringLiteral("existing")});
        ds.Edit();
        ds.SetFieldValue(contacts::LNAME, QStringLiteral("typed"));
        result = contacts::importRecords(ds, lines, {{contacts::FNAME, 0}, {contacts::ADDRESS, 2}});
    });
    EXPECT_EQ(result.imported, 3);
    QList<int> failed;
    for (const contacts::ImportFailure &f : result.failures)
        failed << f.line;
    EXPECT_EQ(failed, QList<int>({2, 3, 4}));

    const QList<QStringList> values = allValues(path);
    ASSERT_EQ(values.size(), 4);
    EXPECT_EQ(values[0], record({"existing", "typed"})) << "the change being typed was posted first";
    EXPECT_EQ(values[1], record({"a", "", "", "", "c"}));
    EXPECT_EQ(values[2], record({"d", "", "", "", "f\r\ng"}));
    EXPECT_EQ(values[3], record({QString(50, QLatin1Char('n')), "", "", "", "y"})) << "cut to the field size";
}

TEST(ContactImport, PairingsFollowTheirColumns)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    withDataSet(path, [](TBinaryDataSet &ds) {
        const QStringList lines = {QStringLiteral("Smith,John,Acme,john@acme.com")};
        // Column 2 into Company, column 0 into Last Name, column 1 into First Name,
        // column 3 into User4.
        const auto r = contacts::importRecords(
            ds, lines, {ImportPairing::fromCode(2002), ImportPairing::fromCode(1000), {0, 1}, {12, 3}});
        EXPECT_EQ(r.imported, 1);
    });
    EXPECT_EQ(allValues(path).value(0), record({"John", "Smith", "Acme", "", "", "", "", "", "", "", "", "",
                                                "john@acme.com"}));
}

TEST(ContactImport, ProgressCanStopTheImport)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    QStringList lines;
    for (int i = 0; i < 10; ++i)
        lines << QString::number(i);
    contacts::ImportResult r;
    withDataSet(path, [&](TBinaryDataSet &ds) {
        r = contacts::importRecords(ds, lines, {{0, 0}}, [](int done, int) { return done < 4; });
    });
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.imported, 4);
    EXPECT_EQ(allValues(path).size(), 4);
}
