#pragma once
// The layouts dialog: lists the layout files of the program folder and the layouts of
// the chosen file, previews the selected layout as a miniature sheet, and adds, edits,
// deletes and reorders layouts. It serves three commands:
//
//   - picking the layout of a new design and switching the active design to another
//     layout: created with a target record, which receives the chosen layout on OK
//     (turned when Opposite Orientation is ticked); headings and blank lines cannot be
//     chosen, OK then leaves the dialog open;
//   - editing the library: created without a target.
//
// A changed layout file is saved when another file is chosen and on OK, always into the
// user's folder (a shipped file becomes the user's copy).
//
// Below the layout files, LayoutCombo offers one read-only section per maker of the stock
// layouts (read in the background the first time the dialog opens; the sections appear
// when the reading is done). A stock layout is chosen like any other; "Copy to My
// Layouts" appends it to the user's file "My Layouts", where it can be edited.
//
// Typing in SearchEdit lists the matching layouts of every file and every maker, grouped
// under a heading per collection; while a search is shown the list is read-only. Emptying
// the search box shows the chosen collection again, with its changes.

#include "layout/LayoutFile.h"
#include "layout/StockLibrary.h"
#include "platform/ProgramFolder.h"

#include "layout/LayoutCatalogue.h"

#include <QDialog>
#include <QHash>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace layout {

// The miniature sheet (PreviewPaintBox): draws what layoutPreview computed.
class TLayoutPreviewBox : public QWidget {
    Q_OBJECT
public:
    explicit TLayoutPreviewBox(QWidget *parent = nullptr);
    void setPreview(const LayoutPreview &preview);
    const LayoutPreview &preview() const { return m_preview; }
    QSize sizeHint() const override { return QSize(290, 290); }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    LayoutPreview m_preview;
};

class TLayoutsForm : public QDialog {
    Q_OBJECT
public:
    // `metric`: show sizes in millimetres (the MetricUnits option). `target`: the record
    // that receives the chosen layout, or null to edit the library. `stock`: the stock
    // layouts offered (null: the process's library of installed templates).
    TLayoutsForm(QWidget *owner, bool metric, LayoutRecord *target,
                 const plat::ProgramFolder &folder = plat::ProgramFolder::current(), StockLibrary *stock = nullptr);

    // Runs the dialog for New and for Switch to Different Layout: true and the chosen
    // layout in `chosen` on OK; false (and `chosen` unchanged) on Cancel.
    static bool pickLayout(QWidget *owner, bool metric, LayoutRecord *chosen,
                           const plat::ProgramFolder &folder = plat::ProgramFolder::current(),
                           StockLibrary *stock = nullptr);
    // Runs the dialog for Edit Layouts.
    static void editLayouts(QWidget *owner, bool metric,
                            const plat::ProgramFolder &folder = plat::ProgramFolder::current(),
                            StockLibrary *stock = nullptr);

    // The name of the user's layout file that stock layouts are copied into.
    static QString myLayoutsName() { return QStringLiteral("My Layouts"); }

    bool isModified() const { return m_modified; }
    // The file the list shows (where it was read, or where it was last saved).
    const QString &loadedPath() const { return m_path; }
    // The records of the loaded collection in list order (while a search is shown too).
    QList<LayoutRecord> listedRecords() const;
    // Whether the list shows search results rather than one collection.
    bool isSearching() const { return m_searching; }

public slots:
    void reject() override;   // Cancel, Esc and the close box ask before losing changes

signals:
    void helpRequested(int context);

private:
    void FormCreate();
    void LayoutComboChange();
    void LayoutListClick();
    void NewBtnClick();
    void EditBtnClick();
    void DeleteBtnClick();
    void OkBtnClick();
    void OppositeCheckClick();
    void LayoutListEndDrag();
    void SearchEditChange();
    void CopyBtnClick();
    void StockLibraryReady();

    void loadFile(int comboIndex);
    bool switchTo(int comboIndex);
    bool saveFile();
    void refresh();
    void addStockSections();
    bool stockShown() const;
    bool readOnly() const { return m_searching || stockShown(); }
    void showLoadedCollection(int row);
    void showSearchResults();
    void selectFirstLayout();
    QListWidgetItem *addItem(const LayoutRecord &record);
    QListWidgetItem *addStockItem(const CatalogueEntry &entry);
    QListWidgetItem *selectedItem() const;
    static LayoutRecord recordOf(const QListWidgetItem *item);
    static void setRecord(QListWidgetItem *item, const LayoutRecord &record);
    bool ask(const QString &question);

    plat::ProgramFolder m_folder;
    StockLibrary *m_stock;
    bool m_metric;
    LayoutRecord *m_target;
    QString m_path;
    int m_loadedIndex = -1;
    bool m_modified = false;
    // While a search is shown: the loaded collection's records and selected row as they
    // were, and the records of the other layout files.
    bool m_searching = false;
    QList<LayoutRecord> m_loadedRecords;
    int m_loadedRow = -1;
    QHash<QString, QList<LayoutRecord>> m_searchFiles;

    QComboBox *m_combo = nullptr;
    QLineEdit *m_search = nullptr;
    QListWidget *m_list = nullptr;
    QLabel *m_size = nullptr, *m_notes = nullptr;
    QPushButton *m_new = nullptr, *m_edit = nullptr, *m_delete = nullptr, *m_copy = nullptr;
    TLayoutPreviewBox *m_preview = nullptr;
    QCheckBox *m_opposite = nullptr;
};

} // namespace layout
