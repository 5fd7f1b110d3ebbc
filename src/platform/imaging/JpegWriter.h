#pragma once
// JPEG files written through libjpeg: full-size, 24-bit colour, the accurate integer DCT,
// a quality from 0 to 100 and optional progressive encoding.

#include <QByteArray>
#include <QImage>

namespace plat::imaging {

struct JpegOptions {
    int quality = 75;         // 0..100, clamped
    bool progressive = false; // progressive scans instead of one baseline scan
};

// The JPEG bytes of `image`, or an empty array when the image is empty or libjpeg fails.
QByteArray encodeJpeg(const QImage &image, const JpegOptions &options);

} // namespace plat::imaging
