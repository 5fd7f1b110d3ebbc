#pragma once
// Little-endian field access over byte buffers. Every read is bounds-checked: a reader
// never touches a byte outside its buffer, and a failed read sets a sticky error flag
// instead of returning garbage.

#include <QByteArray>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace plat {

// Reads fixed-offset fields from a buffer. Out-of-range reads return 0 and set `failed`.
class LeReader {
public:
    LeReader(const char *data, qsizetype size) : m_data(data), m_size(size < 0 ? 0 : size) {}
    explicit LeReader(const QByteArray &bytes) : LeReader(bytes.constData(), bytes.size()) {}

    qsizetype size() const { return m_size; }
    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_size - m_pos; }
    bool failed() const { return m_failed; }
    bool atEnd() const { return m_pos >= m_size; }
    const char *data() const { return m_data; }

    // Moves the cursor; an offset outside [0, size] fails.
    bool seek(qsizetype offset);
    bool skip(qsizetype count) { return seek(m_pos + count); }

    uint8_t u8() { return readLe<uint8_t>(); }
    int8_t i8() { return static_cast<int8_t>(readLe<uint8_t>()); }
    uint16_t u16() { return readLe<uint16_t>(); }
    int16_t i16() { return static_cast<int16_t>(readLe<uint16_t>()); }
    uint32_t u32() { return readLe<uint32_t>(); }
    int32_t i32() { return static_cast<int32_t>(readLe<uint32_t>()); }
    uint64_t u64() { return readLe<uint64_t>(); }

    // Copies `count` bytes; fails (and returns an empty array) if they are not all there.
    QByteArray bytes(qsizetype count);
    // Reads a fixed-size field holding zero-terminated 8-bit text; returns the bytes up to
    // the first zero (or the whole field when it has none).
    QByteArray fixedString(qsizetype fieldSize);

    // Field access at an absolute offset without moving the cursor.
    uint8_t u8At(qsizetype off) const { return peekLe<uint8_t>(off); }
    uint16_t u16At(qsizetype off) const { return peekLe<uint16_t>(off); }
    int16_t i16At(qsizetype off) const { return static_cast<int16_t>(peekLe<uint16_t>(off)); }
    uint32_t u32At(qsizetype off) const { return peekLe<uint32_t>(off); }
    int32_t i32At(qsizetype off) const { return static_cast<int32_t>(peekLe<uint32_t>(off)); }
    bool has(qsizetype off, qsizetype count) const
    {
        return off >= 0 && count >= 0 && off <= m_size && count <= m_size - off;
    }

private:
    template <typename T> T readLe()
    {
        if (!has(m_pos, sizeof(T))) {
            m_failed = true;
            m_pos = m_size;
            return 0;
        }
        T v = decode<T>(m_data + m_pos);
        m_pos += sizeof(T);
        return v;
    }
    template <typename T> T peekLe(qsizetype off) const
    {
        if (!has(off, sizeof(T)))
            return 0;
        return decode<T>(m_data + off);
    }
    template <typename T> static T decode(const char *p)
    {
        T v = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            v |= static_cast<T>(static_cast<uint8_t>(p[i])) << (8 * i);
        return v;
    }

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

// Appends little-endian fields to a growing buffer, or patches fields at an offset.
class LeWriter {
public:
    LeWriter() = default;
    explicit LeWriter(QByteArray *target) : m_buf(target) {}

    QByteArray &buffer() { return *m_buf; }
    const QByteArray &buffer() const { return *m_buf; }
    qsizetype size() const { return m_buf->size(); }

    void u8(uint8_t v) { appendLe(v); }
    void i8(int8_t v) { appendLe(static_cast<uint8_t>(v)); }
    void u16(uint16_t v) { appendLe(v); }
    void i16(int16_t v) { appendLe(static_cast<uint16_t>(v)); }
    void u32(uint32_t v) { appendLe(v); }
    void i32(int32_t v) { appendLe(static_cast<uint32_t>(v)); }
    void bytes(const QByteArray &b) { m_buf->append(b); }
    void bytes(const char *p, qsizetype n) { m_buf->append(p, n); }
    void zeros(qsizetype n) { m_buf->append(n, '\0'); }
    // Writes `text` into a field of `fieldSize` bytes, cut to leave room for the
    // terminating zero, the rest zero-filled.
    void fixedString(const QByteArray &text, qsizetype fieldSize);

    // Overwrites a field already in the buffer (the buffer grows with zeros if needed).
    void putU32At(qsizetype off, uint32_t v);
    void putI32At(qsizetype off, int32_t v) { putU32At(off, static_cast<uint32_t>(v)); }
    void putU16At(qsizetype off, uint16_t v);
    void putU8At(qsizetype off, uint8_t v);

private:
    template <typename T> void appendLe(T v)
    {
        char b[sizeof(T)];
        for (size_t i = 0; i < sizeof(T); ++i)
            b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        m_buf->append(b, sizeof(T));
    }
    void ensure(qsizetype end);

    QByteArray m_own;
    QByteArray *m_buf = &m_own;
};

// Stand-alone helpers for patching fixed records in place.
void putU32(char *p, uint32_t v);
void putU16(char *p, uint16_t v);
uint32_t getU32(const char *p);
uint16_t getU16(const char *p);

} // namespace plat
