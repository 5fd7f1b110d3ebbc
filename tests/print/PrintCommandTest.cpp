// Printing a design to PDF through the command line, read back with poppler's pdftotext:
// page count and where the element texts land.
#include "document/DesignDocument.h"
#include "model/SurfaceItem.h"
#include "model/TObjectData.h"
#include "render/TextStyles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

struct Word {
    double xMin, yMin, xMax, yMax;
    QString text;
};
struct PdfText {
    std::vector<std::vector<Word>> pages;
    std::vector<QSizeF> sizes;
};

// pdftotext -bbox: one <page width= height=> per page and one <word> per word, points.
PdfText readPdf(const QString &pdf)
{
    PdfText out;
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000))
        return out;
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression page(QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">"));
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    for (const QString &chunk : html.split(QStringLiteral("<page ")).mid(1)) {
        const auto pm = page.match(QStringLiteral("<page ") + chunk);
        out.sizes.emplace_back(pm.captured(1).toDouble(), pm.captured(2).toDouble());
        out.pages.emplace_back();
        auto it = word.globalMatch(chunk);
        while (it.hasNext()) {
            const auto m = it.next();
            out.pages.back().push_back(
                {m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5)});
        }
    }
    return out;
}

int runPrint(const QStringList &args, QString *err = nullptr)
{
    QProcess p;
    p.start(QStringLiteral(OSTRAVEL_EXECUTABLE), QStringList{QStringLiteral("print")} + args);
    if (!p.waitForFinished(120000))
        return -1;
    if (err)
        // The last line: the platform may log before the command speaks.
        *err = QString::fromUtf8(p.readAllStandardError()).trimmed().split(QLatin1Char('\n')).last();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// A flat Letter design, 2 x 5 cards of 3.5 x 2 inches at (0.75, 0.5), printable back,
// with a counter text "N0001.." at (20, 20) and a Code 39 bar code of the same counter
// (with its human-readable line) at (20, 100). The back holds a plain counter too.
QString writeDesign(const QString &dir)
{
    document::DesignDocument doc;
    layout::LayoutRecord l = layout::businessCardLayout();
    l.setBackPrintable(1);
    if (doc.createBlank(l, 1) != 1)
        return {};
    model::TObjectManager *m = doc.manager();
    model::SurfaceItem *text = m->NewText(20, 20);
    text->setBounds(20, 20, 300, 40);
    text->data()->Lines = {QStringLiteral("{-_0001_-}")};
    text->data()->TextStyle = render::TextStyleNoWrap;
    model::SurfaceItem *bar = m->NewText(20, 100);
    bar->setBounds(20, 100, 300, 80);
    bar->data()->Lines = {QStringLiteral("{-_0001_-}")};
    bar->data()->TextStyle = render::TextStyleBarCode | (2u << 8) | (1u << 16); // Code 39, readable
    if (!doc.switchRegion(1))
        return {};
    model::SurfaceItem *back = m->NewText(20, 20);
    back->setBounds(20, 20, 300, 40);
    back->data()->Lines = {QStringLiteral("{-_0901_-}")};
    back->data()->TextStyle = render::TextStyleNoWrap;
    const QString name = dir + QStringLiteral("/cards.bcp");
    return doc.save(name) ? name : QString();
}

// Words equal to `text` on a page.
std::vector<Word> find(const std::vector<Word> &page, const QString &text)
{
    std::vector<Word> out;
    for (const Word &w : page)
        if (w.text == text)
            out.push_back(w);
    return out;
}

class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        ASSERT_TRUE(m_dir.isValid());
        m_design = writeDesign(m_dir.path());
        ASSERT_FALSE(m_design.isEmpty());
    }
    QString out(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
    QString m_design;
};

} // namespace

TEST_F(PrintCommand, CountersAndBarCodesLandOnTheirCards)
{
    const QString pdf = out(QStringLiteral("a.pdf"));
    ASSERT_EQ(runPrint({m_design, QStringLiteral("--pdf"), pdf, QStringLiteral("--start"), QStringLiteral("3"),
                        QStringLiteral("--quantity"), QStringLiteral("20"), QStringLiteral("--dpi"), QStringLiteral("300")}),
              0);
    const PdfText t = readPdf(pdf);
    ASSERT_EQ(t.pages.size(), 3u);
    EXPECT_NEAR(t.sizes[0].width(), 612, 1) << "Letter";
    EXPECT_NEAR(t.sizes[0].height(), 792, 1);

    // Page 1 shows positions 3 to 10 with element indexes 3..10: "0003" at row 1 column 0
    // sits at (0.75 + 0.2, 0.5 + 2 + 0.2) inches = (68.4, 194.4) points.
    for (int pos = 1; pos <= 10; ++pos) {
        const QString value = QStringLiteral("%1").arg(pos, 4, 10, QLatin1Char('0'));
        const auto words = find(t.pages[0], value);
        if (pos < 3) {
            EXPECT_TRUE(words.empty()) << value.toStdString() << " is before the start position";
            continue;
        }
        // Once as the text, once as the bar code's readable line inside the bar code's
        // rectangle (1 to 1.8 inches below the card's top).
        ASSERT_EQ(words.size(), 2u) << value.toStdString();
        const int row = (pos - 1) / 2, column = (pos - 1) % 2;
        const double cardX = (0.75 + column * 3.5) * 72, cardY = (0.5 + row * 2.0) * 72;
        const Word &text = words[0].yMin < words[1].yMin ? words[0] : words[1];
        const Word &caption = words[0].yMin < words[1].yMin ? words[1] : words[0];
        EXPECT_NEAR(text.xMin, cardX + 0.2 * 72, 4) << value.toStdString();
        EXPECT_NEAR(text.yMin, cardY + 0.2 * 72, 8) << value.toStdString();
        EXPECT_GE(caption.xMin, cardX + 0.2 * 72) << value.toStdString();
        EXPECT_LE(caption.xMax, cardX + 3.2 * 72) << value.toStdString();
        EXPECT_GE(caption.yMin, cardY + 1.0 * 72) << value.toStdString();
        EXPECT_LE(caption.yMax, cardY + 1.8 * 72) << value.toStdString();
    }
    // Page 2 restarts at position 1; page 3 holds positions 1 and 2 only.
    EXPECT_EQ(find(t.pages[1], QStringLiteral("0001")).size(), 2u);
    EXPECT_EQ(find(t.pages[1], QStringLiteral("0010")).size(), 2u);
    EXPECT_EQ(find(t.pages[2], QStringLiteral("0002")).size(), 2u);
    EXPECT_TRUE(find(t.pages[2], QStringLiteral("0003")).empty());
}

TEST_F(PrintCommand, BothSidesWriteTheMirroredBacksAfterTheFronts)
{
    const QString pdf = out(QStringLiteral("both.pdf"));
    ASSERT_EQ(runPrint({m_design, QStringLiteral("--pdf"), pdf, QStringLiteral("--pages"), QStringLiteral("1"),
                        QStringLiteral("--side"), QStringLiteral("both"), QStringLiteral("--flip"),
                        QStringLiteral("--dpi"), QStringLiteral("150")}),
              0);
    const PdfText t = readPdf(pdf);
    ASSERT_EQ(t.pages.size(), 2u);
    EXPECT_EQ(find(t.pages[0], QStringLiteral("0001")).size(), 2u);
    // Left-right mirroring: position 1 (left column) shows index 2, so "0902".
    const auto back = find(t.pages[1], QStringLiteral("0902"));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_NEAR(back[0].xMin, (0.75 + 0.2) * 72, 4);
    EXPECT_NEAR(back[0].yMin, (0.5 + 0.2) * 72, 8);

    // Without --flip a flat card turns top-bottom: position 1 shows index 9.
    const QString pdf2 = out(QStringLiteral("both2.pdf"));
    ASSERT_EQ(runPrint({m_design, QStringLiteral("--pdf"), pdf2, QStringLiteral("--side"), QStringLiteral("both"),
                        QStringLiteral("--dpi"), QStringLiteral("150")}),
              0);
    const PdfText t2 = readPdf(pdf2);
    ASSERT_EQ(t2.pages.size(), 2u);
    const auto top = find(t2.pages[1], QStringLiteral("0909"));
    ASSERT_EQ(top.size(), 1u);
    EXPECT_NEAR(top[0].yMin, (0.5 + 0.2) * 72, 8);
}

TEST_F(PrintCommand, BadArgumentsGiveTheDialogsMessagesAndFail)
{
    struct Case {
        QStringList args;
        QString message;
    };
    const QString pdf = out(QStringLiteral("bad.pdf"));
    const Case cases[] = {
        {{QStringLiteral("--start"), QStringLiteral("11")}, QStringLiteral("Please enter a starting position between 1 and 10.")},
        {{QStringLiteral("--start"), QStringLiteral("abc")}, QStringLiteral("Please enter a starting position between 1 and 10.")},
        {{QStringLiteral("--quantity"), QStringLiteral("0")}, QStringLiteral("Please enter a valid quantity to print.")},
        {{QStringLiteral("--pages"), QStringLiteral("x")}, QStringLiteral("Please enter a valid quantity to print.")},
    };
    for (const Case &c : cases) {
        QString err;
        EXPECT_NE(runPrint(QStringList{m_design, QStringLiteral("--pdf"), pdf} + c.args, &err), 0) << c.args.join(' ').toStdString();
        EXPECT_EQ(err.toStdString(), c.message.toStdString());
    }
    EXPECT_FALSE(QFile::exists(pdf)) << "nothing written on bad arguments";
    QString err;
    EXPECT_NE(runPrint({m_design}, &err), 0) << "no --pdf";
    EXPECT_NE(runPrint({m_dir.filePath(QStringLiteral("missing.bcp")), QStringLiteral("--pdf"), pdf}, &err), 0);
    EXPECT_FALSE(err.isEmpty());
    // Writing into a folder that does not exist fails too.
    EXPECT_NE(runPrint({m_design, QStringLiteral("--pdf"), m_dir.filePath(QStringLiteral("no/such/x.pdf"))}, &err), 0);
}
