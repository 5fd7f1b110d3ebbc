#include "print/ui/PrintDesign.h"

#include "app/AppOptions.h"
#include "document/DesignDocument.h"
#include "print/PrintJob.h"
#include "print/ui/PreviewForm.h"
#include "print/ui/PrintForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>
#include <QWidget>

namespace print {

QPrinter &sharedPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

namespace {

bool printOrPreviewSide(QWidget *parent, TPrintJob &job, TPreviewPrinter &engine, QPrinter &printer, bool preview,
                        int side, int start, int quantity)
{
    PagedDeviceTarget target(printer);
    if (!preview) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        job.yield = [] { QCoreApplication::processEvents(); };
        const bool ok = job.PrintSide(engine, target, side, start, quantity);
        QApplication::restoreOverrideCursor();
        return ok;
    }
    job.PrintingSide = side;
    job.previewing = true;
    engine.InitNonGenerated(start, quantity, target);
    TPreviewForm form(engine, &printer, parent);
    form.exec();
    return true;
}

} // namespace

bool runPrintDialog(QWidget *parent, document::DesignDocument &doc, const app::TAppOptions &options, bool preview)
{
    TPrintJob job(doc);
    if (!job.SaveCurrentRegion())
        return false;
    const layout::LayoutRecord &l = doc.layout();
    const int64_t perSheet64 = int64_t(l.Rows()) * l.Columns();
    if (perSheet64 <= 0 || perSheet64 > 100000)
        return false;
    const int perSheet = int(perSheet64);

    TPrintForm dlg(0, perSheet, parent);
    dlg.QtyEdit->setText(QString::number(perSheet));
    dlg.SidePanel->setVisible(l.BackPrintable() == 1);
    dlg.SideCombo->setCurrentIndex(l.RegionType() == 0 ? 1 : 0);
    if (dlg.exec() != QDialog::Accepted)
        return false;

    QPrinter &printer = sharedPrinter();
    const PrintSetup setup = ComputePrintSetup(l, options.CropMarks);
    if (options.SetOrientation) {
        PagedDeviceTarget target(printer);
        ApplyPaper(setup, target);
    }
    const int start = dlg.start();
    const int quantity = dlg.quantity();
    const SideChoice choice = dlg.side();
    const int side = choice == SideChoice::Side2 ? 1 : 0;

    TPreviewPrinter engine;
    job.Configure(engine, setup);
    if (!printOrPreviewSide(parent, job, engine, printer, preview, side, start, quantity))
        return false;

    if (l.BackPrintable() == 1 && choice == SideChoice::Both) {
        int sideFold = 0, flat = 0;
        layout::GetRegionInfo(l.RegionType(), 1, l.Width(), l.Height(), nullptr, nullptr, nullptr, nullptr, &sideFold, &flat);
        dlg.ShowInstructions(sideFold, flat == 1);
        if (dlg.exec() == QDialog::Accepted) {
            job.FlipMode = dlg.FlipCheck->isChecked() ? 1 - sideFold : sideFold;
            printOrPreviewSide(parent, job, engine, printer, preview, 1, start, quantity);
        }
    }
    return true;
}

} // namespace print
