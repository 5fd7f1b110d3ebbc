#pragma once
// A document window: one open design with its surface, rulers, unit label and scroll box,
// inside the main window's MDI area.

#include "document/DesignDocument.h"
#include "editing/Selection.h"
#include "layout/LayoutRecord.h"

#include <QVector>
#include <QWidget>
#include <optional>

class QLabel;
class QScrollArea;

namespace editing {
class TStretchHandle;
class CardPanelView;
class Selection;
class Ruler;
} // namespace editing
namespace files {
struct Substitution;
}

namespace document {

class DocumentHost;

// The tools of the main window's tool group, in their order there.
enum Tool { ToolSelect, ToolText, ToolGraphic, ToolLine, ToolBox, ToolRoundBox, ToolEllipse, ToolOle };

class TMDIChildForm : public QWidget {
    Q_OBJECT
public:
    TMDIChildForm(DocumentHost *host, QWidget *parent = nullptr);
    ~TMDIChildForm() override;

    // Builds the design: a blank one on `layout` (untitled > 0, no file), a template with
    // the wizard's answers (untitled > 0 and a substitution), a design of an earlier
    // generation to import (untitled > 0, a file, no substitution), or a design file
    // (untitled 0). Shows the reader's message and returns false on failure; the caller closes the
    // window.
    bool createDesign(int untitledNumber, files::Substitution *substitution, const QString &fileName,
                      const layout::LayoutRecord *layout);

    DesignDocument *doc() { return &m_doc; }
    const DesignDocument *doc() const { return &m_doc; }
    QString fileName() const { return m_doc.fileName(); }
    bool isModified() const { return m_doc.isModified(); }
    int zoom() const { return m_doc.zoom(); }
    int objectCount() const { return m_doc.surface()->count(); }
    int selectedCount() const { return m_selection->count(); }
    editing::Selection *selection() const { return m_selection; }
    bool canUndo() const { return m_doc.manager()->changes().CanUndo(); }
    bool canRedo() const { return m_doc.manager()->changes().CanRedo(); }

    // Save (force dialog) → the file name written, or empty.
    QString Save(bool forceDialog);
    bool SwitchRegion(int index);
    int SetZoom(int value, bool relative);
    bool ChooseBackground();
    // Close query: true when the window may close.
    bool queryClose();
    void applyOptions();

    editing::CardPanelView *cardPanel() const { return m_cardPanel; }
    DocumentHost *host() const { return m_host; }

    // ---- editing (DocumentEditing.cpp) ----
    editing::TStretchHandle *handles() const { return m_handles; }
    void OnMouseDownHandler(model::SurfaceItem *item, QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void CardPanelMouseDown(QPoint pos);
    void CardPanelMouseMove(QPoint pos);
    void CardPanelDblClick();
    void HandlesMouseDown();
    void HandlesMouseMove();
    void HandlesMouseUp();
    void SelectAll();
    void SelectNone();
    // Selects the object with this id alone (the object list); 0 selects nothing.
    void selectFromObjectList(uint64_t id);
    bool Undo();
    bool Redo();
    void Copy();
    int Paste();
    void Delete();
    void Cut();
    void AlignObjects(int operation);
    bool ShowAlignDialog();
    void FitToMargins();
    bool EditMargins();
    void BringToFront();
    void SendToBack();
    // The selected objects' rectangles in hundredths of an inch, in selection order.
    QVector<model::UnitRect> boundsSnapshot() const;

    // The property editor's state for this design: set while the editor's fields are being
    // filled (their change events do nothing then), and the kind of pages last shown
    // (' ', 'T' text, 'G' graphic, 'S' shape).
    bool editorUpdating() const { return m_editorUpdating; }
    void setEditorUpdating(bool on) { m_editorUpdating = on; }
    char sheetKind() const { return m_sheetKind; }
    void setSheetKind(char kind) { m_sheetKind = kind; }

signals:
    void captionChanged(const QString &caption);
    void stateChanged();

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void syncPanel();
    void setupEditing();
    void applyEditingOptions();
    void editingPress(QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void editingMove(QPoint pos, Qt::MouseButtons buttons);
    void editingRelease(QPoint pos, Qt::MouseButton button);
    bool editingKey(int key);
    void recordBoundsChanges(const QVector<model::UnitRect> &before, bool onlyChanged);
    void afterSelectionChange();

    DocumentHost *m_host;
    DesignDocument m_doc;
    QLabel *m_unitPanel = nullptr;
    editing::Ruler *m_horzRuler = nullptr;
    editing::Ruler *m_vertRuler = nullptr;
    QScrollArea *m_scrollBox = nullptr;
    editing::CardPanelView *m_cardPanel = nullptr;
    editing::Selection *m_selection = nullptr;
    editing::TStretchHandle *m_handles = nullptr;
    std::optional<QVector<model::UnitRect>> m_snapshot;
    bool m_closeAccepted = false;
    bool m_editorUpdating = false;
    char m_sheetKind = ' ';
};

} // namespace document
