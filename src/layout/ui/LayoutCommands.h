#pragma once
// The layout commands that act on the active design.

#include "layout/LayoutRecord.h"

class QWidget;

namespace document { class DesignDocument; }

namespace layout {

// Edit Current Layout: opens the layout dialog on the design's own layout in the units
// of the MetricUnits option. On OK the design takes the edited layout, its surface is
// resized to the new region size at the design's zoom, and it is marked modified; the
// caller then refreshes its commands. Returns whether OK was chosen.
bool EditCurrentLayout(QWidget *owner, document::DesignDocument &doc, bool metric);

// The part of Edit Current Layout after OK: the design takes `edited` and its surface is
// sized to region 0 of side 0 at the current zoom; the design counts as modified.
void applyCurrentLayout(document::DesignDocument &doc, const LayoutRecord &edited);

} // namespace layout
