// The element print engine: pagination, element rectangles, crop marks, printing ranges
// onto a recording target, and the preview window's zoom arithmetic.
#include "print/PreviewPrinter.h"
#include "print/PreviewZoom.h"
#include "print/PrintTarget.h"

#include "platform/gdi/PainterCanvas.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <map>

using namespace print;

namespace {

// 2 columns x 5 rows of 3.5 x 2 inch elements, 0.75 inch from the left, 0.5 from the top.
TTextOptions cards(double columnSpace = 0.0, double rowSpace = 0.0)
{
    TTextOptions o;
    o.Columns = 2;
    o.Rows = 5;
    o.ColumnWidth = 3.5;
    o.RowHeight = 2.0;
    o.MarginLeft = 0.75;
    o.MarginTop = 0.5;
    o.ColumnSpace = columnSpace;
    o.RowSpace = rowSpace;
    o.MarginRight = 8.5 - 0.75 - 7.0 - columnSpace;
    o.MarginBottom = 11.0 - 0.5 - 10.0 - 4 * rowSpace;
    return o;
}

DeviceValues letterAt(int dpi, int offset = 0)
{
    return DeviceValues{dpi, dpi, int(8.5 * dpi), 11 * dpi, offset, offset};
}

struct Line {
    QPoint from, to;
    bool operator<(const Line &o) const
    {
        return std::make_tuple(from.x(), from.y(), to.x(), to.y()) < std::make_tuple(o.from.x(), o.from.y(), o.to.x(), o.to.y());
    }
};

// A canvas that draws like a printer's and records every line drawn on it.
class RecordingCanvas : public gdi::PainterCanvas {
public:
    RecordingCanvas(QPainter &p, std::vector<Line> &lines) : PainterCanvas(p), m_lines(lines) {}
    void moveTo(int x, int y) override
    {
        m_at = QPoint(x, y);
        PainterCanvas::moveTo(x, y);
    }
    void lineTo(int x, int y) override
    {
        m_lines.push_back({m_at, QPoint(x, y)});
        m_at = QPoint(x, y);
        PainterCanvas::lineTo(x, y);
    }

private:
    std::vector<Line> &m_lines;
    QPoint m_at;
};

// Pages as images, with the lines of every page recorded.
class RecordingTarget : public ImageTarget {
public:
    using ImageTarget::ImageTarget;
    std::vector<std::vector<Line>> pageLines;

protected:
    std::unique_ptr<gdi::Canvas> makeCanvas(QPainter &painter) override
    {
        pageLines.emplace_back();
        return std::make_unique<RecordingCanvas>(painter, pageLines.back());
    }
};

struct Drawn {
    int page;
    int element;
    QRect rect;
};

// Prints through the target and returns every element the engine handed out.
std::vector<Drawn> printAll(TPreviewPrinter &e, PrintTarget &target, int start, int count, int *pages = nullptr)
{
    std::vector<Drawn> out;
    const int page = 0;
    e.InitNonGenerated(start, count, target);
    // The page being drawn is the target's latest page.
    auto *image = dynamic_cast<ImageTarget *>(&target);
    e.OnDrawElement = [&, image](TPreviewPrinter &, int element, gdi::Canvas &, const QRect &r) {
        out.push_back({image ? image->pageCount() - 1 : page, element, r});
    };
    EXPECT_TRUE(e.Print(target));
    if (pages)
        *pages = e.GetPageNum();
    return out;
}

std::vector<int> elementsOn(const std::vector<Drawn> &d, int page)
{
    std::vector<int> v;
    for (const Drawn &x : d)
        if (x.page == page)
            v.push_back(x.element);
    return v;
}

} // namespace

TEST(PreviewPrinter, PaginationRestartsAtOneOnEverySheet)
{
    struct Case {
        int start, count, pages;
        std::vector<std::vector<int>> elements;
    };
    const Case cases[] = {
        {3, 20, 3, {{3, 4, 5, 6, 7, 8, 9, 10}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {1, 2}}},
        {3, 4, 1, {{3, 4, 5, 6}}},
        {1, 10, 1, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}},
        {3, 10, 2, {{3, 4, 5, 6, 7, 8, 9, 10}, {1, 2}}},
        {10, 1, 1, {{10}}},
    };
    for (const Case &c : cases) {
        TPreviewPrinter e;
        e.TextOptions = cards();
        ImageTarget target(letterAt(20));
        int pages = 0;
        const auto drawn = printAll(e, target, c.start, c.count, &pages);
        SCOPED_TRACE(testing::Message() << "start " << c.start << " count " << c.count);
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(target.pageCount(), c.pages);
        EXPECT_EQ(target.jobs(), 1) << "all pages go out as one job";
        for (int p = 0; p < c.pages; ++p)
            EXPECT_EQ(elementsOn(drawn, p), c.elements[size_t(p)]) << "page " << p;
    }
}

TEST(PreviewPrinter, UnvalidatedStartOrCountGivesAnEmptyFirstPage)
{
    TPreviewPrinter e;
    e.TextOptions = cards();
    e.InitNonGenerated(11, 5, letterAt(20));
    EXPECT_TRUE(e.ElementsOfPage(0, 0, 0).empty());
    EXPECT_EQ(e.GetPageNum(), 2);
    e.InitNonGenerated(1, 0, letterAt(20));
    EXPECT_TRUE(e.ElementsOfPage(0, 0, 0).empty());
    EXPECT_EQ(e.GetPageNum(), 0);
}

TEST(PreviewPrinter, ElementRectanglesFollowTheGridAndThePrintableArea)
{
    TPreviewPrinter e;
    e.TextOptions = cards(0.25, 0.25);
    e.InitNonGenerated(1, 10, letterAt(300, 30));
    // Printer: the origin is the printable area's corner, 30 pixels in from the paper.
    const auto printer = e.ElementsOfPage(0, 30, 30);
    ASSERT_EQ(printer.size(), 10u);
    // Position 4: row 1, column 1.
    const double left = 0.75 + 3.75 - 0.1, top = 0.5 + 2.25 - 0.1;
    EXPECT_EQ(printer[3].element, 4);
    EXPECT_EQ(printer[3].rect, QRect(QPoint(int(std::nearbyint(left * 300)), int(std::nearbyint(top * 300))),
                                     QSize(1050, 600)));
    // Preview: the origin is the paper corner.
    const auto preview = e.ElementsOfPage(0, 0, 0);
    EXPECT_EQ(preview[3].rect.topLeft(), QPoint(1350, 825)); // 4.5 x 300, 2.75 x 300
}

TEST(PreviewPrinter, UnitConversionsRoundHalfToEven)
{
    TPreviewPrinter e;
    e.InitPrinterVars(DeviceValues{100, 200, 850, 2200, 0, 0});
    EXPECT_EQ(e.UnitToX(0.125), 12); // 12.5
    EXPECT_EQ(e.UnitToX(0.135), 14); // 13.5 (as near as a double gets)
    EXPECT_EQ(e.UnitToY(0.125), 25);
    EXPECT_DOUBLE_EQ(e.XToUnit(25), 0.25);
    EXPECT_DOUBLE_EQ(e.YToUnit(25), 0.125);
    e.Units = TUnits::unCentimeters;
    EXPECT_EQ(e.UnitToX(2.54), 100);
    // No page size from the device: Letter at the screen's resolution.
    e.InitPrinterVars(DeviceValues{600, 600, 0, 0, 10, 10}, 96);
    EXPECT_EQ(e.device().physWidth, 816);
    EXPECT_EQ(e.device().physHeight, 1056);
    EXPECT_EQ(e.device().dpiX, 96);
}

TEST(PreviewPrinter, CropMarksOnEveryPageAndDoubledAtZeroGaps)
{
    TPreviewPrinter e;
    e.TextOptions = cards(); // no gaps
    e.TextOptions.CropMarks = true;
    RecordingTarget target(letterAt(100));
    printAll(e, target, 3, 20);
    ASSERT_EQ(target.pageLines.size(), 3u);
    // The same marks on every page, also the last with only two elements.
    EXPECT_EQ(target.pageLines[1].size(), target.pageLines[0].size());
    EXPECT_EQ(target.pageLines[2].size(), target.pageLines[0].size());

    // Vertical marks at 75, 425 (twice: right edge of column 1, left edge of column 2),
    // 775; each a top and a bottom line of 12 or 13 pixels (1/8 inch rounds to 12).
    std::map<int, int> verticalAt, horizontalAt;
    for (const Line &l : target.pageLines[0]) {
        if (l.from.x() == l.to.x())
            ++verticalAt[l.from.x()];
        else if (l.from.y() == l.to.y())
            ++horizontalAt[l.from.y()];
    }
    EXPECT_EQ(verticalAt, (std::map<int, int>{{75, 2}, {425, 4}, {775, 2}}));
    // Rows at 50, 250 x2, 450 x2, 650 x2, 850 x2, 1050.
    EXPECT_EQ(horizontalAt, (std::map<int, int>{{50, 2}, {250, 4}, {450, 4}, {650, 4}, {850, 4}, {1050, 2}}));
    const Line first = target.pageLines[0].front();
    EXPECT_EQ(first.from, QPoint(75, 0));
    EXPECT_EQ(first.to, QPoint(75, 12));
    // The bottom half of a mark starts at the paper's far edge (margins add up to 11 in).
    EXPECT_EQ(target.pageLines[0][1].from, QPoint(75, 1100));
    EXPECT_EQ(target.pageLines[0][1].to, QPoint(75, 1088));

    // Pixels: the mark is really drawn, black, on the last page too.
    const QImage &last = target.pages().back();
    EXPECT_EQ(last.pixelColor(75, 5), QColor(Qt::black));
    EXPECT_EQ(last.pixelColor(80, 5), QColor(Qt::white));
}

TEST(PreviewPrinter, CropMarksWithGapsAndPrinterOffsets)
{
    TPreviewPrinter e;
    e.TextOptions = cards(0.25, 0.0);
    e.TextOptions.CropMarks = true;
    e.InitPrinterVars(letterAt(100, 20));
    // For the printer the marks shift by the offsets; in the preview they lengthen.
    std::vector<Line> printerLines, previewLines;
    QImage img(850, 1100, QImage::Format_RGB32);
    {
        QPainter p(&img);
        RecordingCanvas c(p, printerLines);
        e.DrawCropMarks(c, false);
    }
    {
        QPainter p(&img);
        RecordingCanvas c(p, previewLines);
        e.DrawCropMarks(c, true);
    }
    std::map<int, int> printerX;
    for (const Line &l : printerLines)
        if (l.from.x() == l.to.x())
            ++printerX[l.from.x()];
    // 75, 425, 450, 800 less the 20-pixel offset; no doubled marks with a gap.
    EXPECT_EQ(printerX, (std::map<int, int>{{55, 2}, {405, 2}, {430, 2}, {780, 2}}));
    EXPECT_EQ(printerLines.front().to, QPoint(55, 12));
    EXPECT_EQ(printerLines[1].from, QPoint(55, 1060)) << "far edge of the printable area";
    EXPECT_EQ(previewLines.front().from, QPoint(75, 0));
    EXPECT_EQ(previewLines.front().to, QPoint(75, 32)) << "from the paper edge to where it ends on paper";

    // Without the option no marks at all; without a draw handler no page at all.
    e.TextOptions.CropMarks = false;
    std::vector<Line> none;
    {
        QPainter p(&img);
        RecordingCanvas c(p, none);
        e.DrawCropMarks(c, false);
    }
    EXPECT_TRUE(none.empty());
    e.TextOptions.CropMarks = true;
    {
        QPainter p(&img);
        RecordingCanvas c(p, none);
        e.DrawNonGeneratedPage(c, 0, false);
    }
    EXPECT_TRUE(none.empty()) << "no handler: nothing drawn, not even crop marks";
}

TEST(PreviewPrinter, PrintRangePrintsOnlyTheChosenPages)
{
    TPreviewPrinter e;
    e.TextOptions = cards();
    ImageTarget target(letterAt(20));
    e.InitNonGenerated(1, 35, target);
    std::vector<int> firstElementOfPage;
    e.OnDrawElement = [&](TPreviewPrinter &, int element, gdi::Canvas &, const QRect &) {
        if (int(firstElementOfPage.size()) < target.pageCount())
            firstElementOfPage.push_back(element);
    };
    ASSERT_EQ(e.GetPageNum(), 4);
    ASSERT_TRUE(e.PrintRange(target, 1, 3));
    EXPECT_EQ(target.pageCount(), 3);
    EXPECT_FALSE(e.PrintRange(target, 3, 2));
}

TEST(PreviewPrinter, FailingTargetReportsFailure)
{
    class NoJob : public ImageTarget {
    public:
        using ImageTarget::ImageTarget;
        bool beginJob(const QString &) override { return false; }
    };
    TPreviewPrinter e;
    e.TextOptions = cards();
    NoJob target(letterAt(20));
    bool drawn = false;
    e.InitNonGenerated(1, 10, target);
    e.OnDrawElement = [&](TPreviewPrinter &, int, gdi::Canvas &, const QRect &) { drawn = true; };
    EXPECT_FALSE(e.Print(target));
    EXPECT_FALSE(drawn);
}

TEST(PreviewZoom, ZoomToolClicks)
{
    struct Case {
        double factor;
        bool left;
        double expected;
    };
    const Case cases[] = {
        {19.9, true, 20.15}, {20.0, true, 20.0}, {25.0, true, 25.0}, {1.0, true, 1.25},
        {0.25, false, 0.25}, {0.2, false, 0.2},  {0.5, false, 0.25}, {20.0, false, 19.75},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(ZoomToolClick(c.factor, c.left), c.expected) << c.factor << (c.left ? " left" : " right");
}

TEST(PreviewZoom, FactorsAndPageSize)
{
    // Letter at 600 dpi on a 96 ppi screen, scroll box client area 700 x 1076.
    const QSize client(700, 1076);
    EXPECT_DOUBLE_EQ(PreviewZoomFactor(ZoomFitToPage, client, 96, 5100, 6600, 600, 600, 3.0), 1056.0 / 96 / 11.0);
    EXPECT_DOUBLE_EQ(PreviewZoomFactor(ZoomFitToWidth, client, 96, 5100, 6600, 600, 600, 3.0), 680.0 / 96 / 8.5);
    EXPECT_DOUBLE_EQ(PreviewZoomFactor(ZoomCustom, client, 96, 5100, 6600, 600, 600, 3.0), 3.0);
    const double percents[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
    for (int i = 0; i < 9; ++i)
        EXPECT_DOUBLE_EQ(PreviewZoomFactor(3 + i, client, 96, 5100, 6600, 600, 600, 3.0), percents[i]);
    EXPECT_DOUBLE_EQ(PreviewZoomFactor(99, client, 96, 5100, 6600, 600, 600, 3.0), 1.0);
    EXPECT_EQ(PreviewZoomItems().size(), 12);
    EXPECT_EQ(PreviewPageSize(1.0, 96, 5100, 6600, 600, 600), QSize(816, 1056));
    EXPECT_EQ(PreviewPageSize(0.5, 96, 5100, 6600, 600, 600), QSize(408, 528));
}
