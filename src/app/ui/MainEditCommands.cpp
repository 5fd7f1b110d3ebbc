// The main window's editing commands: undo and redo, the clipboard, selection, the
// alignment menu, toolbar and context menu, the tools and the object list. Each routes
// to the active document window and then refreshes the commands.
#include "app/ui/MainForm.h"

#include "document/ui/MDIChildForm.h"
#include "editing/Selection.h"
#include "editing/ui/PropertyEditor.h"
#include "model/SurfaceModel.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>

#include <algorithm>

namespace app {

namespace {
const char *const kToolActions[] = {"SelectMI", "TextMI", "GraphicMI", "LineMI", "BoxMI", "RoundBoxMI", "EllipseMI", "OLEMI"};
}

int TMainForm::currentTool() const
{
    for (int i = 0; i < int(std::size(kToolActions)); ++i)
        if (QAction *a = m_actions.value(QLatin1String(kToolActions[i])); a && a->isChecked())
            return i;
    return document::ToolSelect;
}

void TMainForm::setCurrentTool(int tool)
{
    if (tool >= 0 && tool < int(std::size(kToolActions)))
        if (QAction *a = m_actions.value(QLatin1String(kToolActions[tool])))
            a->setChecked(true);
}

void TMainForm::showMousePosition(const QString &text) { m_status[0]->setText(text); }

void TMainForm::refreshObjectList()
{
    TMDIChildForm *d = activeDocument();
    const bool was = m_listsFilling;
    m_listsFilling = true;
    m_objectCombo->clear();
    if (d) {
        QList<QPair<QString, qulonglong>> entries;
        for (const auto &item : d->doc()->surface()->items())
            entries.append({item->name(), qulonglong(item->id())});
        std::stable_sort(entries.begin(), entries.end(),
                         [](const auto &a, const auto &b) { return a.first.compare(b.first, Qt::CaseInsensitive) < 0; });
        for (const auto &[name, id] : entries)
            m_objectCombo->addItem(name, id);
        int index = -1;
        if (model::SurfaceItem *single = d->selection()->single())
            index = m_objectCombo->findData(qulonglong(single->id()));
        m_objectCombo->setCurrentIndex(index);
    }
    m_listsFilling = was;
}

void TMainForm::refreshPropertyEditor(bool resetPage)
{
    TMDIChildForm *d = activeDocument();
    if (resetPage && d && m_propertyPages)
        m_propertyPages->FillPropertyEditor(d, true);
    else
        refreshPropertyEditor();
}

void TMainForm::DeleteMIClick()
{
    TMDIChildForm *d = activeDocument();
    if (!d)
        return;
    if (m_options.PromptOnDelete
        && QMessageBox::question(this, windowTitle(), QStringLiteral("Delete the selected object(s).\n\nAre you sure?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    d->Delete();
    UpdateCommands();
}

void TMainForm::connectEditCommands()
{
    auto on = [this](const char *name, auto handler) {
        if (QAction *a = m_actions.value(QLatin1String(name)))
            connect(a, &QAction::triggered, this, handler);
    };
    // Runs `f` on the active document, then refreshes the commands.
    auto withDoc = [this](auto f) {
        return [this, f] {
            if (TMDIChildForm *d = activeDocument()) {
                f(d);
                UpdateCommands();
            }
        };
    };
    on("UndoMI", withDoc([](TMDIChildForm *d) { d->Undo(); }));
    on("RedoMI", withDoc([](TMDIChildForm *d) { d->Redo(); }));
    on("CutMI", withDoc([](TMDIChildForm *d) { d->Cut(); }));
    on("CopyMI", withDoc([](TMDIChildForm *d) { d->Copy(); }));
    on("PasteMI", [this] {
        if (TMDIChildForm *d = activeDocument(); d && d->Paste() > 0)
            UpdateCommands();
    });
    on("DeleteMI", [this] { DeleteMIClick(); });
    on("SelectAllMI", withDoc([](TMDIChildForm *d) { d->SelectAll(); }));
    on("SelectNoneMI", withDoc([](TMDIChildForm *d) { d->SelectNone(); }));
    on("MarginsMI", [this] {
        if (TMDIChildForm *d = activeDocument(); d && d->EditMargins())
            UpdateCommands();
    });
    on("AlignMI", [this] {
        if (TMDIChildForm *d = activeDocument(); d && d->ShowAlignDialog())
            UpdateCommands();
    });
    on("AlignSelectedtoGridMI", withDoc([](TMDIChildForm *d) { d->AlignObjects(0); }));
    on("AlignAlltoGridMI", withDoc([](TMDIChildForm *d) {
        d->SelectAll();
        d->AlignObjects(0);
    }));
    on("BringtoFrontMI", withDoc([](TMDIChildForm *d) { d->BringToFront(); }));
    on("SendtoBackMI", withDoc([](TMDIChildForm *d) { d->SendToBack(); }));
    on("FitToMarginsMI", withDoc([](TMDIChildForm *d) { d->FitToMargins(); }));
    for (QAction *a : std::as_const(m_actions))
        if (a->objectName().startsWith(QLatin1String("Align")) && a->objectName().endsWith(QLatin1String("BtnAction")))
            connect(a, &QAction::triggered, this, [this, a] {
                if (TMDIChildForm *d = activeDocument()) {
                    d->AlignObjects(a->data().toInt());
                    UpdateCommands();
                }
            });

    // Every tool but Select starts with nothing selected.
    connect(m_toolGroup, &QActionGroup::triggered, this, [this](QAction *a) {
        if (a->objectName() != QLatin1String("SelectMI"))
            if (TMDIChildForm *d = activeDocument())
                d->SelectNone();
    });
    connect(m_objectCombo, &QComboBox::activated, this, [this](int index) {
        TMDIChildForm *d = activeDocument();
        if (!d || m_listsFilling)
            return;
        d->selectFromObjectList(index >= 0 ? m_objectCombo->itemData(index).toULongLong() : 0);
        UpdateCommands();
    });
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { refreshObjectList(); });
    // Paste follows what the clipboard offers. The clipboard can report a change while
    // widgets are being painted, so the commands are refreshed afterwards.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TMainForm::UpdateCommands,
            Qt::QueuedConnection);
}

} // namespace app
