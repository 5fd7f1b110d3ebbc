#pragma once
// A gdi::Canvas that records what is drawn on it as an enhanced metafile. The reference
// device has 96 pixels per inch; the picture's frame is the size given at construction.
// Every canvas operation becomes EMF records (objects are created, selected and deleted
// as GDI would record them); finish() writes the end record and completes the header.

#include "platform/gdi/Canvas.h"
#include "platform/metafile/MetafileTypes.h"

#include <QByteArray>
#include <QFont>
#include <vector>

namespace plat::metafile {

class EmfRecorder : public gdi::Canvas {
public:
    // `size`: the picture's size in pixels at 96 ppi (the frame of the metafile).
    explicit EmfRecorder(QSize size);

    // Writes the end record and the header's totals and returns the whole metafile.
    // Drawing after finish() is ignored; calling it again returns the same bytes.
    QByteArray finish();

    int dpiX() const override { return 96; }
    int dpiY() const override { return 96; }

    void setPen(const gdi::Pen &pen) override;
    gdi::Pen pen() const override { return m_dc.pen; }
    void setBrush(const gdi::Brush &brush) override;
    gdi::Brush brush() const override { return m_dc.brush; }
    void setFont(const plat::LogFont &font) override;
    plat::LogFont font() const override { return m_dc.font; }
    void setTextColor(gdi::ColorRef c) override;
    void setBkColor(gdi::ColorRef c) override;
    void setBkMode(gdi::BkMode m) override;
    void setTextAlign(unsigned ta) override;
    void setPolyFillMode(gdi::FillMode m) override;

    void setMapMode(gdi::MapMode m) override;
    void setWindowOrg(QPoint p) override;
    void setWindowExt(QSize s) override;
    void setViewportOrg(QPoint p) override;
    void setViewportExt(QSize s) override;
    void setWorldTransform(const QTransform &t) override;
    QTransform worldTransform() const override { return m_dc.map.world; }

    int saveDC() override;
    void restoreDC(int which) override;

    void intersectClipRect(const QRect &r) override;
    void resetClip() override;

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    QPoint currentPosition() const override { return m_dc.position; }
    void polyline(const QVector<QPoint> &pts) override;
    void polygon(const QVector<QPoint> &pts) override;
    void polyPolygon(const QVector<QVector<QPoint>> &polys) override;
    void polyBezier(const QVector<QPoint> &pts) override;
    void rectangle(int l, int t, int r, int b) override;
    void roundRect(int l, int t, int r, int b, int ellipseW, int ellipseH) override;
    void ellipse(int l, int t, int r, int b) override;
    void arc(const QRect &box, QPoint start, QPoint end) override;
    void chord(const QRect &box, QPoint start, QPoint end) override;
    void pie(const QRect &box, QPoint start, QPoint end) override;
    void fillRect(const QRect &r, const gdi::Brush &b) override;
    void setPixel(int x, int y, gdi::ColorRef c) override;

    void beginPath() override;
    void endPath() override;
    void closeFigure() override;
    void fillPath() override;
    void strokePath() override;
    void strokeAndFillPath() override;

    void textOut(int x, int y, const QString &text) override;
    int drawText(const QString &text, QRect &rect, unsigned flags) override;
    QSize textExtent(const QString &text) override;
    TextMetrics textMetrics() override;

    void stretchDIBits(const QRect &dest, const QRect &src, const QImage &image,
                       gdi::RasterOp rop = gdi::RasterOp::SrcCopy) override;

private:
    struct Dc {
        gdi::Pen pen;
        gdi::Brush brush;
        plat::LogFont font;
        uint32_t penHandle = emr::BLACK_PEN;
        uint32_t brushHandle = emr::WHITE_BRUSH;
        uint32_t fontHandle = 0; // 0: the device's default font
        unsigned textAlign = 0;
        Mapping map;
        QPoint position;
    };

    // Record writing: a record is begun, its fields appended, and its size patched.
    qsizetype begin(uint32_t type);
    void end(qsizetype start);
    void simple(uint32_t type, std::initializer_list<uint32_t> fields);
    void arcRecord(uint32_t type, const QRect &box, QPoint start, QPoint end);
    void rectl(const QRect &r); // writes l, t, r, b with r = left + width
    void boundsOf(const QVector<QPoint> &pts); // writes the device bounds as a RECTL
    void points(uint32_t type16, uint32_t type32, const QVector<QPoint> &pts);

    uint32_t newHandle();
    void releaseHandle(uint32_t h);
    bool handleInUse(uint32_t h) const;
    void selectPen(const gdi::Pen &pen);
    void selectBrush(const gdi::Brush &brush);

    QTransform toDevice() const;
    void addBounds(const QRectF &logical, double grow = 0);
    QRect deviceRect(const QRectF &logical) const;
    QFont deviceFont(double &sx, double &sy) const;
    bool active() const { return !m_finished; }

    QByteArray m_out;
    QSize m_size;
    Dc m_dc;
    std::vector<Dc> m_stack;
    std::vector<bool> m_handles; // index 0 is the metafile itself
    std::vector<uint32_t> m_pendingDelete;
    uint32_t m_records = 0;
    QRect m_bounds; // device pixels drawn, inclusive
    bool m_finished = false;
};

} // namespace plat::metafile
