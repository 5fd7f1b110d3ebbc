// Feeds arbitrary bytes to the BMP file and packed-DIB readers and the DIB helpers.
#include "platform/bmp/BmpCodec.h"
#include "platform/bmp/Dib.h"
#include "platform/imaging/Imaging.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)plat::bmp::decodeBmpFile(bytes);
    const QImage image = plat::bmp::decodeDib(bytes);
    QByteArray dib = plat::bmp::bmpFileToDib(bytes);
    plat::bmp::DibInfo info;
    (void)plat::bmp::GetDibInfo(bytes, info);
    (void)plat::bmp::DibPalette(bytes);
    if (!dib.isEmpty())
        (void)plat::imaging::RotateDib90(dib, 0);
    if (!image.isNull())
        (void)plat::bmp::encodeDib(image, 4);
    return 0;
}
