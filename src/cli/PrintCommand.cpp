// `ostravel print DESIGN --pdf OUT.pdf [--start N] [--quantity N | --pages N]
//  [--side both|1|2] [--flip] [--crop-marks] [--dpi N]`: prints a design to a PDF file
// through the element print engine, without a window.
#include "cli/Commands.h"

#include "document/DesignDocument.h"
#include "layout/LayoutRecord.h"
#include "print/PreviewPrinter.h"
#include "print/PrintJob.h"
#include "print/PrintTarget.h"

#include <QFileInfo>
#include <QPdfWriter>
#include <QTextStream>

namespace cli {

namespace {

int fail(const QString &message, int status = 2)
{
    QTextStream err(stderr);
    err << message << '\n';
    return status;
}

const char kPrintUsage[] =
    "Usage: ostravel print DESIGN --pdf OUT.pdf [--start N] [--quantity N | --pages N]\n"
    "                      [--side both|1|2] [--flip] [--crop-marks] [--dpi N]";

} // namespace

int runPrint(const QStringList &args)
{
    QString design, pdf, startText = QStringLiteral("1"), quantityText, sideText;
    bool pages = false, flip = false, cropMarks = false, haveQuantity = false;
    int dpi = 600;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&](QString *out) {
            if (i + 1 >= args.size())
                return false;
            *out = args.at(++i);
            return true;
        };
        if (a == QLatin1String("--pdf")) {
            if (!value(&pdf))
                return fail(QString::fromLatin1(kPrintUsage));
        } else if (a == QLatin1String("--start")) {
            if (!value(&startText))
                return fail(QString::fromLatin1(kPrintUsage));
        } else if (a == QLatin1String("--quantity") || a == QLatin1String("--pages")) {
            if (haveQuantity)
                return fail(QStringLiteral("Give either --quantity or --pages, not both."));
            haveQuantity = true;
            pages = a == QLatin1String("--pages");
            if (!value(&quantityText))
                return fail(QString::fromLatin1(kPrintUsage));
        } else if (a == QLatin1String("--side")) {
            if (!value(&sideText))
                return fail(QString::fromLatin1(kPrintUsage));
        } else if (a == QLatin1String("--flip")) {
            flip = true;
        } else if (a == QLatin1String("--crop-marks")) {
            cropMarks = true;
        } else if (a == QLatin1String("--dpi")) {
            QString t;
            bool ok = false;
            if (!value(&t) || (dpi = t.toInt(&ok), !ok) || dpi < 72 || dpi > 2400)
                return fail(QStringLiteral("--dpi takes a resolution between 72 and 2400."));
        } else if (a.startsWith(QLatin1Char('-')) || !design.isEmpty()) {
            return fail(QString::fromLatin1(kPrintUsage));
        } else {
            design = a;
        }
    }
    if (design.isEmpty() || pdf.isEmpty())
        return fail(QString::fromLatin1(kPrintUsage));

    document::DesignDocument doc;
    const int result = doc.openFile(design);
    if (result != 1)
        return fail(document::DesignDocument::messageFor(result), 1);
    const layout::LayoutRecord &l = doc.layout();
    const int64_t perSheet64 = int64_t(l.Rows()) * l.Columns();
    if (perSheet64 <= 0 || perSheet64 > 10000)
        return fail(QStringLiteral("The design's layout has no elements to print."), 1);
    const int perSheet = int(perSheet64);
    if (!haveQuantity)
        quantityText = QString::number(perSheet);

    // Which faces: the dialog's preselection unless given.
    print::SideChoice side = l.RegionType() == 0 ? print::SideChoice::Side1 : print::SideChoice::Both;
    if (sideText == QLatin1String("both"))
        side = print::SideChoice::Both;
    else if (sideText == QLatin1String("1"))
        side = print::SideChoice::Side1;
    else if (sideText == QLatin1String("2"))
        side = print::SideChoice::Side2;
    else if (!sideText.isEmpty())
        return fail(QStringLiteral("--side takes both, 1 or 2."));
    const bool backPrintable = l.BackPrintable() == 1;
    if (!backPrintable && !sideText.isEmpty() && side != print::SideChoice::Side1)
        return fail(QStringLiteral("The layout of this design has no printable back."));

    print::StartQuantity sq;
    print::QuantityField field = print::QuantityField::None;
    const QString message = print::CheckStartQuantity(startText, quantityText, pages, perSheet, &sq, &field);
    if (!message.isEmpty())
        return fail(message);

    print::TPrintJob job(doc);
    if (!job.SaveCurrentRegion())
        return fail(QStringLiteral("The design could not be prepared for printing."), 1);
    const print::PrintSetup setup = print::ComputePrintSetup(l, cropMarks);

    QPdfWriter writer(pdf);
    writer.setResolution(dpi);
    writer.setCreator(QStringLiteral("Ostravel"));
    writer.setTitle(doc.caption());
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    print::PagedDeviceTarget target(writer, true);
    print::ApplyPaper(setup, target);

    print::TPreviewPrinter engine;
    job.Configure(engine, setup);
    const int firstSide = side == print::SideChoice::Side2 ? 1 : 0;
    bool ok = job.PrintSide(engine, target, firstSide, sq.start, sq.quantity);
    if (ok && side == print::SideChoice::Both && backPrintable) {
        job.FlipMode = print::FlipModeFor(l.RegionType(), flip && l.RegionType() == 0);
        ok = job.PrintSide(engine, target, 1, sq.start, sq.quantity);
    }
    const bool written = target.finish();
    if (!ok || !written)
        return fail(QStringLiteral("Could not write %1.").arg(QFileInfo(pdf).fileName()), 1);
    return 0;
}

} // namespace cli
