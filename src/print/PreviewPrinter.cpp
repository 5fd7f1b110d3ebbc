#include "print/PreviewPrinter.h"

#include <cmath>

namespace print {

void TPreviewPrinter::InitNonGenerated(int start, int count, const PrintTarget &target)
{
    InitNonGenerated(start, count, target.deviceValues());
}

void TPreviewPrinter::InitNonGenerated(int start, int count, const DeviceValues &values)
{
    m_start = start;
    m_count = count;
    InitPrinterVars(values);
}

void TPreviewPrinter::InitPrinterVars(const DeviceValues &values, int screenDpi)
{
    m_dev = values;
    if (m_dev.physWidth == 0) {
        m_dev.dpiX = m_dev.dpiY = screenDpi;
        m_dev.physWidth = int(std::lround(8.5 * screenDpi));
        m_dev.physHeight = int(std::lround(11.0 * screenDpi));
        m_dev.offsetX = m_dev.offsetY = 0;
    }
}

int TPreviewPrinter::GetPageNum() const
{
    const int64_t perSheet = int64_t(TextOptions.Rows) * TextOptions.Columns;
    if (perSheet <= 0)
        return 0;
    const int64_t last = int64_t(m_start) + m_count - 1;
    if (last <= 0)
        return 0;
    return int((last + perSheet - 1) / perSheet);
}

int TPreviewPrinter::UnitToX(double value) const
{
    return int(std::nearbyint(value * m_dev.dpiX / factor()));
}

int TPreviewPrinter::UnitToY(double value) const
{
    return int(std::nearbyint(value * m_dev.dpiY / factor()));
}

double TPreviewPrinter::XToUnit(int pixels) const
{
    return m_dev.dpiX ? pixels * factor() / m_dev.dpiX : 0.0;
}

double TPreviewPrinter::YToUnit(int pixels) const
{
    return m_dev.dpiY ? pixels * factor() / m_dev.dpiY : 0.0;
}

std::vector<TPreviewPrinter::Placed> TPreviewPrinter::ElementsOfPage(int page, int offX, int offY) const
{
    std::vector<Placed> out;
    const TTextOptions &o = TextOptions;
    if (o.Columns <= 0 || o.Rows <= 0 || page < 0)
        return out;
    const int64_t perSheet = int64_t(o.Rows) * o.Columns;
    const int64_t firstCount = std::min<int64_t>(perSheet - m_start + 1, m_count);
    int64_t n = 0;
    int row = 0, column = 0, position = 1;
    if (page == 0) {
        // A start beyond the sheet leaves the first page empty.
        if (m_start < 1 || m_start > perSheet)
            return out;
        position = m_start;
        row = (m_start - 1) / o.Columns;
        column = (m_start - 1) % o.Columns;
        n = firstCount;
    } else {
        n = perSheet;
        if (m_count < firstCount + int64_t(page) * perSheet)
            n = m_count - firstCount - int64_t(page - 1) * perSheet;
    }
    n = std::min<int64_t>(n, perSheet);
    const double dx = XToUnit(offX), dy = YToUnit(offY);
    for (int64_t i = 0; i < n; ++i) {
        const double left = o.MarginLeft + column * (o.ColumnWidth + o.ColumnSpace) - dx;
        const double right = left + o.ColumnWidth;
        const double top = o.MarginTop + row * (o.RowHeight + o.RowSpace) - dy;
        const double bottom = top + o.RowHeight;
        const int l = UnitToX(left), t = UnitToY(top), r = UnitToX(right), b = UnitToY(bottom);
        out.push_back({position, QRect(l, t, r - l, b - t)});
        if (++column >= o.Columns) {
            column = 0;
            ++row;
        }
        ++position;
    }
    return out;
}

void TPreviewPrinter::DrawNonGeneratedPage(gdi::Canvas &canvas, int page, bool preview, QSizeF scale)
{
    if (!OnDrawElement)
        return;
    m_canvasScale = scale;
    const int offX = preview ? 0 : m_dev.offsetX;
    const int offY = preview ? 0 : m_dev.offsetY;
    DrawCropMarks(canvas, preview);
    for (const Placed &p : ElementsOfPage(page, offX, offY))
        OnDrawElement(*this, p.element, canvas, p.rect);
}

void TPreviewPrinter::DrawCropMarks(gdi::Canvas &canvas, bool preview)
{
    const TTextOptions &o = TextOptions;
    if (!o.CropMarks || o.Columns <= 0 || o.Rows <= 0)
        return;
    gdi::StateSaver keep(canvas);
    canvas.setPen(gdi::Pen{gdi::PenStyle::Solid, 1, 0});
    const double eighth = 0.125 * factor();
    int lenX = UnitToX(eighth), lenY = UnitToY(eighth);
    int shiftX = 0, shiftY = 0;
    if (preview) {
        // On screen the mark runs from the paper edge to where it ends on paper.
        lenX += m_dev.offsetX;
        lenY += m_dev.offsetY;
    } else {
        shiftX = m_dev.offsetX;
        shiftY = m_dev.offsetY;
    }
    const double fullHeight = o.MarginTop + o.Rows * (o.RowHeight + o.RowSpace) - o.RowSpace + o.MarginBottom - YToUnit(2 * shiftY);
    const double fullWidth = o.MarginLeft + o.Columns * (o.ColumnWidth + o.ColumnSpace) - o.ColumnSpace + o.MarginRight - XToUnit(2 * shiftX);
    const int bottomY = UnitToY(fullHeight);
    const int rightX = UnitToX(fullWidth);

    auto vertical = [&](double x) {
        const int X = UnitToX(x);
        canvas.moveTo(X, 0);
        canvas.lineTo(X, lenY);
        canvas.moveTo(X, bottomY);
        canvas.lineTo(X, bottomY - lenY);
    };
    auto horizontal = [&](double y) {
        const int Y = UnitToY(y);
        canvas.moveTo(0, Y);
        canvas.lineTo(lenX, Y);
        canvas.moveTo(rightX, Y);
        canvas.lineTo(rightX - lenX, Y);
    };
    double x = 0;
    for (int c = 0; c < o.Columns; ++c) {
        x = o.MarginLeft + c * (o.ColumnWidth + o.ColumnSpace) - XToUnit(shiftX);
        if (c >= 1)
            vertical(x - o.ColumnSpace);
        vertical(x);
    }
    vertical(x + o.ColumnWidth);
    double y = 0;
    for (int r = 0; r < o.Rows; ++r) {
        y = o.MarginTop + r * (o.RowHeight + o.RowSpace) - YToUnit(shiftY);
        if (r >= 1)
            horizontal(y - o.RowSpace);
        horizontal(y);
    }
    horizontal(y + o.RowHeight);
}

bool TPreviewPrinter::Print(PrintTarget &target)
{
    return PrintRange(target, 0, GetPageNum() - 1);
}

bool TPreviewPrinter::PrintRange(PrintTarget &target, int first, int last)
{
    if (first < 0)
        first = 0;
    if (last < first)
        return false;
    if (!target.beginJob(Title))
        return false;
    bool ok = true;
    for (int page = first; page <= last; ++page) {
        DrawNonGeneratedPage(target.canvas(), page, false);
        if (page != last && !target.newPage()) {
            ok = false;
            break;
        }
    }
    return target.endJob() && ok;
}

} // namespace print
