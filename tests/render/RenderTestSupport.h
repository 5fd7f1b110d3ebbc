#pragma once
// A white QImage with a PainterCanvas on it, pixel probes, and the shipped test font.

#include "platform/gdi/PainterCanvas.h"

#include <QImage>
#include <QPainter>
#include <memory>

namespace rendertest {

struct ImageCanvas {
    QImage image;
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<gdi::PainterCanvas> canvas;

    ImageCanvas(int w, int h);
    ~ImageCanvas();
    gdi::PainterCanvas &c() { return *canvas; }
    // Ends painting and returns the picture.
    const QImage &done();
};

// A pixel is "ink" when it is clearly darker than the white page.
bool ink(const QImage &img, int x, int y);
// Ink pixels inside the whole image: their bounding box (empty when there is none).
QRect inkBox(const QImage &img);
QRect inkBox(const QImage &img, const QRect &within);
int inkCount(const QImage &img, const QRect &within);

// Loads DejaVu Sans from the fixtures once and returns its family name.
QString testFontFamily();
// A LogFont of the test face with the given lfHeight.
plat::LogFont testFont(int height);

} // namespace rendertest
