#include "model/ClipboardBlock.h"

#include "model/TObjectData.h"
#include "platform/ByteIO.h"

namespace model::ClipboardBlock {

QByteArray build(const QList<QByteArray> &records)
{
    qsizetype total = HeadSize;
    for (const QByteArray &r : records)
        total += r.size();
    QByteArray block;
    block.reserve(total);
    auto put32 = [&block](int32_t v) {
        const uint32_t u = uint32_t(v);
        for (int i = 0; i < 4; ++i)
            block.append(char((u >> (8 * i)) & 0xFF));
    };
    put32(Version);
    put32(int32_t(records.size()));
    put32(int32_t(total));
    for (const QByteArray &r : records)
        block.append(r);
    return block;
}

ParseResult parse(const QByteArray &block, QList<QByteArray> *records)
{
    records->clear();
    if (block.size() < HeadSize)
        return block.size() >= 4 && plat::LeReader(block.constData(), block.size()).i32At(0) != Version
                   ? ParseResult::WrongVersion
                   : ParseResult::Unusable;
    plat::LeReader r(block.constData(), block.size());
    if (r.i32At(0) != Version)
        return ParseResult::WrongVersion;
    const int32_t count = r.i32At(4);
    const int32_t total = r.i32At(8);
    if (count < 0 || total < HeadSize || total > block.size())
        return ParseResult::Unusable;
    QList<QByteArray> out;
    const char *p = block.constData() + HeadSize;
    qsizetype left = total - HeadSize;
    for (int32_t i = 0; i < count; ++i) {
        const qsizetype size = TObjectData::checkRecord(p, left);
        if (size < 0)
            return ParseResult::Unusable;
        out << QByteArray(p, size);
        p += size;
        left -= size;
    }
    *records = std::move(out);
    return ParseResult::Ok;
}

} // namespace model::ClipboardBlock
