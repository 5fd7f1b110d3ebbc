#pragma once
// The small picture of a design shown beside the file list when opening: the design's
// first region, fitted into the preview area.

#include <QImage>
#include <QString>

namespace editing {

struct PreviewPlacement {
    int zoom = 100; // percent
    int left = 0;   // offsets in the preview area, pixels
    int top = 0;
};

// Fits a face of w x h pixels (at 100 %) into an area of W x H pixels: the longer side of
// the face takes the area's size less 10, the other is centred; everything truncated.
PreviewPlacement fitPreview(int faceWidth, int faceHeight, int areaWidth, int areaHeight);

// Renders the preview of `fileName` into an image of `area`; a null image when the file
// cannot be read as a design.
QImage renderDesignPreview(const QString &fileName, QSize area);

} // namespace editing
