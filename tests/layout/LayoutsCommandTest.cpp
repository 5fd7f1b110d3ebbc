// `ostravel layouts`: the built program run with a program folder and a template library
// of the tests' own.
#include "layout/LayoutFile.h"

#include "TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace layout;
using testsupport::fixture;

namespace {

struct ProcessRun {
    int status = -1;
    QByteArray out, err;
};

class LayoutsCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        LayoutRecord heading, cards;
        heading.setName("===== Cards =====");
        cards.setName("House cards 2 x 4<>0.5 in gaps");
        cards.setRows(4);
        cards.setColumns(2);
        cards.setWidth(350);
        cards.setHeight(200);
        cards.setTopMargin(75);
        cards.setLeftMargin(50);
        cards.setColumnSpace(50);
        cards.setRowSpace(50);
        cards.setBackPrintable(1);
        ASSERT_TRUE(writeLayoutFile(home.filePath("House.LYT"), {heading, cards}));
    }

    ProcessRun run(const QStringList &args, const QString &stock)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("OSTRAVEL_HOME"), home.path());
        env.insert(QStringLiteral("OSTRAVEL_STOCK_TEMPLATES"), stock);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(OSTRAVEL_EXECUTABLE), QStringList{QStringLiteral("layouts")} + args);
        ProcessRun r;
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
            return r;
        r.status = p.exitCode();
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    QJsonArray layouts(const QStringList &args, const QString &stock)
    {
        const ProcessRun r = run(QStringList{QStringLiteral("--json")} + args, stock);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        QJsonParseError e;
        const QJsonDocument doc = QJsonDocument::fromJson(r.out, &e);
        EXPECT_EQ(e.error, QJsonParseError::NoError) << r.out.toStdString();
        return doc.object().value(QStringLiteral("layouts")).toArray();
    }

    QTemporaryDir home;
};

QStringList names(const QJsonArray &list)
{
    QStringList out;
    for (const QJsonValue &v : list)
        out << v.toObject().value(QStringLiteral("name")).toString();
    return out;
}

} // namespace

TEST_F(LayoutsCommandTest, JsonListsFileAndStockLayoutsInRecordUnits)
{
    const QJsonArray all = layouts({}, fixture("stock"));
    ASSERT_EQ(all.size(), 1 + 6) << names(all).join(", ").toStdString();   // no heading

    const QJsonObject house = all[0].toObject();
    EXPECT_EQ(house.value("name").toString(), "House cards 2 x 4");
    EXPECT_EQ(house.value("note").toString(), "0.5 in gaps");
    EXPECT_EQ(house.value("source").toString(), "user");
    EXPECT_EQ(house.value("ColumnSpace").toInt(), 50);

    const QJsonArray found = layouts({"--search", "8371"}, fixture("stock"));
    ASSERT_EQ(found.size(), 1);
    const QJsonObject o = found[0].toObject();
    const QJsonObject expected{{"name", "Acme 8371 Business Cards"},
                               {"source", "stock"},
                               {"collection", "Acme"},
                               {"Rows", 5},
                               {"Columns", 2},
                               {"Width", 350},
                               {"Height", 200},
                               {"TopMargin", 50},
                               {"LeftMargin", 75},
                               {"ColumnSpace", 0},
                               {"RowSpace", 0},
                               {"RegionType", 0},
                               {"BackPrintable", 1},
                               {"PaperType", 0}};
    EXPECT_EQ(o, expected) << QJsonDocument(o).toJson().toStdString();

    // Every word must match, in names and notes alike; without a library only files remain.
    EXPECT_EQ(names(layouts({"--search=zenith rotary"}, fixture("stock"))), QStringList{"Zenith Z-7 Rotary Cards"});
    EXPECT_EQ(names(layouts({"--search", "GAPS"}, fixture("stock"))),
              (QStringList{"House cards 2 x 4", "Acme E-85 Cards with gaps"}));
    EXPECT_EQ(names(layouts({}, QString())), QStringList{"House cards 2 x 4"});
}

TEST_F(LayoutsCommandTest, TextListsOneLayoutALineAndBadArgumentsFail)
{
    const ProcessRun r = run({"--search", "z-3"}, fixture("stock"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Zenith Z-3 Name Badges\tstock: Zenith\t2 x 5 of 3.54 x 2.17 in\tA4 (210 x 297 mm)\n");
    // What was left out is told on stderr.
    EXPECT_TRUE(r.err.contains("8 read, 6 usable, 2 left out; 1 of 2 files broken")) << r.err.toStdString();

    const ProcessRun bad = run({"--colour"}, fixture("stock"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_TRUE(bad.err.contains("Usage: ostravel layouts")) << bad.err.toStdString();
}
