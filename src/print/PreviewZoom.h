#pragma once
// The arithmetic of the preview window, kept apart from its widgets: the zoom factor of
// each zoom item, the size of a page view, and what a click of the zoom tool does.

#include <QSize>
#include <QStringList>

namespace print {

// Items of the preview's zoom box, in order.
QStringList PreviewZoomItems();
enum PreviewZoomItem { ZoomFitToPage = 0, ZoomFitToWidth = 1, ZoomCustom = 2 };

// The factor of zoom item `item`: fit to page and fit to width from the scroll box's
// client size, the screen's pixels per inch and the printer page; "Custom" keeps
// `lastFactor`; the percentage items their value; anything else 1.0.
double PreviewZoomFactor(int item, QSize clientSize, int screenDpi, int physWidth, int physHeight, int dpiX,
                         int dpiY, double lastFactor);

// Size of one page view at `factor`.
QSize PreviewPageSize(double factor, int screenDpi, int physWidth, int physHeight, int dpiX, int dpiY);

// The zoom tool: a left click adds 0.25 below a factor of 20, a right click takes 0.25
// away above 0.25; otherwise the factor stays.
double ZoomToolClick(double factor, bool leftButton);

// "%1.0n" of factor x 100 followed by "%": thousands separators, no decimals.
QString PreviewZoomLabel(double factor);

} // namespace print
