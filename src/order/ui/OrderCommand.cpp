#include "order/ui/OrderCommand.h"

#include "document/DesignDocument.h"
#include "document/ui/MDIChildForm.h"
#include "files/DesignFile.h"
#include "order/OrderDesign.h"
#include "order/ui/OWizMainForm.h"

#include <QMessageBox>

namespace order::ui {

void runOrderWizard(QWidget *parent, document::DesignDocument &doc)
{
    // The temporary design lives exactly as long as this scope, however it is left.
    const std::unique_ptr<QTemporaryFile> design = saveDesignForOrder(doc);
    if (!design) {
        QMessageBox::critical(parent, QStringLiteral("Order Wizard"), files::resultMessage(files::ResultSaveError));
        return;
    }
    TOWMainForm form(parent);
    form.setDesignFile(design->fileName());
    form.exec();
}

void runOrderCommand(QWidget *parent, document::TMDIChildForm *child)
{
    if (!child)
        return;
    child->SelectNone();
    runOrderWizard(parent, *child->doc());
}

} // namespace order::ui
