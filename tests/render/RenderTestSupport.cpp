#include "RenderTestSupport.h"

#include "TestSupport.h"

#include <QFontDatabase>
#include <gtest/gtest.h>

namespace rendertest {

ImageCanvas::ImageCanvas(int w, int h) : image(w, h, QImage::Format_RGB32)
{
    image.fill(Qt::white);
    painter = std::make_unique<QPainter>(&image);
    canvas = std::make_unique<gdi::PainterCanvas>(*painter);
}

ImageCanvas::~ImageCanvas() { done(); }

const QImage &ImageCanvas::done()
{
    canvas.reset();
    if (painter) {
        painter->end();
        painter.reset();
    }
    return image;
}

bool ink(const QImage &img, int x, int y)
{
    if (!img.rect().contains(x, y))
        return false;
    return qGray(img.pixel(x, y)) < 160;
}

QRect inkBox(const QImage &img, const QRect &within)
{
    int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
    const QRect area = within.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (ink(img, x, y)) {
                l = std::min(l, x);
                r = std::max(r, x);
                t = std::min(t, y);
                b = std::max(b, y);
            }
    if (l == INT_MAX)
        return QRect();
    return QRect(QPoint(l, t), QPoint(r, b));
}

QRect inkBox(const QImage &img) { return inkBox(img, img.rect()); }

int inkCount(const QImage &img, const QRect &within)
{
    int n = 0;
    const QRect area = within.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += ink(img, x, y) ? 1 : 0;
    return n;
}

QString testFontFamily()
{
    static QString family = [] {
        const int id = QFontDatabase::addApplicationFont(testsupport::fixture(QStringLiteral("fonts/DejaVuSans.ttf")));
        const QStringList fams = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        return fams.isEmpty() ? QString() : fams.first();
    }();
    EXPECT_FALSE(family.isEmpty()) << "the test font did not load";
    return family;
}

plat::LogFont testFont(int height)
{
    plat::LogFont f;
    f.setFace(testFontFamily());
    f.height = height;
    f.weight = 400;
    return f;
}

} // namespace rendertest
