#pragma once
// Reader of PC Paintbrush (PCX) pictures: 1, 2, 4 and 8 bits per pixel in one plane with
// a palette, 1 bit in 2 to 4 planes (EGA colours), and 8 bits in 3 or 4 planes (24-bit
// colour, the fourth plane ignored); run-length encoded or plain.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace plat::imaging {

// Indexed pictures give Format_Indexed8 with their palette, 24-bit ones Format_RGB32.
// A damaged file gives a null image and an error text.
QImage readPcx(const QByteArray &file, QString *error = nullptr);

// Bits per pixel times planes from the header, or 0 when it is not a PCX header.
int pcxBitDepth(const QByteArray &file);

} // namespace plat::imaging
