#include "layout/ui/LayoutCommands.h"

#include "document/DesignDocument.h"
#include "layout/ui/EditLayoutForm.h"

namespace layout {

void applyCurrentLayout(document::DesignDocument &doc, const LayoutRecord &edited)
{
    doc.setLayout(edited);
    int w = 0, h = 0;
    GetRegionInfo(edited.RegionType(), 0, edited.Width(), edited.Height(), nullptr, &w, &h, nullptr, nullptr,
                  nullptr);
    const double factor = doc.zoom() * 0.01;
    doc.surface()->setSize(QSize(static_cast<int>(w * factor), static_cast<int>(h * factor)));
    doc.setModified(true);
}

bool EditCurrentLayout(QWidget *owner, document::DesignDocument &doc, bool metric)
{
    LayoutRecord record = doc.layout();
    TEditLayoutForm form(owner, metric, record);
    if (form.exec() != QDialog::Accepted)
        return false;
    applyCurrentLayout(doc, record);
    return true;
}

} // namespace layout
