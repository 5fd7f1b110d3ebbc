// `ostravel export DESIGN OUT [--zoom N] [--quality N] [--progressive] [--region NAME]`:
// Save As Graphic without a window. The format follows OUT's extension.
#include "cli/Commands.h"

#include "document/DesignDocument.h"
#include "files/GraphicExport.h"

#include <QTextStream>

namespace cli {

namespace {

int fail(const QString &message)
{
    QTextStream err(stderr);
    err << message << '\n';
    return 1;
}

const char kExportUsage[] =
    "Usage: ostravel export DESIGN OUT [--zoom N] [--quality N] [--progressive] [--region NAME]\n"
    "OUT: .jpg/.jpeg, .bmp, .wmf/.emf (enhanced metafile), .png, .svg or .pdf";

bool number(const QString &text, int low, int high, int *out)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *out = v;
    return true;
}

} // namespace

int runExport(const QStringList &args)
{
    QString design, out, region;
    int zoom = 100;
    files::GraphicOptions options;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--zoom") && hasValue) {
            if (!number(args.at(++i), 25, 2000, &zoom))
                return fail(QStringLiteral("--zoom takes a percentage from 25 to 2000."));
        } else if (a == QLatin1String("--quality") && hasValue) {
            if (!number(args.at(++i), 0, 100, &options.quality))
                return fail(QStringLiteral("--quality takes a number from 0 to 100."));
        } else if (a == QLatin1String("--progressive")) {
            options.progressive = true;
        } else if (a == QLatin1String("--region") && hasValue) {
            region = args.at(++i);
        } else if (a.startsWith(QLatin1Char('-'))) {
            return fail(QString::fromLatin1(kExportUsage));
        } else if (design.isEmpty()) {
            design = a;
        } else if (out.isEmpty()) {
            out = a;
        } else {
            return fail(QString::fromLatin1(kExportUsage));
        }
    }
    if (design.isEmpty() || out.isEmpty())
        return fail(QString::fromLatin1(kExportUsage));

    document::DesignDocument doc;
    const int result = doc.openFile(design);
    if (result != 1)
        return fail(document::DesignDocument::messageFor(result));
    if (!region.isEmpty()) {
        const QStringList names = doc.regionNames();
        int index = -1;
        for (int i = 0; i < names.size(); ++i)
            if (names.at(i).compare(region, Qt::CaseInsensitive) == 0)
                index = i;
        if (index < 0)
            return fail(QStringLiteral("The design has no region %1; it has %2.").arg(region, names.join(QStringLiteral(", "))));
        if (!doc.switchRegion(index))
            return fail(QStringLiteral("The region %1 cannot be shown.").arg(region));
    }
    if (zoom != doc.zoom())
        doc.setZoom(zoom, false);
    if (!files::SaveAsGraphic(doc, out, options))
        return fail(files::resultMessage(files::ResultSaveError));
    return 0;
}

} // namespace cli
