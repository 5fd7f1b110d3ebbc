#pragma once
// TBinaryDataSet: a table of fixed-size records in one flat file (`.DAT`), the format of
// the personal data file.
//
//   offset 0   48-byte header: signature 11699, version 100, 16-byte password check
//              block, field count, record size, record count, deleted count, first free
//              slot (1-based, -1 or 0 for none), data start
//   offset 48  one 41-byte descriptor per field: name[28], type, width, size, precision
//   data start record slots of `record size` bytes: an 8-byte record header (free link,
//              reserved) and the fields back to back
//
// Deleted slots form a free list through their free links; additions reuse the newest
// deleted slot first and the file never shrinks. The header is written back after every
// change, so the file is consistent after each single operation.
//
// Typical read-only use (merge data, pickers):
//
//   contacts::TBinaryDataSet ds;
//   ds.setTableName(path);
//   ds.setReadOnly(true);
//   ds.Open();                                   // throws EBinaryDataSetError
//   for (const auto &rec : ds.Records())        // live records in slot order
//       use(rec.slot, rec.values.value(ds.FieldIndex("LNAME")));
//
// Cursor use follows the usual dataset pattern: First(), then Next() until it returns
// false; FieldValue() reads the record at the cursor (or the one being edited).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

class QIODevice;

namespace contacts {

// Every failure of the data set. `reason` lets a caller tell a missing file from a
// damaged one or one that another writer holds; `message` is the text to show.
class EBinaryDataSetError : public std::runtime_error {
public:
    enum class Reason { Other, NotFound, Damaged, InUse };
    explicit EBinaryDataSetError(const QString &message, Reason reason = Reason::Other);
    const QString &message() const { return m_message; }
    Reason reason() const { return m_reason; }

private:
    QString m_message;
    Reason m_reason;
};

// Field type codes as they are stored in a descriptor.
enum FieldType : int {
    ftString = 1,
    ftSmallint = 2,
    ftInteger = 3,
    ftWord = 4,
    ftBoolean = 5,
    ftFloat = 6,
    ftCurrency = 7,
    ftDate = 9,
    ftTime = 10,
    ftDateTime = 11,
};

// Bytes a field of `type` occupies in a record (text: size + 4); -1 for an unsupported type.
int fieldWidth(int type, int size);

// A field to create (CreateTable).
struct FieldDef {
    QString name;
    int type = ftString;
    int size = 0;
    int precision = 0;
    bool required = false;
};

// A field of an open table, as its descriptor says.
struct FieldInfo {
    QString name;
    int type = 0;
    int width = 0;
    int size = 0; // the declared size read back as 16 bits
    int precision = 0;
    int offset = 0; // within a record slot, after the 8-byte record header
};

// One live record: its slot and every field's value as text, in field order.
struct Record {
    int slot = -1;
    QStringList values;
};

class TBinaryDataSet {
public:
    enum class State { Inactive, Browse, Edit, Insert, Append };

    static constexpr int32_t kSignature = 11699;
    static constexpr int32_t kVersion = 100;
    static constexpr int kHeaderSize = 48;
    static constexpr int kDescriptorSize = 41;
    static constexpr int kRecordHeaderSize = 8;
    static constexpr int kMaxFieldNameLength = 27;

    TBinaryDataSet();
    ~TBinaryDataSet();
    TBinaryDataSet(const TBinaryDataSet &) = delete;
    TBinaryDataSet &operator=(const TBinaryDataSet &) = delete;

    // Set before opening.
    const QString &TableName() const { return m_tableName; }
    void setTableName(const QString &name) { m_tableName = name; }
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // The persistent fields that CreateTable writes.
    const QList<FieldDef> &FieldDefs() const { return m_fieldDefs; }
    void setFieldDefs(const QList<FieldDef> &defs) { m_fieldDefs = defs; }

    // Opens TableName. Read-only opens share the file with everyone; a read-write open
    // holds an exclusive advisory lock, so a second writer (another window or program)
    // is refused with Reason::InUse instead of interleaving its changes.
    void Open();
    // Opens a data file held by an already opened device (a QBuffer in memory); the data
    // set owns it from now on. Changes go to the device unless ReadOnly is set.
    void OpenDevice(std::unique_ptr<QIODevice> device);
    void Close();
    bool Active() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool Modifying() const { return m_state == State::Edit || m_state == State::Insert || m_state == State::Append; }

    // Writes a new, empty table from FieldDefs() (replacing any old file once the new one
    // is complete). The data set must be closed and stays closed.
    void CreateTable();

    // The header as it stands.
    int RecordCount() const { return m_recordCount; }
    int DeletedCount() const { return m_deletedCount; }
    int FirstFreeSlot() const { return m_firstFree; }
    int RecordSize() const { return m_recordSize; }
    qint64 DataStart() const { return m_dataStart; }
    // Live and deleted slots together.
    int SlotCount() const { return m_recordCount + m_deletedCount; }

    int FieldCount() const { return int(m_fields.size()); }
    const FieldInfo &Field(int index) const { return m_fields.at(index); }
    // Index of the field called `name` (letter case ignored), or -1.
    int FieldIndex(const QString &name) const;

    // Cursor. First and Last position on the first or last live record; Next and Prior
    // step over deleted slots and return false at the end (Eof) or start (Bof). Before the
    // cursor moves, a pending change is posted; a record started by Edit, Insert or Append
    // without any value set is dropped.
    bool IsEmpty() const { return m_cursor < 0; }
    void First();
    void Last();
    bool Next();
    bool Prior();
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    // Slot of the record at the cursor (the bookmark), or -1 when the table is empty or
    // a new record is being inserted.
    int CurrentSlot() const { return m_state == State::Insert || m_state == State::Append ? -1 : m_cursor; }
    // Moves to the live record in `slot`: "Bookmark N not found" outside the slots,
    // "GetRecord: Invalid record" for a deleted slot.
    void GotoBookmark(int slot);

    // Values of the record at the cursor, or of the record being edited or inserted.
    // Text fields are Windows-1252 in the file; every field reports a value.
    QString FieldValue(int index) const;
    QString FieldValue(const QString &name) const;
    QStringList Values() const;

    // Editing. Edit changes the record at the cursor; Insert adds a new record that
    // reuses the newest deleted slot; Append adds one at the end of the file.
    void Edit();
    void Insert();
    void Append();
    // Sets a field of the record being edited or inserted. Text is cut to the field's
    // size; a character that Windows-1252 cannot hold is refused (nothing is changed
    // into '?').
    void SetFieldValue(int index, const QString &value);
    void SetFieldValue(const QString &name, const QString &value);
    void Post();
    void Cancel();
    // Deletes the record at the cursor (its bytes stay in the file); the cursor goes to
    // the next live record, or the previous one at the end.
    void Delete();

    // Reads outside the cursor: every live record in slot order, or one slot.
    QList<Record> Records() const;
    // Calls `visit` for each live record in slot order until it returns false.
    void ForEachRecord(const std::function<bool(const Record &)> &visit) const;
    std::optional<Record> ReadRecord(int slot) const;
    // The free link of a slot (0 for a live record), read from the file.
    int32_t SlotFreeLink(int slot) const;

    // The first character of `text` that a text field cannot hold (one Windows-1252 has
    // no byte for, or a zero character), or an empty string when every one can be stored.
    static QString unstorableCharacter(const QString &text);

private:
    void openStream(std::unique_ptr<QIODevice> device);
    void requireActive() const;
    void checkBrowseMode();
    QByteArray readSlot(int slot) const;
    bool slotIsLive(int slot) const;
    int findLive(int from, int step) const;
    void loadCurrent();
    void writeAt(qint64 offset, const QByteArray &bytes);
    void writeHeader();
    void flush();
    QString valueFrom(const QByteArray &record, int index) const;
    void addRecord(QByteArray record);
    void appendRecord(QByteArray record);

    QString m_tableName;
    bool m_readOnly = false;
    QList<FieldDef> m_fieldDefs;

    std::unique_ptr<QIODevice> m_stream;
    QList<FieldInfo> m_fields;
    QByteArray m_checkBlock;
    int32_t m_version = kVersion;
    int32_t m_recordSize = 0;
    int32_t m_recordCount = 0;
    int32_t m_deletedCount = 0;
    int32_t m_firstFree = -1;
    qint64 m_dataStart = 0;

    State m_state = State::Inactive;
    int m_cursor = -1;
    bool m_bof = true;
    bool m_eof = true;
    QByteArray m_current; // the record at the cursor
    QByteArray m_edit;    // the record being edited or inserted
    bool m_modified = false; // a field of m_edit was set
};

} // namespace contacts
