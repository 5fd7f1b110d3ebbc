#pragma once
// A document window: one open design with its surface, rulers, unit label and scroll box,
// inside the main window's MDI area.

#include "document/DesignDocument.h"
#include "editing/Selection.h"
#include "layout/LayoutRecord.h"

#include <QWidget>

class QLabel;
class QScrollArea;

namespace editing {
class CardPanelView;
class Selection;
class Ruler;
} // namespace editing
namespace files {
struct Substitution;
}

namespace document {

class DocumentHost;

class TMDIChildForm : public QWidget {
    Q_OBJECT
public:
    TMDIChildForm(DocumentHost *host, QWidget *parent = nullptr);
    ~TMDIChildForm() override;

    // Builds the design: a blank one on `layout` (untitled > 0, no file), a template with
    // the wizard's answers (untitled > 0 and a substitution), or a design file (untitled
    // 0). Shows the reader's message and returns false on failure; the caller closes the
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

    DocumentHost *m_host;
    DesignDocument m_doc;
    QLabel *m_unitPanel = nullptr;
    editing::Ruler *m_horzRuler = nullptr;
    editing::Ruler *m_vertRuler = nullptr;
    QScrollArea *m_scrollBox = nullptr;
    editing::CardPanelView *m_cardPanel = nullptr;
    editing::Selection *m_selection = nullptr;
    bool m_closeAccepted = false;
    bool m_editorUpdating = false;
    char m_sheetKind = ' ';
};

} // namespace document
