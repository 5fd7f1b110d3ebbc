// `ostravel contacts list|export|import` run as a program.
#include "ContactsTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

using namespace contactstests;

namespace {

struct CliRun {
    int status = -1;
    QByteArray out, err;
};

CliRun ostravel(const QStringList &args, const QString &home = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!home.isEmpty())
        env.insert(QStringLiteral("OSTRAVEL_HOME"), home);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(OSTRAVEL_EXECUTABLE), QStringList{QStringLiteral("contacts")} + args);
    CliRun r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

const QByteArray kCsv =
    "\"First Name\",\"Last Name\", \"Company\",\"Title\",\"Address\",\"Return Address\",\"Phone\",\"Fax\",\"Email\","
    "\"User1\",\"User2\",\"User3\",\"User4\"\r\n"
    "\"Ann\",\"Lee\",\"Acme\",\"Boss\",\"1 Main St|Springfield\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
    "Bob,Ray\r\n"
    "\"Zo\xC3\xAB\",\"M\xC3\xBCller\",,,,,,,,,,,,\r\n";

} // namespace

// Without --file the commands use the program folder's "Personal Data.dat"; import
// creates it, list and export read it.
TEST(ContactsCommand, ImportListAndExportTheProgramFoldersFile)
{
    QTemporaryDir home;
    const QString data = home.filePath(QStringLiteral("Personal Data.dat"));
    const QString csv = home.filePath(QStringLiteral("in.csv"));
    writeBytes(csv, kCsv);

    CliRun r = ostravel({QStringLiteral("list")}, home.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Table file not found.")) << r.err.toStdString();
    EXPECT_EQ(ostravel({QStringLiteral("export"), home.filePath(QStringLiteral("x.csv"))}, home.path()).status, 1);
    EXPECT_FALSE(QFile::exists(data));

    // Bob's line has two columns only: pairing column 12 fails it.
    r = ostravel({QStringLiteral("import"), csv}, home.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("line 3: Exception on Import")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("line 2")) << r.err.toStdString();
    ASSERT_TRUE(QFile::exists(data));

    r = ostravel({QStringLiteral("list"), QStringLiteral("--json")}, home.path());
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject doc = QJsonDocument::fromJson(r.out).object();
    const QJsonArray records = doc[QStringLiteral("records")].toArray();
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[0].toObject()[QStringLiteral("COMPANY")].toString(), QStringLiteral("Company"));
    const QJsonObject ann = records[1].toObject();
    EXPECT_EQ(ann[QStringLiteral("slot")].toInt(), 1);
    EXPECT_EQ(ann[QStringLiteral("ADDRESS")].toString(), QStringLiteral("1 Main St\r\nSpringfield"));
    EXPECT_EQ(ann[QStringLiteral("USER4")].toString(), QString());
    EXPECT_EQ(records[2].toObject()[QStringLiteral("FNAME")].toString(), QStringLiteral("Zoë"));
    // The keys keep the file's field order.
    const QByteArray annLine = r.out.split('\n').value(2);
    EXPECT_TRUE(annLine.startsWith("  {\"slot\": 1, \"FNAME\": \"Ann\", \"LNAME\": \"Lee\", \"COMPANY\""))
        << annLine.toStdString();
    EXPECT_TRUE(annLine.endsWith("\"USER4\": \"\"},")) << annLine.toStdString();

    const QString out = home.filePath(QStringLiteral("out.csv"));
    r = ostravel({QStringLiteral("export"), out}, home.path());
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QList<QByteArray> lines = fileBytes(out).split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[2], "\"Ann\",\"Lee\",\"Acme\",\"Boss\",\"1 Main St|Springfield\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r");
    EXPECT_EQ(lines[3], "\"Zo\xEB\",\"M\xFCller\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r");
}

TEST(ContactsCommand, PairsByNameOrNumber)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("p.dat"));
    const QString csv = dir.filePath(QStringLiteral("in.csv"));
    writeBytes(csv, "Last,First,Mail\nRay,Bob,bob@ray.org\n");
    const CliRun r = ostravel({QStringLiteral("import"), csv, QStringLiteral("--file"), data, QStringLiteral("--pair"),
                            QStringLiteral("First Name=1"), QStringLiteral("--pair"), QStringLiteral("LNAME=Last"),
                            QStringLiteral("--pair"), QStringLiteral("8=2")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    withDataSet(
        data,
        [](contacts::TBinaryDataSet &ds) {
            const QList<contacts::Record> records = ds.Records();
            ASSERT_EQ(records.size(), 2);
            EXPECT_EQ(records[1].values[contacts::FNAME], QStringLiteral("Bob"));
            EXPECT_EQ(records[1].values[contacts::LNAME], QStringLiteral("Ray"));
            EXPECT_EQ(records[1].values[contacts::EMAIL], QStringLiteral("bob@ray.org"));
            EXPECT_EQ(records[1].values[contacts::COMPANY], QString());
        },
        true);
    EXPECT_EQ(ostravel({QStringLiteral("import"), csv, QStringLiteral("--file"), data, QStringLiteral("--pair"),
                        QStringLiteral("Nickname=0")})
                  .status,
              1);
}

// A damaged file, or one that another writer holds, is reported and left as it is.
TEST(ContactsCommand, FileErrorsLeaveTheFileUnchanged)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("in.csv"));
    writeBytes(csv, "a,b\n");

    const QString damaged = dir.filePath(QStringLiteral("damaged.dat"));
    withDataSet(createPersonalFile(dir, QStringLiteral("damaged.dat")),
                [](contacts::TBinaryDataSet &ds) { addRecord(ds, {QStringLiteral("Ann")}); });
    QByteArray bytes = fileBytes(damaged);
    bytes.chop(1);
    writeBytes(damaged, bytes);
    CliRun r = ostravel({QStringLiteral("import"), csv, QStringLiteral("--file"), damaged});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Open: Invalid record size.\nStartData   : 581\nfRecordCount: 1\nfRecordSize : 1000\n"
                               "fStream.SIze: 1580"))
        << r.err.toStdString();
    EXPECT_EQ(fileBytes(damaged), bytes);
    EXPECT_EQ(ostravel({QStringLiteral("list"), QStringLiteral("--file"), damaged}).status, 1);

    const QString held = createPersonalFile(dir, QStringLiteral("held.dat"));
    contacts::TBinaryDataSet writer;
    contacts::preparePersonalDataSet(writer, held);
    writer.Open();
    addRecord(writer, {QStringLiteral("Ann")});
    const QByteArray before = fileBytes(held);
    r = ostravel({QStringLiteral("import"), csv, QStringLiteral("--file"), held});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("already open for changes")) << r.err.toStdString();
    EXPECT_EQ(fileBytes(held), before);
    // Reading is never refused.
    r = ostravel({QStringLiteral("list"), QStringLiteral("--file"), held});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0\t\tAnn\t\t\n");
}
