#pragma once
// Layout files and the layout library: reading and writing *.LYT files (122-byte layout
// records back to back, no header), the collections found in the program folders, the
// naming conventions of list entries, turning a layout by 90 degrees, the miniature
// sheet the layouts dialog draws, and the field rules of the layout dialog. Everything
// here is free of widgets so the dialogs only show what these functions compute.

#include "layout/LayoutRecord.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

namespace plat { class ProgramFolder; }

namespace layout {

// ---- layout files ----

// The records of a layout file's bytes. Whole 122-byte records are taken in order; a
// trailing partial record is dropped.
QList<LayoutRecord> parseLayoutFile(const QByteArray &bytes);
// Reads the file at `path`. A file that cannot be opened, or a read that fails part way,
// gives the records read so far (possibly none); `ok` tells whether the whole file was read.
QList<LayoutRecord> readLayoutFile(const QString &path, bool *ok = nullptr);
// The bytes of a layout file holding `records` in order.
QByteArray layoutFileBytes(const QList<LayoutRecord> &records);
// Replaces the file at `path` with `records`. The old file stays untouched until the new
// one is complete (written to a temporary file and renamed over it).
bool writeLayoutFile(const QString &path, const QList<LayoutRecord> &records);

// ---- the library ----

// One layout file: `name` is its file name without the extension, `path` where it is read.
struct LayoutCollection {
    QString name;
    QString path;
    bool operator==(const LayoutCollection &) const = default;
};
// Every *.LYT file (letter case of the extension ignored) in the read folders of the
// program folder, a user's copy shadowing a shipped file of the same name, sorted by name
// without regard to letter case.
QList<LayoutCollection> findLayoutCollections(const plat::ProgramFolder &folder);
// Where a collection loaded from `loadedPath` is saved: the same file name in the user's
// (write) folder, so an edited shipped file becomes the user's copy. Empty when the write
// folder cannot be created.
QString layoutSavePath(const plat::ProgramFolder &folder, const QString &loadedPath);

// ---- names in a layout file ----

enum class LayoutEntryKind {
    Layout,   // a layout that can be picked
    Heading,  // "=====..." or "-----...": a heading or separator shown as it stands
    Blank,    // ".....": an empty line
};
LayoutEntryKind entryKind(const QString &name);
inline bool isPickable(const LayoutRecord &r) { return entryKind(r.Name()) == LayoutEntryKind::Layout; }
// The text the list shows for an entry: headings unchanged, blanks empty, layouts the
// part of the name before the first "<>".
QString listText(const QString &name);
// The note of a layout: the text after the first "<>", else empty. Headings and blanks
// have no note.
QString noteText(const QString &name);

// Why OK picks nothing when the selected entry is not a layout: a heading, a blank line,
// or nothing selected (null).
QString notALayoutMessage(const LayoutRecord *selected);

// ---- opposite orientation ----

// The layout turned by 90 degrees: rows and columns, width and height, top and left
// margin and the two gaps exchanged; side folds become top folds and back (1<->2, 3<->4).
// Name, paper type and every other byte stay.
LayoutRecord rotated(const LayoutRecord &record);

// ---- the miniature sheet ----

// "3.50 in x 2.00 in" or "88.90 mm x 50.80 mm".
QString sizeText(const LayoutRecord &record, bool metric);

// What the preview box shows for a record, at 1 unit : 1/6 pixel. Rectangles list the
// pixels they cover (left..right, top..bottom inclusive): the sheet's black outline with
// its white inside, and a red outline for each element.
struct LayoutPreview {
    bool shown = false;      // false for headings, blanks and no selection
    QString size;            // SizeLabel
    QString note;            // NotesLabel
    QSize paper;             // paper as drawn (units), after turning
    QRect sheet;
    QList<QRect> elements;   // row by row
};
// `opposite` is the state of the Opposite Orientation box; `box` the size of the paint box.
// Element outlines that would start outside the box are left out (a damaged record with
// millions of rows costs nothing).
LayoutPreview layoutPreview(const LayoutRecord &record, bool opposite, bool metric, QSize box);

// ---- printing extent ----

// The sheet as the print job uses it (units): the paper of the record, turned to
// landscape when the columns with their left margin counted on both sides exceed the
// paper width by more than 25 units.
QSize printSheet(const LayoutRecord &record);
// Whether every element lies on that sheet.
bool elementsFitSheet(const LayoutRecord &record);

// ---- the layout dialog's fields ----

// The texts of the layout dialog's fields for a record.
struct LayoutFields {
    QString name;
    int paperIndex = 0;            // -1: a paper type the list does not offer
    QString width, height;         // empty when zero
    QString rows, columns;         // empty when zero
    QString topMargin, leftMargin, columnSpace, rowSpace;
    int regionType = 0;
    bool backPrintable = false;
    bool metric = false;           // the units the numbers are read in
};
// Lengths as UnitsToDisplay in the given units with 4 decimals (in the current locale).
LayoutFields layoutFields(const LayoutRecord &record, bool metric);

enum class LayoutFieldsResult { Ok, InvalidNumber, RegionSize };
// The number fields of the layout dialog.
enum class LayoutField { None, Width, Height, Rows, Columns, TopMargin, LeftMargin, ColumnSpace, RowSpace };
// Applies the fields to a copy of `record` in the dialog's order (width and height, the
// region size check, then the counts and the other lengths); `record` changes only on Ok.
// Counts and lengths must be numbers of zero or more: a negative value would become a
// count of four thousand million in the unsigned fields. On InvalidNumber `badField` (when
// given) names the first field that is not a valid number.
LayoutFieldsResult applyLayoutFields(const LayoutFields &fields, LayoutRecord *record,
                                     LayoutField *badField = nullptr);
// "Please enter valid layout settings before clicking OK."
QString invalidLayoutMessage();
// The same, followed by what is wrong with `field` ("Rows must be a whole number of 0 or
// more.").
QString invalidLayoutMessage(LayoutField field);

} // namespace layout
