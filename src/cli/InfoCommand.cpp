// `ostravel info FILE [--json]`: what a design or template holds.
#include "cli/Commands.h"

#include "files/DesignFile.h"
#include "model/TObjectManager.h"
#include "platform/ByteIO.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace cli {

namespace {

QString letter(char c) { return c ? QString(QChar::fromLatin1(c)) : QString(); }

const char *backgroundName(const model::RegionSlot &s)
{
    if (!s.background || s.background->isNull())
        return "none";
    return s.background->isBitmap() ? "bitmap" : "metafile";
}

// Every object of a slot, decoded from its records.
QJsonArray objectsOf(const model::RegionSlot &s)
{
    QJsonArray out;
    const char *p = s.blob.constData();
    qsizetype left = s.blob.size();
    for (int i = 0; i < s.objectCount; ++i) {
        const qsizetype size = model::TObjectData::checkRecord(p, left);
        if (size < 0)
            break;
        model::TObjectData d(nullptr, p, 100, false);
        plat::LeReader r(p, size);
        QJsonObject o;
        o[QStringLiteral("Kind")] = letter(d.Kind);
        o[QStringLiteral("Left")] = r.i32At(model::Rec::Left);
        o[QStringLiteral("Top")] = r.i32At(model::Rec::Top);
        o[QStringLiteral("Width")] = r.i32At(model::Rec::Width);
        o[QStringLiteral("Height")] = r.i32At(model::Rec::Height);
        o[QStringLiteral("Flags")] = double(d.Flags);
        o[QStringLiteral("Style")] = d.Style;
        o[QStringLiteral("ColorFG")] = double(d.ColorFG);
        o[QStringLiteral("ColorBG")] = double(d.ColorBG);
        o[QStringLiteral("LineSize")] = d.LineSize;
        o[QStringLiteral("LineType")] = d.LineType;
        o[QStringLiteral("TextStyle")] = double(d.TextStyle);
        o[QStringLiteral("ShadowDX")] = d.ShadowDX;
        o[QStringLiteral("ShadowDY")] = d.ShadowDY;
        o[QStringLiteral("Rotation")] = d.Rotation;
        const plat::LogFont lf = plat::LogFont::fromBytes(p + model::Rec::LogFont, plat::LogFont::kSize);
        QJsonObject font;
        font[QStringLiteral("face")] = lf.face();
        font[QStringLiteral("height")] = lf.height;
        font[QStringLiteral("weight")] = lf.weight;
        font[QStringLiteral("italic")] = lf.italic;
        font[QStringLiteral("underline")] = lf.underline;
        font[QStringLiteral("strikeOut")] = lf.strikeOut;
        font[QStringLiteral("charSet")] = lf.charSet;
        o[QStringLiteral("font")] = font;
        o[QStringLiteral("lines")] = QJsonArray::fromStringList(d.Lines);
        o[QStringLiteral("dataKind")] = letter(static_cast<char>(r.u8At(model::Rec::DataKind)));
        o[QStringLiteral("dataSize")] = double(r.u32At(model::Rec::DataSize));
        out.append(o);
        p += size;
        left -= size;
    }
    return out;
}

QJsonObject layoutJson(const layout::LayoutRecord &l)
{
    QJsonObject o;
    o[QStringLiteral("Name")] = l.Name();
    o[QStringLiteral("Rows")] = double(l.Rows());
    o[QStringLiteral("Columns")] = double(l.Columns());
    o[QStringLiteral("Width")] = double(l.Width());
    o[QStringLiteral("Height")] = double(l.Height());
    o[QStringLiteral("TopMargin")] = double(l.TopMargin());
    o[QStringLiteral("LeftMargin")] = double(l.LeftMargin());
    o[QStringLiteral("ColumnSpace")] = double(l.ColumnSpace());
    o[QStringLiteral("RowSpace")] = double(l.RowSpace());
    o[QStringLiteral("RegionType")] = l.RegionType();
    o[QStringLiteral("BackPrintable")] = l.BackPrintable();
    o[QStringLiteral("PaperType")] = l.PaperType();
    o[QStringLiteral("TemplateKind")] = l.TemplateKind();
    return o;
}

void printText(QTextStream &out, const QJsonObject &doc)
{
    const QJsonObject l = doc[QStringLiteral("layout")].toObject();
    out << "Version: " << doc[QStringLiteral("version")].toInt() << "\n";
    out << "Zoom: " << doc[QStringLiteral("zoom")].toInt() << "%\n";
    out << "Data file: " << doc[QStringLiteral("dataFile")].toString() << "\n";
    out << "Layout: " << l[QStringLiteral("Name")].toString() << "\n";
    out << "  " << l[QStringLiteral("Rows")].toInt() << " rows x " << l[QStringLiteral("Columns")].toInt()
        << " columns of " << l[QStringLiteral("Width")].toInt() << " x " << l[QStringLiteral("Height")].toInt()
        << ", margins top " << l[QStringLiteral("TopMargin")].toInt() << " left " << l[QStringLiteral("LeftMargin")].toInt()
        << ", gaps " << l[QStringLiteral("ColumnSpace")].toInt() << " / " << l[QStringLiteral("RowSpace")].toInt()
        << ", region type " << l[QStringLiteral("RegionType")].toInt() << ", back printable "
        << l[QStringLiteral("BackPrintable")].toInt() << ", paper type " << l[QStringLiteral("PaperType")].toInt()
        << ", template kind " << l[QStringLiteral("TemplateKind")].toInt() << "\n";
    for (const QJsonValue &rv : doc[QStringLiteral("regions")].toArray()) {
        const QJsonObject r = rv.toObject();
        const QJsonArray m = r[QStringLiteral("margins")].toArray();
        out << "Region side " << r[QStringLiteral("side")].toInt() << " region " << r[QStringLiteral("region")].toInt()
            << ": margins " << m[0].toInt() << ", " << m[1].toInt() << ", " << m[2].toInt() << ", " << m[3].toInt()
            << "; background " << r[QStringLiteral("background")].toString() << "\n";
        for (const QJsonValue &ov : r[QStringLiteral("objects")].toArray()) {
            const QJsonObject o = ov.toObject();
            out << "  " << o[QStringLiteral("Kind")].toString() << " " << o[QStringLiteral("name")].toString()
                << " at (" << o[QStringLiteral("Left")].toInt() << ", " << o[QStringLiteral("Top")].toInt() << ") size "
                << o[QStringLiteral("Width")].toInt() << " x " << o[QStringLiteral("Height")].toInt();
            const QJsonArray lines = o[QStringLiteral("lines")].toArray();
            if (!lines.isEmpty()) {
                QStringList texts;
                for (const QJsonValue &t : lines)
                    texts << QStringLiteral("\"") + t.toString() + QStringLiteral("\"");
                out << " text " << texts.join(QStringLiteral(", "));
            }
            out << "\n";
        }
    }
}

} // namespace

int runInfo(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    bool json = false;
    QString file;
    for (const QString &a : args) {
        if (a == QLatin1String("--json"))
            json = true;
        else if (file.isEmpty())
            file = a;
    }
    if (file.isEmpty()) {
        err << "Usage: ostravel info FILE [--json]\n";
        return 2;
    }

    model::SurfaceModel surface;
    model::TObjectManager manager(&surface);
    layout::LayoutRecord layout;
    QString dataFile;
    int zoom = 100;
    const int result = files::ReadDesign(manager, file, &layout, &dataFile, &zoom);
    if (result != files::ResultOk) {
        err << files::resultMessage(result) << "\n";
        return 1;
    }
    // Every slot, the one loaded onto the surface included, still holds the records
    // exactly as the file stored them; they are described from there so that bounds are
    // the stored values, not values passed through the zoom.

    QJsonObject doc;
    doc[QStringLiteral("version")] = files::kDesignVersion;
    doc[QStringLiteral("zoom")] = zoom;
    doc[QStringLiteral("dataFile")] = dataFile;
    doc[QStringLiteral("layout")] = layoutJson(layout);
    QJsonArray regions;
    for (int side = 0; side < 2; ++side) {
        for (int region = 0; region < 4; ++region) {
            const model::RegionSlot &s = manager.slot(model::TObjectManager::slotIndex(side, region));
            if (!s.hasBlob() && !s.background)
                continue;
            QJsonObject r;
            r[QStringLiteral("side")] = side;
            r[QStringLiteral("region")] = region;
            r[QStringLiteral("margins")] = QJsonArray{s.margins[0], s.margins[1], s.margins[2], s.margins[3]};
            r[QStringLiteral("background")] = QString::fromLatin1(backgroundName(s));
            r[QStringLiteral("objects")] = objectsOf(s);
            regions.append(r);
        }
    }
    doc[QStringLiteral("regions")] = regions;

    if (json) {
        out << QJsonDocument(doc).toJson(QJsonDocument::Indented);
    } else {
        // Names are given as a region load gives them.
        QJsonArray named;
        for (const QJsonValue &rv : regions) {
            QJsonObject r = rv.toObject();
            QJsonArray objs = r[QStringLiteral("objects")].toArray();
            // A rebuilt graphic takes one number for its image control and the next
            // for itself (Graphic1, Graphic3, ...); every kind but texts and graphics,
            // embedded objects included, is rebuilt as a shape.
            int text = 0, shape = 0, graphic = 0;
            for (int i = 0; i < objs.size(); ++i) {
                QJsonObject o = objs[i].toObject();
                const QString k = o[QStringLiteral("Kind")].toString();
                QString name;
                if (k == QLatin1String("T"))
                    name = QStringLiteral("Text%1").arg(text++);
                else if (k == QLatin1String("G"))
                    name = QStringLiteral("Graphic%1").arg((graphic += 2) - 1);
                else
                    name = QStringLiteral("Shape%1").arg(shape++);
                o[QStringLiteral("name")] = name;
                objs[i] = o;
            }
            r[QStringLiteral("objects")] = objs;
            named.append(r);
        }
        doc[QStringLiteral("regions")] = named;
        printText(out, doc);
    }
    return 0;
}

} // namespace cli
