#include "LegacySamples.h"

#include "platform/bmp/BmpCodec.h"

#include <QImage>
#include <cstring>

namespace legacysamples {

namespace {

// Text in a fixed field; a text as long as the field fills it without a terminator.
void putText(QByteArray &rec, int offset, const QByteArray &text, int field)
{
    std::memcpy(rec.data() + offset, text.constData(), size_t(std::min<qsizetype>(text.size(), field)));
}

int32_t storedSize(const OldObject &o) { return o.dataSizeField.value_or(int32_t(o.data.size())); }

} // namespace

QByteArray bcoRecord(const OldObject &o)
{
    QByteArray rec(248, '\0');
    plat::LeWriter w(&rec);
    rec[0] = o.kind;
    putText(rec, 1, o.text, 75);
    for (int i = 0; i < 3; ++i) {
        w.putU8At(76 + 4 * i, o.fg[size_t(i)]);
        w.putU8At(88 + 4 * i, o.bg[size_t(i)]);
    }
    o.font.writeTo(rec.data() + 100);
    const int32_t values[8] = {o.gLeft, o.gRight, o.gTop, o.gBottom, o.x1, o.y1, o.x2, o.y2};
    for (int i = 0; i < 8; ++i)
        w.putI32At(160 + 4 * i, values[i]);
    w.putU8At(192, o.lineSize);
    w.putI32At(196, storedSize(o));
    w.putU32At(204, o.style);
    w.putU32At(208, o.flags);
    w.putU8At(216, uint8_t(o.dx));
    w.putU8At(217, uint8_t(o.dy));
    return rec;
}

QByteArray bcdRecord(const OldObject &o, int version)
{
    const bool v40 = version == 40;
    QByteArray rec(v40 ? 184 : 161, '\0');
    plat::LeWriter w(&rec);
    rec[0] = o.kind;
    const int colours = v40 ? 76 : 51;
    putText(rec, 1, o.text, colours - 1);
    for (int i = 0; i < 3; ++i) {
        w.putU8At(colours + 2 * i, o.fg[size_t(i)]);
        w.putU8At(colours + 6 + 2 * i, o.bg[size_t(i)]);
    }
    // The 16-bit LOGFONT.
    const int font = v40 ? 88 : 63;
    const int32_t words[5] = {o.font.height, o.font.width, o.font.escapement, o.font.orientation, o.font.weight};
    for (int i = 0; i < 5; ++i)
        w.putU16At(font + 2 * i, uint16_t(words[i]));
    const uint8_t bytes[8] = {o.font.italic, o.font.underline, o.font.strikeOut, o.font.charSet,
                              o.font.outPrecision, o.font.clipPrecision, o.font.quality, o.font.pitchAndFamily};
    for (int i = 0; i < 8; ++i)
        w.putU8At(font + 10 + i, bytes[i]);
    putText(rec, font + 18, o.font.faceName, 32);
    const int rect = v40 ? 138 : 113;
    const int32_t values[8] = {o.gLeft, o.gRight, o.gTop, o.gBottom, o.x1, o.y1, o.x2, o.y2};
    for (int i = 0; i < 8; ++i)
        w.putU16At(rect + 2 * i, uint16_t(values[i]));
    w.putU8At(v40 ? 154 : 131, o.lineSize);
    w.putI32At(v40 ? 156 : 133, storedSize(o));
    w.putU16At(v40 ? 162 : 129, uint16_t(o.style));
    if (v40)
        w.putU16At(164, uint16_t(o.flags));
    return rec;
}

QByteArray listSlots(const QStringList &strings)
{
    QByteArray out;
    for (const QString &s : strings) {
        QByteArray slot(75, '\0');
        putText(slot, 0, s.toLatin1(), 75);
        out.append(slot);
    }
    return out;
}

QByteArray solidDib(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    // 96 pixels per inch whatever the application object says.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    return plat::bmp::encodeDib(image, 24);
}

QByteArray solidWmf(int w, int h, QRgb colour)
{
    QByteArray out;
    plat::LeWriter wr(&out);
    const auto record = [&](uint16_t function, std::initializer_list<uint16_t> params) {
        wr.u32(uint32_t(3 + params.size()));
        wr.u16(function);
        for (uint16_t p : params)
            wr.u16(p);
    };
    // Header: type 1 (memory), 9 words, version 0x300, size, one object, largest record, 0.
    wr.u16(1);
    wr.u16(9);
    wr.u16(0x300);
    wr.u32(0); // size in words, patched below
    wr.u16(1);
    wr.u32(7);
    wr.u16(0);
    record(0x020B, {0, 0});                              // SetWindowOrg (y, x)
    record(0x020C, {uint16_t(h), uint16_t(w)});          // SetWindowExt (y, x)
    const uint32_t ref = uint32_t(qRed(colour)) | uint32_t(qGreen(colour)) << 8 | uint32_t(qBlue(colour)) << 16;
    record(0x02FC, {0, uint16_t(ref & 0xFFFF), uint16_t(ref >> 16), 0}); // CreateBrushIndirect, solid
    record(0x012D, {0});                                 // SelectObject 0
    record(0x041B, {uint16_t(h), uint16_t(w), 0, 0});    // Rectangle (bottom, right, top, left)
    record(0x0000, {});                                  // EOF
    wr.putU32At(6, uint32_t(out.size() / 2));
    return out;
}

layout::LayoutRecord sampleLayout()
{
    layout::LayoutRecord l;
    l.setName(QStringLiteral("Stock 8371"));
    l.setRows(5);
    l.setColumns(2);
    l.setWidth(350);
    l.setHeight(200);
    l.setTopMargin(50);
    l.setLeftMargin(75);
    l.setColumnSpace(10);
    l.setRowSpace(5);
    l.setRegionType(2);
    l.setBackPrintable(0);
    l.setPaperType(4);
    l.setTemplateKind(4);
    // The reserved words, which the import clears.
    QByteArray raw = l.toBytes();
    plat::LeWriter w(&raw);
    w.putU32At(82, 0x11111111u);
    w.putU32At(86, 0x22222222u);
    layout::LayoutRecord out;
    layout::LayoutRecord::fromBytes(raw.constData(), raw.size(), &out);
    return out;
}

QByteArray Bco::stream() const
{
    QByteArray out;
    plat::LeWriter w(&out);
    w.u32(version);
    w.u32(countField.value_or(uint32_t(objects.size())));
    w.zeros(8);
    w.i32(backgroundSizeField.value_or(int32_t(background.size())));
    w.i32(backgroundType);
    w.zeros(32);
    for (int32_t m : margins)
        w.i32(m);
    const QByteArray l = layout.toBytes();
    w.bytes(version >= 500 ? l : l.mid(50));
    for (const OldObject &o : objects)
        w.bytes(bcoRecord(o));
    for (const OldObject &o : objects)
        if (o.kind == 'G')
            w.bytes(o.data);
    if (version >= 451)
        for (const OldObject &o : objects)
            if (o.kind == 'T')
                w.bytes(o.data);
    w.bytes(background);
    w.bytes(trailer);
    return out;
}

QByteArray Bcd::file() const
{
    QByteArray out;
    plat::LeWriter w(&out);
    w.u16(version);
    w.u16(uint16_t(countField.value_or(int32_t(objects.size()))));
    w.zeros(version == 40 ? 24 : 10);
    for (int16_t m : margins)
        w.i16(m);
    if (version == 40) {
        QByteArray name(50, '\0');
        putText(name, 0, layoutName, 50);
        w.bytes(name);
        for (uint16_t v : layoutValues)
            w.u16(v);
        w.zeros(50);
    }
    for (const OldObject &o : objects)
        w.bytes(bcdRecord(o, version));
    for (const OldObject &o : objects)
        if (o.kind == 'G')
            w.bytes(o.data);
    return out;
}

std::vector<OldObject> sampleObjects()
{
    std::vector<OldObject> out;
    OldObject text;
    text.kind = 'T';
    text.text = "Jane Example";
    text.fg = {10, 20, 30};
    text.bg = {200, 210, 220};
    text.font = plat::LogFont::fromPoints(QStringLiteral("Times New Roman"), 12);
    text.font.weight = 700;
    text.font.italic = 1;
    text.x1 = 50;
    text.y1 = 40;
    text.x2 = 250;
    text.y2 = 70;
    text.style = 1;
    text.flags = 1;
    text.dx = 2;
    text.dy = -3;
    out.push_back(text);

    OldObject graphic;
    graphic.kind = 'G';
    graphic.gLeft = 20;
    graphic.gRight = 120;
    graphic.gTop = 100;
    graphic.gBottom = 150;
    graphic.data = solidDib(4, 3, qRgb(255, 0, 0));
    graphic.flags = 2;
    out.push_back(graphic);

    OldObject line;
    line.kind = 'L';
    line.x1 = 100;
    line.y1 = 300;
    line.x2 = 400;
    line.y2 = 100;
    line.lineSize = 3;
    line.fg = {0, 0, 255};
    out.push_back(line);

    const char kinds[] = {'B', 'R', 'C'};
    for (int i = 0; i < 3; ++i) {
        OldObject shape;
        shape.kind = kinds[i];
        shape.x1 = 10 + 60 * i;
        shape.y1 = 10;
        shape.x2 = 60 + 60 * i;
        shape.y2 = 40;
        shape.lineSize = uint8_t(2 + i);
        shape.style = uint32_t(i);
        shape.fg = {uint8_t(30 * i), 100, 0};
        shape.bg = {0, 100, uint8_t(30 * i)};
        out.push_back(shape);
    }

    OldObject list;
    list.kind = 'T';
    list.text = "Names";
    list.font = plat::LogFont::fromPoints(QStringLiteral("Arial"), 10);
    list.x1 = 30;
    list.y1 = 160;
    list.x2 = 200;
    list.y2 = 180;
    list.data = listSlots({QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")});
    out.push_back(list);
    return out;
}

std::vector<std::pair<QString, QByteArray>> legacyFixtures()
{
    std::vector<std::pair<QString, QByteArray>> out;
    Bco full;
    full.layout = sampleLayout();
    full.objects = sampleObjects();
    full.backgroundType = 2;
    full.background = solidDib(35, 20, qRgb(240, 230, 140));
    out.emplace_back(QStringLiteral("sample550.bco"), bcoFile(full.stream()));
    out.emplace_back(QStringLiteral("sample550.stream"), full.stream());
    out.emplace_back(QStringLiteral("sample550_4096.bco"), bcoFile(full.stream(), 4096));

    Bco old = full;
    old.version = 450;
    old.backgroundType = 1;
    old.background = solidWmf(350, 200, qRgb(0, 128, 255));
    out.emplace_back(QStringLiteral("sample450.bco"), bcoFile(old.stream()));
    out.emplace_back(QStringLiteral("sample450.stream"), old.stream());

    for (uint16_t version : {uint16_t(30), uint16_t(40)}) {
        Bcd bcd;
        bcd.version = version;
        for (OldObject o : sampleObjects()) {
            if (o.kind == 'T')
                o.data.clear(); // flat files keep no lists
            bcd.objects.push_back(o);
        }
        out.emplace_back(QStringLiteral("sample%1.bcd").arg(version), bcd.file());
    }
    return out;
}

QByteArray bcoFile(const QByteArray &stream, int sectorSize)
{
    return compoundFile({Entry{QStringLiteral("RTVN32DrawObject"), stream}}, sectorSize);
}

} // namespace legacysamples
