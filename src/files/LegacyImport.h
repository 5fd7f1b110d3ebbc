#pragma once
// Import of designs made by the earlier generations of the program: `.bco` files (a
// compound file whose stream "RTVN32DrawObject" holds the design, versions 450 to 550)
// and flat `.bcd` files (versions 21 to 40). Every old object record becomes an object
// property record and is rebuilt on the surface at zoom 100; the layout and margins are
// filled in, and for `.bco` files the background picture. The result is region 0 of a
// flat card, with no linked data file and no undo history.
//
// Unlike the old reader, nothing is converted from bytes that are not there: a header,
// record or data block cut short, a negative size or a count larger than the file can
// hold ends the import with 1006 before the surface is touched.

#include "layout/LayoutRecord.h"
#include "model/TObjectManager.h"

#include <QByteArray>
#include <QString>

namespace files {

// The stream of a `.bco` file that holds the design.
inline constexpr char kBcoStreamName[] = "RTVN32DrawObject";

// The upper-cased extension of a file name with its dot (".BCO"), empty when it has none.
QString upperExtension(const QString &fileName);
// True for the names the importer takes (".bco" and ".bcd", in any letter case).
bool isLegacyDesignName(const QString &fileName);

// Imports `fileName` chosen by `extension` (upper case, with its dot) into a fresh
// manager. Returns 1, or 1004 (cannot be opened), 1005 (neither ".BCO" nor ".BCD"; the
// file is not opened), 1006 (short or out-of-range header or data) or 1100 (too large
// for memory). The data file name is always cleared: old designs have none.
int ImportLegacy(model::TObjectManager &manager, const QString &fileName, layout::LayoutRecord *layout,
                 QString *dataFileName, const QString &extension);

// The readers on bytes in memory (the tests and the fuzz target use them directly):
// the bytes of the "RTVN32DrawObject" stream, a whole compound file, a whole `.bcd` file.
int importBcoStream(model::TObjectManager &manager, const QByteArray &stream, layout::LayoutRecord *layout);
int importBcoFileBytes(model::TObjectManager &manager, const QByteArray &file, layout::LayoutRecord *layout);
int importBcdBytes(model::TObjectManager &manager, const QByteArray &bytes, layout::LayoutRecord *layout);

} // namespace files
