#include "contacts/BinaryDataSet.h"

#include "platform/Ansi.h"
#include "platform/ByteIO.h"

#include <QBuffer>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTime>

#include <sys/file.h>

#include <climits>
#include <cmath>
#include <cstring>

namespace contacts {

namespace {

using Reason = EBinaryDataSetError::Reason;

// Header field offsets.
constexpr int kHdrSignature = 0;
constexpr int kHdrVersion = 4;
constexpr int kHdrCheckBlock = 8;
constexpr int kCheckBlockSize = 16;
constexpr int kHdrFieldCount = 24;
constexpr int kHdrRecordSize = 28;
constexpr int kHdrRecordCount = 32;
constexpr int kHdrDeletedCount = 36;
constexpr int kHdrFirstFree = 40;
constexpr int kHdrDataStart = 44;

// Descriptor field offsets.
constexpr int kDescName = 0;
constexpr int kDescNameSize = 28;
constexpr int kDescType = 28;
constexpr int kDescWidth = 29;
constexpr int kDescSize = 33;
constexpr int kDescPrecision = 37;

// No record of a real table comes near this (the personal data file's is 1000 bytes); a
// larger one is a damaged header, and refusing it keeps a hostile file from making us
// allocate and write huge record buffers.
constexpr qint64 kMaxRecordSize = 1024 * 1024;

// Day 1 of a stored date is 1 January of year 1.
constexpr qint64 kJulianDayBeforeYear1 = 1721425;
constexpr qint64 kMsPerDay = 86400000;

[[noreturn]] void fail(const QString &message, Reason reason = Reason::Other)
{
    throw EBinaryDataSetError(message, reason);
}

[[noreturn]] void failDamaged(const char *message) { fail(QString::fromLatin1(message), Reason::Damaged); }

const char kReadOnlyPost[] = "Dataset must be opened for read/write to add or change records.";
const char kReadOnlyDelete[] = "Dataset must be opened for read/write to delete records.";
const char kInvalidRecord[] = "GetRecord: Invalid record";

double readDouble(const char *p)
{
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= uint64_t(static_cast<uint8_t>(p[i])) << (8 * i);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

void writeDouble(char *p, double d)
{
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

QString dateText(qint64 day)
{
    if (day <= 0 || day > 3652059) // 1 January 1 .. 31 December 9999
        return {};
    return QDate::fromJulianDay(kJulianDayBeforeYear1 + day).toString(Qt::ISODate);
}

QString timeText(qint64 ms)
{
    if (ms < 0 || ms >= kMsPerDay)
        return {};
    return QTime::fromMSecsSinceStartOfDay(int(ms)).toString(Qt::ISODateWithMs);
}

} // namespace

EBinaryDataSetError::EBinaryDataSetError(const QString &message, Reason reason)
    : std::runtime_error(message.toStdString()), m_message(message), m_reason(reason)
{
}

int fieldWidth(int type, int size)
{
    switch (type) {
    case ftString:
        return size + 4;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
        return 2;
    case ftInteger:
    case ftDate:
    case ftTime:
        return 4;
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
        return 8;
    default:
        return -1;
    }
}

TBinaryDataSet::TBinaryDataSet() = default;

TBinaryDataSet::~TBinaryDataSet() { Close(); }

QString TBinaryDataSet::unstorableCharacter(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            return text.mid(i, 2);
        if (c.unicode() == 0 || plat::fromAnsi(plat::toAnsi(QString(c))) != QString(c))
            return QString(c);
    }
    return {};
}

// --- opening and closing -------------------------------------------------------------

void TBinaryDataSet::Open()
{
    if (Active())
        return;
    if (m_tableName.isEmpty() || !QFileInfo(m_tableName).isFile())
        fail(QStringLiteral("Table file not found."), Reason::NotFound);
    auto file = std::make_unique<QFile>(m_tableName);
    if (!file->open(m_readOnly ? QIODevice::ReadOnly : QIODevice::ReadWrite))
        fail(QStringLiteral("Cannot open the table file: %1").arg(file->errorString()));
    // Readers share the file with everyone; a writer excludes other writers. The lock
    // belongs to this open file, so a second window of this program is refused as well.
    if (!m_readOnly && ::flock(file->handle(), LOCK_EX | LOCK_NB) != 0)
        fail(QStringLiteral("The table file is already open for changes in another window or program."),
             Reason::InUse);
    openStream(std::move(file));
}

void TBinaryDataSet::OpenDevice(std::unique_ptr<QIODevice> device)
{
    if (Active())
        return;
    if (!device || !device->isOpen())
        fail(QStringLiteral("Table file not found."), Reason::NotFound);
    if (!m_readOnly && !device->isWritable())
        fail(QStringLiteral("Cannot open the table file: it is read-only."));
    openStream(std::move(device));
}

void TBinaryDataSet::openStream(std::unique_ptr<QIODevice> device)
{
    const qint64 length = device->size();
    if (!device->seek(0))
        failDamaged("Invalid file type.");
    const QByteArray head = device->read(kHeaderSize);
    plat::LeReader h(head);
    if (head.size() < 4 || h.i32At(kHdrSignature) != kSignature)
        failDamaged("Invalid file type.");
    if (head.size() < kHeaderSize)
        failDamaged("Invalid file type.");
    const int32_t version = h.i32At(kHdrVersion);
    if (version > kVersion)
        failDamaged("Invalid file version.");
    const int32_t fieldCount = h.i32At(kHdrFieldCount);
    const int32_t headerRecordSize = h.i32At(kHdrRecordSize);
    const int32_t recordCount = h.i32At(kHdrRecordCount);
    const int32_t deletedCount = h.i32At(kHdrDeletedCount);
    const int32_t firstFree = h.i32At(kHdrFirstFree);
    const int32_t dataStart = h.i32At(kHdrDataStart);

    // The descriptors must all be in the file before anything is allocated for them.
    if (fieldCount <= 0 || qint64(fieldCount) * kDescriptorSize > length - kHeaderSize)
        failDamaged("Invalid number of fields.");
    const QByteArray table = device->read(qint64(fieldCount) * kDescriptorSize);
    if (table.size() != qint64(fieldCount) * kDescriptorSize)
        failDamaged("Invalid number of fields.");

    QList<FieldInfo> fields;
    fields.reserve(fieldCount);
    qint64 offset = kRecordHeaderSize;
    for (int i = 0; i < fieldCount; ++i) {
        plat::LeReader d(table.constData() + qsizetype(i) * kDescriptorSize, kDescriptorSize);
        FieldInfo f;
        d.seek(kDescName);
        f.name = plat::fromAnsi(d.fixedString(kDescNameSize));
        f.type = d.u8At(kDescType);
        f.width = d.i32At(kDescWidth);
        f.size = d.u16At(kDescSize);
        f.precision = d.i32At(kDescPrecision);
        f.offset = int(offset);
        if (fieldWidth(f.type, 0) < 0)
            failDamaged("InitFieldsDefs: Unsupported field type");
        // Every table is written with the width its type and size give; any other width
        // would place the fields where no writer put them.
        if (f.width != fieldWidth(f.type, f.size) || offset + f.width > kMaxRecordSize)
            failDamaged("Open: File record size mismatch.");
        offset += f.width;
        fields.append(f);
    }
    const int32_t recordSize = int32_t(offset);
    if (recordCount > 0 && headerRecordSize != recordSize)
        failDamaged("Open: File record size mismatch.");

    const qint64 slotTotal = qint64(recordCount) + deletedCount;
    const bool sane = recordCount >= 0 && deletedCount >= 0 && slotTotal <= INT_MAX
                      && dataStart >= kHeaderSize + qint64(fieldCount) * kDescriptorSize;
    if (!sane || length != qint64(dataStart) + slotTotal * recordSize) {
        fail(QStringLiteral("Open: Invalid record size.\rStartData   : %1\rfRecordCount: %2\r"
                            "fRecordSize : %3\rfStream.SIze: %4")
                 .arg(dataStart)
                 .arg(recordCount)
                 .arg(recordSize)
                 .arg(length),
             Reason::Damaged);
    }

    m_stream = std::move(device);
    m_fields = fields;
    m_checkBlock = head.mid(kHdrCheckBlock, kCheckBlockSize);
    m_version = version;
    m_recordSize = recordSize; // an empty table's stale size is put right by the next write
    m_recordCount = recordCount;
    m_deletedCount = deletedCount;
    m_firstFree = firstFree;
    m_dataStart = dataStart;
    m_state = State::Browse;
    try {
        First();
    } catch (...) {
        Close();
        throw;
    }
}

void TBinaryDataSet::Close()
{
    // A change that was not posted is lost, as with any data set that closes.
    m_stream.reset();
    m_fields.clear();
    m_state = State::Inactive;
    m_cursor = -1;
    m_bof = m_eof = true;
    m_current.clear();
    m_edit.clear();
}

// --- creating ------------------------------------------------------------------------

void TBinaryDataSet::CreateTable()
{
    if (m_tableName.isEmpty())
        fail(QStringLiteral("Table filename not specified."));
    if (m_readOnly)
        fail(QStringLiteral("Dataset must be opened for read/write to create a new table."));
    if (Active())
        fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    if (m_fieldDefs.isEmpty())
        fail(QStringLiteral("Invalid number of fields."));

    QByteArray bytes;
    plat::LeWriter w(&bytes);
    w.i32(kSignature);
    w.i32(kVersion);
    w.bytes(QByteArray(kCheckBlockSize, char(23)));
    w.i32(int32_t(m_fieldDefs.size()));
    w.i32(0);  // record size, set below
    w.i32(0);  // record count
    w.i32(0);  // deleted count
    w.i32(-1); // first free slot
    w.i32(-1); // data start, set below
    int32_t recordSize = kRecordHeaderSize;
    for (const FieldDef &def : m_fieldDefs) {
        const int width = fieldWidth(def.type, def.size);
        if (width < 0)
            fail(QStringLiteral("InitFieldsDefs: Unsupported field type"));
        if (def.size < 0 || def.size > 0xFFFF || recordSize + qint64(width) > kMaxRecordSize)
            fail(QStringLiteral("InitFieldsDefs: Invalid size of field %1").arg(def.name));
        w.fixedString(plat::toAnsi(def.name.left(kMaxFieldNameLength)), kDescNameSize);
        w.u8(uint8_t(def.type));
        w.i32(width);
        w.i32(def.size);
        w.i32(def.precision);
        recordSize += width;
    }
    w.putI32At(kHdrDataStart, int32_t(bytes.size()));
    w.putI32At(kHdrRecordSize, recordSize);

    // An old file that another writer holds open must not be swapped away under it.
    QFile old(m_tableName);
    if (old.exists() && old.open(QIODevice::ReadWrite) && ::flock(old.handle(), LOCK_EX | LOCK_NB) != 0)
        fail(QStringLiteral("The table file is already open for changes in another window or program."),
             Reason::InUse);
    // The new file replaces the old one only once it is complete.
    QSaveFile file(m_tableName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        fail(QStringLiteral("Cannot create the table file: %1").arg(file.errorString()));
}

// --- fields --------------------------------------------------------------------------

int TBinaryDataSet::FieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString TBinaryDataSet::valueFrom(const QByteArray &record, int index) const
{
    if (index < 0 || index >= m_fields.size() || record.size() != m_recordSize)
        return {};
    const FieldInfo &f = m_fields.at(index);
    const char *p = record.constData() + f.offset;
    auto fits = [&](int n) { return f.width >= n; };
    switch (f.type) {
    case ftString: {
        const int limit = std::min(f.width, f.size);
        const void *zero = std::memchr(p, 0, size_t(std::max(limit, 0)));
        const int n = zero ? int(static_cast<const char *>(zero) - p) : std::max(limit, 0);
        return plat::fromAnsi(p, n);
    }
    case ftSmallint:
        return fits(2) ? QString::number(int16_t(plat::getU16(p))) : QString();
    case ftWord:
        return fits(2) ? QString::number(plat::getU16(p)) : QString();
    case ftBoolean:
        return fits(2) ? (plat::getU16(p) ? QStringLiteral("True") : QStringLiteral("False")) : QString();
    case ftInteger:
        return fits(4) ? QString::number(int32_t(plat::getU32(p))) : QString();
    case ftDate:
        return fits(4) ? dateText(int32_t(plat::getU32(p))) : QString();
    case ftTime:
        return fits(4) ? timeText(int32_t(plat::getU32(p))) : QString();
    case ftFloat:
    case ftCurrency:
        return fits(8) ? QString::number(readDouble(p), 'g', 15) : QString();
    case ftDateTime: {
        if (!fits(8))
            return {};
        const double ms = readDouble(p);
        if (!std::isfinite(ms) || ms < 0 || ms > 4.0e14)
            return {};
        const qint64 whole = qint64(ms);
        const QString date = dateText(whole / kMsPerDay);
        return date.isEmpty() ? QString() : date + QLatin1Char('T') + timeText(whole % kMsPerDay);
    }
    default:
        return {};
    }
}

QString TBinaryDataSet::FieldValue(int index) const
{
    return valueFrom(Modifying() ? m_edit : m_current, index);
}

QString TBinaryDataSet::FieldValue(const QString &name) const { return FieldValue(FieldIndex(name)); }

QStringList TBinaryDataSet::Values() const
{
    QStringList out;
    for (int i = 0; i < m_fields.size(); ++i)
        out << FieldValue(i);
    return out;
}

void TBinaryDataSet::SetFieldValue(int index, const QString &value)
{
    if (!Modifying())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    if (index < 0 || index >= m_fields.size())
        fail(QStringLiteral("Field index out of range"));
    const FieldInfo &f = m_fields.at(index);
    char *p = m_edit.data() + f.offset;
    auto badValue = [&] {
        fail(QStringLiteral("'%1' is not a valid value for field '%2'").arg(value, f.name));
    };
    bool ok = true;
    const QString t = value.trimmed();
    switch (f.type) {
    case ftString: {
        const QString cut = value.left(f.size);
        const QString bad = unstorableCharacter(cut);
        if (!bad.isEmpty())
            fail(QStringLiteral("Field '%1' cannot hold the character \"%2\".").arg(f.name, bad));
        const QByteArray bytes = plat::toAnsi(cut);
        m_modified = true;
        std::memset(p, 0, size_t(f.width));
        if (f.width > 0)
            std::memcpy(p, bytes.constData(), size_t(std::min<qsizetype>(bytes.size(), f.width - 1)));
        return;
    }
    case ftSmallint:
    case ftWord:
    case ftBoolean: {
        if (f.width < 2)
            return;
        int v;
        if (f.type == ftBoolean) {
            ok = t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0
                 || t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0;
            v = t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ? 1 : 0;
        } else {
            v = t.isEmpty() ? 0 : t.toInt(&ok);
            ok = ok && (f.type == ftWord ? v >= 0 && v <= 0xFFFF : v >= -32768 && v <= 32767);
        }
        if (!ok)
            badValue();
        m_modified = true;
        plat::putU16(p, uint16_t(v));
        return;
    }
    case ftInteger:
    case ftDate:
    case ftTime: {
        if (f.width < 4)
            return;
        qint64 v = 0;
        if (f.type == ftInteger) {
            v = t.isEmpty() ? 0 : t.toInt(&ok);
        } else if (f.type == ftDate) {
            const QDate d = QDate::fromString(t, Qt::ISODate);
            ok = t.isEmpty() || d.isValid();
            v = t.isEmpty() || !d.isValid() ? 0 : d.toJulianDay() - kJulianDayBeforeYear1;
        } else {
            QTime tm = QTime::fromString(t, Qt::ISODateWithMs);
            if (!tm.isValid())
                tm = QTime::fromString(t, Qt::ISODate);
            ok = t.isEmpty() || tm.isValid();
            v = t.isEmpty() ? 0 : tm.msecsSinceStartOfDay();
        }
        if (!ok || v < INT32_MIN || v > INT32_MAX)
            badValue();
        m_modified = true;
        plat::putU32(p, uint32_t(int32_t(v)));
        return;
    }
    case ftFloat:
    case ftCurrency:
    case ftDateTime: {
        if (f.width < 8)
            return;
        double v = 0;
        if (f.type == ftDateTime) {
            const QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs);
            ok = t.isEmpty() || dt.isValid();
            if (!t.isEmpty() && ok)
                v = double(dt.date().toJulianDay() - kJulianDayBeforeYear1) * kMsPerDay
                    + dt.time().msecsSinceStartOfDay();
        } else {
            v = t.isEmpty() ? 0 : t.toDouble(&ok);
        }
        if (!ok)
            badValue();
        m_modified = true;
        writeDouble(p, v);
        return;
    }
    default:
        return;
    }
}

void TBinaryDataSet::SetFieldValue(const QString &name, const QString &value)
{
    const int index = FieldIndex(name);
    if (index < 0 && Modifying())
        fail(QStringLiteral("Field '%1' not found").arg(name));
    SetFieldValue(index, value);
}

// --- slots ---------------------------------------------------------------------------

void TBinaryDataSet::requireActive() const
{
    if (!Active())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

QByteArray TBinaryDataSet::readSlot(int slot) const
{
    requireActive();
    if (slot < 0 || slot >= SlotCount())
        fail(QString::fromLatin1(kInvalidRecord));
    const qint64 at = m_dataStart + qint64(slot) * m_recordSize;
    QByteArray bytes;
    if (m_stream->seek(at))
        bytes = m_stream->read(m_recordSize);
    // The file may have been cut short by someone else since it was opened.
    if (bytes.size() != m_recordSize)
        fail(QString::fromLatin1(kInvalidRecord));
    return bytes;
}

int32_t TBinaryDataSet::SlotFreeLink(int slot) const
{
    requireActive();
    if (slot < 0 || slot >= SlotCount())
        fail(QStringLiteral("Bookmark %1 not found").arg(slot));
    QByteArray link;
    if (m_stream->seek(m_dataStart + qint64(slot) * m_recordSize))
        link = m_stream->read(4);
    if (link.size() != 4)
        fail(QString::fromLatin1(kInvalidRecord));
    return int32_t(plat::getU32(link.constData()));
}

bool TBinaryDataSet::slotIsLive(int slot) const { return SlotFreeLink(slot) == 0; }

int TBinaryDataSet::findLive(int from, int step) const
{
    for (int s = from; s >= 0 && s < SlotCount(); s += step)
        if (slotIsLive(s))
            return s;
    return -1;
}

void TBinaryDataSet::loadCurrent() { m_current = m_cursor >= 0 ? readSlot(m_cursor) : QByteArray(); }

void TBinaryDataSet::ForEachRecord(const std::function<bool(const Record &)> &visit) const
{
    requireActive();
    // Slots are read in blocks of about a megabyte.
    const int perBlock = int(std::max<qint64>(1, (1 << 20) / m_recordSize));
    for (int first = 0; first < SlotCount(); first += perBlock) {
        const int count = std::min(perBlock, SlotCount() - first);
        QByteArray block;
        if (m_stream->seek(m_dataStart + qint64(first) * m_recordSize))
            block = m_stream->read(qint64(count) * m_recordSize);
        if (block.size() != qint64(count) * m_recordSize)
            fail(QString::fromLatin1(kInvalidRecord));
        for (int i = 0; i < count; ++i) {
            const QByteArray rec = block.mid(qsizetype(i) * m_recordSize, m_recordSize);
            if (plat::getU32(rec.constData()) != 0)
                continue;
            Record r;
            r.slot = first + i;
            for (int f = 0; f < m_fields.size(); ++f)
                r.values << valueFrom(rec, f);
            if (!visit(r))
                return;
        }
    }
}

QList<Record> TBinaryDataSet::Records() const
{
    QList<Record> out;
    ForEachRecord([&out](const Record &r) {
        out.append(r);
        return true;
    });
    return out;
}

std::optional<Record> TBinaryDataSet::ReadRecord(int slot) const
{
    requireActive();
    if (slot < 0 || slot >= SlotCount())
        return std::nullopt;
    const QByteArray rec = readSlot(slot);
    if (plat::getU32(rec.constData()) != 0)
        return std::nullopt;
    Record r;
    r.slot = slot;
    for (int f = 0; f < m_fields.size(); ++f)
        r.values << valueFrom(rec, f);
    return r;
}

// --- cursor --------------------------------------------------------------------------

void TBinaryDataSet::checkBrowseMode()
{
    requireActive();
    // A change is posted; a record that was started but never given a value is dropped.
    if (Modifying()) {
        if (m_modified)
            Post();
        else
            Cancel();
    }
}

void TBinaryDataSet::First()
{
    checkBrowseMode();
    m_cursor = findLive(0, 1);
    loadCurrent();
    m_bof = true;
    m_eof = m_cursor < 0;
}

void TBinaryDataSet::Last()
{
    checkBrowseMode();
    m_cursor = findLive(SlotCount() - 1, -1);
    loadCurrent();
    m_eof = true;
    m_bof = m_cursor < 0;
}

bool TBinaryDataSet::Next()
{
    checkBrowseMode();
    const int s = m_cursor < 0 ? -1 : findLive(m_cursor + 1, 1);
    if (s < 0) {
        m_eof = true;
        return false;
    }
    m_cursor = s;
    loadCurrent();
    m_bof = m_eof = false;
    return true;
}

bool TBinaryDataSet::Prior()
{
    checkBrowseMode();
    const int s = m_cursor < 0 ? -1 : findLive(m_cursor - 1, -1);
    if (s < 0) {
        m_bof = true;
        return false;
    }
    m_cursor = s;
    loadCurrent();
    m_bof = m_eof = false;
    return true;
}

void TBinaryDataSet::GotoBookmark(int slot)
{
    checkBrowseMode();
    if (slot < 0 || slot >= SlotCount())
        fail(QStringLiteral("Bookmark %1 not found").arg(slot));
    if (!slotIsLive(slot))
        fail(QString::fromLatin1(kInvalidRecord));
    m_cursor = slot;
    loadCurrent();
    m_bof = m_eof = false;
}

// --- changes -------------------------------------------------------------------------

void TBinaryDataSet::Edit()
{
    requireActive();
    if (Modifying())
        return;
    if (m_readOnly)
        fail(QString::fromLatin1(kReadOnlyPost));
    if (m_cursor < 0) {
        Insert();
        return;
    }
    m_edit = m_current;
    m_modified = false;
    m_state = State::Edit;
}

void TBinaryDataSet::Insert()
{
    checkBrowseMode();
    if (m_readOnly)
        fail(QString::fromLatin1(kReadOnlyPost));
    m_edit = QByteArray(m_recordSize, '\0');
    m_modified = false;
    m_state = State::Insert;
}

void TBinaryDataSet::Append()
{
    checkBrowseMode();
    if (m_readOnly)
        fail(QString::fromLatin1(kReadOnlyPost));
    m_edit = QByteArray(m_recordSize, '\0');
    m_modified = false;
    m_state = State::Append;
}

void TBinaryDataSet::Cancel()
{
    if (!Modifying())
        return;
    m_edit.clear();
    m_state = State::Browse;
}

void TBinaryDataSet::Post()
{
    requireActive();
    if (!Modifying())
        return;
    if (m_readOnly)
        fail(QString::fromLatin1(kReadOnlyPost));
    QByteArray record = m_edit;
    switch (m_state) {
    case State::Edit:
        writeAt(m_dataStart + qint64(m_cursor) * m_recordSize, record);
        m_current = record;
        break;
    case State::Insert:
        addRecord(record);
        break;
    case State::Append:
        appendRecord(record);
        break;
    default:
        break;
    }
    flush();
    m_edit.clear();
    m_state = State::Browse;
    m_bof = m_eof = false;
}

void TBinaryDataSet::addRecord(QByteArray record)
{
    // Reuse the newest deleted slot. A free list that points outside the slots or at a
    // live record (a damaged file) is abandoned rather than followed: its slots stay
    // deleted and the record goes to the end, so no live record is ever overwritten.
    if (m_firstFree > 0 && m_deletedCount > 0 && m_firstFree <= SlotCount()) {
        const int slot = m_firstFree - 1;
        const qint64 at = m_dataStart + qint64(slot) * m_recordSize;
        const QByteArray old = readSlot(slot);
        const int32_t link = int32_t(plat::getU32(old.constData()));
        if (link != 0) {
            m_firstFree = link;
            --m_deletedCount;
            ++m_recordCount;
            writeHeader();
            plat::putU32(record.data(), 0);
            std::memcpy(record.data() + 4, old.constData() + 4, 4); // the reserved word stays
            writeAt(at, record);
            m_cursor = slot;
            m_current = record;
            return;
        }
    }
    if (m_firstFree > 0)
        m_firstFree = -1;
    appendRecord(record);
}

void TBinaryDataSet::appendRecord(QByteArray record)
{
    if (SlotCount() >= INT_MAX)
        fail(QStringLiteral("The table file is full."));
    const int slot = SlotCount();
    plat::putU32(record.data(), 0);
    plat::putU32(record.data() + 4, 0);
    writeAt(m_dataStart + qint64(slot) * m_recordSize, record);
    ++m_recordCount;
    writeHeader();
    m_cursor = slot;
    m_current = record;
}

void TBinaryDataSet::Delete()
{
    requireActive();
    if (m_readOnly)
        fail(QString::fromLatin1(kReadOnlyDelete));
    if (m_state == State::Insert || m_state == State::Append) {
        Cancel();
        return;
    }
    Cancel();
    if (m_cursor < 0)
        fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    const int slot = m_cursor;
    QByteArray record = m_current;
    plat::putU32(record.data(), uint32_t(m_firstFree));
    writeAt(m_dataStart + qint64(slot) * m_recordSize, record);
    m_firstFree = slot + 1;
    ++m_deletedCount;
    --m_recordCount;
    writeHeader();
    flush();

    int next = findLive(slot + 1, 1);
    m_eof = next < 0;
    m_bof = false;
    if (next < 0) {
        next = findLive(slot - 1, -1);
        m_bof = next < 0;
    }
    m_cursor = next;
    loadCurrent();
}

void TBinaryDataSet::writeAt(qint64 offset, const QByteArray &bytes)
{
    if (!m_stream->seek(offset) || m_stream->write(bytes) != bytes.size())
        fail(QStringLiteral("Cannot write to the table file: %1").arg(m_stream->errorString()));
}

void TBinaryDataSet::writeHeader()
{
    QByteArray head;
    plat::LeWriter w(&head);
    w.i32(kSignature);
    w.i32(m_version);
    w.bytes(m_checkBlock.leftJustified(kCheckBlockSize, char(23), true));
    w.i32(int32_t(m_fields.size()));
    w.i32(m_recordSize);
    w.i32(m_recordCount);
    w.i32(m_deletedCount);
    w.i32(m_firstFree);
    w.i32(int32_t(m_dataStart));
    writeAt(0, head);
}

void TBinaryDataSet::flush()
{
    if (auto *file = qobject_cast<QFileDevice *>(m_stream.get()); file && !file->flush())
        fail(QStringLiteral("Cannot write to the table file: %1").arg(file->errorString()));
}

} // namespace contacts
