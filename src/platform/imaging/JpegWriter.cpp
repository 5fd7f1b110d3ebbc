#include "platform/imaging/JpegWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace plat::imaging {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void silentMessage(j_common_ptr) {}

// Compresses `rows` (height rows of width * 3 RGB bytes). Only plain data lives in this
// frame, so leaving it through longjmp skips no destructor.
bool compress(const unsigned char *rgb, int width, int height, int quality, bool progressive,
              unsigned char **out, unsigned long *outSize)
{
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = silentMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t stride = size_t(width) * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + size_t(cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

QByteArray encodeJpeg(const QImage &image, const JpegOptions &options)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        return {};
    const int w = rgb.width(), h = rgb.height();
    // Rows of the converted image may be padded; libjpeg takes them one by one from a
    // packed copy.
    std::vector<unsigned char> packed(size_t(w) * 3 * size_t(h));
    for (int y = 0; y < h; ++y)
        std::copy_n(rgb.constScanLine(y), size_t(w) * 3, packed.data() + size_t(y) * size_t(w) * 3);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    const bool ok = compress(packed.data(), w, h, std::clamp(options.quality, 0, 100), options.progressive,
                             &buffer, &size);
    QByteArray bytes;
    if (ok && buffer && size > 0)
        bytes = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

} // namespace plat::imaging
