#pragma once
// The private clipboard block that carries design objects between documents: a 12-byte
// head (version 600, object count, total size including the head) followed by the
// objects' property records back to back, in selection order. It travels under the
// format name "Dravmont Objects" as the MIME type application/x-dravmont-objects.

#include <QByteArray>
#include <QLatin1StringView>
#include <QList>

namespace model {

namespace ClipboardBlock {

inline constexpr QLatin1StringView FormatName{"Dravmont Objects"};
inline constexpr QLatin1StringView MimeType{"application/x-dravmont-objects"};
constexpr int32_t Version = 600;
constexpr int HeadSize = 12;

// The block for `records` (each one complete object property record).
QByteArray build(const QList<QByteArray> &records);

enum class ParseResult {
    Ok,
    WrongVersion, // "ERROR: Wrong version"
    Unusable,     // shorter than its head, sizes that do not fit, or a damaged record
};

// Splits a block into its records. Every count and size is checked against the bytes
// that are there; a block that fails any check yields no record at all.
ParseResult parse(const QByteArray &block, QList<QByteArray> *records);

} // namespace ClipboardBlock

} // namespace model
