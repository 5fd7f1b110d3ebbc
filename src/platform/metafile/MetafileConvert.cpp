#include "platform/metafile/EmfRecorder.h"
#include "platform/metafile/Metafile.h"

namespace plat::metafile {

QByteArray wmfToEmf(const QByteArray &wmf, QString *error)
{
    const Kind kind = detectKind(wmf);
    if (kind != Kind::Wmf && kind != Kind::PlaceableWmf) {
        if (error)
            *error = QStringLiteral("not a Windows metafile");
        return {};
    }
    const QSize size = naturalSize(wmf);
    if (size.isEmpty()) {
        if (error)
            *error = QStringLiteral("metafile does not parse");
        return {};
    }
    EmfRecorder recorder(size);
    if (!playWmf(recorder, wmf, QRectF(QPointF(0, 0), QSizeF(size)), error))
        return {};
    return recorder.finish();
}

QByteArray toEmf(const QByteArray &bytes, QString *error)
{
    switch (detectKind(bytes)) {
    case Kind::Emf: {
        ParsedEmf parsed;
        if (!parseEmf(bytes, parsed, error))
            return {};
        return bytes.left(parsed.header.nBytes);
    }
    case Kind::Wmf:
    case Kind::PlaceableWmf:
        return wmfToEmf(bytes, error);
    case Kind::None:
        break;
    }
    if (error)
        *error = QStringLiteral("not a metafile");
    return {};
}

} // namespace plat::metafile
