#pragma once
// The native design and template format (.bcp, .cct): a 528-byte header, the layout
// record, then one section per region that holds anything (region record, margins,
// background picture, region blob).

#include "layout/LayoutRecord.h"
#include "model/TObjectManager.h"

#include <QString>
#include <array>

namespace files {

constexpr int32_t kDesignVersion = 600;
constexpr uint32_t kDesignMagic = 0xA78F111Cu;
constexpr int kHeaderSize = 528;
constexpr int kRegionRecordSize = 140;

// Result codes of the readers (message ids of the string table).
enum ResultCode {
    ResultOk = 1,
    ResultLoadError = 1000,
    ResultBadVersion = 1002,
    ResultSaveError = 1003,
    // Legacy import (LegacyImport.h).
    ResultImportError = 1004,
    ResultImportUnsupported = 1005,
    ResultImportBadVersion = 1006,
    ResultNoMemory = 1100,
};
QString resultMessage(int code);

// The design wizard's answers: thirteen marker values and a background picture.
struct Substitution {
    static constexpr int kCount = 13;
    static const std::array<const char *, kCount> &markers(); // "NAME" ... "USER4"
    std::array<QString, kCount> values;
    plat::Picture background; // taken over by the reader
};

// Writes the design atomically: the previous file is replaced only when every byte was
// written. On success the undo history is cleared.
bool WriteDesign(model::TObjectManager &manager, const QString &fileName,
                 const layout::LayoutRecord &layout, const QString &dataFileName, int zoom,
                 int currentSide, int currentRegion, bool templateFlag);
// Same, from bytes to bytes (used by the writer and by tests).
QByteArray designBytes(model::TObjectManager &manager, const layout::LayoutRecord &layout,
                       const QString &dataFileName, int zoom, int currentSide, int currentRegion,
                       bool templateFlag);

// Reads a design into a fresh manager; returns a result code.
int ReadDesign(model::TObjectManager &manager, const QString &fileName, layout::LayoutRecord *layout,
               QString *dataFileName, int *zoom);
int readDesignBytes(model::TObjectManager &manager, const QByteArray &bytes, layout::LayoutRecord *layout,
                    QString *dataFileName, int *zoom);
int ReadTemplate(model::TObjectManager &manager, const QString &fileName, layout::LayoutRecord *layout,
                 QString *dataFileName, int *zoom, Substitution *substitution);

// A stored zoom outside [25, 10000] opens at 100.
int sanitizeZoom(int32_t storedZoom);

} // namespace files
