// `ostravel export DESIGN OUT [--zoom N] [--quality N] [--progressive] [--region NAME]`.
#include "ExportTestSupport.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace exporttests;

namespace {

struct ProcessResult {
    int status = -1;
    QString err;
};

ProcessResult ostravel(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(OSTRAVEL_EXECUTABLE), QStringList{QStringLiteral("export")} + args);
    ProcessResult r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        document::DesignDocument doc;
        makeSample(doc);
        doc.setZoom(150, false);
        design = dir.filePath(QStringLiteral("card.bcp"));
        ASSERT_TRUE(doc.save(design));
    }
    QTemporaryDir dir;
    QString design;
};

} // namespace

TEST_F(ExportCommand, ExportsTheChosenRegionAtTheChosenZoom)
{
    const QString out = dir.filePath(QStringLiteral("front.png"));
    ProcessResult r = ostravel({design, out, QStringLiteral("--zoom"), QStringLiteral("400")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QImage img = QImage(out).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(img.size(), QSize(1400, 800));
    EXPECT_EQ(img.pixel(kBoxCentre * 4), colorOf(kRed));

    // Without --zoom: 100 %, whatever zoom the design was saved at.
    const QString back = dir.filePath(QStringLiteral("back.bmp"));
    r = ostravel({design, back, QStringLiteral("--region"), QStringLiteral("back")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    img = QImage(back).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(img.size(), QSize(350, 200));
    EXPECT_EQ(img.pixel(70, 50), colorOf(kBlue));
    EXPECT_NE(img.pixel(kBoxCentre), colorOf(kRed));

    const QString jpeg = dir.filePath(QStringLiteral("front.jpeg"));
    r = ostravel({design, jpeg, QStringLiteral("--quality"), QStringLiteral("40"), QStringLiteral("--progressive")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(testsupport::readFile(jpeg).contains("\xFF\xC2"));
}

TEST_F(ExportCommand, RefusesWhatItCannotDo)
{
    const QString out = dir.filePath(QStringLiteral("x.png"));
    struct Case {
        QStringList args;
        const char *message;
    } const cases[] = {
        {{design, out, QStringLiteral("--region"), QStringLiteral("Inside")}, "has no region Inside"},
        {{design, out, QStringLiteral("--zoom"), QStringLiteral("big")}, "--zoom takes"},
        {{design, out, QStringLiteral("--quality"), QStringLiteral("101")}, "--quality takes"},
        {{dir.filePath(QStringLiteral("missing.bcp")), out}, "An error occurred loading the specified file."},
        {{design}, "Usage: ostravel export"},
        {{design, dir.filePath(QStringLiteral("no/folder/x.png"))},
         "An error occurred saving the specified file.\n\nBe sure to choose a valid filename"},
    };
    for (const Case &c : cases) {
        const ProcessResult r = ostravel(c.args);
        EXPECT_EQ(r.status, 1) << c.message;
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out));
}
