// The print commands of the main window: Print and Print Preview run the active
// document's print command (the tool buttons share the menu items' actions).
#include "app/ui/MainForm.h"

#include "document/ui/MDIChildForm.h"
#include "print/ui/PrintDesign.h"

#include <QAction>

namespace app {

void TMainForm::connectPrintCommands()
{
    auto wire = [this](const char *name, bool preview) {
        if (QAction *a = action(QLatin1String(name)))
            connect(a, &QAction::triggered, this, [this, preview] {
                if (TMDIChildForm *d = activeDocument()) {
                    print::runPrintDialog(this, *d->doc(), appOptions(), preview);
                    d->update();
                    UpdateCommands();
                }
            });
    };
    wire("PrintMI", false);
    wire("PrintPreviewMI", true);
}

} // namespace app
