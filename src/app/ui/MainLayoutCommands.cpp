// The layout commands of the File menu.
#include "app/ui/MainForm.h"

#include "document/ui/MDIChildForm.h"
#include "layout/ui/LayoutCommands.h"
#include "layout/ui/LayoutsForm.h"

#include <QAction>
#include <QMdiArea>

namespace app {

void TMainForm::connectLayoutCommands()
{
    connect(m_actions.value(QStringLiteral("EditLayoutsMI")), &QAction::triggered, this,
            [this] { layout::TLayoutsForm::editLayouts(this, m_options.MetricUnits); });
    connect(m_actions.value(QStringLiteral("EditCurrentLayoutMI")), &QAction::triggered, this, [this] {
        TMDIChildForm *d = activeDocument();
        if (d && layout::EditCurrentLayout(this, *d->doc(), m_options.MetricUnits)) {
            refreshActiveDocument(m_mdi->activeSubWindow());
            UpdateCommands();
        }
    });
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
