// Feeds arbitrary bytes to the EMF and WMF parsers and plays what parses onto a small
// image, then converts it to EMF through the recorder.
#include "platform/gdi/PainterCanvas.h"
#include "platform/metafile/Metafile.h"

#include <QGuiApplication>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Qt keeps its font caches until the process ends; they are not leaks of the code under test.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Text needs the font database, which needs an application object.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    plat::metafile::ParsedEmf emf;
    plat::metafile::ParsedWmf wmf;
    (void)plat::metafile::parseEmf(bytes, emf);
    (void)plat::metafile::parseWmf(bytes, wmf);
    (void)plat::metafile::naturalSize(bytes);
    QImage image(48, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    {
        QPainter painter(&image);
        gdi::PainterCanvas canvas(painter);
        (void)plat::metafile::playMetafile(canvas, bytes, QRectF(0, 0, 48, 32));
    }
    (void)plat::metafile::toEmf(bytes);
    return 0;
}
