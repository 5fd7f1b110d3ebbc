#pragma once
// The element print engine: prints a grid of equal elements on sheets of paper, sheet
// after sheet, and draws the very same sheets for the preview window. It knows nothing
// about designs: it works out where each element lies and asks its owner, through
// OnDrawElement, to draw the element into a rectangle of the target canvas. It also draws
// crop marks around the grid.
//
// Only the non-generated mode exists: every page is drawn on demand by calling the draw
// event for the elements that fall on it.

#include "print/PrintTarget.h"
#include "platform/gdi/Canvas.h"

#include <QRect>
#include <QSizeF>
#include <QString>
#include <functional>

namespace print {

// Sheet geometry, lengths in the engine's unit (inches here).
struct TTextOptions {
    double MarginLeft = 0, MarginTop = 0, MarginRight = 0, MarginBottom = 0;
    int Columns = 1, Rows = 1;
    double ColumnWidth = 0, RowHeight = 0;
    double ColumnSpace = 0, RowSpace = 0;
    bool CropMarks = false;
};

enum class TUnits { unInches, unCentimeters };
enum class TZoomOption { zoFitToPage, zoFitToWidth, zoTwoPages, zoCustom };

class TPreviewPrinter;
// Element: 1-based position on the sheet; rect: the element in the canvas's logical
// coordinates (printer pixels). The handler must leave the canvas's mapping as it was.
using DrawElementHandler = std::function<void(TPreviewPrinter &sender, int element, gdi::Canvas &canvas, const QRect &rect)>;

class TPreviewPrinter {
public:
    TTextOptions TextOptions;
    QString Title;
    TUnits Units = TUnits::unInches;
    bool ShowGrid = false;
    TZoomOption ZoomOption = TZoomOption::zoFitToPage;
    int ZoomVal = 100;
    DrawElementHandler OnDrawElement;

    // Stores the job and captures the device values of `target`.
    void InitNonGenerated(int start, int count, const PrintTarget &target);
    // The same with device values given directly (the preview of a target that is known).
    void InitNonGenerated(int start, int count, const DeviceValues &values);
    // Captures device values; a physical width of 0 means 8.5 x 11 inches at the screen's
    // pixels per inch.
    void InitPrinterVars(const DeviceValues &values, int screenDpi = 96);

    int start() const { return m_start; }
    int count() const { return m_count; }
    const DeviceValues &device() const { return m_dev; }

    // Number of pages: ceiling of (start + count - 1) / (Rows x Columns).
    int GetPageNum() const;
    int GetLastAvailPage() const { return GetPageNum(); }

    // Prints all pages as one job on `target`.
    bool Print(PrintTarget &target);
    // Prints pages first..last (0-based, inclusive) as one job. False when the job cannot
    // start or a page cannot be added.
    bool PrintRange(PrintTarget &target, int first, int last);

    // Draws page `page` into `canvas`. For the printer the canvas's origin is the corner
    // of the printable area; for the preview it is the paper corner, and `canvasScale`
    // is the device pixels per logical unit of the mapping the preview set.
    void DrawNonGeneratedPage(gdi::Canvas &canvas, int page, bool preview, QSizeF canvasScale = QSizeF(1, 1));
    void DrawCropMarks(gdi::Canvas &canvas, bool preview);

    // Scale (device pixels per logical unit) of the canvas being drawn; element handlers
    // use it to place their own mapping.
    QSizeF canvasScale() const { return m_canvasScale; }

    // Length in the engine's unit to pixels, rounded to nearest with ties to even.
    int UnitToX(double value) const;
    int UnitToY(double value) const;
    double XToUnit(int pixels) const;
    double YToUnit(int pixels) const;

    // The element rectangles of page `page` (positions and device rectangles) for the
    // given offsets, as DrawNonGeneratedPage hands them out.
    struct Placed {
        int element;
        QRect rect;
    };
    std::vector<Placed> ElementsOfPage(int page, int offX, int offY) const;

private:
    double factor() const { return Units == TUnits::unCentimeters ? 2.54 : 1.0; }

    int m_start = 1;
    int m_count = 0;
    DeviceValues m_dev;
    QSizeF m_canvasScale{1, 1};
};

} // namespace print
