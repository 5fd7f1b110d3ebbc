#pragma once
// The Personal Database dialog: browse, add, change and delete the records of the
// personal data file, with the list of all records and a filter beside the editors, a
// record navigator, and import and export.
//
// The dialog opens the file when it is created (offering to create a missing or damaged
// one) and holds it open, excluding other writers, until it is destroyed. It also serves
// as a record picker:
//
//   contacts::TPDBForm dlg(parent);
//   if (dlg.exec() == QDialog::Accepted && dlg.HasRecord())
//       name = dlg.FieldValue(contacts::FNAME) + ' ' + dlg.FieldValue(contacts::LNAME);
//
// or simply contacts::TPDBForm::PickRecord(parent).

#include "contacts/BinaryDataSet.h"
#include "contacts/PersonalData.h"

#include <QDialog>

#include <optional>

class QFileDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace contacts {

class TPDBForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 117;

    // `fileName` empty: the program folder's "Personal Data.dat".
    explicit TPDBForm(QWidget *parent = nullptr, const QString &fileName = {});
    ~TPDBForm() override;

    // Shows the dialog as a picker: the shown record's thirteen values (FNAME ... USER4)
    // when it was closed with OK while a record was shown, otherwise nothing.
    static std::optional<QStringList> PickRecord(QWidget *parent, const QString &fileName = {});

    TBinaryDataSet &DataSet() { return m_dataSet; }
    const QString &FileName() const { return m_fileName; }

    // The record shown (after OK: the record chosen). HasRecord is false when the file is
    // closed or empty.
    bool HasRecord() const;
    // A value of the shown record by personal field index (FNAME ... USER4) or by field
    // name ("FNAME"); line breaks inside values are CR LF, as stored.
    QString FieldValue(int field) const;
    QString FieldValue(const QString &name) const;
    QStringList RecordValues() const;

    // Posts a change being typed. False, after telling the user why, when it is refused.
    bool PostPending();
    // Writes every record to `path` as the Export button does after its file dialog.
    bool ExportTo(const QString &path);
    // Reloads the record list and the editors from the data set (after an import).
    void RefreshFromDataSet();

public slots:
    void accept() override; // "&OK": posts a record being typed, then closes
    void reject() override; // "&Cancel": a change not yet posted is dropped

signals:
    void helpRequested(int context);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void buildControls();
    void EditorChanged();
    void LoadEditors();
    void RebuildList();
    void SelectCurrentInList();
    void ApplyFilter();
    void RecordListCurrentChanged(QTreeWidgetItem *item);
    void UpdateNavigator();
    void Navigate(void (TBinaryDataSet::*move)());
    void NavigateStep(bool forward);
    void InsertBtnClick();
    void DeleteBtnClick();
    void PostBtnClick();
    void CancelEditBtnClick();
    void ImportBtnClick();
    void ExportBtnClick();
    void showError(const QString &message);
    QString editorText(int field) const;

    TBinaryDataSet m_dataSet;
    QString m_fileName;
    bool m_loading = false;
    bool m_dirty = false; // typed into since the editors were loaded

    QWidget *m_editors[PersonalFieldCount] = {};
    QLineEdit *m_filterEdit = nullptr;
    QTreeWidget *m_recordList = nullptr;
    QLabel *m_statusLabel = nullptr;
    QToolButton *m_firstBtn = nullptr, *m_priorBtn = nullptr, *m_nextBtn = nullptr, *m_lastBtn = nullptr,
                *m_insertBtn = nullptr, *m_deleteBtn = nullptr, *m_postBtn = nullptr, *m_cancelEditBtn = nullptr;
    QPushButton *m_importBtn = nullptr, *m_exportBtn = nullptr;
    QFileDialog *m_exportDialog = nullptr;
};

} // namespace contacts
