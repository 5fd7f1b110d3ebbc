// `ostravel info FILE [--json]` run as a program.
#include "FileTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

using namespace filetests;

namespace {

struct ProcessRun {
    int status = -1;
    QByteArray out, err;
};

ProcessRun runOstravel(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(OSTRAVEL_EXECUTABLE), args);
    ProcessRun r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QJsonObject infoJson(const QString &fixture)
{
    const ProcessRun r = runOstravel({QStringLiteral("info"), fixturePath(fixture), QStringLiteral("--json")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    QJsonParseError e;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &e);
    EXPECT_EQ(e.error, QJsonParseError::NoError) << r.out.toStdString();
    return doc.object();
}

} // namespace

TEST(InfoCommand, JsonDescribesTheWholeDesign)
{
    const QJsonObject doc = infoJson(QStringLiteral("sample.bcp"));
    EXPECT_EQ(doc[QStringLiteral("version")].toInt(), 600);
    EXPECT_EQ(doc[QStringLiteral("zoom")].toInt(), 100);
    EXPECT_EQ(doc[QStringLiteral("dataFile")].toString(), QStringLiteral("contacts.csv"));

    const QJsonObject l = doc[QStringLiteral("layout")].toObject();
    const layout::LayoutRecord expected = samples::flatLayout();
    EXPECT_EQ(l[QStringLiteral("Name")].toString(), expected.Name());
    const std::pair<const char *, double> numbers[] = {
        {"Rows", 5}, {"Columns", 2}, {"Width", 350}, {"Height", 200}, {"TopMargin", 50},
        {"LeftMargin", 75}, {"ColumnSpace", 0}, {"RowSpace", 0}, {"RegionType", 0},
        {"BackPrintable", 1}, {"PaperType", 0}, {"TemplateKind", 0},
    };
    for (const auto &[key, value] : numbers) {
        ASSERT_TRUE(l[QLatin1String(key)].isDouble()) << key;
        EXPECT_EQ(l[QLatin1String(key)].toDouble(), value) << key;
    }

    const QJsonArray regions = doc[QStringLiteral("regions")].toArray();
    ASSERT_EQ(regions.size(), 2);
    const QJsonObject front = regions[0].toObject();
    EXPECT_EQ(front[QStringLiteral("side")].toInt(), 0);
    EXPECT_EQ(front[QStringLiteral("region")].toInt(), 0);
    EXPECT_EQ(front[QStringLiteral("margins")].toArray(), (QJsonArray{10, 12, 14, 16}));
    EXPECT_EQ(front[QStringLiteral("background")].toString(), QStringLiteral("bitmap"));
    const QJsonObject back = regions[1].toObject();
    EXPECT_EQ(back[QStringLiteral("side")].toInt(), 1);
    EXPECT_EQ(back[QStringLiteral("background")].toString(), QStringLiteral("metafile"));

    const QJsonArray objects = front[QStringLiteral("objects")].toArray();
    ASSERT_EQ(objects.size(), 7);
    QStringList kinds;
    for (const QJsonValue &v : objects)
        kinds << v.toObject()[QStringLiteral("Kind")].toString();
    EXPECT_EQ(kinds, (QStringList{"T", "T", "B", "L", "G", "C", "R"})); // stacking order

    const QJsonObject text = objects[0].toObject();
    EXPECT_EQ(text[QStringLiteral("Left")].toInt(), 20);
    EXPECT_EQ(text[QStringLiteral("Top")].toInt(), 30);
    EXPECT_EQ(text[QStringLiteral("Width")].toInt(), 120);
    EXPECT_EQ(text[QStringLiteral("Height")].toInt(), 30);
    EXPECT_EQ(text[QStringLiteral("Style")].toInt(), 1);
    EXPECT_EQ(text[QStringLiteral("ColorFG")].toDouble(), double(0x112233));
    EXPECT_EQ(text[QStringLiteral("ColorBG")].toDouble(), double(0xFFFFFF));
    EXPECT_EQ(text[QStringLiteral("TextStyle")].toDouble(), double(0x03020103));
    EXPECT_EQ(text[QStringLiteral("ShadowDX")].toInt(), -1); // signed as stored
    EXPECT_EQ(text[QStringLiteral("ShadowDY")].toInt(), 2);
    EXPECT_EQ(text[QStringLiteral("Rotation")].toInt(), 450);
    EXPECT_EQ(text[QStringLiteral("lines")].toArray(), QJsonArray{QStringLiteral("NAME")});
    EXPECT_EQ(text[QStringLiteral("dataKind")].toString(), QStringLiteral("T"));
    EXPECT_EQ(text[QStringLiteral("dataSize")].toInt(), 6);
    const QJsonObject font = text[QStringLiteral("font")].toObject();
    EXPECT_EQ(font[QStringLiteral("face")].toString(), QStringLiteral("Arial"));
    EXPECT_EQ(font[QStringLiteral("height")].toInt(), -16);
    EXPECT_EQ(font[QStringLiteral("weight")].toInt(), 400);
    for (const char *key : {"italic", "underline", "strikeOut", "charSet"})
        EXPECT_EQ(font[QLatin1String(key)].toInt(-1), 0) << key;

    const QJsonObject list = objects[1].toObject();
    EXPECT_EQ(list[QStringLiteral("lines")].toArray(),
              (QJsonArray{QStringLiteral("first"), QStringLiteral("caf\u00e9 \u20ac"), QString()}));
    const QJsonObject line = objects[3].toObject();
    EXPECT_EQ(line[QStringLiteral("LineSize")].toInt(), -1);
    EXPECT_EQ(line[QStringLiteral("LineType")].toInt(), 3);
    EXPECT_EQ(line[QStringLiteral("dataKind")].toString(), QString());
    EXPECT_EQ(line[QStringLiteral("dataSize")].toInt(), 0);
    const QJsonObject graphic = objects[4].toObject();
    EXPECT_EQ(graphic[QStringLiteral("dataKind")].toString(), QStringLiteral("M"));
    EXPECT_EQ(graphic[QStringLiteral("dataSize")].toInt(), samples::tinyEmf().size());
    EXPECT_EQ(objects[5].toObject()[QStringLiteral("Flags")].toInt(), 3);

    const QJsonArray backObjects = back[QStringLiteral("objects")].toArray();
    ASSERT_EQ(backObjects.size(), 2);
    EXPECT_EQ(backObjects[1].toObject()[QStringLiteral("Kind")].toString(), QStringLiteral("O"));
    EXPECT_EQ(backObjects[1].toObject()[QStringLiteral("dataKind")].toString(), QStringLiteral("O"));
}

TEST(InfoCommand, BoundsAreTheStoredValuesAtAnyZoom)
{
    // The box of the sample sits at 5 units: at 150 % that is 7 pixels, which would
    // read back as 4 units if the region were passed through the surface.
    const QJsonObject doc = infoJson(QStringLiteral("sample_zoom150.bcp"));
    EXPECT_EQ(doc[QStringLiteral("zoom")].toInt(), 150);
    const QJsonObject box = doc[QStringLiteral("regions")].toArray()[0].toObject()[QStringLiteral("objects")]
                                .toArray()[2].toObject();
    EXPECT_EQ(box[QStringLiteral("Kind")].toString(), QStringLiteral("B"));
    EXPECT_EQ(box[QStringLiteral("Left")].toInt(), 5);
    EXPECT_EQ(box[QStringLiteral("Width")].toInt(), 340);
}

TEST(InfoCommand, TextOutputNamesObjects)
{
    const ProcessRun r = runOstravel({QStringLiteral("info"), fixturePath(QStringLiteral("sample.bcp"))});
    ASSERT_EQ(r.status, 0);
    const QString out = QString::fromUtf8(r.out);
    EXPECT_TRUE(out.contains(QStringLiteral("Zoom: 100%")));
    EXPECT_TRUE(out.contains(QStringLiteral("Layout: Sample 10 per sheet<>test layout")));
    EXPECT_TRUE(out.contains(QStringLiteral("T Text0 at (20, 30) size 120 x 30 text \"NAME\""))) << r.out.toStdString();
    // Names as a region load gives them: the graphic is Graphic1, the embedded object
    // a shape after the back's text.
    EXPECT_TRUE(out.contains(QStringLiteral("G Graphic1 at (250, 20) size 75 x 75"))) << r.out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("O Shape0 at (40, 50) size 70 x 60"))) << r.out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Region side 1 region 0: margins 8, 8, 8, 8; background metafile")));
}

TEST(InfoCommand, DamagedFilesExitWithTheReadersMessage)
{
    struct Case { const char *file; const char *message; };
    const Case cases[] = {
        {"damaged/1000_text_unterminated.bcp", "An error occurred loading the specified file.\n"},
        {"damaged/1002_version_601.bcp",
         "An error occurred loading the specified file.\n\nThe file has an invalid version stamp.\n"},
        {"damaged/1100_blob_size_huge.bcp", "An error occurred trying to allocate memory.\n"},
        {"no such file.bcp", "An error occurred loading the specified file.\n"},
    };
    for (const Case &c : cases) {
        for (bool json : {false, true}) {
            QStringList args{QStringLiteral("info"), fixturePath(QLatin1String(c.file))};
            if (json)
                args << QStringLiteral("--json");
            const ProcessRun r = runOstravel(args);
            EXPECT_EQ(r.status, 1) << c.file;
            // Qt may warn about the environment first; the reader's message ends it.
            EXPECT_TRUE(r.err.endsWith(QByteArray(c.message))) << c.file << ": " << r.err.toStdString();
            EXPECT_EQ(r.err.count(QByteArray("An error occurred")), 1) << r.err.toStdString();
            EXPECT_TRUE(r.out.isEmpty()) << c.file;
        }
    }
}
