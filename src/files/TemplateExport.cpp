#include "files/TemplateExport.h"

#include "document/DesignDocument.h"

namespace files {

QStringList wizardTypeNames() { return {QStringLiteral("None"), QStringLiteral("Business Card Data")}; }

int templateKindForWizardType(int wizardTypeIndex) { return wizardTypeIndex == 1 ? 4 : 0; }

bool SaveAsTemplate(document::DesignDocument &doc, const QString &fileName, int wizardTypeIndex)
{
    if (fileName.isEmpty())
        return false;
    const layout::LayoutRecord before = doc.layout();
    layout::LayoutRecord marked = before;
    marked.setTemplateKind(uint8_t(templateKindForWizardType(wizardTypeIndex)));
    doc.setLayout(marked);
    if (doc.saveAsTemplate(fileName))
        return true;
    doc.setLayout(before);
    return false;
}

} // namespace files
