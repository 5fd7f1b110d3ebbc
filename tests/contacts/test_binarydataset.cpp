// The personal data file on disk: layout, free list, browsing, errors and locking.
#include "ContactsTestSupport.h"

#include <QBuffer>

using namespace contactstests;
using contacts::EBinaryDataSetError;
using contacts::TBinaryDataSet;
using Reason = EBinaryDataSetError::Reason;

namespace {

// The message and reason of opening `path` (read-write unless `readOnly`); the data set
// must stay closed after a failure.
std::pair<QString, Reason> openFailure(const QString &path, bool readOnly = false)
{
    TBinaryDataSet ds;
    ds.setTableName(path);
    ds.setReadOnly(readOnly);
    try {
        ds.Open();
    } catch (const EBinaryDataSetError &e) {
        EXPECT_FALSE(ds.Active());
        return {e.message(), e.reason()};
    }
    return {QStringLiteral("(opened)"), Reason::Other};
}

QList<int> slotsForward(TBinaryDataSet &ds)
{
    QList<int> out;
    ds.First();
    if (ds.IsEmpty())
        return out;
    do
        out << ds.CurrentSlot();
    while (ds.Next());
    EXPECT_TRUE(ds.Eof());
    return out;
}

QList<int> slotsBackward(TBinaryDataSet &ds)
{
    QList<int> out;
    ds.Last();
    if (ds.IsEmpty())
        return out;
    do
        out << ds.CurrentSlot();
    while (ds.Prior());
    EXPECT_TRUE(ds.Bof());
    return out;
}

} // namespace

TEST(BinaryDataSet, CreatedFileHasTheExactLayout)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    const QByteArray b = fileBytes(path);
    ASSERT_EQ(b.size(), 581);
    const Header h = header(b);
    EXPECT_EQ(h.signature, 11699);
    EXPECT_EQ(h.version, 100);
    EXPECT_EQ(b.mid(8, 16), QByteArray(16, char(23)));
    EXPECT_EQ(h.fieldCount, 13);
    EXPECT_EQ(h.recordSize, 1000);
    EXPECT_EQ(h.recordCount, 0);
    EXPECT_EQ(h.deletedCount, 0);
    EXPECT_EQ(h.firstFree, -1);
    EXPECT_EQ(h.dataStart, 581);

    // Every descriptor: the name zero-filled in 28 bytes, type 1, width size + 4, size,
    // precision 0.
    for (int i = 0; i < contacts::PersonalFieldCount; ++i) {
        const qsizetype d = 48 + qsizetype(i) * 41;
        const QByteArray name = contacts::personalField(i).name;
        const int size = contacts::personalField(i).size;
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(b.mid(d, 28), name + QByteArray(28 - name.size(), '\0'));
        EXPECT_EQ(b.at(d + 28), 1);
        EXPECT_EQ(i32At(b, d + 29), size + 4);
        EXPECT_EQ(i32At(b, d + 33), size);
        EXPECT_EQ(i32At(b, d + 37), 0);
    }

    withDataSet(path, [](TBinaryDataSet &ds) {
        EXPECT_TRUE(ds.IsEmpty());
        EXPECT_EQ(ds.RecordCount(), 0);
        EXPECT_EQ(ds.RecordSize(), 1000);
        EXPECT_EQ(ds.FieldCount(), 13);
        EXPECT_EQ(ds.Field(contacts::EMAIL).offset, 8 + 4 * 54 + 2 * 104 + 2 * 24);
        EXPECT_TRUE(ds.Records().isEmpty());
    });
}

TEST(BinaryDataSet, FreeListReusesTheDeletedSlotInPlace)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    withDataSet(path, [](TBinaryDataSet &ds) {
        addRecord(ds, {QStringLiteral("Ann")});
        addRecord(ds, {QStringLiteral("Bob")});
        addRecord(ds, {QStringLiteral("Cid")});
    });
    QByteArray b = fileBytes(path);
    ASSERT_EQ(b.size(), 3581);
    // A reserved word written by someone else must survive deletion and reuse.
    plat::putU32(b.data() + 581 + 1000 + 4, 77);
    writeBytes(path, b);

    withDataSet(path, [](TBinaryDataSet &ds) {
        ds.GotoBookmark(1);
        ds.Delete();
        EXPECT_EQ(ds.CurrentSlot(), 2) << "the cursor goes on to the next record";
    });
    b = fileBytes(path);
    EXPECT_EQ(b.size(), 3581);
    Header h = header(b);
    EXPECT_EQ(h.firstFree, 2);
    EXPECT_EQ(h.deletedCount, 1);
    EXPECT_EQ(h.recordCount, 2);
    EXPECT_EQ(slotLink(b, 1), -1);
    EXPECT_EQ(b.mid(581 + 1000 + 8, 4), QByteArray("Bob\0", 4)) << "a deleted record's data stays in the file";

    withDataSet(path, [](TBinaryDataSet &ds) {
        EXPECT_EQ(ds.RecordCount(), 2);
        addRecord(ds, {QStringLiteral("Dee")});
        EXPECT_EQ(ds.CurrentSlot(), 1);
    });
    b = fileBytes(path);
    EXPECT_EQ(b.size(), 3581);
    h = header(b);
    EXPECT_EQ(h.firstFree, -1);
    EXPECT_EQ(h.deletedCount, 0);
    EXPECT_EQ(h.recordCount, 3);
    EXPECT_EQ(slotLink(b, 1), 0);
    EXPECT_EQ(i32At(b, 581 + 1000 + 4), 77);
    withDataSet(path, [](TBinaryDataSet &ds) {
        QStringList names;
        for (const contacts::Record &r : ds.Records())
            names << r.values.at(contacts::FNAME);
        EXPECT_EQ(names, QStringList({"Ann", "Dee", "Cid"}));
    });
}

TEST(BinaryDataSet, NewestDeletedSlotIsReusedFirst)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    withDataSet(path, [](TBinaryDataSet &ds) {
        for (const char *n : {"One", "Two", "Three"})
            addRecord(ds, {QString::fromLatin1(n)});
        ds.GotoBookmark(0);
        ds.Delete();
        ds.GotoBookmark(2);
        ds.Delete();
    });
    QByteArray b = fileBytes(path);
    EXPECT_EQ(header(b).firstFree, 3);
    EXPECT_EQ(header(b).deletedCount, 2);
    EXPECT_EQ(slotLink(b, 2), 1);
    EXPECT_EQ(slotLink(b, 0), -1);

    withDataSet(path, [](TBinaryDataSet &ds) {
        addRecord(ds, {QStringLiteral("Four")});
        EXPECT_EQ(ds.CurrentSlot(), 2);
        addRecord(ds, {QStringLiteral("Five")});
        EXPECT_EQ(ds.CurrentSlot(), 0);
        addRecord(ds, {QStringLiteral("Six")});
        EXPECT_EQ(ds.CurrentSlot(), 3) << "with the free list used up, records go to the end";
        // Append always writes at the end, even with a free slot waiting.
        ds.GotoBookmark(1);
        ds.Delete();
        ds.Append();
        ds.SetFieldValue(contacts::FNAME, QStringLiteral("Seven"));
        ds.Post();
        EXPECT_EQ(ds.CurrentSlot(), 4);
        EXPECT_EQ(ds.FirstFreeSlot(), 2);
    });
    b = fileBytes(path);
    EXPECT_EQ(b.size(), 581 + 5 * 1000);
    EXPECT_EQ(header(b).recordCount, 4);
    EXPECT_EQ(header(b).deletedCount, 1);
}

// Deleted slots at the start, in the middle and at the end are never shown.
TEST(BinaryDataSet, BrowsingSkipsDeletedSlots)
{
    const QList<QList<int>> deletedSets = {{}, {0}, {4}, {0, 4}, {0, 1, 3}, {1, 2, 3}, {0, 1, 2, 3}, {0, 1, 2, 3, 4}};
    for (const QList<int> &deleted : deletedSets) {
        SCOPED_TRACE(::testing::PrintToString(std::vector<int>(deleted.begin(), deleted.end())));
        QTemporaryDir dir;
        const QString path = createPersonalFile(dir);
        QList<int> live;
        withDataSet(path, [&](TBinaryDataSet &ds) {
            for (int i = 0; i < 5; ++i) {
                ds.Append();
                ds.SetFieldValue(contacts::FNAME, QString::number(i));
                ds.Post();
            }
            for (int s : deleted) {
                ds.GotoBookmark(s);
                ds.Delete();
            }
        });
        for (int i = 0; i < 5; ++i)
            if (!deleted.contains(i))
                live << i;
        withDataSet(path, [&](TBinaryDataSet &ds) {
            EXPECT_EQ(slotsForward(ds), live);
            QList<int> back = live;
            std::reverse(back.begin(), back.end());
            EXPECT_EQ(slotsBackward(ds), back);
            QList<int> listed;
            for (const contacts::Record &r : ds.Records()) {
                listed << r.slot;
                EXPECT_EQ(r.values.at(contacts::FNAME), QString::number(r.slot));
            }
            EXPECT_EQ(listed, live);
            EXPECT_EQ(ds.IsEmpty(), live.isEmpty());
        });
    }
}

TEST(BinaryDataSet, OpenRefusesDamagedFiles)
{
    QTemporaryDir dir;
    const QString good = createPersonalFile(dir, QStringLiteral("good.dat"));
    withDataSet(good, [](TBinaryDataSet &ds) {
        addRecord(ds, {QStringLiteral("Ann")});
        addRecord(ds, {QStringLiteral("Bob")});
    });
    const QByteArray base = fileBytes(good);
    ASSERT_EQ(base.size(), 2581);

    auto patched = [&](qsizetype off, int32_t v) {
        QByteArray b = base;
        plat::putU32(b.data() + off, uint32_t(v));
        return b;
    };
    QByteArray badType = base;
    badType[48 + 28] = 8; // a type code the table does not know
    const struct {
        const char *what;
        QByteArray bytes;
        const char *message;
    } cases[] = {
        {"one byte short", base.left(base.size() - 1),
         "Open: Invalid record size.\rStartData   : 581\rfRecordCount: 2\rfRecordSize : 1000\rfStream.SIze: 2580"},
        {"one byte more", base + 'x',
         "Open: Invalid record size.\rStartData   : 581\rfRecordCount: 2\rfRecordSize : 1000\rfStream.SIze: 2582"},
        {"signature", patched(0, 11698), "Invalid file type."},
        {"empty file", QByteArray(), "Invalid file type."},
        {"header cut short", base.left(30), "Invalid file type."},
        {"version 101", patched(4, 101), "Invalid file version."},
        {"no fields", patched(24, 0), "Invalid number of fields."},
        {"negative field count", patched(24, -5), "Invalid number of fields."},
        {"more fields than the file holds", patched(24, 1000000), "Invalid number of fields."},
        {"record size", patched(28, 999), "Open: File record size mismatch."},
        {"huge field width", patched(48 + 29, 0x7FFFFFF0), "Open: File record size mismatch."},
        {"negative field width", patched(48 + 29, -60), "Open: File record size mismatch."},
        {"field width unlike its size", patched(48 + 29, 55), "Open: File record size mismatch."},
        {"unknown field type", badType, "InitFieldsDefs: Unsupported field type"},
        {"negative counts", patched(36, -1),
         "Open: Invalid record size.\rStartData   : 581\rfRecordCount: 2\rfRecordSize : 1000\rfStream.SIze: 2581"},
        {"record count beyond the slots", patched(32, 3),
         "Open: Invalid record size.\rStartData   : 581\rfRecordCount: 3\rfRecordSize : 1000\rfStream.SIze: 2581"},
        {"data start inside the descriptors", [&] {
             // Two more slots' worth of bytes moved into the descriptor area.
             QByteArray b = patched(44, 581 - 1000);
             plat::putU32(b.data() + 32, 3);
             return b;
         }(),
         "Open: Invalid record size.\rStartData   : -419\rfRecordCount: 3\rfRecordSize : 1000\rfStream.SIze: 2581"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("bad.dat"));
        writeBytes(path, c.bytes);
        const auto [message, reason] = openFailure(path, /*readOnly=*/true);
        EXPECT_EQ(message, QString::fromLatin1(c.message));
        EXPECT_EQ(reason, Reason::Damaged);
        EXPECT_EQ(fileBytes(path), c.bytes) << "a failed open never writes";
    }
    const auto [message, reason] = openFailure(dir.filePath(QStringLiteral("missing.dat")));
    EXPECT_EQ(message, QStringLiteral("Table file not found."));
    EXPECT_EQ(reason, Reason::NotFound);
}

TEST(BinaryDataSet, TextIsCutToTheFieldSize)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    const QString sixty = QStringLiteral("abcdefghij").repeated(6);
    const QString address = QStringLiteral("1 Long Road\r\n") + QStringLiteral("x").repeated(120);
    withDataSet(path, [&](TBinaryDataSet &ds) {
        addRecord(ds, {sixty, QStringLiteral("Smith"), {}, {}, address});
        EXPECT_EQ(ds.FieldValue(contacts::FNAME), sixty.left(50));
    });
    const QByteArray b = fileBytes(path);
    const qsizetype fname = 581 + 8;
    EXPECT_EQ(b.mid(fname, 50), sixty.left(50).toLatin1());
    EXPECT_EQ(b.at(fname + 50), '\0');
    withDataSet(
        path,
        [&](TBinaryDataSet &ds) {
            EXPECT_EQ(ds.FieldValue(QStringLiteral("FNAME")), sixty.left(50));
            EXPECT_EQ(ds.FieldValue(QStringLiteral("lname")), QStringLiteral("Smith"));
            EXPECT_EQ(ds.FieldValue(contacts::ADDRESS), address.left(100));
        },
        true);
}

TEST(BinaryDataSet, CharactersOutsideWindows1252AreRefusedNotReplaced)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    withDataSet(path, [](TBinaryDataSet &ds) {
        addRecord(ds, {QStringLiteral("Zoë €5")});
        ds.Edit();
        try {
            ds.SetFieldValue(contacts::LNAME, QStringLiteral("Łukasz"));
            ADD_FAILURE() << "Ł has no Windows-1252 byte";
        } catch (const EBinaryDataSetError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("LNAME"))) << e.message().toStdString();
        }
        EXPECT_THROW(ds.SetFieldValue(contacts::TITLE, QStringLiteral("a\u0000b")), EBinaryDataSetError);
        ds.Post();
    });
    const QByteArray b = fileBytes(path);
    EXPECT_EQ(b.mid(581 + 8, 7), QByteArray("Zo\xEB \x80" "5\0", 7));
    EXPECT_EQ(b.at(581 + 8 + 54), '\0') << "nothing was stored for the refused value";
    EXPECT_EQ(TBinaryDataSet::unstorableCharacter(QStringLiteral("fine \u20AC \u00FF")), QString());
    EXPECT_EQ(TBinaryDataSet::unstorableCharacter(QStringLiteral("a\U0001F600b")), QStringLiteral("\U0001F600"));
}

TEST(BinaryDataSet, EditingPostsInPlaceAndCancelDrops)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    withDataSet(path, [](TBinaryDataSet &ds) {
        addRecord(ds, {QStringLiteral("Ann")});
        addRecord(ds, {QStringLiteral("Bob")});
        ds.First();
        ds.Edit();
        ds.SetFieldValue(contacts::FNAME, QStringLiteral("Anna"));
        EXPECT_EQ(ds.FieldValue(contacts::FNAME), QStringLiteral("Anna"));
        ds.Next(); // moving on posts the pending change
        EXPECT_EQ(ds.FieldValue(contacts::FNAME), QStringLiteral("Bob"));
        ds.Edit();
        ds.SetFieldValue(contacts::FNAME, QStringLiteral("Robert"));
        ds.Cancel();
        EXPECT_EQ(ds.FieldValue(contacts::FNAME), QStringLiteral("Bob"));
        ds.Insert();
        ds.First(); // a record given no value is dropped, not stored empty
        EXPECT_EQ(ds.RecordCount(), 2);
        EXPECT_EQ(ds.CurrentSlot(), 0);
        ds.Insert();
        ds.SetFieldValue(contacts::FNAME, QStringLiteral("Never"));
        // Closing drops a change that was not posted.
    });
    withDataSet(path, [](TBinaryDataSet &ds) {
        EXPECT_EQ(ds.RecordCount(), 2);
        const QList<contacts::Record> records = ds.Records();
        ASSERT_EQ(records.size(), 2);
        EXPECT_EQ(records.at(0).values.at(contacts::FNAME), QStringLiteral("Anna"));
        EXPECT_EQ(records.at(1).values.at(contacts::FNAME), QStringLiteral("Bob"));
    });
    EXPECT_EQ(fileBytes(path).size(), 2581);
}

TEST(BinaryDataSet, CursorErrors)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    withDataSet(path, [](TBinaryDataSet &ds) {
        addRecord(ds, {QStringLiteral("Ann")});
        addRecord(ds, {QStringLiteral("Bob")});
        ds.GotoBookmark(0);
        ds.Delete();
        const std::pair<int, const char *> cases[] = {
            {7, "Bookmark 7 not found"}, {-1, "Bookmark -1 not found"}, {0, "GetRecord: Invalid record"}};
        for (const auto &[slot, message] : cases) {
            try {
                ds.GotoBookmark(slot);
                ADD_FAILURE() << "slot " << slot;
            } catch (const EBinaryDataSetError &e) {
                EXPECT_EQ(e.message(), QString::fromLatin1(message));
            }
        }
        EXPECT_EQ(ds.CurrentSlot(), 1) << "a failed move leaves the cursor where it was";
        EXPECT_EQ(ds.FieldValue(contacts::FNAME), QStringLiteral("Bob"));
        ds.Delete();
        EXPECT_TRUE(ds.IsEmpty());
        EXPECT_THROW(ds.Delete(), EBinaryDataSetError);
    });
}

TEST(BinaryDataSet, ReadOnlyRefusesEveryChange)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    withDataSet(path, [](TBinaryDataSet &ds) { addRecord(ds, {QStringLiteral("Ann")}); });
    const QByteArray before = fileBytes(path);

    TBinaryDataSet ds;
    ds.setTableName(path);
    ds.setReadOnly(true);
    ds.Open();
    auto message = [](auto &&call) {
        try {
            call();
        } catch (const EBinaryDataSetError &e) {
            return e.message();
        }
        return QStringLiteral("(no error)");
    };
    const QString post = QStringLiteral("Dataset must be opened for read/write to add or change records.");
    EXPECT_EQ(message([&] { ds.Edit(); }), post);
    EXPECT_EQ(message([&] { ds.Insert(); }), post);
    EXPECT_EQ(message([&] { ds.Append(); }), post);
    EXPECT_EQ(message([&] { ds.Delete(); }), QStringLiteral("Dataset must be opened for read/write to delete records."));
    ds.Close();
    EXPECT_EQ(message([&] { ds.CreateTable(); }),
              QStringLiteral("Dataset must be opened for read/write to create a new table."));
    TBinaryDataSet unnamed;
    EXPECT_EQ(message([&] { unnamed.CreateTable(); }), QStringLiteral("Table filename not specified."));
    contacts::TBinaryDataSet odd;
    odd.setTableName(dir.filePath(QStringLiteral("odd.dat")));
    odd.setFieldDefs({{QStringLiteral("X"), 8, 4, 0, false}});
    EXPECT_EQ(message([&] { odd.CreateTable(); }), QStringLiteral("InitFieldsDefs: Unsupported field type"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("odd.dat"))));
    EXPECT_EQ(fileBytes(path), before);
}

// A second writer is refused while the first holds the file; readers are not.
TEST(BinaryDataSet, OneWriterAtATime)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    TBinaryDataSet writer;
    contacts::preparePersonalDataSet(writer, path);
    writer.Open();
    addRecord(writer, {QStringLiteral("Ann")});

    const auto [message, reason] = openFailure(path);
    EXPECT_EQ(reason, Reason::InUse) << message.toStdString();

    TBinaryDataSet second;
    contacts::preparePersonalDataSet(second, path);
    try {
        second.CreateTable();
        ADD_FAILURE() << "CreateTable replaced a file that a writer holds";
    } catch (const EBinaryDataSetError &e) {
        EXPECT_EQ(e.reason(), Reason::InUse);
    }

    withDataSet(
        path, [](TBinaryDataSet &reader) { EXPECT_EQ(reader.FieldValue(contacts::FNAME), QStringLiteral("Ann")); },
        true);
    writer.Close();
    withDataSet(path, [](TBinaryDataSet &ds) { EXPECT_EQ(ds.RecordCount(), 1); });
}

// A free list damaged by someone else never makes an addition overwrite a live record.
TEST(BinaryDataSet, BrokenFreeListIsNotFollowed)
{
    const struct {
        const char *what;
        int32_t firstFree;
        int32_t deleted;
        int32_t slot1Link; // the deleted slot's link
    } cases[] = {
        {"first free beyond the slots", 9, 1, -1},
        {"first free names a live record", 1, 1, -1},
        {"chain leads back to a live record", 2, 1, 1},
        {"deleted count says none", 2, 0, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = createPersonalFile(dir);
        withDataSet(path, [](TBinaryDataSet &ds) {
            for (const char *n : {"Ann", "Bob", "Cid"})
                addRecord(ds, {QString::fromLatin1(n)});
            ds.GotoBookmark(1);
            ds.Delete();
        });
        QByteArray b = fileBytes(path);
        plat::putU32(b.data() + 40, uint32_t(c.firstFree));
        plat::putU32(b.data() + 36, uint32_t(c.deleted));
        plat::putU32(b.data() + 32, uint32_t(3 - c.deleted));
        plat::putU32(b.data() + 581 + 1000, uint32_t(c.slot1Link));
        writeBytes(path, b);
        withDataSet(path, [](TBinaryDataSet &ds) {
            addRecord(ds, {QStringLiteral("New")});
            addRecord(ds, {QStringLiteral("Newer")});
        });
        withDataSet(
            path,
            [](TBinaryDataSet &ds) {
                QStringList names;
                for (const contacts::Record &r : ds.Records())
                    names << r.values.at(contacts::FNAME);
                EXPECT_TRUE(names.contains(QStringLiteral("Ann")));
                EXPECT_TRUE(names.contains(QStringLiteral("Cid")));
                EXPECT_TRUE(names.contains(QStringLiteral("New")));
                EXPECT_TRUE(names.contains(QStringLiteral("Newer")));
            },
            true);
    }
}

// Other field types of the format: a table with one of each, written and read back.
TEST(BinaryDataSet, EveryFieldTypeRoundTrips)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("types.dat"));
    const struct {
        const char *name;
        int type;
        int width;
        const char *value;
        const char *readBack;
    } fields[] = {
        {"S", contacts::ftString, 14, "text", "text"},
        {"SMALL", contacts::ftSmallint, 2, "-1234", "-1234"},
        {"INT", contacts::ftInteger, 4, "-123456789", "-123456789"},
        {"WORD", contacts::ftWord, 2, "65535", "65535"},
        {"FLAG", contacts::ftBoolean, 2, "true", "True"},
        {"REAL", contacts::ftFloat, 8, "3.25", "3.25"},
        {"MONEY", contacts::ftCurrency, 8, "-0.5", "-0.5"},
        {"DAY", contacts::ftDate, 4, "2024-02-29", "2024-02-29"},
        {"TIME", contacts::ftTime, 4, "13:45:10.250", "13:45:10.250"},
        {"STAMP", contacts::ftDateTime, 8, "1999-12-31T23:59:59.000", "1999-12-31T23:59:59.000"},
    };
    TBinaryDataSet ds;
    ds.setTableName(path);
    QList<contacts::FieldDef> defs;
    for (const auto &f : fields)
        defs.append({QString::fromLatin1(f.name), f.type, f.type == contacts::ftString ? 10 : 0, 0, false});
    ds.setFieldDefs(defs);
    ds.CreateTable();
    const QByteArray created = fileBytes(path);
    int expectedSize = 8;
    for (int i = 0; i < int(std::size(fields)); ++i) {
        EXPECT_EQ(i32At(created, 48 + i * 41 + 29), fields[i].width) << fields[i].name;
        expectedSize += fields[i].width;
    }
    EXPECT_EQ(header(created).recordSize, expectedSize);

    ds.Open();
    ds.Append();
    for (const auto &f : fields)
        ds.SetFieldValue(QString::fromLatin1(f.name), QString::fromLatin1(f.value));
    EXPECT_THROW(ds.SetFieldValue(QStringLiteral("SMALL"), QStringLiteral("40000")), EBinaryDataSetError);
    EXPECT_THROW(ds.SetFieldValue(QStringLiteral("DAY"), QStringLiteral("not a date")), EBinaryDataSetError);
    ds.Post();
    ds.Close();
    ds.setReadOnly(true);
    ds.Open();
    for (const auto &f : fields)
        EXPECT_EQ(ds.FieldValue(QString::fromLatin1(f.name)), QString::fromLatin1(f.readBack)) << f.name;
    // Day 1 is 1 January of year 1.
    EXPECT_EQ(i32At(fileBytes(path), header(created).dataStart + ds.Field(7).offset), 738945);
}

TEST(BinaryDataSet, InMemoryDeviceServesReaders)
{
    QTemporaryDir dir;
    const QString path = createPersonalFile(dir);
    withDataSet(path, [](TBinaryDataSet &ds) {
        addRecord(ds, {QStringLiteral("Ann"), QStringLiteral("Lee")});
        addRecord(ds, {QStringLiteral("Bob"), QStringLiteral("Ray")});
    });
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(fileBytes(path));
    buffer->open(QIODevice::ReadOnly);
    TBinaryDataSet ds;
    ds.setReadOnly(true);
    ds.OpenDevice(std::move(buffer));
    ASSERT_EQ(ds.RecordCount(), 2);
    EXPECT_EQ(ds.FieldValue(QStringLiteral("LNAME")), QStringLiteral("Lee"));
    const std::optional<contacts::Record> second = ds.ReadRecord(1);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->values.at(ds.FieldIndex(QStringLiteral("FNAME"))), QStringLiteral("Bob"));
    EXPECT_FALSE(ds.ReadRecord(2).has_value());
}

// Inputs the fuzz target found: descriptors whose widths disagree with their types and
// sizes, one of them promising a 16 MB record in an empty table. Each change of such a
// table wrote a record of that size; the reader now refuses them on opening.
TEST(BinaryDataSet, FuzzFindingsAreRefused)
{
    QTemporaryDir dir;
    const QByteArray created = fileBytes(createPersonalFile(dir));
    auto descriptor = [](int field, int offset) { return qsizetype(48 + field * 41 + offset); };
    struct Patch {
        qsizetype offset;
        int32_t value;
        bool byte;
    };
    const QList<QList<Patch>> findings = {
        {{descriptor(0, 29), 50, false},       // FNAME 50 wide for 50 characters
         {descriptor(2, 28), 9, true},         // COMPANY a date 54 wide
         {descriptor(3, 33), 8242, false},     // TITLE 8242 characters in 54 bytes
         {descriptor(9, 28), 6, true},         // USER1 a float 104 wide
         {descriptor(12, 29), 16449384, false}}, // USER4 16 MB wide
        {{descriptor(9, 28), 6, true},
         {descriptor(11, 29), 8257640, false},
         {descriptor(12, 33), 6553600, false}}, // read back as 16 bits: 0
    };
    for (const QList<Patch> &finding : findings) {
        QByteArray b = created;
        for (const Patch &p : finding) {
            if (p.byte)
                b[p.offset] = char(p.value);
            else
                plat::putU32(b.data() + p.offset, uint32_t(p.value));
        }
        const QString path = dir.filePath(QStringLiteral("finding.dat"));
        writeBytes(path, b);
        const auto [message, reason] = openFailure(path);
        EXPECT_EQ(message, QStringLiteral("Open: File record size mismatch."));
        EXPECT_EQ(reason, Reason::Damaged);
    }
}
