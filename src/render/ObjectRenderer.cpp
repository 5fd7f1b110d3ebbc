#include "render/ObjectRenderer.h"

#include "model/SurfaceItem.h"
#include "model/TObjectData.h"
#include "render/TextStyles.h"
#include "vardata/TextForElement.h"

#include <cmath>

namespace render {

namespace {

PicturePainter &defaultPainter()
{
    static PicturePainter painter;
    return painter;
}

int scaled(int value, int zoom) { return int(int64_t(value) * zoom / 100); }

void drawShape(gdi::Canvas &canvas, char kind, int l, int t, int r, int b)
{
    switch (kind) {
    case model::ObjectKind::Box: canvas.rectangle(l, t, r, b); break;
    case model::ObjectKind::RoundBox: canvas.roundRect(l, t, r, b, 38, 38); break;
    case model::ObjectKind::Ellipse: canvas.ellipse(l, t, r, b); break;
    default: break;
    }
}

} // namespace

void SetDefaultPicturePainter(PicturePainter painter) { defaultPainter() = std::move(painter); }

const PicturePainter &DefaultPicturePainter() { return defaultPainter(); }

plat::LogFont FontAtZoom(const plat::LogFont &font, int zoom)
{
    plat::LogFont f = font;
    const int points = scaled(font.points(), zoom);
    // MulDiv(points, 96, 72), a character height; a size that truncates to 0 points
    // would ask for the device's default font, so the smallest size is one pixel.
    const int px = int(std::lround(points * double(plat::kReferenceDpi) / 72.0));
    f.height = -std::max(1, px);
    return f;
}

void DrawObject(gdi::Canvas &canvas, const QRect &rect, const model::TObjectData &data, int element, int zoom,
                const vardata::TDataReader * /*reader*/, const PicturePainter &picturePainter)
{
    const int W = data.Control ? data.Control->width() : rect.width();
    const int H = data.Control ? data.Control->height() : rect.height();
    const int L = rect.x(), T = rect.y();
    const int penWidth = std::max(0, scaled(data.LineSize, zoom));

    switch (data.Kind) {
    case model::ObjectKind::Box:
    case model::ObjectKind::RoundBox:
    case model::ObjectKind::Ellipse: {
        gdi::Pen pen = canvas.pen(); // the style stays as the canvas has it
        pen.width = penWidth;
        if (data.Style == 2) {
            const int sx = W / 7, sy = H / 7;
            pen.color = 0;
            canvas.setPen(pen);
            canvas.setBrush(gdi::Brush{gdi::BrushStyle::Solid, data.ColorFG, 0});
            drawShape(canvas, data.Kind, L + sx + 3, T + sy + 3, L + W - 3, T + H - 3);
            canvas.setBrush(gdi::Brush{gdi::BrushStyle::Solid, data.ColorBG, 0});
            drawShape(canvas, data.Kind, L + 3, T + 3, L + W - sx - 3, T + H - sy - 3);
        } else {
            pen.color = data.ColorFG;
            canvas.setPen(pen);
            canvas.setBrush(gdi::Brush{data.Style == 1 ? gdi::BrushStyle::Solid : gdi::BrushStyle::Null, data.ColorBG, 0});
            drawShape(canvas, data.Kind, L + 3, T + 3, L + W - 3, T + H - 3);
        }
        break;
    }
    case model::ObjectKind::Line: {
        gdi::Pen pen = canvas.pen();
        pen.width = penWidth;
        pen.color = data.ColorFG;
        canvas.setPen(pen);
        QPoint from, to;
        switch (data.LineType) {
        case 0: from = {L + 6, T + 6}; to = {L + W - 6, T + 6}; break;
        case 1: from = {L + 6, T + 6}; to = {L + 6, T + H - 6}; break;
        case 2: from = {L + 6, T + H - 6}; to = {L + W - 6, T + 6}; break;
        case 3: from = {L + 6, T + 6}; to = {L + W - 6, T + H - 6}; break;
        default: return; // an unknown direction draws nothing
        }
        canvas.moveTo(from.x(), from.y());
        canvas.lineTo(to.x(), to.y());
        break;
    }
    case model::ObjectKind::Text: {
        const plat::LogFont base = data.Font ? *data.Font : plat::LogFont::fromPoints(QStringLiteral("Arial"), 12);
        canvas.setFont(FontAtZoom(base, zoom));
        const QString text = vardata::TextForElement(data.Lines, element);
        const unsigned justification = data.Style == 1 ? 1u : data.Style == 2 ? 2u : 0u;
        DrawStyledText(canvas, data.Rotation, rect, justification | kTextNoClip, text, data.ColorFG, data.TextStyle,
                       data.ShadowDX, data.ShadowDY, data.ColorBG, zoom);
        break;
    }
    case model::ObjectKind::Graphic: {
        const PicturePainter &painter = picturePainter ? picturePainter : defaultPainter();
        if (painter && data.Control && !data.Control->picture().isNull())
            painter(canvas, data.Control->picture(), QRect(L, T, W, H));
        break;
    }
    default:
        break; // embedded objects and unknown kinds draw nothing
    }
}

} // namespace render
