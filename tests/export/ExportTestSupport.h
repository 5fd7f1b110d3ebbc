#pragma once
// A small design to export: on the front a red box that does not print and a text; on the
// back a blue box. Grid and margin frame are on, as a user usually has them.
#include "TestSupport.h"

#include "document/DesignDocument.h"
#include "model/TObjectData.h"

#include <QByteArray>
#include <QImage>
#include <QTemporaryDir>

namespace exporttests {

constexpr uint32_t kRed = 0x0000FF;  // COLORREF
constexpr uint32_t kBlue = 0xFF0000;
// The red box covers 100..199 x 60..119 at 100 %.
const QPoint kBoxCentre(150, 90);

inline void addBox(document::DesignDocument &doc, QRect r, uint32_t color, bool nonPrinting)
{
    model::SurfaceItem *box = doc.manager()->NewBox(r.x() - 3, r.y() - 3);
    box->setBounds(r.adjusted(-3, -3, 3, 3));
    box->data()->Style = 1;
    box->data()->ColorBG = color;
    box->data()->ColorFG = color;
    if (nonPrinting)
        box->data()->Flags |= model::ObjectFlag::NonPrinting;
}

inline void makeSample(document::DesignDocument &doc)
{
    layout::LayoutRecord l = layout::businessCardLayout();
    l.setBackPrintable(1);
    doc.createBlank(l, 1);
    doc.surface()->setShowGrid(true);
    doc.surface()->setShowMargins(true);
    addBox(doc, QRect(100, 60, 100, 60), kRed, true);
    model::SurfaceItem *t = doc.manager()->NewText(220, 20);
    t->setBounds(220, 20, 100, 30);
    t->data()->Lines = QStringList{QStringLiteral("Hello")};
    doc.switchRegion(1);
    addBox(doc, QRect(20, 20, 100, 60), kBlue, false);
    doc.switchRegion(0);
    doc.setModified(false);
}

inline QRgb colorOf(uint32_t ref) { return qRgb(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF)); }

} // namespace exporttests
