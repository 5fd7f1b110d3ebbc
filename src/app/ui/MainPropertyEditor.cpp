// The main window's side of the property editor: building its pages into the dock and
// keeping them in step with the active document.
#include "app/ui/MainForm.h"

#include "document/ui/MDIChildForm.h"
#include "editing/ui/PropertyEditor.h"

#include <QComboBox>
#include <QVBoxLayout>

namespace app {

void TMainForm::buildPropertyPages(QWidget *panel)
{
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_propertyPages = new editing::TPropertyEditor(panel);
    layout->addWidget(m_propertyPages);
    m_propertyPages->setOptions(&m_options);
    m_propertyPages->setListsFillingQuery([this] { return m_listsFilling; });
    m_propertyPages->setObjectCombo(m_objectCombo);
    m_propertyPages->setPropertyPanel(panel);
    connect(m_propertyPages, &editing::TPropertyEditor::designChanged, this, &TMainForm::UpdateCommands);
}

void TMainForm::refreshPropertyEditor()
{
    if (!m_propertyPages)
        return;
    m_propertyPages->syncWithDocument(activeDocument());
}

} // namespace app
