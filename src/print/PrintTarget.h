#pragma once
// Where printed pages go. The element print engine asks a target for its device values
// (resolution, physical page size, printable-area offsets), starts a job, draws each page
// through the target's canvas and ends the job. One target drives any QPagedPaintDevice
// (a QPrinter for CUPS, a QPdfWriter for PDF files); another renders pages into images
// with any chosen device values, which the tests use.

#include "platform/gdi/Canvas.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace print {

// The device values the engine works with, in device pixels.
struct DeviceValues {
    int dpiX = 0;         // LOGPIXELSX
    int dpiY = 0;         // LOGPIXELSY
    int physWidth = 0;    // PHYSICALWIDTH
    int physHeight = 0;   // PHYSICALHEIGHT
    int offsetX = 0;      // PHYSICALOFFSETX: paper edge to the printable area
    int offsetY = 0;      // PHYSICALOFFSETY
};

class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    virtual DeviceValues deviceValues() const = 0;
    // Paper size and orientation for the next job. False when the device refuses them.
    virtual bool setPaper(const QPageSize &size, QPageLayout::Orientation orientation) = 0;
    // Starts a job; its first page is open afterwards. False when no job can start.
    virtual bool beginJob(const QString &title) = 0;
    // The canvas of the open page; its origin is the corner of the printable area.
    virtual gdi::Canvas &canvas() = 0;
    virtual bool newPage() = 0;
    virtual bool endJob() = 0;
};

// A target over a paged paint device (QPrinter or QPdfWriter), which it does not own.
// With `continuous` on, a second job continues the document of the first on a new page
// and only finish() closes it: the command line writes both faces into one PDF that way.
class PagedDeviceTarget : public PrintTarget {
public:
    explicit PagedDeviceTarget(QPagedPaintDevice &device, bool continuous = false);
    ~PagedDeviceTarget() override;
    DeviceValues deviceValues() const override;
    bool setPaper(const QPageSize &size, QPageLayout::Orientation orientation) override;
    bool beginJob(const QString &title) override;
    gdi::Canvas &canvas() override;
    bool newPage() override;
    bool endJob() override;
    // Closes a continuous document. True when it was written.
    bool finish();
    int pagesStarted() const { return m_pages; }

private:
    QPagedPaintDevice &m_device;
    bool m_continuous;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<gdi::Canvas> m_canvas;
    int m_pages = 0;
};

// Renders pages into images with the device values given (tests, the benchmark's
// reference). Every page is kept; the canvas can be replaced by a subclass to record the
// calls made on it.
class ImageTarget : public PrintTarget {
public:
    explicit ImageTarget(const DeviceValues &values, bool keepPages = true);
    ~ImageTarget() override;
    DeviceValues deviceValues() const override { return m_values; }
    bool setPaper(const QPageSize &size, QPageLayout::Orientation orientation) override;
    bool beginJob(const QString &title) override;
    gdi::Canvas &canvas() override;
    bool newPage() override;
    bool endJob() override;

    int jobs() const { return m_jobs; }
    int pageCount() const { return m_pageCount; }
    const std::vector<QImage> &pages() const { return m_pages; }
    QPageSize paperSize() const { return m_paperSize; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    bool paperSet() const { return m_paperSet; }

protected:
    // The canvas over one page's painter; the default is a gdi::PainterCanvas.
    virtual std::unique_ptr<gdi::Canvas> makeCanvas(QPainter &painter);

private:
    void closePage();
    void openPage();

    DeviceValues m_values;
    bool m_keepPages;
    QImage m_page;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<gdi::Canvas> m_canvas;
    std::vector<QImage> m_pages;
    int m_jobs = 0;
    int m_pageCount = 0;
    bool m_inJob = false;
    QPageSize m_paperSize;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    bool m_paperSet = false;
};

} // namespace print
