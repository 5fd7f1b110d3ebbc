#pragma once
// The alignment operations on the selection frame and its objects, numbered as the
// alignment toolbar's buttons carry them: 0 aligns the objects to the grid, 1-6 move the
// frame against the margins, 7-9 and 11-13 line the objects up inside the frame, 10 and
// 14 space them equally. Only geometry happens here; the document records the undo
// entries and marks the design modified.

namespace model {
class SurfaceModel;
}

namespace editing {

class TStretchHandle;

enum AlignOperation {
    AlignToGrid = 0,
    AlignLeft = 1,
    AlignHCenter = 2,
    AlignRight = 3,
    AlignTop = 4,
    AlignVCenter = 5,
    AlignBottom = 6,
    AlignGroupLeft = 7,
    AlignGroupHCenter = 8,
    AlignGroupRight = 9,
    AlignGroupHSpace = 10,
    AlignGroupTop = 11,
    AlignGroupVCenter = 12,
    AlignGroupBottom = 13,
    AlignGroupVSpace = 14,
};

// Carries out one operation on the attached objects of `handles` on `surface`; any other
// number moves nothing.
void ApplyAlignment(TStretchHandle &handles, const model::SurfaceModel &surface, int operation);
// Stretches the frame over the margin frame (nothing while the frame is locked).
void ApplyFitToMargins(TStretchHandle &handles, const model::SurfaceModel &surface);

} // namespace editing
