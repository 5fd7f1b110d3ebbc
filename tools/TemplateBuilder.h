#pragma once
// Builds the shipped template library from its readable description
// (tools/templates/templates.json): every template is made with the real object manager and
// written by the real template writer, on a layout read from the shipped layout files.
// Used by make_templates and by the test that checks the committed templates are still
// what the description gives.
//
// Description of one template:
//   {"category": "Business Cards", "name": "Blue Wave", "kind": 4,
//    "layout": ["US Letter", "Business Cards 2 x 5, 3.5 x 2 in"],
//    "background": "Blue Wave",            (the background it is shown with; not stored)
//    "regions": {"Front": [objects...], "Back": [...]}}
// Objects, all lengths in hundredths of an inch (pixels at 100 %):
//   {"text": "NAME", "at": [x, y, w, h], "style": "name", ...style keys...}
//       style keys: font, pt, bold, italic, color, align (left|center|right), wrap,
//       rotation (tenths of a degree), shadow [dx, dy, color]
//   {"box": [x, y, w, h], "fill": "#rrggbb", "line": "#rrggbb", "width": n, "round": true, "ellipse": true}
//       the shape covers exactly [x, y, w, h]; without "line" the outline is the fill colour
//   {"hline": [x, y, length], "color": "#rrggbb", "width": n}
//   {"vline": [x, y, length], "color": "#rrggbb", "width": n}
//   {"motif": "heart", "at": [x, y, w, h], "colors": ["#rrggbb", ...], "turn": true}
//       a vector graphic (heart, star, snowflake, leaf, sprig, balloons, rings, bow, diamond,
//       wreath); "turn" draws it upside down
// Named styles live in the description's "styles" and are merged under an object's own keys.

#include "files/DesignFile.h"
#include "layout/LayoutFile.h"
#include "layout/LayoutRecord.h"
#include "model/SurfaceModel.h"
#include "model/TObjectData.h"
#include "model/TObjectManager.h"
#include "platform/Picture.h"
#include "platform/metafile/EmfRecorder.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QtMath>

#include <cmath>
#include <stdexcept>

namespace templatebuilder {

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline QJsonDocument readJson(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Error("cannot read " + path.toStdString());
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &err);
    if (doc.isNull())
        throw Error(path.toStdString() + ": " + err.errorString().toStdString() + " at offset " +
                    std::to_string(err.offset));
    return doc;
}

// The description folder: templates.json (styles, sample card data, templates) and
// backgrounds.json (the background pictures), as one object.
inline QJsonObject readDescription(const QString &folder)
{
    QJsonObject description = readJson(QDir(folder).filePath(QStringLiteral("templates.json"))).object();
    description.insert(QStringLiteral("backgrounds"),
                       readJson(QDir(folder).filePath(QStringLiteral("backgrounds.json"))).array());
    return description;
}

// "#rrggbb" as a COLORREF (0x00bbggrr).
inline uint32_t colorRef(const QJsonValue &v, uint32_t fallback = 0)
{
    if (!v.isString())
        return fallback;
    const QColor c = QColor::fromString(v.toString());
    if (!c.isValid())
        throw Error("bad colour " + v.toString().toStdString());
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

inline QColor qcolor(const QJsonValue &v)
{
    const QColor c = QColor::fromString(v.toString());
    if (!c.isValid())
        throw Error("bad colour " + v.toString().toStdString());
    return c;
}

inline QList<int> ints(const QJsonValue &v, int count, const char *what)
{
    const QJsonArray a = v.toArray();
    if (a.size() != count)
        throw Error(std::string(what) + " needs " + std::to_string(count) + " numbers");
    QList<int> out;
    for (const QJsonValue &x : a)
        out.append(x.toInt());
    return out;
}

// The layout named [collection, list text] in the layout files of `dataDir`.
inline layout::LayoutRecord findLayout(const QString &dataDir, const QJsonValue &spec)
{
    const QJsonArray a = spec.toArray();
    if (a.size() != 2)
        throw Error("a layout is [collection, name]");
    const QString collection = a.at(0).toString(), name = a.at(1).toString();
    const QList<layout::LayoutRecord> records =
        layout::readLayoutFile(QDir(dataDir).filePath(collection + QStringLiteral(".LYT")));
    for (const layout::LayoutRecord &r : records)
        if (layout::isPickable(r) && layout::listText(r.Name()) == name)
            return r;
    throw Error("no layout " + name.toStdString() + " in " + collection.toStdString());
}

// ---- vector motifs ----

inline gdi::ColorRef motifColor(const QJsonArray &colors, int i, gdi::ColorRef fallback)
{
    return i < colors.size() ? colorRef(colors.at(i)) : fallback;
}

// A small picture drawn with GDI shapes and recorded as an enhanced metafile of w x h
// pixels; `turned` draws it upside down (for the far face of a tent card).
inline plat::Picture motif(const QString &kind, int objectW, int objectH, const QJsonArray &colors, bool turned = false)
{
    // Drawn at a size whose longer side is at least 400 pixels, so that curves keep their
    // shape when a small motif is printed large; the object stretches it to its bounds.
    const int k = std::max(1, (400 + std::max(objectW, objectH) - 1) / std::max(1, std::max(objectW, objectH)));
    const int w = objectW * k, h = objectH * k;
    plat::metafile::EmfRecorder rec(QSize(w, h));
    const gdi::ColorRef c0 = motifColor(colors, 0, 0x3050C0);
    const gdi::ColorRef c1 = motifColor(colors, 1, c0);
    const gdi::ColorRef c2 = motifColor(colors, 2, c1);
    auto fill = [&](gdi::ColorRef c) {
        rec.setPen(gdi::Pen{gdi::PenStyle::Null, 0, c});
        rec.setBrush(gdi::Brush{gdi::BrushStyle::Solid, c, 0});
    };
    auto stroke = [&](gdi::ColorRef c, int width) {
        rec.setPen(gdi::Pen{gdi::PenStyle::Solid, width, c});
        rec.setBrush(gdi::Brush{gdi::BrushStyle::Null, c, 0});
    };
    auto pt = [&](double fx, double fy) {
        if (turned) {
            fx = 1.0 - fx;
            fy = 1.0 - fy;
        }
        return QPoint(int(std::lround(fx * w)), int(std::lround(fy * h)));
    };
    if (kind == QLatin1String("heart")) {
        fill(c0);
        // One figure of four curves (a PolyBezier starts a figure of its own).
        rec.beginPath();
        rec.polyBezier({pt(0.5, 0.28), pt(0.38, 0.02), pt(0.0, 0.08), pt(0.04, 0.42), pt(0.08, 0.66), pt(0.36, 0.8),
                        pt(0.5, 0.98), pt(0.64, 0.8), pt(0.92, 0.66), pt(0.96, 0.42), pt(1.0, 0.08), pt(0.62, 0.02),
                        pt(0.5, 0.28)});
        rec.closeFigure();
        rec.endPath();
        rec.fillPath();
    } else if (kind == QLatin1String("star")) {
        fill(c0);
        QVector<QPoint> p;
        for (int i = 0; i < 10; ++i) {
            const double a = -M_PI / 2 + i * M_PI / 5;
            const double r = i % 2 == 0 ? 0.5 : 0.2;
            p.append(pt(0.5 + r * std::cos(a), 0.53 + r * std::sin(a)));
        }
        rec.polygon(p);
    } else if (kind == QLatin1String("snowflake")) {
        const int pen = std::max(1, w / 28);
        stroke(c0, pen);
        for (int i = 0; i < 6; ++i) {
            const double a = i * M_PI / 3;
            const double ca = std::cos(a), sa = std::sin(a);
            const QPoint o = pt(0.5, 0.5);
            const QPoint tip = pt(0.5 + 0.48 * ca, 0.5 + 0.48 * sa);
            rec.moveTo(o.x(), o.y());
            rec.lineTo(tip.x(), tip.y());
            for (double at : {0.22, 0.34}) {
                const double len = at < 0.3 ? 0.12 : 0.09;
                for (int s : {-1, 1}) {
                    const double b = a + s * M_PI / 4;
                    const QPoint from = pt(0.5 + at * ca, 0.5 + at * sa);
                    const QPoint to = pt(0.5 + at * ca + len * std::cos(b), 0.5 + at * sa + len * std::sin(b));
                    rec.moveTo(from.x(), from.y());
                    rec.lineTo(to.x(), to.y());
                }
            }
        }
    } else if (kind == QLatin1String("leaf") || kind == QLatin1String("sprig")) {
        // One leaf along the diagonal, or three leaves on a curved stem.
        auto leaf = [&](double cx, double cy, double len, double angle, gdi::ColorRef c) {
            const double ca = std::cos(angle), sa = std::sin(angle);
            auto at = [&](double u, double v) { return pt(cx + (u * ca - v * sa) * len, cy + (u * sa + v * ca) * len); };
            fill(c);
            rec.beginPath();
            const QPoint start = at(0, 0);
            rec.polyBezier({start, at(0.3, -0.32), at(0.75, -0.28), at(1.0, 0.0), at(0.75, 0.28), at(0.3, 0.32), start});
            rec.closeFigure();
            rec.endPath();
            rec.fillPath();
        };
        if (kind == QLatin1String("leaf")) {
            leaf(0.08, 0.92, 1.18, -M_PI / 4, c0);
            stroke(c1, std::max(1, w / 60));
            rec.moveTo(pt(0.1, 0.9).x(), pt(0.1, 0.9).y());
            rec.lineTo(pt(0.78, 0.22).x(), pt(0.78, 0.22).y());
        } else {
            stroke(c1, std::max(1, w / 50));
            rec.moveTo(pt(0.1, 0.95).x(), pt(0.1, 0.95).y());
            rec.polyBezier({pt(0.1, 0.95), pt(0.3, 0.6), pt(0.55, 0.35), pt(0.9, 0.08)});
            leaf(0.3, 0.62, 0.38, -M_PI * 0.85, c0);
            leaf(0.34, 0.6, 0.36, -M_PI * 0.12, c2);
            leaf(0.58, 0.34, 0.32, -M_PI * 0.9, c2);
            leaf(0.6, 0.33, 0.3, -M_PI * 0.2, c0);
            leaf(0.88, 0.1, 0.26, -M_PI * 0.45, c0);
        }
    } else if (kind == QLatin1String("balloons")) {
        const QList<QPair<QPointF, gdi::ColorRef>> balloons{
            {QPointF(0.3, 0.3), c0}, {QPointF(0.62, 0.22), c1}, {QPointF(0.5, 0.44), c2}};
        const QPoint knot = pt(0.5, 0.97);
        stroke(0x808080, 0);
        for (const auto &[c, color] : balloons) {
            const QPoint bottom = pt(c.x(), c.y() + 0.2);
            rec.moveTo(bottom.x(), bottom.y());
            rec.lineTo(knot.x(), knot.y());
        }
        for (const auto &[c, color] : balloons) {
            fill(color);
            const QPoint tl = pt(c.x() - 0.16, c.y() - 0.19), br = pt(c.x() + 0.16, c.y() + 0.19);
            rec.ellipse(tl.x(), tl.y(), br.x(), br.y());
            rec.polygon({pt(c.x(), c.y() + 0.17), pt(c.x() - 0.03, c.y() + 0.22), pt(c.x() + 0.03, c.y() + 0.22)});
            fill(0xFFFFFF);
            const QPoint hl = pt(c.x() - 0.09, c.y() - 0.12), hr = pt(c.x() - 0.04, c.y() - 0.04);
            rec.ellipse(hl.x(), hl.y(), hr.x(), hr.y());
        }
    } else if (kind == QLatin1String("rings")) {
        const int pen = std::max(2, w / 22);
        stroke(c0, pen);
        rec.ellipse(pt(0.06, 0.2).x(), pt(0.06, 0.2).y(), pt(0.62, 0.9).x(), pt(0.62, 0.9).y());
        stroke(c1, pen);
        rec.ellipse(pt(0.38, 0.2).x(), pt(0.38, 0.2).y(), pt(0.94, 0.9).x(), pt(0.94, 0.9).y());
    } else if (kind == QLatin1String("bow")) {
        fill(c0);
        rec.polygon({pt(0.5, 0.5), pt(0.08, 0.18), pt(0.02, 0.5), pt(0.08, 0.82)});
        rec.polygon({pt(0.5, 0.5), pt(0.92, 0.18), pt(0.98, 0.5), pt(0.92, 0.82)});
        fill(c1);
        rec.polygon({pt(0.46, 0.55), pt(0.3, 1.0), pt(0.38, 0.98), pt(0.5, 0.6)});
        rec.polygon({pt(0.54, 0.55), pt(0.7, 1.0), pt(0.62, 0.98), pt(0.5, 0.6)});
        fill(c1);
        rec.ellipse(pt(0.41, 0.38).x(), pt(0.41, 0.38).y(), pt(0.59, 0.62).x(), pt(0.59, 0.62).y());
    } else if (kind == QLatin1String("diamond")) {
        fill(c0);
        rec.polygon({pt(0.5, 0.0), pt(1.0, 0.5), pt(0.5, 1.0), pt(0.0, 0.5)});
    } else if (kind == QLatin1String("wreath")) {
        // Leaves around a circle, with a few berries.
        auto leafAt = [&](double angle, gdi::ColorRef c) {
            const double r = 0.38;
            const double cx = 0.5 + r * std::cos(angle), cy = 0.5 + r * std::sin(angle);
            const double dir = angle + M_PI / 2 + 0.5;
            const double len = 0.2;
            const double ca = std::cos(dir), sa = std::sin(dir);
            auto at = [&](double u, double v) { return pt(cx + (u * ca - v * sa) * len, cy + (u * sa + v * ca) * len); };
            fill(c);
            rec.beginPath();
            const QPoint s = at(-0.5, 0);
            rec.polyBezier({s, at(-0.2, -0.35), at(0.3, -0.3), at(0.5, 0), at(0.3, 0.3), at(-0.2, 0.35), s});
            rec.closeFigure();
            rec.endPath();
            rec.fillPath();
        };
        for (int i = 0; i < 18; ++i)
            leafAt(i * 2 * M_PI / 18, i % 2 ? c0 : c1);
        for (int i = 0; i < 6; ++i) {
            const double a = i * 2 * M_PI / 6 + 0.3;
            const QPoint c = pt(0.5 + 0.4 * std::cos(a), 0.5 + 0.4 * std::sin(a));
            fill(c2);
            const int r = std::max(2, w / 40);
            rec.ellipse(c.x() - r, c.y() - r, c.x() + r, c.y() + r);
        }
    } else {
        throw Error("unknown motif " + kind.toStdString());
    }
    return plat::Picture::metafile(rec.finish());
}

// ---- objects ----

inline QJsonObject mergedStyle(const QJsonObject &styles, const QJsonObject &object)
{
    QJsonObject merged;
    const QString named = object.value(QStringLiteral("style")).toString();
    if (!named.isEmpty()) {
        if (!styles.contains(named))
            throw Error("unknown style " + named.toStdString());
        merged = styles.value(named).toObject();
    }
    for (auto it = object.begin(); it != object.end(); ++it)
        merged.insert(it.key(), it.value());
    return merged;
}

inline void addObject(model::TObjectManager &m, const QJsonObject &styles, const QJsonObject &spec)
{
    const QJsonObject o = mergedStyle(styles, spec);
    if (o.contains(QStringLiteral("text"))) {
        const QList<int> r = ints(o.value(QStringLiteral("at")), 4, "a text's at");
        model::SurfaceItem *item = m.NewText(r[0], r[1]);
        item->setBounds(r[0], r[1], r[2], r[3]);
        model::TObjectData *d = item->data();
        d->Lines = QStringList{o.value(QStringLiteral("text")).toString()};
        plat::LogFont font = plat::LogFont::fromPoints(o.value(QStringLiteral("font")).toString(QStringLiteral("Arial")),
                                                       o.value(QStringLiteral("pt")).toInt(10));
        font.weight = o.value(QStringLiteral("bold")).toBool() ? 700 : o.value(QStringLiteral("weight")).toInt(400);
        font.italic = o.value(QStringLiteral("italic")).toBool() ? 1 : 0;
        d->Font = font;
        d->ColorFG = colorRef(o.value(QStringLiteral("color")), 0);
        const QString align = o.value(QStringLiteral("align")).toString(QStringLiteral("left"));
        d->Style = align == QLatin1String("center") ? 1 : align == QLatin1String("right") ? 2 : 0;
        d->TextStyle = o.value(QStringLiteral("wrap")).toBool() ? 0u : 1u;
        d->Rotation = o.value(QStringLiteral("rotation")).toInt(0);
        const QJsonArray shadow = o.value(QStringLiteral("shadow")).toArray();
        if (shadow.size() == 3) {
            d->ShadowDX = int8_t(shadow.at(0).toInt());
            d->ShadowDY = int8_t(shadow.at(1).toInt());
            d->ColorBG = colorRef(shadow.at(2));
        }
        return;
    }
    if (o.contains(QStringLiteral("box"))) {
        // Shapes are drawn 3 pixels inside their control.
        const QList<int> r = ints(o.value(QStringLiteral("box")), 4, "a box");
        const bool round = o.value(QStringLiteral("round")).toBool();
        const bool ellipse = o.value(QStringLiteral("ellipse")).toBool();
        model::SurfaceItem *item = ellipse ? m.NewEllipse(r[0] - 3, r[1] - 3)
                                   : round ? m.NewRoundBox(r[0] - 3, r[1] - 3)
                                           : m.NewBox(r[0] - 3, r[1] - 3);
        item->setBounds(r[0] - 3, r[1] - 3, r[2] + 6, r[3] + 6);
        model::TObjectData *d = item->data();
        const bool filled = o.contains(QStringLiteral("fill"));
        d->Style = filled ? 1 : 0;
        d->ColorBG = colorRef(o.value(QStringLiteral("fill")), 0xFFFFFF);
        d->ColorFG = colorRef(o.value(QStringLiteral("line")), d->ColorBG);
        d->LineSize = o.value(QStringLiteral("width")).toInt(0);
        return;
    }
    const bool h = o.contains(QStringLiteral("hline"));
    if (h || o.contains(QStringLiteral("vline"))) {
        // Lines run 6 pixels inside their control.
        const QList<int> r = ints(o.value(h ? QStringLiteral("hline") : QStringLiteral("vline")), 3, "a line");
        model::SurfaceItem *item = m.NewLine(r[0] - 6, r[1] - 6);
        if (h)
            item->setBounds(r[0] - 6, r[1] - 6, r[2] + 12, 13);
        else
            item->setBounds(r[0] - 6, r[1] - 6, 13, r[2] + 12);
        model::TObjectData *d = item->data();
        d->LineType = h ? 0 : 1;
        d->ColorFG = colorRef(o.value(QStringLiteral("color")), 0);
        d->LineSize = o.value(QStringLiteral("width")).toInt(1);
        return;
    }
    if (o.contains(QStringLiteral("motif"))) {
        const QList<int> r = ints(o.value(QStringLiteral("at")), 4, "a motif's at");
        const plat::Picture picture =
            motif(o.value(QStringLiteral("motif")).toString(), r[2], r[3], o.value(QStringLiteral("colors")).toArray(),
                  o.value(QStringLiteral("turn")).toBool());
        model::SurfaceItem *item = m.NewGraphic(&picture, r[0], r[1], true);
        if (!item)
            throw Error("a motif could not be placed");
        item->setBounds(r[0], r[1], r[2], r[3]);
        return;
    }
    throw Error("an object needs text, box, hline, vline or motif");
}

struct Template {
    QString category;
    QString name;
    int kind = 0;
    QString background;       // the background it is shown with
    layout::LayoutRecord layout;
    QByteArray bytes;         // the .cct file
    QString relativePath() const { return QStringLiteral("Template/Standard/%1/%2.cct").arg(category, name); }
};

// One template of the description, written by the template writer.
inline Template buildTemplate(const QJsonObject &styles, const QJsonObject &spec, const QString &dataDir)
{
    Template t;
    t.category = spec.value(QStringLiteral("category")).toString();
    t.name = spec.value(QStringLiteral("name")).toString();
    t.kind = spec.value(QStringLiteral("kind")).toInt(0);
    t.background = spec.value(QStringLiteral("background")).toString();
    if (t.category.isEmpty() || t.name.isEmpty())
        throw Error("a template needs a category and a name");
    if (t.kind != 0 && t.kind != 4)
        throw Error("a template's kind is 0 or 4");
    t.layout = findLayout(dataDir, spec.value(QStringLiteral("layout")));
    t.layout.setTemplateKind(uint8_t(t.kind));

    const int type = t.layout.RegionType();
    QStringList names;
    int w = 0, h = 0;
    layout::GetRegionInfo(type, 0, t.layout.Width(), t.layout.Height(), &names, &w, &h, nullptr, nullptr, nullptr);
    model::SurfaceModel surface;
    surface.setSize(QSize(w, h));
    model::TObjectManager manager(&surface);
    const QJsonObject regions = spec.value(QStringLiteral("regions")).toObject();
    if (regions.isEmpty())
        throw Error(t.name.toStdString() + ": no regions");
    int curSide = 0, curRegion = 0;
    manager.setCurrent(0, 0);
    for (auto it = regions.begin(); it != regions.end(); ++it) {
        const int index = int(names.indexOf(it.key()));
        if (index < 0)
            throw Error(t.name.toStdString() + ": the layout has no region " + it.key().toStdString());
        int side = 0, region = 0;
        layout::GetRegionSide(type, index, &side, &region);
        if (type == 0 && side == 1 && t.layout.BackPrintable() != 1)
            throw Error(t.name.toStdString() + ": the layout has no printable back");
        manager.SwitchRegion(curSide, curRegion, side, region, 100);
        curSide = side;
        curRegion = region;
        surface.setMargins(0, 0, 0, 0);
        for (const QJsonValue &o : it.value().toArray())
            addObject(manager, styles, o.toObject());
    }
    t.bytes = files::designBytes(manager, t.layout, QString(), 100, curSide, curRegion, true);
    surface.clearItems();
    return t;
}

inline QList<Template> buildTemplates(const QJsonObject &description, const QString &dataDir)
{
    const QJsonObject styles = description.value(QStringLiteral("styles")).toObject();
    QList<Template> out;
    for (const QJsonValue &v : description.value(QStringLiteral("templates")).toArray())
        out.append(buildTemplate(styles, v.toObject(), dataDir));
    return out;
}

} // namespace templatebuilder
