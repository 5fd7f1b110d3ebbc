#include "files/GraphicExport.h"

#include "document/DesignDocument.h"
#include "editing/SurfacePainter.h"
#include "layout/LayoutRecord.h"
#include "model/SurfaceModel.h"
#include "platform/bmp/BmpCodec.h"
#include "platform/gdi/PainterCanvas.h"
#include "platform/imaging/JpegWriter.h"
#include "platform/metafile/EmfRecorder.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace files {

const QList<GraphicTypeInfo> &graphicTypes()
{
    static const QList<GraphicTypeInfo> types{
        {GraphicType::Jpeg, QStringLiteral("JPEG Image (*.jpg *.jpeg)"), QStringLiteral(".jpg")},
        {GraphicType::Bitmap, QStringLiteral("Bitmap (*.bmp)"), QStringLiteral(".bmp")},
        {GraphicType::Metafile, QStringLiteral("Enhanced Metafile (*.wmf *.emf)"), QStringLiteral(".wmf")},
        {GraphicType::Png, QStringLiteral("PNG Image (*.png)"), QStringLiteral(".png")},
        {GraphicType::Svg, QStringLiteral("SVG Drawing (*.svg)"), QStringLiteral(".svg")},
        {GraphicType::Pdf, QStringLiteral("PDF Document (*.pdf)"), QStringLiteral(".pdf")},
    };
    return types;
}

GraphicType graphicTypeForFile(const QString &fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return GraphicType::Jpeg;
    if (ext == QLatin1String("wmf") || ext == QLatin1String("emf"))
        return GraphicType::Metafile;
    if (ext == QLatin1String("png"))
        return GraphicType::Png;
    if (ext == QLatin1String("svg"))
        return GraphicType::Svg;
    if (ext == QLatin1String("pdf"))
        return GraphicType::Pdf;
    return GraphicType::Bitmap;
}

QString withGraphicExtension(const QString &fileName, int typeIndex)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    const QList<GraphicTypeInfo> &types = graphicTypes();
    const int metafile = 2;
    const int index = typeIndex >= 0 && typeIndex < types.size() ? typeIndex : metafile;
    return fileName + types.at(index).extension;
}

namespace {

// Turns the grid and the margin frame off while it lives.
class PlainSurface {
public:
    explicit PlainSurface(model::SurfaceModel &s) : m_s(s), m_grid(s.showGrid()), m_margins(s.showMargins())
    {
        m_s.setShowGrid(false);
        m_s.setShowMargins(false);
    }
    ~PlainSurface()
    {
        m_s.setShowMargins(m_margins);
        m_s.setShowGrid(m_grid);
    }
    PlainSurface(const PlainSurface &) = delete;
    PlainSurface &operator=(const PlainSurface &) = delete;

private:
    model::SurfaceModel &m_s;
    bool m_grid;
    bool m_margins;
};

// The surface drawn onto `painter`, whose device the caller has sized or scaled.
void paint(QPainter &painter, const model::SurfaceModel &surface, int zoom)
{
    gdi::PainterCanvas canvas(painter);
    editing::paintSurface(canvas, surface, zoom);
}

QImage rasterise(const model::SurfaceModel &surface, int zoom)
{
    QImage image(surface.size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, surface, zoom);
    return image;
}

QByteArray metafileBytes(const model::SurfaceModel &surface, int zoom)
{
    plat::metafile::EmfRecorder recorder(surface.size());
    editing::paintSurface(recorder, surface, zoom);
    return recorder.finish();
}

QByteArray svgBytes(const model::SurfaceModel &surface, int zoom, QSize regionUnits)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(surface.size());
    svg.setViewBox(QRect(QPoint(0, 0), surface.size()));
    // Pixels per inch at this zoom, so that the drawing declares the card's real size.
    const int ppi = regionUnits.width() > 0 ? qRound(surface.width() * 100.0 / regionUnits.width()) : zoom;
    svg.setResolution(std::max(1, ppi));
    svg.setTitle(QStringLiteral("Card"));
    {
        QPainter painter;
        if (!painter.begin(&svg))
            return {};
        paint(painter, surface, zoom);
        if (!painter.end())
            return {};
    }
    return buffer.data();
}

QByteArray pdfBytes(const model::SurfaceModel &surface, int zoom, QSize regionUnits)
{
    if (regionUnits.width() <= 0 || regionUnits.height() <= 0)
        return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Ostravel"));
        pdf.setResolution(1200);
        const QSizeF inches(regionUnits.width() / 100.0, regionUnits.height() / 100.0);
        if (!pdf.setPageSize(QPageSize(inches, QPageSize::Inch, QString(), QPageSize::ExactMatch)))
            return {};
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&pdf))
            return {};
        // The surface's pixels onto the page: one card at its real size.
        painter.scale(double(pdf.width()) / surface.width(), double(pdf.height()) / surface.height());
        paint(painter, surface, zoom);
        if (!painter.end())
            return {};
    }
    return buffer.data();
}

QByteArray imageBytes(const QImage &image, const char *format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        return {};
    return buffer.data();
}

bool writeWhole(const QString &fileName, const QByteArray &bytes)
{
    if (fileName.isEmpty() || bytes.isEmpty())
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

bool SaveSurfaceAsGraphic(model::SurfaceModel &surface, int zoom, QSize regionUnits, const QString &fileName,
                          const GraphicOptions &options)
{
    if (fileName.isEmpty() || surface.width() <= 0 || surface.height() <= 0)
        return false;
    QByteArray bytes;
    {
        PlainSurface plain(surface);
        switch (graphicTypeForFile(fileName)) {
        case GraphicType::Metafile:
            bytes = metafileBytes(surface, zoom);
            break;
        case GraphicType::Svg:
            bytes = svgBytes(surface, zoom, regionUnits);
            break;
        case GraphicType::Pdf:
            bytes = pdfBytes(surface, zoom, regionUnits);
            break;
        case GraphicType::Jpeg:
            bytes = plat::imaging::encodeJpeg(rasterise(surface, zoom),
                                              plat::imaging::JpegOptions{options.quality, options.progressive});
            break;
        case GraphicType::Png:
            bytes = imageBytes(rasterise(surface, zoom), "png");
            break;
        case GraphicType::Bitmap: {
            const QImage image = rasterise(surface, zoom);
            if (!image.isNull())
                bytes = plat::bmp::encodeBmpFile(image, 24);
            break;
        }
        }
    }
    return writeWhole(fileName, bytes);
}

bool SaveAsGraphic(document::DesignDocument &doc, const QString &fileName, const GraphicOptions &options)
{
    const layout::LayoutRecord &l = doc.layout();
    int side = 0, region = 0;
    doc.regionPair(doc.currentRegionIndex(), &side, &region);
    int w = 0, h = 0;
    layout::GetRegionInfo(l.RegionType(), side, l.Width(), l.Height(), nullptr, &w, &h, nullptr, nullptr, nullptr);
    return SaveSurfaceAsGraphic(*doc.surface(), doc.zoom(), QSize(w, h), fileName, options);
}

} // namespace files
