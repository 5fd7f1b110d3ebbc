#pragma once
// Save As Graphic without its dialog: the region on the design surface drawn into a
// picture file exactly as the surface shows it without grid, margin frame and selection
// (background, then every object in stacking order, non-printing objects included, texts
// as element 1). The picture is as large as the surface: the region size in hundredths
// of an inch times the zoom / 100. The design and its modified flag stay as they were.

#include <QList>
#include <QSize>
#include <QString>

namespace document { class DesignDocument; }
namespace model { class SurfaceModel; }

namespace files {

enum class GraphicType { Jpeg, Bitmap, Metafile, Png, Svg, Pdf };

// The file types the Save As Graphic dialog offers, in its order: JPEG, bitmap,
// metafile, then PNG, SVG and PDF.
struct GraphicTypeInfo {
    GraphicType type;
    QString filter;    // "JPEG Image (*.jpg *.jpeg)"
    QString extension; // ".jpg", appended to a name typed without one
};
const QList<GraphicTypeInfo> &graphicTypes();

// The format a file name asks for, by its extension (letter case ignored): .jpg and .jpeg
// JPEG, .wmf and .emf an enhanced metafile, .png, .svg, .pdf; anything else a bitmap.
GraphicType graphicTypeForFile(const QString &fileName);
// `fileName` unchanged when its name has an extension, else with the extension of the
// dialog's file type at `typeIndex` (an index out of range counts as the metafile type).
QString withGraphicExtension(const QString &fileName, int typeIndex);

struct GraphicOptions {
    int quality = 75;         // JPEG only, 0..100
    bool progressive = false; // JPEG only
};

// Draws `surface` (at `zoom`) into `fileName`. The surface's grid and margin frame are
// turned off for the drawing and restored afterwards. `regionUnits` is the region's real
// size in hundredths of an inch, which sizes the PDF page and the SVG's physical size.
// The file is replaced only when the whole picture was written. False on any failure
// (the caller shows message 1003).
bool SaveSurfaceAsGraphic(model::SurfaceModel &surface, int zoom, QSize regionUnits, const QString &fileName,
                          const GraphicOptions &options);
// The region on screen of `doc`, at the document's zoom.
bool SaveAsGraphic(document::DesignDocument &doc, const QString &fileName, const GraphicOptions &options);

} // namespace files
