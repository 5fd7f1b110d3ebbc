#include "platform/metafile/Metafile.h"

#include "platform/ByteIO.h"
#include "platform/metafile/MetafileTypes.h"

namespace plat::metafile {

namespace {

bool fail(QString *error, const char *text)
{
    if (error)
        *error = QString::fromLatin1(text);
    return false;
}

RectL rectAt(const LeReader &r, qsizetype off)
{
    return RectL{r.i32At(off), r.i32At(off + 4), r.i32At(off + 8), r.i32At(off + 12)};
}

} // namespace

Kind detectKind(const QByteArray &bytes)
{
    LeReader r(bytes);
    if (r.has(0, 44) && r.u32At(0) == emr::HEADER && r.u32At(40) == emr::kSignature)
        return Kind::Emf;
    if (r.has(0, 4) && r.u32At(0) == wmf::kPlaceableKey)
        return Kind::PlaceableWmf;
    if (r.has(0, 18)) {
        const uint16_t type = r.u16At(0), words = r.u16At(2), version = r.u16At(4);
        if ((type == 1 || type == 2) && words == 9 && (version == 0x300 || version == 0x100))
            return Kind::Wmf;
    }
    return Kind::None;
}

bool parseEmf(const QByteArray &bytes, ParsedEmf &out, QString *error)
{
    out = ParsedEmf{};
    LeReader r(bytes);
    if (!r.has(0, 88))
        return fail(error, "metafile header is truncated");
    if (r.u32At(0) != emr::HEADER || r.u32At(40) != emr::kSignature)
        return fail(error, "not an enhanced metafile");
    EmfHeader &h = out.header;
    h.headerSize = r.u32At(4);
    h.bounds = rectAt(r, 8);
    h.frame = rectAt(r, 24);
    h.nBytes = r.u32At(48);
    h.nRecords = r.u32At(52);
    h.nHandles = r.u16At(56);
    h.devicePixels = QSize(r.i32At(72), r.i32At(76));
    h.deviceMm = QSize(r.i32At(80), r.i32At(84));
    if (h.headerSize < 88 || h.headerSize % 4 || !r.has(0, h.headerSize))
        return fail(error, "metafile header has a bad size");
    if (h.nBytes < h.headerSize || qint64(h.nBytes) > bytes.size())
        return fail(error, "metafile is truncated");
    const qsizetype end = h.nBytes;
    qsizetype pos = 0;
    bool sawEof = false;
    while (pos < end) {
        if (end - pos < 8)
            return fail(error, "metafile record is truncated");
        const uint32_t type = r.u32At(pos);
        const uint32_t size = r.u32At(pos + 4);
        if (size < 8 || size % 4 || qint64(size) > end - pos)
            return fail(error, "metafile record has a bad size");
        if (pos == 0 && type != emr::HEADER)
            return fail(error, "metafile does not start with its header");
        out.records.append(Record{type, pos, qsizetype(size)});
        pos += size;
        if (type == emr::EOF_) {
            sawEof = true;
            break;
        }
    }
    if (!sawEof)
        return fail(error, "metafile has no end record");
    return true;
}

bool parseWmf(const QByteArray &bytes, ParsedWmf &out, QString *error)
{
    out = ParsedWmf{};
    LeReader r(bytes);
    qsizetype start = 0;
    if (r.has(0, 4) && r.u32At(0) == wmf::kPlaceableKey) {
        if (!r.has(0, 22))
            return fail(error, "placeable header is truncated");
        out.header.placeable = true;
        out.header.bbox = RectL{r.i16At(6), r.i16At(8), r.i16At(10), r.i16At(12)};
        out.header.unitsPerInch = r.u16At(14);
        start = 22;
    }
    if (!r.has(start, 18))
        return fail(error, "metafile header is truncated");
    const uint16_t type = r.u16At(start), words = r.u16At(start + 2), version = r.u16At(start + 4);
    if ((type != 1 && type != 2) || words != 9 || (version != 0x300 && version != 0x100))
        return fail(error, "not a Windows metafile");
    out.header.sizeWords = r.u32At(start + 6);
    out.header.numObjects = r.u16At(start + 10);
    qsizetype pos = start + 18;
    // The header's size may be wrong in files in the wild; the record chain decides.
    while (pos < bytes.size()) {
        if (!r.has(pos, 6))
            break; // trailing padding
        const uint32_t sizeWords = r.u32At(pos);
        const uint16_t function = r.u16At(pos + 4);
        if (function == wmf::EOF_) {
            out.records.append(Record{function, pos, 6});
            return true;
        }
        if (sizeWords < 3 || qint64(sizeWords) * 2 > bytes.size() - pos)
            return fail(error, "metafile record has a bad size");
        out.records.append(Record{function, pos, qsizetype(sizeWords) * 2});
        pos += qsizetype(sizeWords) * 2;
    }
    if (out.records.isEmpty())
        return fail(error, "metafile has no records");
    return true; // no end record: what is there is played
}

QSize naturalSize(const QByteArray &bytes)
{
    switch (detectKind(bytes)) {
    case Kind::Emf: {
        ParsedEmf emf;
        if (!parseEmf(bytes, emf))
            return {};
        const RectL &f = emf.header.frame;
        const int64_t w = (int64_t(f.right) - f.left) * 96 / 2540;
        const int64_t h = (int64_t(f.bottom) - f.top) * 96 / 2540;
        if (w > 0 && h > 0 && w <= 100000 && h <= 100000)
            return QSize(int(w), int(h));
        const RectL &b = emf.header.bounds;
        const int64_t bw = int64_t(b.right) - b.left + 1, bh = int64_t(b.bottom) - b.top + 1;
        if (bw > 0 && bh > 0 && bw <= 100000 && bh <= 100000)
            return QSize(int(bw), int(bh));
        return QSize(1, 1);
    }
    case Kind::PlaceableWmf:
    case Kind::Wmf: {
        ParsedWmf w;
        if (!parseWmf(bytes, w))
            return {};
        const RectL &b = w.header.bbox;
        if (w.header.placeable && w.header.unitsPerInch > 0) {
            const int64_t pw = std::abs(int64_t(b.right) - b.left) * 96 / w.header.unitsPerInch;
            const int64_t ph = std::abs(int64_t(b.bottom) - b.top) * 96 / w.header.unitsPerInch;
            if (pw > 0 && ph > 0)
                return QSize(int(std::min<int64_t>(pw, 100000)), int(std::min<int64_t>(ph, 100000)));
        }
        // A plain WMF: its window extent, one unit a pixel.
        LeReader r(bytes);
        for (const Record &rec : w.records) {
            if (rec.type == wmf::SETWINDOWEXT && rec.size >= 10) {
                const int ey = std::abs(int(r.i16At(rec.offset + 6)));
                const int ex = std::abs(int(r.i16At(rec.offset + 8)));
                if (ex > 0 && ey > 0)
                    return QSize(ex, ey);
            }
        }
        return QSize(100, 100);
    }
    case Kind::None:
        break;
    }
    return {};
}

} // namespace plat::metafile
