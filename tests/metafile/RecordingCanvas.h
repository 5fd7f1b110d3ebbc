#pragma once
// A gdi::Canvas that draws nothing and logs every call as one line of text, so tests can
// see exactly what a player or a helper asked of the canvas.

#include "platform/gdi/Canvas.h"

#include <QStringList>
#include <vector>

namespace testsupport {

class RecordingCanvas : public gdi::Canvas {
public:
    QStringList log;
    std::vector<QImage> images; // every image handed to stretchDIBits
    std::vector<QRect> imageDest;

    int dpiX() const override { return 96; }
    int dpiY() const override { return 96; }

    void setPen(const gdi::Pen &p) override { m_pen = p; add(QStringLiteral("pen %1 %2 %3").arg(int(p.style)).arg(p.width).arg(p.color, 6, 16, QLatin1Char('0'))); }
    gdi::Pen pen() const override { return m_pen; }
    void setBrush(const gdi::Brush &b) override { m_brush = b; add(QStringLiteral("brush %1 %2").arg(int(b.style)).arg(b.color, 6, 16, QLatin1Char('0'))); }
    gdi::Brush brush() const override { return m_brush; }
    void setFont(const plat::LogFont &f) override { m_font = f; add(QStringLiteral("font %1 %2 esc %3").arg(f.face()).arg(f.height).arg(f.escapement)); }
    plat::LogFont font() const override { return m_font; }
    void setTextColor(gdi::ColorRef c) override { add(QStringLiteral("textcolor %1").arg(c, 6, 16, QLatin1Char('0'))); }
    void setBkColor(gdi::ColorRef c) override { add(QStringLiteral("bkcolor %1").arg(c, 6, 16, QLatin1Char('0'))); }
    void setBkMode(gdi::BkMode m) override { add(QStringLiteral("bkmode %1").arg(int(m))); }
    void setTextAlign(unsigned ta) override { add(QStringLiteral("textalign %1").arg(ta)); }
    void setPolyFillMode(gdi::FillMode m) override { add(QStringLiteral("fillmode %1").arg(int(m))); }

    void setMapMode(gdi::MapMode m) override { add(QStringLiteral("mapmode %1").arg(int(m))); }
    void setWindowOrg(QPoint p) override { add(QStringLiteral("windoworg %1 %2").arg(p.x()).arg(p.y())); }
    void setWindowExt(QSize s) override { add(QStringLiteral("windowext %1 %2").arg(s.width()).arg(s.height())); }
    void setViewportOrg(QPoint p) override { add(QStringLiteral("viewportorg %1 %2").arg(p.x()).arg(p.y())); }
    void setViewportExt(QSize s) override { add(QStringLiteral("viewportext %1 %2").arg(s.width()).arg(s.height())); }
    void setWorldTransform(const QTransform &t) override
    {
        m_world = t;
        add(QStringLiteral("world %1 %2 %3 %4 %5 %6").arg(t.m11()).arg(t.m12()).arg(t.m21()).arg(t.m22()).arg(t.dx()).arg(t.dy()));
    }
    QTransform worldTransform() const override { return m_world; }

    int saveDC() override { m_stack.push_back(m_world); add(QStringLiteral("save")); return int(m_stack.size()); }
    void restoreDC(int which) override
    {
        add(QStringLiteral("restore %1").arg(which));
        int target = which < 0 ? int(m_stack.size()) + which : which - 1;
        if (target < 0 || target >= int(m_stack.size()))
            return;
        m_world = m_stack[target];
        m_stack.resize(target);
    }

    void intersectClipRect(const QRect &r) override { add(QStringLiteral("clip %1").arg(rectText(r))); }
    void resetClip() override { add(QStringLiteral("resetclip")); }

    void moveTo(int x, int y) override { m_pos = QPoint(x, y); add(QStringLiteral("moveto %1").arg(pt(x, y))); }
    void lineTo(int x, int y) override { m_pos = QPoint(x, y); add(QStringLiteral("lineto %1").arg(pt(x, y))); }
    QPoint currentPosition() const override { return m_pos; }
    void polyline(const QVector<QPoint> &p) override { add(QStringLiteral("polyline %1").arg(pts(p))); }
    void polygon(const QVector<QPoint> &p) override { add(QStringLiteral("polygon %1").arg(pts(p))); }
    void polyPolygon(const QVector<QVector<QPoint>> &polys) override
    {
        QStringList parts;
        for (const auto &p : polys)
            parts << pts(p);
        add(QStringLiteral("polypolygon %1").arg(parts.join(QStringLiteral(" | "))));
    }
    void polyBezier(const QVector<QPoint> &p) override { add(QStringLiteral("bezier %1").arg(pts(p))); }
    void rectangle(int l, int t, int r, int b) override { add(QStringLiteral("rectangle %1 %2 %3 %4").arg(l).arg(t).arg(r).arg(b)); }
    void roundRect(int l, int t, int r, int b, int w, int h) override { add(QStringLiteral("roundrect %1 %2 %3 %4 %5 %6").arg(l).arg(t).arg(r).arg(b).arg(w).arg(h)); }
    void ellipse(int l, int t, int r, int b) override { add(QStringLiteral("ellipse %1 %2 %3 %4").arg(l).arg(t).arg(r).arg(b)); }
    void arc(const QRect &box, QPoint s, QPoint e) override { add(QStringLiteral("arc %1 %2 %3").arg(rectText(box), pt(s.x(), s.y()), pt(e.x(), e.y()))); }
    void chord(const QRect &box, QPoint s, QPoint e) override { add(QStringLiteral("chord %1 %2 %3").arg(rectText(box), pt(s.x(), s.y()), pt(e.x(), e.y()))); }
    void pie(const QRect &box, QPoint s, QPoint e) override { add(QStringLiteral("pie %1 %2 %3").arg(rectText(box), pt(s.x(), s.y()), pt(e.x(), e.y()))); }
    void fillRect(const QRect &r, const gdi::Brush &b) override { add(QStringLiteral("fillrect %1 %2").arg(rectText(r)).arg(b.color, 6, 16, QLatin1Char('0'))); }
    void setPixel(int x, int y, gdi::ColorRef c) override { add(QStringLiteral("pixel %1 %2").arg(pt(x, y)).arg(c, 6, 16, QLatin1Char('0'))); }

    void beginPath() override { add(QStringLiteral("beginpath")); }
    void endPath() override { add(QStringLiteral("endpath")); }
    void closeFigure() override { add(QStringLiteral("closefigure")); }
    void fillPath() override { add(QStringLiteral("fillpath")); }
    void strokePath() override { add(QStringLiteral("strokepath")); }
    void strokeAndFillPath() override { add(QStringLiteral("strokeandfillpath")); }

    void textOut(int x, int y, const QString &text) override { add(QStringLiteral("textout %1 %2").arg(pt(x, y), text)); }
    int drawText(const QString &text, QRect &rect, unsigned flags) override
    {
        add(QStringLiteral("drawtext %1 %2 %3").arg(rectText(rect), text).arg(flags));
        return 10;
    }
    QSize textExtent(const QString &text) override { return QSize(int(text.size()) * 8, 16); }
    TextMetrics textMetrics() override { return TextMetrics{16, 13, 3, 2, 0, 8}; }

    void stretchDIBits(const QRect &dest, const QRect &src, const QImage &image, gdi::RasterOp rop) override
    {
        images.push_back(image);
        imageDest.push_back(dest);
        add(QStringLiteral("stretchdibits %1 %2 %3x%4 rop %5").arg(rectText(dest), rectText(src)).arg(image.width()).arg(image.height()).arg(uint32_t(rop), 0, 16));
    }

    // Saved states not yet restored.
    int depth() const { return int(m_stack.size()); }

    // Lines of the log that start with `prefix`.
    QStringList calls(const QString &prefix) const
    {
        QStringList out;
        for (const QString &l : log)
            if (l.startsWith(prefix))
                out << l;
        return out;
    }

private:
    void add(const QString &s) { log << s; }
    static QString pt(int x, int y) { return QStringLiteral("%1,%2").arg(x).arg(y); }
    static QString pts(const QVector<QPoint> &p)
    {
        QStringList s;
        for (const QPoint &q : p)
            s << pt(q.x(), q.y());
        return s.join(QLatin1Char(' '));
    }
    static QString rectText(const QRect &r) { return QStringLiteral("[%1 %2 %3 %4]").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height()); }

    gdi::Pen m_pen;
    gdi::Brush m_brush;
    plat::LogFont m_font;
    QTransform m_world;
    std::vector<QTransform> m_stack;
    QPoint m_pos;
};

} // namespace testsupport
