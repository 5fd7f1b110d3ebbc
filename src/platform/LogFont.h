#pragma once
// The 60-byte LOGFONTA value that design files store for every text. Heights are pixels
// at a fixed reference of 96 pixels per inch, never the real screen, so a file means the
// same on every machine.

#include <QByteArray>
#include <QFont>
#include <QString>
#include <cstdint>

namespace plat {

constexpr int kReferenceDpi = 96;
// The largest pixel height toQFont gives a font (a 170-inch character at 96 ppi).
constexpr int kMaxPixelHeight = 16384;

struct LogFont {
    static constexpr int kSize = 60;
    static constexpr int kFaceSize = 32;

    int32_t height = 0;      // lfHeight: < 0 character height, > 0 cell height, pixels at 96 ppi
    int32_t width = 0;       // lfWidth
    int32_t escapement = 0;  // lfEscapement, tenths of a degree counter-clockwise
    int32_t orientation = 0; // lfOrientation
    int32_t weight = 400;    // lfWeight: 400 normal, 700 bold
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;     // 0 ANSI, 1 DEFAULT, 2 SYMBOL
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    QByteArray faceName;     // 8-bit face name, at most 31 bytes

    // A font of `points` points in the face `face` at the reference resolution.
    static LogFont fromPoints(const QString &face, int points);

    QString face() const;
    void setFace(const QString &face);
    // Point size as Windows reports it for this height at 96 ppi.
    int points() const;

    // Reads exactly kSize bytes; a shorter buffer gives a default font.
    static LogFont fromBytes(const char *data, qsizetype size);
    static LogFont fromBytes(const QByteArray &b) { return fromBytes(b.constData(), b.size()); }
    QByteArray toBytes() const;
    void writeTo(char *dest) const; // writes kSize bytes

    // QFont whose pixel size is |height| (cell heights are turned into character heights
    // through the face's metrics). Escapement is not part of QFont; drawing code rotates.
    QFont toQFont() const;
    QFont toQFont(int pixelHeight) const; // same font at another character height
    static LogFont fromQFont(const QFont &font);

    bool operator==(const LogFont &o) const;
    bool operator!=(const LogFont &o) const { return !(*this == o); }
};

} // namespace plat
