#pragma once
// Small sample designs and pictures, built with the real model and writer. Used by the
// fixture generator (make_design_fixtures) and by the test suites, so the committed
// fixtures and the tests' in-memory designs come from the same code.

#include "files/DesignFile.h"
#include "layout/LayoutRecord.h"
#include "model/SurfaceModel.h"
#include "model/TObjectData.h"
#include "model/TObjectManager.h"
#include "platform/ByteIO.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace samples {

// A 2 x 2 bitmap, 24 bits per pixel, as a complete BMP file (70 bytes).
inline QByteArray tinyBmp(uint8_t shade = 0x40)
{
    QByteArray out;
    plat::LeWriter w(&out);
    const int stride = 8; // 2 pixels * 3 bytes, padded to 4
    const int pixels = stride * 2;
    w.u8('B');
    w.u8('M');
    w.u32(14 + 40 + pixels); // bfSize
    w.u32(0);
    w.u32(14 + 40); // bfOffBits
    w.u32(40);
    w.i32(2);
    w.i32(2);
    w.u16(1);
    w.u16(24);
    w.u32(0);
    w.u32(pixels);
    w.i32(3780);
    w.i32(3780);
    w.u32(0);
    w.u32(0);
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 6; ++i)
            w.u8(uint8_t(shade + row * 16 + i));
        w.u16(0);
    }
    return out;
}

// The smallest enhanced metafile: an 88-byte header and the end-of-file record.
inline QByteArray tinyEmf()
{
    QByteArray out;
    plat::LeWriter w(&out);
    w.u32(1);  // EMR_HEADER
    w.u32(88); // record size
    w.i32(0); w.i32(0); w.i32(9); w.i32(9);       // bounds
    w.i32(0); w.i32(0); w.i32(254); w.i32(254);   // frame, .01 mm
    w.u32(0x464D4520u);                           // " EMF"
    w.u32(0x10000);                               // version
    w.u32(88 + 20);                               // nBytes
    w.u32(2);                                     // records
    w.u16(1);                                     // handles
    w.u16(0);
    w.u32(0); w.u32(0); w.u32(0);                 // description, palette entries
    w.i32(1024); w.i32(768);                      // device, pixels
    w.i32(320); w.i32(240);                       // device, millimetres
    w.u32(14);                                    // EMR_EOF
    w.u32(20);
    w.u32(0); w.u32(16); w.u32(20);
    return out;
}

// An embedded-object record as an earlier program wrote it: bytes in the font area and
// in the reserved area that this program never interprets.
inline QByteArray embeddedRecord()
{
    const QByteArray stream("OLE stream image");
    QByteArray rec(model::Rec::HeadSize + stream.size(), '\0');
    char *p = rec.data();
    p[model::Rec::Kind] = model::ObjectKind::Embedded;
    plat::putU32(p + model::Rec::Left, 40);
    plat::putU32(p + model::Rec::Top, 50);
    plat::putU32(p + model::Rec::Height, 60);
    plat::putU32(p + model::Rec::Width, 70);
    plat::putU32(p + model::Rec::ColorBG, 0xFFFFFF);
    p[model::Rec::LineSize] = 1;
    for (int i = model::Rec::LogFont; i < model::Rec::DataSize; ++i)
        p[i] = static_cast<char>(i * 7 + 1);
    plat::putU32(p + model::Rec::DataSize, uint32_t(stream.size()));
    p[model::Rec::DataKind] = 'O';
    std::memcpy(p + model::Rec::HeadSize, stream.constData(), size_t(stream.size()));
    return rec;
}

// A flat card with a printable back, 3.50 x 2.00 inches, with bytes in both reserved
// areas so that their survival shows.
inline layout::LayoutRecord flatLayout()
{
    layout::LayoutRecord l;
    l.setName(QStringLiteral("Sample 10 per sheet<>test layout"));
    l.setRows(5);
    l.setColumns(2);
    l.setWidth(350);
    l.setHeight(200);
    l.setTopMargin(50);
    l.setLeftMargin(75);
    l.setColumnSpace(0);
    l.setRowSpace(0);
    l.setRegionType(0);
    l.setBackPrintable(1);
    l.setPaperType(0);
    QByteArray raw = l.toBytes();
    for (int i = layout::LayoutRecord::Reserved1Off; i < layout::LayoutRecord::RegionTypeOff; ++i)
        raw[i] = char(0xA0 + i);
    for (int i = layout::LayoutRecord::Reserved2Off; i < layout::LayoutRecord::kSize; ++i)
        raw[i] = char(i);
    layout::LayoutRecord::fromBytes(raw.constData(), raw.size(), &l);
    return l;
}

// A side-fold card: element 700 x 200, regions 350 x 200.
inline layout::LayoutRecord foldedLayout()
{
    layout::LayoutRecord l;
    l.setName(QStringLiteral("Folded sample"));
    l.setRows(4);
    l.setColumns(1);
    l.setWidth(700);
    l.setHeight(200);
    l.setTopMargin(100);
    l.setLeftMargin(75);
    l.setRegionType(1);
    l.setPaperType(0);
    return l;
}

// The objects of the sample front, at zoom 100 (positions in units = pixels).
inline void fillFront(model::TObjectManager &m)
{
    model::SurfaceItem *t = m.NewText(20, 30);
    model::TObjectData *d = t->data();
    d->Lines = QStringList{QStringLiteral("NAME")};
    d->Style = 1;
    d->Rotation = 450;
    d->ShadowDX = -1;
    d->ShadowDY = 2;
    d->ColorFG = 0x112233;
    d->TextStyle = 0x03020100u | 3;

    model::SurfaceItem *list = m.NewText(20, 80);
    list->data()->Lines = QStringList{QStringLiteral("first"), QStringLiteral("caf\u00e9 \u20ac"), QString()};
    list->setBounds(20, 80, 150, 40);

    model::SurfaceItem *box = m.NewBox(5, 5);
    box->setBounds(5, 5, 340, 190);
    box->data()->Style = 1;
    box->data()->LineSize = 3;
    box->data()->ColorBG = 0xEEDDCC;

    model::SurfaceItem *line = m.NewLine(10, 150);
    line->data()->LineType = 3;
    line->data()->LineSize = -1; // survives as a signed byte
    line->data()->Reserved = -2;

    const plat::Picture emf = plat::Picture::metafile(tinyEmf());
    model::SurfaceItem *g = m.NewGraphic(&emf, 250, 20, true);
    g->setBounds(250, 20, 75, 75);

    model::SurfaceItem *e = m.NewEllipse(200, 120);
    e->data()->Flags = model::ObjectFlag::NonPrinting | model::ObjectFlag::Locked;

    model::SurfaceItem *r = m.NewRoundBox(100, 160);
    r->data()->Style = 2;
}

// The sample flat design: Front (0,0) with objects, margins and a bitmap background;
// Back (1,0) with a text, an embedded object and a metafile background. The manager is
// left with the back on the surface. Returns the bytes the writer produces at `zoom`
// (the surface is filled at zoom 100 and rescaled first).
inline QByteArray sampleDesign(model::TObjectManager &m, int zoom = 100)
{
    model::SurfaceModel *s = m.panel();
    s->setSize(QSize(350, 200));
    m.SwitchRegion(-1, -1, 0, 0, 100);
    fillFront(m);
    s->setMargins(10, 12, 14, 16);
    s->setBackground(plat::Picture::bitmap(tinyBmp()));
    m.SwitchRegion(0, 0, 1, 0, 100);
    model::SurfaceItem *t = m.NewText(30, 40);
    t->data()->Lines = QStringList{QStringLiteral("PHONE")};
    m.LoadObject(embeddedRecord().constData(), 100);
    s->setBackground(plat::Picture::metafile(tinyEmf()));
    s->rescale(zoom, 100);
    return files::designBytes(m, flatLayout(), QStringLiteral("contacts.csv"), zoom, 1, 0, false);
}

// The sample template source: a folded card whose Inside (region index 0) holds the
// marker texts, the Inside Cover a "NAME" that must not be substituted, and the Cover
// only a background (left out of a template, with its section). Written at zoom 150.
inline QByteArray sampleTemplate(model::TObjectManager &m)
{
    const int zoom = 150;
    model::SurfaceModel *s = m.panel();
    s->setSize(QSize(525, 300));
    m.SwitchRegion(-1, -1, 0, 1, zoom);
    const char *texts[] = {"NAME", "Name", "COMPANY", "EMAIL", "USER4", "RETURN ADDRESS", "NAME "};
    int y = 0;
    for (const char *text : texts) {
        model::SurfaceItem *t = m.NewText(15, y += 30);
        t->data()->Lines = QStringList{QString::fromLatin1(text)};
    }
    model::SurfaceItem *two = m.NewText(200, 30);
    two->data()->Lines = QStringList{QStringLiteral("NAME"), QStringLiteral("x")};
    s->setBackground(plat::Picture::bitmap(tinyBmp(0x80)));
    m.SwitchRegion(0, 1, 0, 0, zoom);
    model::SurfaceItem *cover = m.NewText(15, 15);
    cover->data()->Lines = QStringList{QStringLiteral("NAME")};
    m.SwitchRegion(0, 0, 1, 0, zoom);
    s->setBackground(plat::Picture::metafile(tinyEmf()));
    layout::LayoutRecord l = foldedLayout();
    l.setTemplateKind(4);
    return files::designBytes(m, l, QString(), zoom, 1, 0, true);
}

// Offsets inside a design file written by the writer.
constexpr int kLayoutOffset = files::kHeaderSize;
constexpr int kFirstSection = files::kHeaderSize + layout::LayoutRecord::kSize;

// Where the parts of one region section lie in a well-formed file.
struct SectionInfo {
    int record = 0;     // the 140-byte region record
    int picture = -1;   // background picture, -1 when none
    int pictureSize = 0;
    int blob = -1;      // region blob, -1 when none
    int blobSize = 0;
    std::vector<int> records; // offset of every object record in the blob
};

// Walks the sections of a file the writer produced (trusting it).
inline std::vector<SectionInfo> sections(const QByteArray &file)
{
    std::vector<SectionInfo> out;
    plat::LeReader r(file);
    const int count = r.i32At(12);
    int pos = kFirstSection;
    for (int i = 0; i < count; ++i) {
        SectionInfo s;
        s.record = pos;
        const char kind = char(r.u8At(pos + 2));
        const int objects = r.i32At(pos + 4);
        pos += files::kRegionRecordSize + 16;
        if (kind == 'B' || kind == 'M') {
            s.picture = pos;
            s.pictureSize = int(kind == 'B' ? r.u32At(pos + 2) : r.u32At(pos + 48));
            pos += s.pictureSize;
        }
        if (objects > 0) {
            s.blob = pos;
            s.blobSize = r.i32At(s.record + 8);
            int rec = pos;
            for (int k = 0; k < objects; ++k) {
                s.records.push_back(rec);
                rec += model::Rec::HeadSize + int(r.u32At(rec + model::Rec::DataSize));
            }
            pos += s.blobSize;
        }
        out.push_back(s);
    }
    return out;
}

// The committed fixtures of the file-format suite: name (relative to
// tests/fixtures/files/) and bytes. Damaged files under damaged/ carry the result code
// the reader must give as the first part of their name.
inline std::vector<std::pair<QString, QByteArray>> designFixtures()
{
    std::vector<std::pair<QString, QByteArray>> out;
    QByteArray sample;
    {
        model::SurfaceModel s;
        model::TObjectManager m(&s);
        sample = sampleDesign(m);
    }
    out.emplace_back(QStringLiteral("sample.bcp"), sample);
    {
        model::SurfaceModel s;
        model::TObjectManager m(&s);
        out.emplace_back(QStringLiteral("sample_zoom150.bcp"), sampleDesign(m, 150));
    }
    {
        model::SurfaceModel s;
        model::TObjectManager m(&s);
        out.emplace_back(QStringLiteral("template.cct"), sampleTemplate(m));
    }
    auto withI32 = [&sample](int off, int32_t v) {
        QByteArray b = sample;
        plat::putU32(b.data() + off, uint32_t(v));
        return b;
    };
    auto withU8 = [&sample](int off, uint8_t v) {
        QByteArray b = sample;
        b[off] = char(v);
        return b;
    };
    out.emplace_back(QStringLiteral("zoom_24.bcp"), withI32(8, 24));
    out.emplace_back(QStringLiteral("zoom_10001.bcp"), withI32(8, 10001));

    const std::vector<SectionInfo> sec = sections(sample);
    const SectionInfo &front = sec.at(0);
    const SectionInfo &back = sec.at(1);
    const int firstText = front.records.at(0);
    const int textEnd = firstText + model::Rec::HeadSize
                        + int(plat::getU32(sample.constData() + firstText + model::Rec::DataSize));
    int graphic = -1;
    for (int rec : front.records)
        if (sample.at(rec) == model::ObjectKind::Graphic)
            graphic = rec;

    auto add = [&out](const char *name, QByteArray bytes) {
        out.emplace_back(QStringLiteral("damaged/") + QLatin1String(name), std::move(bytes));
    };
    add("1002_short_header.bcp", sample.left(100));
    add("1002_version_601.bcp", withI32(0, 601));
    {
        QByteArray b = sample;
        std::reverse(b.begin() + 4, b.begin() + 8);
        add("1002_magic_swapped.bcp", b);
    }
    add("1000_truncated_layout.bcp", sample.left(kLayoutOffset + 60));
    add("1000_truncated_in_blob.bcp", sample.left(front.blob + front.blobSize / 2));
    add("1000_truncated_in_bitmap.bcp", sample.left(front.picture + 30));
    add("1000_region_count_negative.bcp", withI32(12, -1));
    add("1000_region_count_huge.bcp", withI32(12, 0x7FFFFFFF));
    add("1000_region_count_one_more.bcp", withI32(12, 3));
    add("1000_object_count_negative.bcp", withI32(front.record + 4, -3));
    add("1000_object_count_huge.bcp", withI32(front.record + 4, 0x7FFFFFFF));
    add("1000_blob_size_negative.bcp", withI32(front.record + 8, -171));
    add("1000_side_2.bcp", withU8(front.record + 1, 2));
    add("1000_region_4.bcp", withU8(back.record, 4));
    add("1000_blob_one_byte_short.bcp", withI32(front.record + 8, front.blobSize - 1));
    add("1000_blob_records_do_not_fill.bcp", withI32(front.record + 4, int(front.records.size()) - 1));
    add("1000_text_unterminated.bcp", withU8(textEnd - 1, 'x'));
    add("1000_record_datasize_huge.bcp", withI32(firstText + model::Rec::DataSize, 0x7FFFFFF0));
    add("1000_graphic_without_picture.bcp", withU8(graphic + model::Rec::DataKind, 0));
    add("1000_unknown_kind.bcp", withU8(front.records.at(2), 'Z'));
    add("1000_bmp_size_huge.bcp", withI32(front.picture + 2, int32_t(0xFFFFFF00u)));
    add("1000_bmp_size_small.bcp", withI32(front.picture + 2, 20));
    add("1000_bmp_height_lies.bcp", withI32(front.picture + 22, 30000));
    add("1000_bmp_not_a_bitmap.bcp", withU8(front.picture, 'X'));
    add("1000_emf_nbytes_huge.bcp", withI32(back.picture + 48, 0x7FFFFFFF));
    add("1000_emf_nbytes_below_header.bcp", withI32(back.picture + 48, 40));
    add("1100_blob_size_huge.bcp", withI32(front.record + 8, 0x7FFFFFFF));
    return out;
}

} // namespace samples
