#pragma once
// A picture as the design keeps it: a bitmap held as the bytes of a complete BMP file
// (file header included), or a metafile held as the bytes of an enhanced metafile.
// Pictures are values: copying one copies its bytes, and the bytes are written back to
// files exactly as they were read.

#include <QByteArray>

namespace plat {

class Picture {
public:
    enum class Kind { None, Bitmap, Metafile };

    Picture() = default;
    static Picture bitmap(QByteArray bmpFile) { return Picture(Kind::Bitmap, std::move(bmpFile)); }
    static Picture metafile(QByteArray emf) { return Picture(Kind::Metafile, std::move(emf)); }

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::None || m_bytes.isEmpty(); }
    bool isBitmap() const { return m_kind == Kind::Bitmap; }
    bool isMetafile() const { return m_kind == Kind::Metafile; }
    const QByteArray &bytes() const { return m_bytes; }

    // The letter design files use for the picture: 'B', 'M', or ' ' for none.
    char kindLetter() const;

    // Length of the BMP file image that starts at `data`, judged by its own headers, or -1
    // when the headers are not a bitmap or promise more bytes than `available`.
    static qsizetype measureBmp(const char *data, qsizetype available);
    // Length of the enhanced metafile that starts at `data` (its header's nBytes), or -1.
    static qsizetype measureEmf(const char *data, qsizetype available);

    bool operator==(const Picture &o) const { return m_kind == o.m_kind && m_bytes == o.m_bytes; }
    bool operator!=(const Picture &o) const { return !(*this == o); }

private:
    Picture(Kind k, QByteArray b) : m_kind(k), m_bytes(std::move(b)) {}
    Kind m_kind = Kind::None;
    QByteArray m_bytes;
};

} // namespace plat
