#include "files/DesignFile.h"

#include "platform/Ansi.h"
#include "platform/ByteIO.h"

#include <QFile>
#include <QSaveFile>

#include <new>

namespace files {

namespace {
// A blob larger than this cannot be a region of a card; such a size is treated as an
// allocation that fails.
constexpr int64_t kMaxBlobSize = int64_t(512) * 1024 * 1024;

bool slotQualifies(const model::RegionSlot &s, bool templateFlag)
{
    if (s.hasBlob())
        return true;
    return !templateFlag && s.background.has_value();
}
} // namespace

QString resultMessage(int code)
{
    switch (code) {
    case ResultLoadError:
        return QStringLiteral("An error occurred loading the specified file.");
    case ResultBadVersion:
        return QStringLiteral("An error occurred loading the specified file.\n\nThe file has an invalid version stamp.");
    case ResultSaveError:
        return QStringLiteral("An error occurred saving the specified file.\n\nBe sure to choose a valid filename on a non-write protected disk.");
    case ResultImportError:
        return QStringLiteral("An error occurred importing the specified file.");
    case ResultImportUnsupported:
        return QStringLiteral("An error occurred importing the specified file.\n\nThe file is in an unsupported format.");
    case ResultImportBadVersion:
        return QStringLiteral("An error occurred importing the specified file.\n\nThe file has an invalid signature or version stamp.");
    case ResultNoMemory:
        return QStringLiteral("An error occurred trying to allocate memory.");
    default:
        return {};
    }
}

const std::array<const char *, Substitution::kCount> &Substitution::markers()
{
    static const std::array<const char *, kCount> m = {
        "NAME", "FROMNAME", "COMPANY", "TITLE", "ADDRESS", "RETURN ADDRESS", "PHONE",
        "FAX", "EMAIL", "USER1", "USER2", "USER3", "USER4"};
    return m;
}

int sanitizeZoom(int32_t storedZoom)
{
    return (storedZoom < 25 || storedZoom > 10000) ? 100 : storedZoom;
}

QByteArray designBytes(model::TObjectManager &manager, const layout::LayoutRecord &layout,
                       const QString &dataFileName, int zoom, int currentSide, int currentRegion,
                       bool templateFlag)
{
    // The region on screen goes into its slot first, so the store is complete.
    manager.SwitchRegion(currentSide, currentRegion, -1, -1, zoom);

    int32_t regionCount = 0;
    for (int i = 0; i < model::TObjectManager::kSlots; ++i)
        if (slotQualifies(manager.slot(i), templateFlag))
            ++regionCount;

    QByteArray out;
    plat::LeWriter w(&out);
    w.i32(kDesignVersion);
    w.u32(kDesignMagic);
    w.i32(zoom);
    w.i32(regionCount);
    w.zeros(256);
    w.fixedString(plat::toAnsi(dataFileName), 256);
    w.bytes(layout.toBytes());

    for (int side = 0; side < 2; ++side) {
        for (int region = 0; region < 4; ++region) {
            const model::RegionSlot &s = manager.slot(model::TObjectManager::slotIndex(side, region));
            if (!slotQualifies(s, templateFlag))
                continue;
            char kind = ' ';
            if (!templateFlag && s.background && !s.background->isNull())
                kind = s.background->kindLetter();
            w.u8(uint8_t(region));
            w.u8(uint8_t(side));
            w.u8(uint8_t(kind));
            w.u8(0);
            w.i32(s.hasBlob() ? s.objectCount : 0);
            w.i32(s.hasBlob() ? s.blobSize() : 0);
            w.zeros(128);
            for (int32_t m : s.margins)
                w.i32(m);
            if (kind == 'B' || kind == 'M')
                w.bytes(s.background->bytes());
            if (s.hasBlob())
                w.bytes(s.blob);
        }
    }
    return out;
}

bool WriteDesign(model::TObjectManager &manager, const QString &fileName,
                 const layout::LayoutRecord &layout, const QString &dataFileName, int zoom,
                 int currentSide, int currentRegion, bool templateFlag)
{
    const QByteArray bytes = designBytes(manager, layout, dataFileName, zoom, currentSide,
                                         currentRegion, templateFlag);
    // Written beside the target and renamed over it only when complete, so a failed save
    // never destroys the previous good file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile buffers the bytes, and a write that fails only when the buffer is
    // flushed inside commit() (disk full, file size limit) is not reported by commit():
    // the cut file would replace the good one. Flush first and check.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    manager.changes().Clear();
    return true;
}

namespace {

// Length of a background picture of `kind` at the reader's position, or -1. The file
// keeps no picture length, so the picture's own header must say exactly how long it
// is: a bitmap's file size must cover its headers, palette and pixels (a bitmap that
// writes itself always stores its true size), and a metafile's nBytes must fit.
qsizetype measureBackground(char kind, const plat::LeReader &r)
{
    const char *p = r.data() + r.pos();
    if (kind == 'B') {
        const qsizetype len = plat::Picture::measureBmp(p, r.remaining());
        if (len < 0 || qsizetype(r.u32At(r.pos() + 2)) != len)
            return -1;
        return len;
    }
    return plat::Picture::measureEmf(p, r.remaining());
}

// Checks that a blob holds exactly `count` well-formed records.
bool blobIsWellFormed(const QByteArray &blob, int32_t count)
{
    const char *p = blob.constData();
    qsizetype left = blob.size();
    for (int32_t i = 0; i < count; ++i) {
        const qsizetype size = model::TObjectData::checkRecord(p, left);
        if (size < 0)
            return false;
        p += size;
        left -= size;
    }
    return left == 0;
}

} // namespace

int readDesignBytes(model::TObjectManager &manager, const QByteArray &bytes, layout::LayoutRecord *layoutOut,
                    QString *dataFileName, int *zoomOut)
{
    plat::LeReader r(bytes);
    if (bytes.size() < kHeaderSize)
        return ResultBadVersion;
    const int32_t version = r.i32();
    const uint32_t magic = r.u32();
    if (version != kDesignVersion || magic != kDesignMagic)
        return ResultBadVersion;
    const int32_t storedZoom = r.i32();
    const int32_t regionCount = r.i32();
    r.skip(256);
    const QByteArray dataName = r.fixedString(256);

    const int zoom = sanitizeZoom(storedZoom);
    if (zoomOut)
        *zoomOut = zoom;
    if (dataFileName)
        *dataFileName = plat::fromAnsi(dataName);

    layout::LayoutRecord layout;
    if (!layout::LayoutRecord::fromBytes(r.data() + r.pos(), r.remaining(), &layout))
        return ResultLoadError;
    r.skip(layout::LayoutRecord::kSize);
    if (layoutOut)
        *layoutOut = layout;

    // Size the surface to the region at 100 % and scale it to the zoom.
    int regionW = 0, regionH = 0;
    layout::GetRegionInfo(layout.RegionType(), 0, layout.Width(), layout.Height(), nullptr,
                          &regionW, &regionH, nullptr, nullptr, nullptr);
    manager.panel()->setSize(QSize(regionW, regionH));
    manager.panel()->rescale(zoom, 100);

    // Every section needs at least its record and margins.
    if (regionCount < 0 || int64_t(regionCount) * (kRegionRecordSize + 16) > r.remaining())
        return ResultLoadError;

    for (int32_t i = 0; i < regionCount; ++i) {
        if (r.remaining() < kRegionRecordSize + 16)
            return ResultLoadError;
        const qsizetype recordPos = r.pos();
        const uint8_t region = r.u8At(recordPos);
        const uint8_t side = r.u8At(recordPos + 1);
        const char kind = static_cast<char>(r.u8At(recordPos + 2));
        const int32_t objectCount = r.i32At(recordPos + 4);
        const int32_t blobSize = r.i32At(recordPos + 8);
        r.skip(kRegionRecordSize);
        if (side > 1 || region > 3)
            return ResultLoadError;
        model::RegionSlot &slot = manager.slot(model::TObjectManager::slotIndex(side, region));
        for (int m = 0; m < 4; ++m)
            slot.margins[size_t(m)] = r.i32();

        if (kind != ' ') {
            slot.background = plat::Picture();
            if (kind == 'B' || kind == 'M') {
                const qsizetype len = measureBackground(kind, r);
                if (len < 0)
                    return ResultLoadError;
                const QByteArray pic = r.bytes(len);
                slot.background = kind == 'B' ? plat::Picture::bitmap(pic) : plat::Picture::metafile(pic);
            }
        }

        if (objectCount != 0) {
            if (objectCount < 0 || blobSize < 0)
                return ResultLoadError;
            if (blobSize > kMaxBlobSize)
                return ResultNoMemory;
            if (blobSize > r.remaining())
                return ResultLoadError;
            // Each record takes at least its head.
            if (int64_t(objectCount) * model::Rec::HeadSize > blobSize)
                return ResultLoadError;
            QByteArray blob = r.bytes(blobSize);
            if (!blobIsWellFormed(blob, objectCount))
                return ResultLoadError;
            slot.blob = std::move(blob);
            slot.objectCount = objectCount;
        }
    }

    int side = 0, region = 0;
    layout::GetRegionSide(layout.RegionType(), 0, &side, &region);
    manager.SwitchRegion(-1, -1, side, region, zoom);
    return ResultOk;
}

int ReadDesign(model::TObjectManager &manager, const QString &fileName, layout::LayoutRecord *layout,
               QString *dataFileName, int *zoom)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return ResultLoadError;
    // A file (or a blob in it) too large for memory is reported, not a crash.
    try {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return ResultLoadError;
        return readDesignBytes(manager, bytes, layout, dataFileName, zoom);
    } catch (const std::bad_alloc &) {
        return ResultNoMemory;
    }
}

int ReadTemplate(model::TObjectManager &manager, const QString &fileName, layout::LayoutRecord *layout,
                 QString *dataFileName, int *zoom, Substitution *substitution)
{
    int fileZoom = 100;
    const int result = ReadDesign(manager, fileName, layout, dataFileName, &fileZoom);
    if (result != ResultOk)
        return result;
    if (zoom)
        *zoom = fileZoom;
    if (!substitution)
        return ResultOk;
    if (!substitution->background.isNull()) {
        manager.panel()->setBackground(substitution->background);
        substitution->background = plat::Picture();
    }
    const auto &markers = Substitution::markers();
    for (const auto &item : manager.panel()->items()) {
        model::TObjectData *d = item->data();
        if (item->type() != model::SurfaceItem::Type::PaintBox || !d || !d->isText() || d->Lines.size() != 1)
            continue;
        for (int m = 0; m < Substitution::kCount; ++m) {
            if (d->Lines.first() == QLatin1String(markers[size_t(m)]) && !substitution->values[size_t(m)].isEmpty()) {
                d->Lines = QStringList{substitution->values[size_t(m)]};
                manager.panel()->notifyItemChanged(item.get());
                break;
            }
        }
    }
    return ResultOk;
}

} // namespace files
