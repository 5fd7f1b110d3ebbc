#include "editing/ui/Ruler.h"

#include <QPainter>

namespace editing {

Ruler::Ruler(Qt::Orientation orientation, QWidget *parent) : QWidget(parent), m_orientation(orientation)
{
    if (orientation == Qt::Horizontal)
        setFixedHeight(22);
    else
        setFixedWidth(22);
}

QSize Ruler::sizeHint() const { return m_orientation == Qt::Horizontal ? QSize(200, 22) : QSize(22, 200); }

void Ruler::setMeasure(Measure m)
{
    if (m == m_measure)
        return;
    m_measure = m;
    update();
}

void Ruler::setScale(int percent)
{
    if (percent == m_scale || percent <= 0)
        return;
    m_scale = percent;
    update();
}

void Ruler::setOffsetStart(int pixels)
{
    if (pixels == m_offset)
        return;
    m_offset = pixels;
    update();
}

void Ruler::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().color(QPalette::WindowText));
    QFont f = font();
    f.setPixelSize(9);
    p.setFont(f);
    const bool horizontal = m_orientation == Qt::Horizontal;
    const int length = horizontal ? width() : height();
    const int thickness = horizontal ? height() : width();
    // Pixels per major unit and the number of minor ticks in it.
    const double major = m_measure == Measure::Inches ? kPixelsPerInch * m_scale / 100.0
                                                      : kPixelsPerInch / 2.54 * m_scale / 100.0;
    const int minors = m_measure == Measure::Inches ? 8 : 10;
    const double step = major / minors;
    if (step <= 0.5)
        return;
    // The origin sits at -offset pixels from the ruler's start.
    const double origin = -m_offset;
    const int first = static_cast<int>(std::floor(-origin / step));
    for (int i = first; origin + i * step < length; ++i) {
        const double pos = origin + i * step;
        if (pos < 0)
            continue;
        int tick = thickness / 5;
        if (i % minors == 0)
            tick = thickness - 2;
        else if (i % (minors / 2) == 0)
            tick = thickness / 2;
        const int x = static_cast<int>(pos);
        if (horizontal)
            p.drawLine(x, thickness - tick, x, thickness - 1);
        else
            p.drawLine(thickness - tick, x, thickness - 1, x);
        if (i % minors == 0 && i >= 0) {
            const QString label = QString::number(i / minors);
            if (horizontal)
                p.drawText(x + 2, 10, label);
            else
                p.drawText(2, x + 10, label);
        }
    }
    p.drawLine(horizontal ? QLine(0, thickness - 1, length, thickness - 1) : QLine(thickness - 1, 0, thickness - 1, length));
}

} // namespace editing
