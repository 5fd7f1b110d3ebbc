#include "print/PrintJob.h"

#include "document/DesignDocument.h"
#include "model/SurfaceItem.h"
#include "model/SurfaceModel.h"
#include "model/TObjectData.h"
#include "model/TObjectManager.h"
#include "pictures/PictureHelpers.h"
#include "render/ObjectRenderer.h"

#include <cmath>

namespace print {

// ---- checks ----

QString StartPositionMessage(int perSheet)
{
    return QStringLiteral("Please enter a starting position between 1 and %1.").arg(perSheet);
}

QString QuantityMessage() { return QStringLiteral("Please enter a valid quantity to print."); }

QString CheckStartQuantity(const QString &startText, const QString &quantityText, bool pages, int perSheet,
                           StartQuantity *out, QuantityField *field)
{
    auto fail = [&](QuantityField f, const QString &msg) {
        if (field)
            *field = f;
        return msg;
    };
    bool ok = false;
    const int start = startText.trimmed().toInt(&ok);
    if (!ok || start < 1 || start > perSheet)
        return fail(QuantityField::Start, StartPositionMessage(perSheet));
    const int quantity = quantityText.trimmed().toInt(&ok);
    if (!ok || quantity <= 0)
        return fail(QuantityField::Quantity, QuantityMessage());
    int64_t elements = quantity;
    if (pages) {
        elements = int64_t(quantity) * perSheet;
        // A page count whose elements do not fit the quantity field is no valid quantity.
        if (elements > INT32_MAX)
            return fail(QuantityField::Quantity, QuantityMessage());
    }
    if (out) {
        out->start = start;
        out->quantity = int(elements);
    }
    if (field)
        *field = QuantityField::None;
    return QString();
}

// ---- paper ----

QPageSize PageSizeForPaperCode(int paperCode)
{
    const QPageSize::PageSizeId id = QPageSize::id(paperCode);
    if (id == QPageSize::Custom)
        return QPageSize();
    return QPageSize(id);
}

PrintSetup ComputePrintSetup(const layout::LayoutRecord &l, bool cropMarks)
{
    PrintSetup s;
    int code = 1, pw = 850, ph = 1100;
    layout::GetPaperInfo(l.PaperType(), &code, &pw, &ph);
    s.paperCode = code;
    s.pageSize = PageSizeForPaperCode(code);
    const int64_t cols = l.Columns(), rows = l.Rows();
    const int64_t w = l.Width(), h = l.Height();
    const int64_t colSpace = l.ColumnSpace(), rowSpace = l.RowSpace();
    const int64_t left = l.LeftMargin(), top = l.TopMargin();
    const int64_t gaps = cols > 0 ? (cols - 1) * colSpace : 0;
    // The printer's orientation counts the left margin once, without tolerance.
    s.landscape = cols * w + left + gaps > pw;
    // The sheet is taken as landscape when the grid with a margin on both sides does not
    // fit the width, allowing 25 units.
    if (cols * w + gaps + 2 * left > int64_t(pw) + 25) {
        std::swap(pw, ph);
        s.exchanged = true;
    }
    s.paperWidth = pw;
    s.paperHeight = ph;

    TTextOptions &o = s.options;
    o.Rows = int(std::min<int64_t>(rows, INT32_MAX));
    o.Columns = int(std::min<int64_t>(cols, INT32_MAX));
    o.RowHeight = h * 0.01;
    o.ColumnWidth = w * 0.01;
    o.MarginLeft = left * 0.01;
    o.MarginTop = top * 0.01;
    o.RowSpace = rowSpace * 0.01;
    o.ColumnSpace = colSpace * 0.01;
    const int64_t rowGaps = rows > 0 ? (rows - 1) * rowSpace : 0;
    o.MarginRight = std::max(0.0, double(pw - cols * w - left - gaps) * 0.01);
    o.MarginBottom = std::max(0.0, double(ph - rows * h - top - rowGaps) * 0.01);
    o.CropMarks = cropMarks;
    return s;
}

bool ApplyPaper(const PrintSetup &setup, PrintTarget &target)
{
    return target.setPaper(setup.pageSize, setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

// ---- second face ----

int FlipModeFor(int regionType, bool flipChecked)
{
    int sideFold = 0, flat = 0;
    layout::GetRegionInfo(regionType, 1, 0, 0, nullptr, nullptr, nullptr, nullptr, &sideFold, &flat);
    return flipChecked ? 1 - sideFold : sideFold;
}

int MirroredElement(int element, int side, int flipMode, int rows, int columns)
{
    if (side == 0 || columns <= 0 || rows <= 0)
        return element;
    const int g = element - 1;
    const int row = g / columns, column = g % columns;
    if (flipMode == 1)
        return row * columns + (columns - column);
    return (rows - 1 - row) * columns + column + 1;
}

// ---- the job ----

struct TPrintJob::Region {
    model::SurfaceModel surface;
    std::unique_ptr<model::TObjectManager> manager;
    bool ok = false;
};

TPrintJob::TPrintJob(document::DesignDocument &doc) : m_doc(doc) {}

TPrintJob::~TPrintJob() = default;

bool TPrintJob::SaveCurrentRegion()
{
    int side = 0, region = 0;
    m_doc.regionPair(m_doc.currentRegionIndex(), &side, &region);
    return m_doc.manager()->SwitchRegion(side, region, -1, -1, m_doc.zoom());
}

const model::SurfaceModel *TPrintJob::RegionSurface(int side, int region)
{
    if (side < 0 || side > 1 || region < 0 || region > 3)
        return nullptr;
    const int index = model::TObjectManager::slotIndex(side, region);
    std::unique_ptr<Region> &r = m_regions[size_t(index)];
    if (!r) {
        r = std::make_unique<Region>();
        const layout::LayoutRecord &l = m_doc.layout();
        int w = 0, h = 0;
        layout::GetRegionInfo(l.RegionType(), side, l.Width(), l.Height(), nullptr, &w, &h, nullptr, nullptr, nullptr);
        r->surface.setSize(QSize(w, h));
        r->manager = std::make_unique<model::TObjectManager>(&r->surface);
        r->manager->slot(index) = m_doc.manager()->slot(index);
        r->ok = r->manager->SwitchRegion(-1, -1, side, region, 100);
        ++m_built;
    }
    return r->ok ? &r->surface : nullptr;
}

void TPrintJob::Configure(TPreviewPrinter &engine, const PrintSetup &setup)
{
    engine.TextOptions = setup.options;
    engine.Title = m_doc.caption();
    engine.OnDrawElement = [this](TPreviewPrinter &sender, int element, gdi::Canvas &canvas, const QRect &rect) {
        PreviewPrinterDrawElement(sender, element, canvas, rect);
    };
}

bool TPrintJob::PrintSide(TPreviewPrinter &engine, PrintTarget &target, int side, int start, int quantity)
{
    PrintingSide = side;
    previewing = false;
    engine.InitNonGenerated(start, quantity, target);
    return engine.Print(target);
}

void TPrintJob::PreviewPrinterDrawElement(TPreviewPrinter &sender, int element, gdi::Canvas &canvas, const QRect &rect)
{
    const layout::LayoutRecord &l = m_doc.layout();
    const int regionType = l.RegionType();
    const int n = layout::GetRegionInfo(regionType, PrintingSide, l.Width(), l.Height(), nullptr, nullptr, nullptr,
                                        nullptr, nullptr, nullptr);
    const QSizeF scale = sender.canvasScale();
    const int rows = int(l.Rows()), columns = int(l.Columns());
    const int index = MirroredElement(element, PrintingSide, FlipMode, rows, columns);
    int sideFold = 0;
    layout::GetRegionInfo(regionType, PrintingSide, 0, 0, nullptr, nullptr, nullptr, nullptr, &sideFold, nullptr);
    const bool sideFolds = regionType == 1 || regionType == 3;
    const bool topFolds = regionType == 2 || regionType == 4;
    for (int r = 0; r < n; ++r) {
        int left = rect.left(), top = rect.top();
        int right = rect.x() + rect.width(), bottom = rect.y() + rect.height();
        int rw = 0, rh = 0;
        layout::GetRegionInfo(regionType, PrintingSide, rect.width(), rect.height(), nullptr, &rw, &rh, nullptr,
                              nullptr, nullptr);
        if (sideFolds) {
            if (PrintingSide == 0 && r == 0)
                right -= rw;
            else
                left += rw;
        } else if (topFolds) {
            if (PrintingSide == 0 && r == 0)
                bottom -= rh;
            else
                top += rh;
        }
        const model::SurfaceModel *surface = RegionSurface(PrintingSide, r);
        if (!surface || surface->width() <= 0 || surface->height() <= 0)
            continue;
        // The region's surface (at zoom 100 its pixels are units) onto the rectangle.
        gdi::StateSaver keep(canvas);
        canvas.setMapMode(gdi::MapMode::Anisotropic);
        canvas.setWindowOrg(QPoint(0, 0));
        canvas.setViewportOrg(QPoint(int(left * scale.width()), int(top * scale.height())));
        canvas.setWindowExt(surface->size());
        canvas.setViewportExt(QSize(int((right - left) * scale.width()), int((bottom - top) * scale.height())));
        DrawRegion(index, canvas, PrintingSide, r);
    }
    if (!previewing && yield && element % 5 == 1)
        yield();
}

bool TPrintJob::DrawRegion(int index, gdi::Canvas &canvas, int side, int region)
{
    const model::SurfaceModel *s = RegionSurface(side, region);
    if (!s)
        return false;
    if (!s->background().isNull()) {
        const QRect inner(QPoint(s->marginLeft(), s->marginTop()),
                          QPoint(s->width() - s->marginRight() - 1, s->height() - s->marginBottom() - 1));
        if (inner.width() > 0 && inner.height() > 0)
            pictures::drawPicture(canvas, s->background(), inner);
    }
    for (const auto &item : s->items()) {
        const model::TObjectData *d = item->data();
        if (d && d->nonPrinting())
            continue;
        if (item->type() == model::SurfaceItem::Type::Image) {
            gdi::StateSaver keep(canvas);
            canvas.setTextColor(0);
            canvas.setBkColor(0xFFFFFF);
            canvas.setBkMode(gdi::BkMode::Opaque);
            pictures::drawPicture(canvas, item->picture(), item->bounds());
            continue;
        }
        if (d)
            render::DrawObject(canvas, item->bounds(), *d, index, 100, nullptr);
    }
    return true;
}

} // namespace print
