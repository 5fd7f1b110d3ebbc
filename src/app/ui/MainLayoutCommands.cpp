// The layout commands of the File menu.
#include "app/ui/MainForm.h"

#include "document/ui/MDIChildForm.h"
#include "model/SurfaceModel.h"
#include "layout/ui/LayoutCommands.h"
#include "layout/ui/LayoutsForm.h"

#include <QAction>
#include <QMdiArea>

namespace app {

void TMainForm::connectLayoutCommands()
{
    connect(m_actions.value(QStringLiteral("EditLayoutsMI")), &QAction::triggered, this,
            [this] { layout::TLayoutsForm::editLayouts(this, m_options.MetricUnits); });
    connect(m_actions.value(QStringLiteral("SwitchLayoutMI")), &QAction::triggered, this, &TMainForm::SwitchLayoutMIClick);
    connect(m_actions.value(QStringLiteral("EditCurrentLayoutMI")), &QAction::triggered, this, [this] {
        TMDIChildForm *d = activeDocument();
        if (d && layout::EditCurrentLayout(this, *d->doc(), m_options.MetricUnits)) {
            refreshActiveDocument(m_mdi->activeSubWindow());
            UpdateCommands();
        }
    });
}

// Switch to Different Layout: the objects of the region on screen are carried into a new
// untitled design on the chosen layout through the clipboard, with the region's background;
// the design the command started from stays open and unchanged.
void TMainForm::SwitchLayoutMIClick()
{
    TMDIChildForm *from = activeDocument();
    if (!from)
        return;
    layout::LayoutRecord chosen;
    if (!layout::TLayoutsForm::pickLayout(this, m_options.MetricUnits, &chosen))
        return;
    from->SelectAll();
    from->Copy();
    from->SelectNone();
    const plat::Picture background = from->doc()->surface()->background();
    TMDIChildForm *to = newBlankDocument(chosen);
    if (!to)
        return;
    to->doc()->surface()->setBackground(background);
    if (from->objectCount() > 0)
        to->Paste();
    to->SelectNone();
    UpdateCommands();
}

bool TMainForm::pickLayoutForNewDesign()
{
    layout::LayoutRecord chosen;
    if (!layout::TLayoutsForm::pickLayout(this, m_options.MetricUnits, &chosen))
        return false;
    newBlankDocument(chosen);
    return true;
}

} // namespace app
