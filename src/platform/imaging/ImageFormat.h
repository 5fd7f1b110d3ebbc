#pragma once
// Recognising a picture file's real format from its first bytes, whatever its name says.

#include <QByteArray>
#include <QString>

namespace plat::imaging {

enum class ImageFormat { Unknown, Bmp, Jpeg, Png, Gif, Tiff, Pcx, PlaceableWmf, Wmf, Emf };

// The format of the file whose bytes start with `head` (the first 128 bytes are enough
// for every format but the placeable-WMF and plain-WMF headers, which need 18 and 22).
ImageFormat detectFormat(const QByteArray &head);

// The name the loader dispatches on: "BMP", "JPEG", "PNG", "GIF", "TIFF", "PCX", "WMF",
// "EMF"; empty for Unknown.
QString formatName(ImageFormat f);

} // namespace plat::imaging
