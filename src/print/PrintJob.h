#pragma once
// The print job of one design without its dialogs: the checks of the start position and
// quantity, the paper and orientation for the layout, the sheet geometry handed to the
// element print engine, and the drawing of every element from the design's stored regions.
//
// The job never touches the editing surface. It first saves the region on screen into its
// slot, then builds each region it prints once, from the stored slot at zoom 100, into a
// surface of its own, and draws every element from those. The editing surface, its
// selection, zoom and undo history stay as they were.

#include "layout/LayoutRecord.h"
#include "print/PreviewPrinter.h"
#include "print/PrintTarget.h"

#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <array>
#include <functional>
#include <memory>

namespace document {
class DesignDocument;
}
namespace model {
class SurfaceModel;
class TObjectManager;
} // namespace model

namespace print {

// ---- checks of the print dialog ----
struct StartQuantity {
    int start = 1;
    int quantity = 0; // elements
};
enum class QuantityField { None, Start, Quantity };
// Checks the start and quantity texts in the dialog's order. On success fills `out`
// (with pages counted as perSheet elements each) and returns an empty string; otherwise
// returns the message and names the field to focus.
QString CheckStartQuantity(const QString &startText, const QString &quantityText, bool pages, int perSheet,
                           StartQuantity *out, QuantityField *field);
QString StartPositionMessage(int perSheet);
QString QuantityMessage();

// ---- paper ----
// The page size for a Windows paper code of the paper table (an invalid size for an
// unknown code).
QPageSize PageSizeForPaperCode(int paperCode);

struct PrintSetup {
    int paperCode = 1;
    int paperWidth = 850;    // units, after the landscape exchange
    int paperHeight = 1100;
    bool landscape = false;  // the orientation set on the printer
    bool exchanged = false;  // paper width and height exchanged for the geometry
    QPageSize pageSize;
    TTextOptions options;
};
// Paper, orientation and sheet geometry for `layout`.
PrintSetup ComputePrintSetup(const layout::LayoutRecord &layout, bool cropMarks);
// Sets paper size and orientation on the target (the option to do so automatically).
bool ApplyPaper(const PrintSetup &setup, PrintTarget &target);

// ---- second face ----
// FlipMode for the second face: 1 mirrors left-right, 0 top-bottom. Side-fold cards
// mirror left-right, top-fold cards top-bottom, flat cards top-bottom unless the flip box
// is ticked.
int FlipModeFor(int regionType, bool flipChecked);
// The element index drawn at sheet position `element` on face `side`.
int MirroredElement(int element, int side, int flipMode, int rows, int columns);

// Which faces to print: the side combo's items.
enum class SideChoice { Both = 0, Side1 = 1, Side2 = 2 };

class TPrintJob {
public:
    explicit TPrintJob(document::DesignDocument &doc);
    ~TPrintJob();
    TPrintJob(const TPrintJob &) = delete;
    TPrintJob &operator=(const TPrintJob &) = delete;

    // Saves the region on screen into its slot. False when that fails.
    bool SaveCurrentRegion();

    int PrintingSide = 0;
    int FlipMode = 0;
    // Called every fifth element while printing (not while previewing) so a window can
    // process its messages; empty by default.
    std::function<void()> yield;

    // Fills the engine's geometry and draw handler for `setup`.
    void Configure(TPreviewPrinter &engine, const PrintSetup &setup);
    // Prints one face: sets PrintingSide, hands start and quantity to the engine and
    // prints every page on the target. False on any failure of the target.
    bool PrintSide(TPreviewPrinter &engine, PrintTarget &target, int side, int start, int quantity);

    // The engine's draw handler: every region of the face for sheet position `element`.
    void PreviewPrinterDrawElement(TPreviewPrinter &sender, int element, gdi::Canvas &canvas, const QRect &rect);
    // Draws region (side, region) for element index `index` into the canvas's mapping.
    bool DrawRegion(int index, gdi::Canvas &canvas, int side, int region);

    // The job's own surface of a region, built on first use from its slot at zoom 100.
    const model::SurfaceModel *RegionSurface(int side, int region);
    int regionSurfacesBuilt() const { return m_built; }
    bool previewing = false;

private:
    struct Region;
    document::DesignDocument &m_doc;
    std::array<std::unique_ptr<Region>, 8> m_regions;
    int m_built = 0;
};

} // namespace print
