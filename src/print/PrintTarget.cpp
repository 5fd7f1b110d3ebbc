#include "print/PrintTarget.h"

#include "platform/gdi/PainterCanvas.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace print {

// ---- PagedDeviceTarget ----

PagedDeviceTarget::PagedDeviceTarget(QPagedPaintDevice &device, bool continuous)
    : m_device(device), m_continuous(continuous)
{
}

PagedDeviceTarget::~PagedDeviceTarget()
{
    m_canvas.reset();
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

DeviceValues PagedDeviceTarget::deviceValues() const
{
    DeviceValues v;
    v.dpiX = m_device.logicalDpiX();
    v.dpiY = m_device.logicalDpiY();
    const QPageLayout layout = m_device.pageLayout();
    // Paper and printable area at the device's resolution; the painter's origin is the
    // corner of the printable area.
    const QRect full = layout.fullRectPixels(v.dpiX);
    const QRect paint = layout.paintRectPixels(v.dpiX);
    v.physWidth = full.width();
    v.physHeight = v.dpiX == v.dpiY ? full.height() : layout.fullRectPixels(v.dpiY).height();
    v.offsetX = paint.left();
    v.offsetY = v.dpiX == v.dpiY ? paint.top() : layout.paintRectPixels(v.dpiY).top();
    return v;
}

bool PagedDeviceTarget::setPaper(const QPageSize &size, QPageLayout::Orientation orientation)
{
    if (!size.isValid())
        return false;
    const bool a = m_device.setPageSize(size);
    const bool b = m_device.setPageOrientation(orientation);
    return a && b;
}

bool PagedDeviceTarget::beginJob(const QString &)
{
    if (m_painter && m_painter->isActive()) {
        // A continuous document: the next job starts on a fresh page.
        if (!m_continuous)
            return false;
        return newPage();
    }
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(&m_device)) {
        m_painter.reset();
        return false;
    }
    m_canvas = std::make_unique<gdi::PainterCanvas>(*m_painter);
    m_pages = 1;
    return true;
}

gdi::Canvas &PagedDeviceTarget::canvas() { return *m_canvas; }

bool PagedDeviceTarget::newPage()
{
    if (!m_painter || !m_painter->isActive())
        return false;
    // A fresh canvas per page: no drawing state leaks from one page to the next.
    m_canvas.reset();
    const bool ok = m_device.newPage();
    m_canvas = std::make_unique<gdi::PainterCanvas>(*m_painter);
    if (ok)
        ++m_pages;
    return ok;
}

bool PagedDeviceTarget::endJob()
{
    if (m_continuous)
        return m_painter && m_painter->isActive();
    return finish();
}

bool PagedDeviceTarget::finish()
{
    if (!m_painter)
        return false;
    m_canvas.reset();
    const bool ok = m_painter->isActive() && m_painter->end();
    m_painter.reset();
    return ok;
}

// ---- ImageTarget ----

ImageTarget::ImageTarget(const DeviceValues &values, bool keepPages) : m_values(values), m_keepPages(keepPages) {}

ImageTarget::~ImageTarget()
{
    m_canvas.reset();
    m_painter.reset();
}

bool ImageTarget::setPaper(const QPageSize &size, QPageLayout::Orientation orientation)
{
    if (!size.isValid())
        return false;
    m_paperSize = size;
    m_orientation = orientation;
    m_paperSet = true;
    return true;
}

std::unique_ptr<gdi::Canvas> ImageTarget::makeCanvas(QPainter &painter)
{
    return std::make_unique<gdi::PainterCanvas>(painter);
}

void ImageTarget::openPage()
{
    const int w = std::max(1, m_values.physWidth - 2 * m_values.offsetX);
    const int h = std::max(1, m_values.physHeight - 2 * m_values.offsetY);
    m_page = QImage(w, h, QImage::Format_RGB32);
    m_page.fill(Qt::white);
    if (m_values.dpiX > 0 && m_values.dpiY > 0) {
        m_page.setDotsPerMeterX(int(m_values.dpiX / 0.0254 + 0.5));
        m_page.setDotsPerMeterY(int(m_values.dpiY / 0.0254 + 0.5));
    }
    m_painter = std::make_unique<QPainter>(&m_page);
    m_canvas = makeCanvas(*m_painter);
    ++m_pageCount;
}

void ImageTarget::closePage()
{
    m_canvas.reset();
    if (m_painter)
        m_painter->end();
    m_painter.reset();
    if (m_keepPages)
        m_pages.push_back(m_page);
    m_page = QImage();
}

bool ImageTarget::beginJob(const QString &)
{
    if (m_inJob)
        return false;
    m_inJob = true;
    ++m_jobs;
    openPage();
    return true;
}

gdi::Canvas &ImageTarget::canvas() { return *m_canvas; }

bool ImageTarget::newPage()
{
    if (!m_inJob)
        return false;
    closePage();
    openPage();
    return true;
}

bool ImageTarget::endJob()
{
    if (!m_inJob)
        return false;
    closePage();
    m_inJob = false;
    return true;
}

} // namespace print
