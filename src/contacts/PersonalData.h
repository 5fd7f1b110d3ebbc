#pragma once
// The personal data file: `Personal Data.dat` in the program folder, thirteen text fields
// FNAME ... USER4 (record size 1000, data start 581).

#include "contacts/BinaryDataSet.h"

#include <QString>

namespace contacts {

// Field indexes of the personal data file, in stored order.
enum PersonalField : int {
    FNAME,
    LNAME,
    COMPANY,
    TITLE,
    ADDRESS,
    RETADDRESS,
    PHONE,
    FAX,
    EMAIL,
    USER1,
    USER2,
    USER3,
    USER4,
    PersonalFieldCount
};

struct PersonalFieldInfo {
    const char *name;   // field name in the file, "FNAME"
    int size;           // maximum number of characters
    bool multiLine;     // line breaks stored as CR LF inside the value
    const char *label;  // caption beside its editor, "First Name:"
    const char *target; // name in the import's target list and the export header, "First Name"
};

const PersonalFieldInfo &personalField(int index);
// Index of a personal field named by its field name ("FNAME") or target name ("First
// Name"), letter case ignored; -1 when none matches.
int personalFieldIndex(const QString &name);
// The thirteen field definitions CreateTable writes.
QList<FieldDef> personalFieldDefs();

// "Personal Data.dat"
QString personalDataFileName();
// Where the personal data file lives: the program folder's write folder (created when
// missing).
QString personalDataPath();

// A data set for the personal data file at `path`, with its field definitions set, so
// that CreateTable makes the standard file.
void preparePersonalDataSet(TBinaryDataSet &dataSet, const QString &path);

// Copies the data file to the same name with ".bak" appended, replacing an older copy
// only once the new one is complete. False when the copy could not be made.
bool backUpDataFile(const QString &path);
// Moves a damaged data file out of the way before a new one is created in its place:
// renamed to "<name>.damaged" (or "<name>.damaged-2", ... when that exists). Returns the
// new name, or an empty string when the file could not be renamed.
QString keepDamagedFile(const QString &path);

} // namespace contacts
