// `ostravel convert OLD... [--to FOLDER] [--force]` run as a program.
#include "LegacySamples.h"

#include "document/DesignDocument.h"
#include "files/DesignFile.h"
#include "model/SurfaceModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

struct ConvertRun {
    int status = -1;
    QString out, err;
};

ConvertRun convert(const QStringList &args, const QString &workDir)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // A runtime folder of its own, so Qt has nothing to say about a missing one.
    static QTemporaryDir runtime;
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(OSTRAVEL_EXECUTABLE), QStringList{QStringLiteral("convert")} + args);
    ConvertRun r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

class ConvertCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    static QByteArray sampleBco()
    {
        legacysamples::Bco b;
        b.objects = legacysamples::sampleObjects();
        return legacysamples::bcoFile(b.stream());
    }
    static QByteArray sampleBcd(uint16_t version = 40)
    {
        legacysamples::Bcd b;
        b.version = version;
        b.objects = {legacysamples::sampleObjects()[2], legacysamples::sampleObjects()[3]};
        return b.file();
    }
    // The number of objects on the front of a saved design, or -1 when it does not open.
    static int objectsIn(const QString &design)
    {
        document::DesignDocument doc;
        if (doc.openFile(design) != files::ResultOk)
            return -1;
        return doc.surface()->count();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ConvertCommand, ConvertsEachFileBesideItAndReportsTheOneThatFails)
{
    write(QStringLiteral("good.bco"), sampleBco());
    write(QStringLiteral("old.BCD"), sampleBcd(30));
    QByteArray bad = sampleBcd();
    bad[0] = 41; // a version no earlier program wrote
    write(QStringLiteral("bad.bcd"), bad);

    const ConvertRun r = convert({QStringLiteral("good.bco"), QStringLiteral("bad.bcd"), QStringLiteral("old.BCD")}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("good.bco -> good.bcp\nold.BCD -> old.bcp\n"));
    EXPECT_EQ(r.err, QStringLiteral("bad.bcd: An error occurred importing the specified file. The file has an "
                                    "invalid signature or version stamp.\n"));
    EXPECT_EQ(objectsIn(dir.filePath(QStringLiteral("good.bcp"))), 7);
    EXPECT_EQ(objectsIn(dir.filePath(QStringLiteral("old.bcp"))), 2);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("bad.bcp"))));

    // All converted: exit 0.
    const ConvertRun again = convert({QStringLiteral("good.bco"), QStringLiteral("--force")}, dir.path());
    EXPECT_EQ(again.status, 0) << again.err.toStdString();
}

TEST_F(ConvertCommand, NeverReplacesADesignWithoutForce)
{
    write(QStringLiteral("card.bco"), sampleBco());
    const QString target = write(QStringLiteral("card.bcp"), QByteArray("my own design"));

    const ConvertRun refused = convert({QStringLiteral("card.bco")}, dir.path());
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.startsWith(QStringLiteral("card.bco: "))) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--force"))) << refused.err.toStdString();
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("my own design"));
    f.close();

    const ConvertRun forced = convert({QStringLiteral("--force"), QStringLiteral("card.bco")}, dir.path());
    EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
    EXPECT_EQ(objectsIn(target), 7);
}

TEST_F(ConvertCommand, WritesIntoAnotherFolderAndNeverTwiceToOneName)
{
    const QString bco = write(QStringLiteral("in/card.bco"), sampleBco());
    const QString bcd = write(QStringLiteral("in/card.bcd"), sampleBcd());
    const QString out = dir.filePath(QStringLiteral("out/new"));

    // card.bco and card.bcd would both become card.bcp: the second is refused, even with
    // --force, so the first one's design is not lost.
    const ConvertRun r = convert({bco, bcd, QStringLiteral("--to"), out, QStringLiteral("--force")}, dir.path());
    EXPECT_EQ(r.status, 1);
    const QString target = QDir(out).filePath(QStringLiteral("card.bcp"));
    EXPECT_EQ(r.out, bco + QStringLiteral(" -> ") + target + QLatin1Char('\n'));
    EXPECT_TRUE(r.err.startsWith(bcd + QStringLiteral(": "))) << r.err.toStdString();
    EXPECT_EQ(objectsIn(target), 7);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("in/card.bcp"))));
}

TEST_F(ConvertCommand, UsageErrorsFail)
{
    write(QStringLiteral("card.bco"), sampleBco());
    const struct {
        QStringList args;
        const char *message;
    } cases[] = {
        {{}, "Usage: ostravel convert"},
        {{QStringLiteral("card.bco"), QStringLiteral("--to")}, "--to needs a folder"},
        {{QStringLiteral("card.bco"), QStringLiteral("--fast")}, "unknown option --fast"},
        {{QStringLiteral("missing.bco")}, "missing.bco: An error occurred importing the specified file."},
        {{QStringLiteral("notes.txt")}, "notes.txt: An error occurred importing the specified file. The file is in an unsupported format."},
    };
    for (const auto &c : cases) {
        const ConvertRun r = convert(c.args, dir.path());
        EXPECT_EQ(r.status, 1) << c.message;
        EXPECT_TRUE(r.err.contains(QLatin1String(c.message))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("card.bcp"))));
    // A folder is made only for a design that goes into it.
    EXPECT_EQ(convert({QStringLiteral("missing.bco"), QStringLiteral("--to"), QStringLiteral("never")}, dir.path()).status, 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("never"))));
}
