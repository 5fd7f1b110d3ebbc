#pragma once
// Save As Template without its dialog: the whole design written as a template for the
// design wizard (no background pictures, only the regions that hold objects), marked with
// the wizard type the user chose.

#include <QString>
#include <QStringList>

namespace document { class DesignDocument; }

namespace files {

// The dialog's wizard types, in order: "None", "Business Card Data".
QStringList wizardTypeNames();
// The layout's TemplateKind for a wizard type: 4 for "Business Card Data", else 0.
int templateKindForWizardType(int wizardTypeIndex);

// Sets the layout's TemplateKind and writes the template. On success the design is no
// longer modified and its file name (and caption) is the template file. On failure the
// design is left exactly as it was, its TemplateKind included (the caller shows message
// 1003).
bool SaveAsTemplate(document::DesignDocument &doc, const QString &fileName, int wizardTypeIndex);

} // namespace files
