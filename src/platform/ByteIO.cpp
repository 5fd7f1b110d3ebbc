#include "platform/ByteIO.h"

namespace plat {

bool LeReader::seek(qsizetype offset)
{
    if (offset < 0 || offset > m_size) {
        m_failed = true;
        m_pos = m_size;
        return false;
    }
    m_pos = offset;
    return true;
}

QByteArray LeReader::bytes(qsizetype count)
{
    if (!has(m_pos, count)) {
        m_failed = true;
        m_pos = m_size;
        return {};
    }
    QByteArray out(m_data + m_pos, count);
    m_pos += count;
    return out;
}

QByteArray LeReader::fixedString(qsizetype fieldSize)
{
    QByteArray field = bytes(fieldSize);
    const qsizetype zero = field.indexOf('\0');
    if (zero >= 0)
        field.truncate(zero);
    return field;
}

void LeWriter::fixedString(const QByteArray &text, qsizetype fieldSize)
{
    if (fieldSize <= 0)
        return;
    const qsizetype n = std::min(text.size(), fieldSize - 1);
    m_buf->append(text.constData(), n);
    m_buf->append(fieldSize - n, '\0');
}

void LeWriter::ensure(qsizetype end)
{
    if (m_buf->size() < end)
        m_buf->append(end - m_buf->size(), '\0');
}

void LeWriter::putU32At(qsizetype off, uint32_t v)
{
    ensure(off + 4);
    putU32(m_buf->data() + off, v);
}

void LeWriter::putU16At(qsizetype off, uint16_t v)
{
    ensure(off + 2);
    putU16(m_buf->data() + off, v);
}

void LeWriter::putU8At(qsizetype off, uint8_t v)
{
    ensure(off + 1);
    (*m_buf)[off] = static_cast<char>(v);
}

void putU32(char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putU16(char *p, uint16_t v)
{
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}

uint32_t getU32(const char *p)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(p[i])) << (8 * i);
    return v;
}

uint16_t getU16(const char *p)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | (static_cast<uint8_t>(p[1]) << 8));
}

} // namespace plat
