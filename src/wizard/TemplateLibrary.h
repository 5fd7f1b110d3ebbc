#pragma once
// The design wizard's library: template categories and templates below the program's
// "Template" folder, and background pictures in its "Background" folder. Every read folder
// of the program folder takes part (the user's data folder first, then the installed and
// the source tree's data), so a user adds templates, categories and backgrounds by
// putting files into the user's data folder; a user's file shadows a shipped one of the
// same name.

#include "layout/LayoutRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace plat { class ProgramFolder; }

namespace wizard {

// "Template/Standard", or "Template/Metric" when `metric` is on and some read folder has
// that folder.
QString templateRoot(const plat::ProgramFolder &folder, bool metric);
// The folder a user saves templates into: the write folder's template root (created).
// Empty when it cannot be created.
QString userTemplateRoot(const plat::ProgramFolder &folder, bool metric);

// Category names: the folders directly below the template root (never files, never
// names that begin with "."), sorted without regard to letter case.
QStringList categories(const plat::ProgramFolder &folder, bool metric);

struct TemplateEntry {
    QString category;
    QString name; // file name without its extension: "Blue Wave" for "Blue Wave.cct"
    QString path; // absolute
};
// The .cct files of one category (extension letter case ignored), sorted by name.
QList<TemplateEntry> templates(const plat::ProgramFolder &folder, bool metric, const QString &category);
// Every template of every category, category by category.
QList<TemplateEntry> allTemplates(const plat::ProgramFolder &folder, bool metric);
// The entry named "CATEGORY/NAME" (letter case ignored), or an entry with an empty path.
TemplateEntry findTemplate(const plat::ProgramFolder &folder, bool metric, const QString &categoryAndName);

// What a template file holds, read through the design reader: its result code (1 when it
// opened), its layout (TemplateKind: 4 for business-card data) and the marker texts of the
// region the wizard substitutes (region index 0).
struct TemplateInfo {
    int result = 0;
    layout::LayoutRecord layout;
    QStringList firstRegionTexts; // single-string texts, in stacking order
};
TemplateInfo inspectTemplate(const QString &path);

// Background pictures: the picture files in the "Background" folders (BMP, JPEG, PNG, GIF,
// TIFF, PCX, WMF, EMF by extension), sorted by file name; absolute paths.
QStringList backgrounds(const plat::ProgramFolder &folder);
// A background named by a path to an existing file, or by its file name in the
// background folders with or without the extension (letter case ignored). Empty when
// nothing matches.
QString findBackground(const plat::ProgramFolder &folder, const QString &fileOrName);

} // namespace wizard
