// Feeds arbitrary bytes to the PCX reader and to the format and header sniffing.
#include "platform/imaging/Imaging.h"
#include "platform/imaging/PcxReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)plat::imaging::readPcx(bytes);
    (void)plat::imaging::pcxBitDepth(bytes);
    plat::imaging::FileInfo info;
    (void)plat::imaging::fileInfo(bytes, info);
    (void)plat::imaging::detectFormat(bytes);
    return 0;
}
