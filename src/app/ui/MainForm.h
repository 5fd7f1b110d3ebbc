#pragma once
// The multi-document frame: menus, toolbars, the property editor dock, the region and
// zoom bars, the status bar, and the routing of every command to the active document
// window or to a dialog.

#include "app/AppOptions.h"
#include "app/RecentFiles.h"
#include "document/ui/DocumentHost.h"
#include "layout/LayoutRecord.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;
class QDockWidget;

namespace files {
struct Substitution;
}
namespace document {
class TMDIChildForm;
}
namespace editing {
class TPropertyEditor;
}

namespace app {

using document::TMDIChildForm;


class TMainForm : public QMainWindow, public document::DocumentHost {
    Q_OBJECT
public:
    // `files` (relative to the current folder) are opened when the window is first shown;
    // without files and with the design wizard option on, New runs 250 ms later.
    explicit TMainForm(const QStringList &files = {}, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Opens a design in a document window, or focuses the window already showing it. The
    // window and the recent list keep the file's absolute path; a file that fails to open
    // leaves the recent list. A design of an earlier generation (.bco, .bcd) is imported as
    // a new untitled design.
    void OpenDesignFile(const QString &fileName, bool addToRecent);
    // Files handed over by a later start of the program: the window comes to the front and
    // the files are opened from the event loop, one after the other (files that arrive
    // while one is being opened wait their turn).
    void openHandedOverFiles(const QStringList &files);
    // Brings every command's enabled state in step with the active document.
    void UpdateCommands() override;
    void startEnableTimer() override;
    const TAppOptions &appOptions() const override { return m_options; }
    QMenu *objectMenu() const override { return m_objectPopup; }

    TMDIChildForm *activeDocument() const;
    void refreshActiveDocument(QMdiSubWindow *w);
    QList<TMDIChildForm *> documents() const;
    TAppOptions &options() { return m_options; }
    const RecentFiles &recentFiles() const { return m_recent; }
    QAction *action(const QString &objectName) const { return m_actions.value(objectName); }
    QMenu *objectPopup() const { return m_objectPopup; }
    int nextUntitledNumber() const { return m_nextUntitled; }
    bool listsFilling() const { return m_listsFilling; }
    void setListsFilling(bool on) { m_listsFilling = on; }

    // Editing services for the document windows (MainEditCommands.cpp).
    int currentTool() const override;
    void setCurrentTool(int tool) override;
    void showMousePosition(const QString &text) override;
    void refreshObjectList() override;
    void refreshPropertyEditor(bool resetPage) override;
    // The property editor's pages (MainPropertyEditor.cpp).
    editing::TPropertyEditor *propertyPages() const { return m_propertyPages; }
    // Brings the property editor in step with the active document's selection.
    void refreshPropertyEditor();

    // Creates a document window on a blank design with `layout`.
    TMDIChildForm *newBlankDocument(const layout::LayoutRecord &layout);
    // Creates a document window from a template with the wizard's answers.
    TMDIChildForm *newDocumentFromTemplate(const QString &templateFile, files::Substitution *substitution);
    // Creates a document window on a design of an earlier generation (.bco, .bcd).
    TMDIChildForm *importDesign(const QString &fileName);

    // The layout of the common business-card stock: 2 x 5 cards of 3.5 x 2 inches.
    static layout::LayoutRecord defaultBusinessCardLayout();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    // Construction, by family (MainForm.cpp, MainMenus.cpp).
    QAction *makeAction(const QString &name, const QString &text, const QKeySequence &shortcut = {});
    void buildMenus();
    void addStandardKeys();
    void connectPrintCommands();
    void buildToolbars();
    void buildStatusBar();
    void buildPropertyEditor();
    void buildPropertyPages(QWidget *panel);
    void buildObjectPopup();
    void hideUnofferedCommands();
    void restoreWindowState();
    void openPendingFiles();
    void saveWindowState();
    void fillReopenMenu();
    void addToolButtonName(QToolBar *bar, QAction *action, const QString &buttonName, const QString &hint);

    // Editing commands: undo, clipboard, selection, alignment, tools (MainEditCommands.cpp).
    void connectEditCommands();
    void DeleteMIClick();
    // Layout commands (MainLayoutCommands.cpp).
    void connectLayoutCommands();
    bool pickLayoutForNewDesign();
    void SwitchLayoutMIClick();

    // Commands (MainCommands.cpp).
    void NewMIClick();
    void OpenMIClick();
    void ImportMIClick();
    void SaveMIClick();
    void SaveAsMIClick();
    void CloseMIClick();
    void ExitMIClick();
    void PrintSetupMIClick();
    void ZoomInMIClick();
    void ZoomOutMIClick();
    void ZoomBtnClick();
    void OptionsMIClick();
    void HelpTopicsMIClick();
    void AboutMIClick();
    void openWebPage(const QString &address);
    void CloseAllMIClick();
    void RegionComboChange(int index);
    void ToolbarsPMPopup();
    void HistoryListClick(const QString &path);
    void applyOptionsToDocument(TMDIChildForm *doc);
    TMDIChildForm *createDocumentWindow();
    void documentActivated(QMdiSubWindow *w);
    void fillRegionCombo();

    TAppOptions m_options;
    RecentFiles m_recent;
    QStringList m_startFiles;
    QStringList m_handedOver;       // files of later starts still to open
    bool m_openingHandedOver = false;
    bool m_shownOnce = false;
    bool m_destroying = false; // set while the document windows are torn down
    int m_nextUntitled = 1;
    bool m_listsFilling = false;

    QMdiArea *m_mdi = nullptr;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QAction *> m_popupTwins; // context-menu action -> its menu twin
    QActionGroup *m_toolGroup = nullptr;
    QMenu *m_reopenMenu = nullptr;
    QMenu *m_toolbarsMenu = nullptr;
    QMenu *m_objectPopup = nullptr;
    QComboBox *m_zoomCombo = nullptr;
    QComboBox *m_regionCombo = nullptr;
    QComboBox *m_objectCombo = nullptr;
    QDockWidget *m_propertyEditor = nullptr;
    QWidget *m_propertyPanel = nullptr;
    editing::TPropertyEditor *m_propertyPages = nullptr;
    QLabel *m_status[3] = {nullptr, nullptr, nullptr};
    QHash<QString, QToolBar *> m_toolbars;
    QTimer *m_enableTimer = nullptr;
    QTimer *m_startupTimer = nullptr;
};

} // namespace app
