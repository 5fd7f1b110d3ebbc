// Fuzz target for the data file reader (`.DAT`, the personal data file). Any input must
// either be refused with the data set's error or open; an opened file is browsed both
// ways, read whole, and then changed in memory (delete, insert, append, edit) — after
// every change the file must still open and keep its length invariant.
#include "contacts/BinaryDataSet.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

using contacts::EBinaryDataSetError;
using contacts::TBinaryDataSet;

std::unique_ptr<QBuffer> bufferOver(QByteArray *bytes, QIODevice::OpenMode mode)
{
    auto buffer = std::make_unique<QBuffer>(bytes);
    buffer->open(mode);
    return buffer;
}

void browse(TBinaryDataSet &ds)
{
    int forward = 0, backward = 0;
    ds.First();
    if (!ds.IsEmpty()) {
        do {
            ++forward;
            (void)ds.Values();
        } while (ds.Next());
        ds.Last();
        do
            ++backward;
        while (ds.Prior());
    }
    const int listed = int(ds.Records().size());
    if (forward != backward || forward != listed)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    {
        TBinaryDataSet reader;
        reader.setReadOnly(true);
        try {
            reader.OpenDevice(bufferOver(&bytes, QIODevice::ReadOnly));
        } catch (const EBinaryDataSetError &) {
            return 0;
        }
        browse(reader);
    }

    QByteArray copy = bytes;
    TBinaryDataSet writer;
    try {
        writer.OpenDevice(bufferOver(&copy, QIODevice::ReadWrite));
        const qint64 start = writer.DataStart();
        auto invariant = [&] {
            if (copy.size() != start + qint64(writer.SlotCount()) * writer.RecordSize())
                std::abort();
        };
        writer.First();
        if (!writer.IsEmpty()) {
            writer.Delete();
            invariant();
        }
        for (int i = 0; i < 3; ++i) {
            writer.Insert();
            for (int f = 0; f < writer.FieldCount(); ++f)
                if (writer.Field(f).type == contacts::ftString)
                    writer.SetFieldValue(f, QStringLiteral("value %1 with some length").arg(i));
            writer.Post();
            invariant();
        }
        writer.Append();
        writer.Post();
        invariant();
        writer.First();
        writer.Edit();
        writer.Post();
        browse(writer);
        invariant();
    } catch (const EBinaryDataSetError &) {
        // Refusing a change is fine; what was written must still be a readable file.
    }
    writer.Close();
    if (copy.size() >= 48) {
        TBinaryDataSet again;
        again.setReadOnly(true);
        try {
            again.OpenDevice(bufferOver(&copy, QIODevice::ReadOnly));
            browse(again);
        } catch (const EBinaryDataSetError &) {
            std::abort(); // the original opened, so every change must leave an openable file
        }
    }
    return 0;
}
