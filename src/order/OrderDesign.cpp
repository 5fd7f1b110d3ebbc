#include "order/OrderDesign.h"

#include "document/DesignDocument.h"
#include "files/DesignFile.h"

#include <QDir>

namespace order {

std::unique_ptr<QTemporaryFile> saveDesignForOrder(document::DesignDocument &doc)
{
    int side = 0, region = 0;
    doc.regionPair(doc.currentRegionIndex(), &side, &region);
    const QByteArray bytes = files::designBytes(*doc.manager(), doc.layout(), doc.dataFileName(), doc.zoom(), side,
                                                region, false);
    auto file = std::make_unique<QTemporaryFile>(QDir(QDir::tempPath()).filePath(QStringLiteral("owzXXXXXX.bcp")));
    file->setAutoRemove(true);
    if (!file->open())
        return nullptr;
    if (file->write(bytes) != bytes.size() || !file->flush()) {
        file->close();
        return nullptr; // the destructor removes the cut file
    }
    file->close(); // the name stays reserved; the file lives until the object dies
    return file;
}

} // namespace order
