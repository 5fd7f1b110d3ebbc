#pragma once
// Helpers for the personal data file suites: real files in a temporary folder.

#include "contacts/BinaryDataSet.h"
#include "contacts/PersonalData.h"
#include "platform/ByteIO.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace contactstests {

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

inline int32_t i32At(const QByteArray &bytes, qsizetype off) { return plat::LeReader(bytes).i32At(off); }

// Header fields of a data file's bytes.
struct Header {
    int32_t signature, version, fieldCount, recordSize, recordCount, deletedCount, firstFree, dataStart;
};
inline Header header(const QByteArray &b)
{
    return {i32At(b, 0), i32At(b, 4), i32At(b, 24), i32At(b, 28), i32At(b, 32), i32At(b, 36), i32At(b, 40), i32At(b, 44)};
}
// The free link of slot `slot` in a personal data file.
inline int32_t slotLink(const QByteArray &b, int slot) { return i32At(b, 581 + qsizetype(slot) * 1000); }

// A personal data file with no records, created by the data set itself.
inline QString createPersonalFile(const QTemporaryDir &dir, const QString &name = QStringLiteral("Personal Data.dat"))
{
    const QString path = dir.filePath(name);
    contacts::TBinaryDataSet ds;
    contacts::preparePersonalDataSet(ds, path);
    ds.CreateTable();
    return path;
}

// Adds a record (through Insert, so deleted slots are reused) with the given leading values.
inline void addRecord(contacts::TBinaryDataSet &ds, const QStringList &values)
{
    ds.Insert();
    for (int i = 0; i < values.size(); ++i)
        ds.SetFieldValue(i, values.at(i));
    ds.Post();
}

// Opens `path` for writing, runs `body`, closes.
template <typename F> void withDataSet(const QString &path, F body, bool readOnly = false)
{
    contacts::TBinaryDataSet ds;
    contacts::preparePersonalDataSet(ds, path);
    ds.setReadOnly(readOnly);
    ds.Open();
    body(ds);
}

} // namespace contactstests
