#pragma once
// Reading one stream of a compound (structured storage) file. The file is opened for
// reading only, so a design on a read-only disk or share can be read; nothing is ever
// written to it. The storage library behind this stays inside CompoundFile.cpp.

#include <QByteArray>
#include <QString>

namespace plat {

enum class CompoundResult {
    Ok,
    NotOpened,  // the file cannot be opened or is not a compound file
    NoStream,   // the root storage has no stream of that name
    ReadFailed, // the stream's size or sectors do not fit the file
};

// Reads the whole stream `streamName` of the root storage of the compound file
// `fileName` into `out`. A stream that claims more bytes than the file holds is refused
// before anything is allocated for it.
CompoundResult readCompoundStream(const QString &fileName, const QString &streamName, QByteArray *out);
// The same for a compound file held in memory.
CompoundResult readCompoundStreamFromBytes(const QByteArray &file, const QString &streamName, QByteArray *out);

} // namespace plat
