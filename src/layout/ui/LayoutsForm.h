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

#include "layout/LayoutFile.h"
#include "platform/ProgramFolder.h"

#include <QDialog>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
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
    // that receives the chosen layout, or null to edit the library.
    TLayoutsForm(QWidget *owner, bool metric, LayoutRecord *target,
                 const plat::ProgramFolder &folder = plat::ProgramFolder::current());

    // Runs the dialog for New and for Switch to Different Layout: true and the chosen
    // layout in `chosen` on OK; false (and `chosen` unchanged) on Cancel.
    static bool pickLayout(QWidget *owner, bool metric, LayoutRecord *chosen,
                           const plat::ProgramFolder &folder = plat::ProgramFolder::current());
    // Runs the dialog for Edit Layouts.
    static void editLayouts(QWidget *owner, bool metric,
                            const plat::ProgramFolder &folder = plat::ProgramFolder::current());

    bool isModified() const { return m_modified; }
    // The file the list shows (where it was read, or where it was last saved).
    const QString &loadedPath() const { return m_path; }
    // The records in list order.
    QList<LayoutRecord> listedRecords() const;

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

    void loadFile(int comboIndex);
    bool saveFile();
    void refresh();
    QListWidgetItem *selectedItem() const;
    static LayoutRecord recordOf(const QListWidgetItem *item);
    static void setRecord(QListWidgetItem *item, const LayoutRecord &record);
    bool ask(const QString &question);

    plat::ProgramFolder m_folder;
    bool m_metric;
    LayoutRecord *m_target;
    QString m_path;
    int m_loadedIndex = -1;
    bool m_modified = false;

    QComboBox *m_combo = nullptr;
    QListWidget *m_list = nullptr;
    QLabel *m_size = nullptr, *m_notes = nullptr;
    QPushButton *m_new = nullptr, *m_edit = nullptr, *m_delete = nullptr;
    TLayoutPreviewBox *m_preview = nullptr;
    QCheckBox *m_opposite = nullptr;
};

} // namespace layout
